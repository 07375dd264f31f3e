#include "check/checker.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string_view>

#include "editor/calculator_entry.h"   // lookupDefined
#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"
#include "simulator/record_text.h"
#include "texts/code_page.h"

namespace fw {

namespace {

// ---- naming ---------------------------------------------------------------

std::string formName(int f) { return "Form " + std::to_string(f + 1); }
std::string menuName(int m) { return "Menu " + std::to_string(m + 1); }
std::string lineName(int f, int i) { return formName(f) + ", line #" + std::to_string(i + 1); }
std::string itemName(int m, int k) { return menuName(m) + ", item #" + std::to_string(k + 1); }

// "form 3", "menu 2", "the main menu".
std::string targetWords(int target) {
    if (target == kTargetMain) return "the main menu";
    if (target >= 1 && target <= kFormCount) return "form " + std::to_string(target);
    if (target > kFormCount && target <= kFormCount + kMenuCount)
        return "menu " + std::to_string(target - kFormCount);
    return "target code " + std::to_string(target);
}

std::string quoted(std::string_view bytes) { return "\"" + utf8FromCodePage(bytes) + "\""; }

// ---- what a program holds ------------------------------------------------

bool formUsed(const FormDef& f) {
    for (int i = 0; i < kLinesPerForm; ++i)
        if (f.dataType[i] != kTypeNil) return true;
    return false;
}

bool hasEntryLine(const FormDef& f) {
    for (int i = 0; i < kLinesPerForm; ++i)
        if (isEntryType(f.dataType[i])) return true;
    return false;
}

// The lines whose values go into the record (with the extension lines that
// follow them), as the terminal builds it.
bool inRecord(const FormDef& f, int i) {
    const int t = f.dataType[i];
    if ((t >= kTypeText && t <= kTypeBoolean) || t == kTypeFixedData || t == kTypeAlphanumeric) return true;
    return t == kTypeLookup && f.initialValueOn[i] != 0;   // "Save field data"
}

int linesOfFont(const FormDef& f) { return f.font != 0 ? kLargeFontLines : kLinesPerForm; }

// The lookup field a line's link names (1-8), or 0.
int linkedLookupField(const FormDef& f, int i) {
    const int link = f.link[i];
    if (link < 1 || link > 24) return 0;
    return (link - 1) % kFieldsPerLookup + 1;
}

// Where control may pass from a page, with the place of each target.
struct Edge {
    int target;
    Finding at;       // page, index and entry of the setting
    std::string what; // "its Next", "item #2", "FN + 1"
};

std::vector<Edge> formEdges(const FormDef& f, int index) {
    std::vector<Edge> e;
    Finding at;
    at.page = FindingPage::Form;
    at.index = index;
    e.push_back({f.escTarget, at, "ESC"});
    e.push_back({f.nextTarget, at, "Next"});
    for (int k = 0; k < kBranchKeys; ++k)
        if (f.branch[k] != 0) e.push_back({f.branch[k], at, "FN + " + std::to_string(k + 1)});
    return e;
}

std::vector<Edge> menuEdges(const MenuDef& m, int index) {
    std::vector<Edge> e;
    Finding at;
    at.page = FindingPage::Menu;
    at.index = index;
    e.push_back({m.escTarget, at, "ESC"});
    const int count = menuItemCount(m);
    for (int k = 0; k < count && k < kItemsPerMenu; ++k) {
        Finding item = at;
        item.entry = k;
        e.push_back({m.itemNext[k], item, "item #" + std::to_string(k + 1)});
    }
    return e;
}

bool pageUsed(const ProgramModel& m, int target) {
    if (target >= 1 && target <= kFormCount) return formHasInput(m.forms[target - 1]);
    if (target > kFormCount && target <= kFormCount + kMenuCount)
        return menuItemCount(m.menus[target - kFormCount - 1]) > 0;
    return false;
}

// ---- the rules ----------------------------------------------------------

class Checker {
public:
    explicit Checker(const ProgramModel& m) : m_(m) {}

    std::vector<Finding> run() {
        startRule();
        targetRule();
        reachRule();
        selfLoopRule();
        for (int f = 0; f < kFormCount; ++f) {
            if (!formUsed(m_.forms[f])) continue;
            lookupRules(f);
            extensionRule(f);
            lengthRules(f);
            delimiterRule(f);
            largeFontRowsRule(f);
            promptWidthRule(f);
            recordLengthRule(f);
        }
        for (int k = 0; k < kMenuCount; ++k) {
            if (menuItemCount(m_.menus[k]) == 0) continue;
            menuTextRule(k);
            hiddenItemsRule(k);
        }
        for (int l = 0; l < kLookupCount; ++l)
            if (lookupDefined(m_.lookups[l])) lookupDefinitionRule(l);
        messageWidthRule();
        return std::move(out_);
    }

private:
    void add(Severity s, FindingPage page, int index, int entry, std::string text) {
        Finding f;
        f.severity = s;
        f.page = page;
        f.index = index;
        f.entry = entry;
        f.text = std::move(text);
        out_.push_back(std::move(f));
    }
    void add(Severity s, const Finding& at, std::string text) { add(s, at.page, at.index, at.entry, std::move(text)); }

    // Collect opens form 1 or menu 1; with neither the terminal says
    // "Please define your program!".
    void startRule() {
        const bool fromMenu = m_.settings.startFrom != 0;
        const int start = startTarget(m_);
        if (start < 0) {
            add(Severity::Error, FindingPage::Startup, -1, -1,
                fromMenu ? "The program starts from menu 1, which has no items: Collect shows "
                           "\"Please define your program!\"."
                         : "The program starts from form 1, which has no input lines, and menu 1 has no "
                           "items: Collect shows \"Please define your program!\".");
        } else if (!fromMenu && start != targetForm(1)) {
            add(Severity::Warning, FindingPage::Startup, -1, -1,
                "The program starts from form 1, which has no input lines: Collect opens menu 1 instead.");
        }
    }

    // Targets of used pages: into a form without input lines or a menu
    // without items the terminal has nothing to show.
    void targetRule() {
        for (const auto& [target, at, what] : usedEdges()) {
            const std::string from = at.page == FindingPage::Form ? formName(at.index) : menuName(at.index);
            if (target > kFormCount + kMenuCount) {
                add(Severity::Error, at, from + ": " + what + " goes to " + targetWords(target) +
                                             ", which is neither a form nor a menu.");
            } else if (target != kTargetMain && !pageUsed(m_, target)) {
                const bool form = target <= kFormCount;
                add(Severity::Error, at,
                    from + ": " + what + " goes to " + targetWords(target) +
                        (form ? ", which has no input lines." : ", which has no items."));
            }
        }
    }

    void reachRule() {
        bool reached[kFormCount + kMenuCount + 1] = {};
        std::deque<int> queue;
        auto visit = [&](int t) {
            if (t < 0 || t > kFormCount + kMenuCount || reached[t]) return;
            reached[t] = true;
            queue.push_back(t);
        };
        visit(startTarget(m_));
        while (!queue.empty()) {
            const int t = queue.front();
            queue.pop_front();
            if (t == kTargetMain || !pageUsed(m_, t)) continue;
            const auto edges = t <= kFormCount ? formEdges(m_.forms[t - 1], t - 1)
                                               : menuEdges(m_.menus[t - kFormCount - 1], t - kFormCount - 1);
            for (const Edge& e : edges) visit(e.target);
        }
        for (int f = 0; f < kFormCount; ++f)
            if (formHasInput(m_.forms[f]) && !reached[targetForm(f + 1)])
                add(Severity::Warning, FindingPage::Form, f, -1,
                    formName(f) + " is reached from no menu, target or start.");
        for (int k = 0; k < kMenuCount; ++k)
            if (menuItemCount(m_.menus[k]) > 0 && !reached[targetMenu(k + 1)])
                add(Severity::Warning, FindingPage::Menu, k, -1,
                    menuName(k) + " is reached from no menu, target or start.");
    }

    // A form that asks nothing and goes on to itself writes record after
    // record without anyone entering a thing.
    void selfLoopRule() {
        for (int f = 0; f < kFormCount; ++f) {
            const FormDef& form = m_.forms[f];
            if (formHasInput(form) && !hasEntryLine(form) && form.nextTarget == targetForm(f + 1))
                add(Severity::Warning, FindingPage::Form, f, -1,
                    formName(f) + ": Next leads back to the form itself, which has nothing to enter.");
        }
    }

    void lookupRules(int f) {
        const FormDef& form = m_.forms[f];
        const int file = form.lookupFile;
        if (file > kLookupCount) {
            add(Severity::Error, FindingPage::Form, f, -1,
                formName(f) + " names lookup file " + std::to_string(file) + ", which does not exist.");
            return;
        }
        const LookupDef* lookup = file != 0 ? &m_.lookups[file - 1] : nullptr;
        if (lookup && !lookupDefined(*lookup)) {
            add(Severity::Error, FindingPage::Form, f, -1,
                formName(f) + " uses lookup file " + std::to_string(file) +
                    ", which has no record length or no fields.");
            return;
        }
        for (int i = 0; i < kLinesPerForm; ++i) {
            const int type = form.dataType[i];
            if (type == kTypeLookup && !lookup) {
                add(Severity::Error, FindingPage::Form, f, i,
                    lineName(f, i) + " is a lookup line, but the form has no lookup file.");
                continue;
            }
            if (!lookup || !(isEntryType(type) || type == kTypeLookup)) continue;
            const int field = linkedLookupField(form, i);
            if (field > lookup->fieldCount)
                add(Severity::Error, FindingPage::Form, f, i,
                    lineName(f, i) + " takes field " + std::to_string(field) + " of lookup file " +
                        std::to_string(file) + ", which has only " + std::to_string(lookup->fieldCount) +
                        (lookup->fieldCount == 1 ? " field." : " fields."));
        }
    }

    void extensionRule(int f) {
        const FormDef& form = m_.forms[f];
        for (int i = 0; i < kLinesPerForm; ++i) {
            if (form.dataType[i] != kTypeExtension) continue;
            int j = i - 1;
            while (j >= 0 && form.dataType[j] == kTypeExtension) --j;
            if (j < 0 || !isEntryType(form.dataType[j]))
                add(Severity::Error, FindingPage::Form, f, i,
                    lineName(f, i) + " is an extension line with no data line before it.");
        }
    }

    void lengthRules(int f) {
        const FormDef& form = m_.forms[f];
        for (int i = 0; i < kLinesPerForm; ++i) {
            const int type = form.dataType[i];
            if (hasLengths(type) && form.minLength[i] > form.maxLength[i])
                add(Severity::Error, FindingPage::Form, f, i,
                    lineName(f, i) + ": the minimum length " + std::to_string(form.minLength[i]) +
                        " is above the maximum length " + std::to_string(form.maxLength[i]) +
                        ", so no entry is accepted.");
            if (!form.fixedLengthOn[i] || !inRecord(form, i)) continue;
            const std::size_t longest =
                type == kTypeFixedData ? fieldText(form.prompt[i]).size() : std::size_t(form.maxLength[i]);
            if (form.fixedLength[i] < longest)
                add(Severity::Warning, FindingPage::Form, f, i,
                    lineName(f, i) + ": the fixed length " + std::to_string(form.fixedLength[i]) +
                        " cuts a value of up to " + std::to_string(longest) + " characters.");
        }
    }

    // A delimiter inside a field's own bytes splits the record at the wrong
    // place when it is read back.
    void delimiterRule(int f) {
        const FormDef& form = m_.forms[f];
        const uint8_t delims[2] = {m_.settings.delimiter1, m_.settings.delimiter2};
        for (int i = 0; i < kLinesPerForm; ++i) {
            if (!inRecord(form, i)) continue;
            struct Part {
                bool on;
                std::string_view bytes;
                const char* name;
            } parts[] = {
                {form.prefixOn[i] != 0, fieldText(form.prefixCode[i]), "prefix code"},
                {form.suffixOn[i] != 0, fieldText(form.suffixCode[i]), "suffix code"},
                {form.initialValueOn[i] != 0 && form.dataType[i] != kTypeLookup,
                 fieldText(form.initialValue[i]), "initial value"},
                {form.dataType[i] == kTypeFixedData, fieldText(form.prompt[i]), "fixed data"},
            };
            for (const Part& p : parts) {
                if (!p.on) continue;
                for (uint8_t d : delims) {
                    if (d == 0 || p.bytes.find(static_cast<char>(d)) == std::string_view::npos) continue;
                    add(Severity::Warning, FindingPage::Form, f, i,
                        lineName(f, i) + ": the " + p.name + " holds the record delimiter " +
                            quoted(std::string(1, static_cast<char>(d))) + ".");
                    break;
                }
            }
        }
    }

    void largeFontRowsRule(int f) {
        const FormDef& form = m_.forms[f];
        if (form.font == 0) return;
        for (int i = kLargeFontLines; i < kLinesPerForm; ++i)
            if (form.dataType[i] != kTypeNil)
                add(Severity::Warning, FindingPage::Form, f, i,
                    lineName(f, i) + " is not shown: a form in the large font has 4 lines.");
    }

    void promptWidthRule(int f) {
        const FormDef& form = m_.forms[f];
        const std::size_t width = static_cast<std::size_t>(textWidth(form.font));
        for (int i = 0; i < kLinesPerForm; ++i) {
            const std::string_view prompt = fieldText(form.prompt[i]);
            if (form.dataType[i] != kTypeNil && prompt.size() > width)
                add(Severity::Warning, FindingPage::Form, f, i,
                    lineName(f, i) + ": the prompt " + quoted(prompt) + " is wider than the " +
                        std::to_string(width) + " characters of the screen.");
        }
    }

    // The longest record the form can write, against what the terminal
    // keeps of one.
    void recordLengthRule(int f) {
        const std::size_t longest = longestRecord(m_.forms[f], m_.settings);
        if (longest > kRecordTextMax)
            add(Severity::Warning, FindingPage::Form, f, -1,
                formName(f) + " can write a record of " + std::to_string(longest) +
                    " characters; the terminal keeps " + std::to_string(kRecordTextMax) + ".");
    }

    void menuTextRule(int k) {
        const MenuDef& menu = m_.menus[k];
        const std::size_t width = static_cast<std::size_t>(textWidth(menu.font));
        const std::string_view caption = fieldText(menu.caption);
        if (menu.captionOn && caption.size() > width)
            add(Severity::Warning, FindingPage::Menu, k, -1,
                menuName(k) + ": the caption " + quoted(caption) + " is wider than the " +
                    std::to_string(width) + " characters of the screen.");
        for (int i = 0; i < kItemsPerMenu; ++i) {
            const std::string_view name = fieldText(menu.itemName[i]);
            if (name.size() > width)
                add(Severity::Warning, FindingPage::Menu, k, i,
                    itemName(k, i) + ": " + quoted(name) + " is wider than the " + std::to_string(width) +
                        " characters of the screen.");
        }
    }

    // The screen holds 8 lines (7 under a caption); the arrow keys stop at
    // the last line shown, so further items are reached only by their number.
    void hiddenItemsRule(int k) {
        const MenuDef& menu = m_.menus[k];
        const int shown = menu.captionOn ? 7 : 8;
        const int count = menuItemCount(menu);
        if (count > shown)
            add(Severity::Warning, FindingPage::Menu, k, shown,
                menuName(k) + " has " + std::to_string(count) + " items; the screen shows the first " +
                    std::to_string(shown) + ".");
    }

    void lookupDefinitionRule(int l) {
        const LookupDef& d = m_.lookups[l];
        const std::string name = "Lookup file " + std::to_string(l + 1);
        if (d.fieldCount > kFieldsPerLookup) {
            add(Severity::Error, FindingPage::Lookup, l, -1,
                name + " has " + std::to_string(d.fieldCount) + " fields; a lookup record holds at most 8.");
            return;
        }
        if (d.keyField >= d.fieldCount)
            add(Severity::Error, FindingPage::Lookup, l, -1,
                name + ": the key field #" + std::to_string(d.keyField + 1) + " is not one of its " +
                    std::to_string(d.fieldCount) + " fields.");
        if (d.delimiter != 0) return;
        for (int i = 0; i < d.fieldCount; ++i) {
            const int end = std::max(1, int(d.fieldOffset[i])) - 1 + d.fieldLength[i];
            if (end > d.memberLength)
                add(Severity::Error, FindingPage::Lookup, l, i,
                    name + ": field #" + std::to_string(i + 1) + " ends at character " + std::to_string(end) +
                        ", after the record length " + std::to_string(d.memberLength) + ".");
        }
    }

    void messageWidthRule() {
        const bool large = m_.settings.largeFont != 0;
        for (int t = 0; t < kMessageTableCount; ++t) {
            const MessageTableInfo& info = kMessageTables[t];
            const std::size_t width = large ? kLargeTextWidth : charsOfLine(info.width);
            for (int l = 0; l < info.lines; ++l) {
                std::string_view text = fieldText(messageLine(m_, t, l), info.width);
                while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
                if (text.size() > width)
                    add(Severity::Warning, FindingPage::Startup, t, l,
                        std::string("The message ") + quoted(text) + " (" + info.name + ", line " +
                            std::to_string(l + 1) + ") is wider than the " + std::to_string(width) +
                            " characters of its screen.");
            }
        }
    }

    std::vector<Edge> usedEdges() const {
        std::vector<Edge> all;
        for (int f = 0; f < kFormCount; ++f)
            if (formHasInput(m_.forms[f]))
                for (Edge& e : formEdges(m_.forms[f], f)) all.push_back(std::move(e));
        for (int k = 0; k < kMenuCount; ++k)
            if (menuItemCount(m_.menus[k]) > 0)
                for (Edge& e : menuEdges(m_.menus[k], k)) all.push_back(std::move(e));
        return all;
    }

    const ProgramModel& m_;
    std::vector<Finding> out_;
};

}  // namespace

std::size_t longestRecord(const FormDef& form, const TerminalSettings& settings) {
    const std::size_t delims = (settings.delimiter1 != 0) + (settings.delimiter1 != 0 && settings.delimiter2 != 0);
    std::size_t total = 0;
    bool any = false;
    const int lines = linesOfFont(form);
    for (int i = 0; i < lines; ++i) {
        if (!inRecord(form, i)) continue;
        std::size_t value = form.dataType[i] == kTypeFixedData ? fieldText(form.prompt[i]).size()
                                                               : std::size_t(form.maxLength[i]);
        for (int j = i + 1; j < lines && form.dataType[j] == kTypeExtension; ++j) value += form.maxLength[j];
        if (form.fixedLengthOn[i]) value = form.fixedLength[i];
        if (form.prefixOn[i]) value += fieldText(form.prefixCode[i]).size();
        if (form.suffixOn[i]) value += fieldText(form.suffixCode[i]).size();
        total += value + (any ? delims : 0);
        any = true;
    }
    if (form.stampPosition != 0) {
        // Date "YYYY/MM/DD", time "HH:MM:SS", and the delimiters between
        // them and the record.
        std::size_t date = 0, time = 0;
        int dateParts = 0, timeParts = 0;
        if (form.stampYear) date += form.stampYearDigits == 1 ? 2 : 4, ++dateParts;
        if (form.stampMonth) date += 2, ++dateParts;
        if (form.stampDay) date += 2, ++dateParts;
        if (form.stampDateSepOn && dateParts > 1) date += dateParts - 1;
        if (form.stampHour) time += 2, ++timeParts;
        if (form.stampMinute) time += 2, ++timeParts;
        if (form.stampSecond) time += 2, ++timeParts;
        if (form.stampTimeSepOn && timeParts > 1) time += timeParts - 1;
        total += date + time + (any ? delims : 0) + (form.stampSplit ? delims : 0);
    }
    return total;
}

std::string Finding::place() const {
    auto at = [](const char* list, int i) { return std::string(list) + "[" + std::to_string(i) + "]"; };
    switch (page) {
        case FindingPage::Form:
            return at("forms", index) + (entry >= 0 ? "." + at("lines", entry) : "");
        case FindingPage::Menu:
            return at("menus", index) + (entry >= 0 ? "." + at("items", entry) : "");
        case FindingPage::Lookup:
            return at("lookups", index) + (entry >= 0 ? "." + at("fields", entry) : "");
        case FindingPage::Barcode: return "barcode";
        case FindingPage::Settings: return "settings";
        case FindingPage::Startup:
            if (index >= 0 && index < kMessageTableCount)
                return at(kMessageTables[index].name, entry >= 0 ? entry : 0);
            return "settings.startFrom";
    }
    return {};
}

std::vector<Finding> checkProgram(const ProgramModel& model) { return Checker(model).run(); }

int errorCount(const std::vector<Finding>& findings) {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [](const Finding& f) { return f.severity == Severity::Error; }));
}

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

const char* severityLabel(Severity severity) { return severity == Severity::Error ? "Error" : "Warning"; }

std::string findingLine(const Finding& finding) {
    return std::string(severityLabel(finding.severity)) + ": " + finding.text + " (" + finding.place() + ")";
}

std::string findingCounts(int errors, int warnings) {
    return std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") + std::to_string(warnings) +
           (warnings == 1 ? " warning" : " warnings");
}

std::string findingsSummary(const std::vector<Finding>& findings) {
    if (findings.empty()) return kNoFindingsLine;
    const int errors = errorCount(findings);
    return findingCounts(errors, static_cast<int>(findings.size()) - errors) +
           ". Double-click a finding to mend it in the editor.";
}

SheetStart editorStartFor(const Finding& finding) {
    SheetStart start;
    start.page = finding.page;
    // The Barcode and Settings pages show one record; the Startup page's
    // screens are the message tables, in their order.
    if (finding.page != FindingPage::Barcode && finding.page != FindingPage::Settings) start.item = finding.index;
    return start;
}

std::string downloadAnywayQuestion(int errors) {
    return "The program has " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
           ". Download anyway?";
}

bool formHasInput(const FormDef& form) {
    for (int i = 0; i < kLinesPerForm; ++i)
        if (countsAsDownloadInput(form.dataType[i])) return true;
    return false;
}

int menuItemCount(const MenuDef& menu) {
    return countMenuItems(menu, static_cast<std::size_t>(textWidth(menu.font)));
}

int startTarget(const ProgramModel& model) {
    if (model.settings.startFrom == 0 && formHasInput(model.forms[0])) return targetForm(1);
    if (menuItemCount(model.menus[0]) > 0) return targetMenu(1);
    return -1;
}

}  // namespace fw
