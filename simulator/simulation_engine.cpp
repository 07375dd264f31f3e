#include "simulator/simulation_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"
#include "simulator/face_geometry.h"

namespace fw {

namespace {

constexpr int kUtilityLines = 8;
constexpr int kSettingsLines = 8;
constexpr int kStartLines = 3;
constexpr char kSixteenBlanks[] = "                ";
constexpr char kErrorFrame[] = "****************";

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whether a line of data type `type` takes the character.
bool accepts(uint8_t type, char c) {
    switch (type) {
        case kTypeText:
        case kTypeExtension: return true;
        case kTypeInteger:
        case kTypeAuto: return isDigit(c);
        case kTypeReal: return isDigit(c) || c == '.';
        case kTypeLetter: return isLetter(c);
        case kTypeBoolean: return c != '\0' && std::strchr("01FNTYfnty", c) != nullptr;
        case kTypeAlphanumeric: return isDigit(c) || isLetter(c);
        default: return false;
    }
}

// The letters a key cycles through in alphabetic entry; nullptr for keys
// that give no character.
const char* letterCycle(int key) {
    switch (key) {
        case 1: return " ";
        case 2: return "ABC";
        case 3: return "DEF";
        case 4: return "GHI";
        case 5: return "JKL";
        case 6: return "MNO";
        case 7: return "PQRS";
        case 8: return "TUV";
        case 9: return "WXYZ";
        case 11: return "/*";
        case 13: return "+$";
        case 16: return "%#";
        default: return nullptr;
    }
}

// The character a key gives with alphabetic entry off; 0 for none.
char digitOf(int key) {
    if (key >= 1 && key <= 9) return static_cast<char>('0' + key);
    if (key == 11) return '0';
    if (key == 13) return '-';
    if (key == 16) return '.';
    return 0;
}

// Small helper for building one display line.
struct LineBuilder {
    char text[SimulationEngine::kScreenWidth + 1] = {};
    int length = 0;
    int limit;

    explicit LineBuilder(int maxChars) : limit(std::min(maxChars, SimulationEngine::kScreenWidth)) {}

    void put(int column, char c) {
        if (column < 0 || column >= limit) return;
        while (length < column) text[length++] = ' ';
        text[column] = c;
        if (column >= length) length = column + 1;
    }
    void put(int column, std::string_view s) {
        for (std::size_t i = 0; i < s.size(); ++i) put(column + static_cast<int>(i), s[i]);
    }
    std::string_view view() const { return {text, static_cast<std::size_t>(length)}; }
};

}  // namespace

// ---- EngineUpdate --------------------------------------------------------

void EngineUpdate::merge(const EngineUpdate& other) {
    defineProgram = defineProgram || other.defineProgram;
    indicator = indicator || other.indicator;
    if (other.repaint == Repaint::None) return;
    if (repaint == Repaint::None) {
        repaint = other.repaint;
        line = other.line;
        return;
    }
    if (repaint == other.repaint && (repaint != Repaint::FormLine || line == other.line)) return;
    // Two different areas: the whole text area holds both.
    repaint = Repaint::TextArea;
    line = 0;
}

// ---- Collect normalisation ------------------------------------------------

void normaliseForCollect(ProgramModel& model) {
    for (MenuDef& m : model.menus)
        m.itemCount = static_cast<uint8_t>(countMenuItems(m, static_cast<std::size_t>(textWidth(m.font))));
    for (FormDef& f : model.forms) normaliseFormForCollect(f);
}

// ---- Engine --------------------------------------------------------------

SimulationEngine::SimulationEngine(ProgramModel& model, const DefaultTexts& defaults, Clock clock)
    : model_(model), defaults_(defaults), clock_(std::move(clock)) {
    showStart(1, false);
}

void SimulationEngine::setClock(Clock clock) { clock_ = std::move(clock); }

std::string_view SimulationEngine::line(int i) const {
    if (i < 0 || i >= kScreenLines) return {};
    return screen_[i];
}

std::string_view SimulationEngine::value(int i) const {
    if (i < 0 || i >= kLinesPerForm) return {};
    return {fields_[i].text, static_cast<std::size_t>(fields_[i].length)};
}

EngineUpdate SimulationEngine::clickKey(int key) {
    EngineUpdate u;
    if ((key == kKeyAlpha || key == kKeyEsc) && mode_ == EngineMode::Form) {
        toggleAlpha();
        u.indicator = true;
    }
    u.merge(pressKey(key));
    return u;
}

EngineUpdate SimulationEngine::finishLetter() {
    if (!pending_.active || mode_ != EngineMode::Form) return {};
    return commitPending();
}

char SimulationEngine::pendingLetter() const {
    if (!pending_.active) return 0;
    const char* cycle = letterCycle(pending_.key);
    return cycle ? cycle[pending_.position] : 0;
}

EngineUpdate SimulationEngine::whole() {
    EngineUpdate u;
    u.repaint = Repaint::TextArea;
    return u;
}

void SimulationEngine::clearScreen() { std::memset(screen_, 0, sizeof screen_); }

void SimulationEngine::setLine(int i, std::string_view text, std::size_t maxChars) {
    std::size_t n = std::min({text.size(), maxChars, static_cast<std::size_t>(kScreenWidth)});
    if (n > 0) std::memcpy(screen_[i], text.data(), n);
    std::memset(screen_[i] + n, 0, sizeof screen_[i] - n);
}

EngineUpdate SimulationEngine::pressKey(int key) {
    // The designer's own screen codes leave whatever was being typed.
    if (key == kKeyShowStart || key == kKeyShowUpload || key == kKeyShowUtilities) {
        pending_ = {};
        lastKey_ = 0;
        if (key == kKeyShowStart) return showStart(1);
        if (key == kKeyShowUpload) return showUpload();
        return showUtilities(1);
    }
    if (key < 1 || key > 20) return {};

    EngineUpdate u;
    if (pending_.active && key != lastKey_) {
        u = commitPending();
        // The letter was refused: this key press is spent on showing why,
        // not on leaving the error screen before anyone could read it.
        if (mode_ == EngineMode::Error) {
            lastKey_ = key;
            return u;
        }
    }
    lastKey_ = key;

    switch (mode_) {
        case EngineMode::Start: u.merge(startKey(key)); break;
        case EngineMode::Upload:
            if (key == 17) u.merge(showStart(2));
            break;
        case EngineMode::Utilities: u.merge(utilitiesKey(key)); break;
        case EngineMode::Settings: u.merge(settingsKey(key)); break;
        case EngineMode::Menu: u.merge(menuKey(key)); break;
        case EngineMode::Form: u.merge(formKey(key)); break;
        case EngineMode::Error: u.merge(showForm()); break;
    }
    return u;
}

EngineUpdate SimulationEngine::tickEngine() {
    if (!pending_.active) return {};
    if (++pending_.ticks > 6) return commitPending();
    return {};
}

// ---- Start, upload, utilities, settings -----------------------------------

EngineUpdate SimulationEngine::showStart(int highlight, bool repaintWhole) {
    pending_ = {};
    mode_ = EngineMode::Start;
    current_ = 0;
    largePitch_ = true;
    alphaOn_ = false;
    highlight_ = highlight >= 1 && highlight <= kStartLines ? highlight : 1;
    cursorColumn_ = cursorRow_ = 0;
    clearScreen();
    for (int i = 0; i < 4; ++i) setLine(i, fieldText(messageLine(model_, kMsgMainMenu, i), 16));
    for (int i = 4; i < kScreenLines; ++i) setLine(i, kSixteenBlanks);
    return repaintWhole ? whole() : EngineUpdate{};
}

EngineUpdate SimulationEngine::startKey(int key) {
    switch (key) {
        case 1: return collect();
        case 2: return showUpload();
        case 3: return showUtilities(1);
        case 14:
        case 15: {
            if (key == 14) {
                highlight_ = highlight_ <= 1 ? kStartLines : highlight_ - 1;
            } else {
                highlight_ = highlight_ >= kStartLines ? 1 : highlight_ + 1;
            }
            // The clock line below keeps its own timer.
            EngineUpdate u;
            u.repaint = Repaint::AboveClock;
            return u;
        }
        case 19:
        case 20: return startKey(highlight_ >= 1 && highlight_ <= kStartLines ? highlight_ : 1);
        default: return {};
    }
}

EngineUpdate SimulationEngine::collect() {
    normaliseForCollect(model_);
    if (model_.settings.startFrom == 0 && model_.forms[0].inputLineCount > 0) return openForm(1);
    if (model_.menus[0].itemCount > 0) return openMenu(1, true);
    EngineUpdate u;
    u.defineProgram = true;
    return u;
}

EngineUpdate SimulationEngine::showUpload() {
    pending_ = {};
    mode_ = EngineMode::Upload;
    current_ = 0;
    largePitch_ = true;
    highlight_ = 0;
    clearScreen();
    for (int i = 0; i < 4; ++i) setLine(i, fieldText(messageLine(model_, kMsgConnecting, i), 16));
    for (int i = 4; i < kScreenLines; ++i) setLine(i, kSixteenBlanks);
    return whole();
}

std::string_view SimulationEngine::defaultExtraLine(int n) const {
    // The default for the font the model's texts are in.
    if (model_.settings.largeFont != 0) {
        const char(&text)[13] = defaults_.extraUtilityLarge[n];
        return fieldText(reinterpret_cast<const uint8_t*>(text), sizeof text);
    }
    const char(&text)[17] = defaults_.extraUtility[n];
    return fieldText(reinterpret_cast<const uint8_t*>(text), sizeof text);
}

EngineUpdate SimulationEngine::showUtilities(int highlight) {
    pending_ = {};
    mode_ = EngineMode::Utilities;
    current_ = 0;
    largePitch_ = false;
    highlight_ = highlight;
    clearScreen();
    for (int i = 0; i < kUtilityLines; ++i) setLine(i, fieldText(messageLine(model_, kMsgUtilities, i), 21));
    // The last line loads lookup file 1; without one defined the terminal
    // offers its calculator there.
    const LookupDef& lookup = model_.lookups[0];
    if (!(lookup.memberLength != 0 && lookup.fieldCount != 0)) {
        setLine(7, defaultExtraLine(0));
    }
    return whole();
}

EngineUpdate SimulationEngine::utilitiesKey(int key) {
    switch (key) {
        case 1: return showSettings(1);
        case 14: highlight_ = highlight_ <= 1 ? kUtilityLines : highlight_ - 1; return whole();
        case 15: highlight_ = highlight_ >= kUtilityLines ? 1 : highlight_ + 1; return whole();
        case 19:
        case 20: return highlight_ == 1 ? showSettings(1) : EngineUpdate{};
        case 17: return showStart(3);
        default: return {};
    }
}

EngineUpdate SimulationEngine::showSettings(int highlight) {
    mode_ = EngineMode::Settings;
    current_ = 0;
    largePitch_ = false;
    highlight_ = highlight;
    clearScreen();
    for (int i = 0; i < 6; ++i) setLine(i, fieldText(messageLine(model_, kMsgSettings, i), 21));
    setLine(6, defaultExtraLine(1));
    setLine(7, fieldText(messageLine(model_, kMsgSettings, 7), 21));
    return whole();
}

EngineUpdate SimulationEngine::settingsKey(int key) {
    if (key == 14) {
        highlight_ = highlight_ <= 1 ? kSettingsLines : highlight_ - 1;
        return whole();
    }
    if (key == 15) {
        highlight_ = highlight_ >= kSettingsLines ? 1 : highlight_ + 1;
        return whole();
    }
    if ((key >= 1 && key <= 8) || key == 17 || key == 19 || key == 20) return showUtilities(1);
    return {};
}

// ---- Menus ---------------------------------------------------------------

MenuDef& SimulationEngine::menu() { return model_.menus[current_ - 11]; }

EngineUpdate SimulationEngine::continueWith(int target, bool fromEsc) {
    if (target >= 1 && target <= kFormCount) return openForm(target);
    if (target >= 11 && target < 11 + kMenuCount) return openMenu(target - 10, !fromEsc);
    // 0 is the start screen; so is any code beyond the last menu, which no
    // editor writes but a damaged file may hold.
    return showStart(1);
}

EngineUpdate SimulationEngine::openMenu(int k, bool reset) {
    current_ = 10 + k;
    if (reset) {
        MenuDef& m = menu();
        m.selectedItem = 0;
        m.reserved249 = 0;
    }
    return showMenu();
}

namespace {
// A captioned menu has room for 7 items under its caption, otherwise 8.
int menuRows(const MenuDef& m) { return m.captionOn ? 7 : 8; }
int menuItems(const MenuDef& m) { return std::min<int>(m.itemCount, kItemsPerMenu); }
// Down reaches the eighth item with or without a caption.
int menuLastSelectable(const MenuDef& m) { return std::min(menuItems(m), 8) - 1; }
// The first item on the display. Under a caption the eighth item has no row
// of its own: when it is selected the list moves up by one, so the selected
// item and its bar stay on the display (the caption stays on line 1).
int menuTop(const MenuDef& m) {
    const int selected = m.selectedItem;
    if (selected < menuRows(m) || selected > menuLastSelectable(m)) return 0;
    return selected - menuRows(m) + 1;
}
}  // namespace

EngineUpdate SimulationEngine::showMenu() {
    pending_ = {};
    MenuDef& m = menu();
    mode_ = EngineMode::Menu;
    largePitch_ = false;
    clearScreen();
    const std::size_t width = static_cast<std::size_t>(textWidth(m.font));
    const int first = m.captionOn ? 1 : 0;
    if (m.captionOn) setLine(0, fieldText(m.caption), width);
    const int top = menuTop(m);
    const int shown = std::min(menuItems(m) - top, menuRows(m));
    for (int i = 0; i < shown; ++i) setLine(first + i, fieldText(m.itemName[top + i]), width);
    // An item that cannot be on the display (a selection a file left beyond
    // the items Down reaches) has no bar.
    const int row = m.selectedItem - top;
    highlight_ = row < menuRows(m) ? row + first + 1 : 0;
    return whole();
}

EngineUpdate SimulationEngine::menuKey(int key) {
    MenuDef& m = menu();
    if ((key >= 1 && key <= 9) || key == 11) {
        const int k = key == 11 ? 10 : key;
        if (k > menuItems(m)) return {};
        m.selectedItem = static_cast<uint8_t>(k - 1);
        return continueWith(m.itemNext[k - 1], false);
    }
    switch (key) {
        case 14:
            if (m.selectedItem > 0) --m.selectedItem;
            return showMenu();
        case 15:
            if (m.selectedItem < menuLastSelectable(m)) ++m.selectedItem;
            return showMenu();
        case 17: return continueWith(m.escTarget, true);
        case 19:
        case 20:
            if (m.selectedItem >= kItemsPerMenu) return {};
            return continueWith(m.itemNext[m.selectedItem], false);
        default: return {};
    }
}

// ---- Forms ---------------------------------------------------------------

FormDef& SimulationEngine::form() { return model_.forms[current_ - 1]; }
const FormDef& SimulationEngine::form() const { return model_.forms[current_ - 1]; }

int SimulationEngine::lastColumn() const { return textWidth(form().font) - 1; }

int SimulationEngine::maxLength(int line) const { return std::min<int>(form().maxLength[line], kValueMax); }

int SimulationEngine::entryLine() const {
    const uint8_t line = form().currentLine;
    return line < kLinesPerForm ? line : 0;
}

EngineUpdate SimulationEngine::openForm(int n) {
    pending_ = {};
    current_ = n;
    FormDef& f = form();
    const int width = lineWidth();
    for (int i = 0; i < kLinesPerForm; ++i) {
        Field& fl = fields_[i];
        std::memset(fl.text, 0, sizeof fl.text);
        fl.length = 0;
        fl.scroll = 0;
        fl.atStart = false;
        const int prompt = std::min<int>(static_cast<int>(fieldText(f.prompt[i]).size()), width);
        fl.start = prompt;
        // An auto (+/-) line keeps room for its sign and running value
        // before the entry, when both fit on the line.
        const int maxLen = f.maxLength[i];
        if (f.dataType[i] == kTypeAuto && prompt + 2 * maxLen + 1 <= width) fl.start = prompt + maxLen + 1;
    }
    int first = 0;
    for (int i = 0; i < kLinesPerForm; ++i) {
        if (isEntryType(f.dataType[i])) {
            first = i;
            break;
        }
    }
    f.currentLine = static_cast<uint8_t>(first);
    return showForm();
}

void SimulationEngine::composeFormLine(int i) {
    const FormDef& f = form();
    const uint8_t type = f.dataType[i];
    const int inputLines = std::min<int>(f.inputLineCount, kLinesPerForm);
    const int width = lineWidth();
    LineBuilder b(width);

    if (i >= inputLines && type == kTypeNil) {
        setLine(i, {});
        return;
    }
    const Field& fl = fields_[i];
    std::string_view prompt = fieldText(f.prompt[i]);
    b.put(0, prompt.substr(0, static_cast<std::size_t>(width)));
    const int promptEnd = std::min<int>(static_cast<int>(prompt.size()), width);

    if (type == kTypeCounter) {
        b.put(promptEnd, recordCountDigits(recordCount_));
    } else if (type == kTypePassDown) {
        b.put(promptEnd, passDown_.view());
    } else {
        if (type == kTypeAuto && fl.start > promptEnd) {
            // The sign room: blanks, and the sign just before the entry.
            for (int c = promptEnd; c < fl.start; ++c) b.put(c, ' ');
            const uint8_t link = f.link[i];
            b.put(fl.start - 1, link >= 9 && link <= 24 ? '+' : ' ');
        }
        const int visible = std::max(0, std::min(fl.length - fl.scroll, width - fl.start));
        b.put(fl.start, std::string_view(fl.text + fl.scroll, static_cast<std::size_t>(visible)));
        if (f.inputMark[i] != 0 && (isEntryType(type) || type == kTypeExtension)) {
            // The mark fills the rest of the field, as far as the line goes.
            const int end = fl.start + visible;
            const int marks = std::min(maxLength(i) - fl.length, width - end);
            for (int c = 0; c < marks; ++c) b.put(end + c, static_cast<char>(f.inputMark[i]));
        }
    }
    if (pending_.active && mode_ == EngineMode::Form && i == entryLine()) {
        // Drawn at the cursor, over the cursor block, until it is committed.
        b.put(cursorColumn_, pendingLetter());
    }
    setLine(i, b.view());
}

void SimulationEngine::placeCursor() {
    const int line = entryLine();
    const Field& fl = fields_[line];
    int column = fl.atStart ? fl.start : fl.start + fl.length - fl.scroll;
    cursorColumn_ = std::clamp(column, 0, lineWidth());
    cursorRow_ = line;
}

EngineUpdate SimulationEngine::showForm() {
    mode_ = EngineMode::Form;
    largePitch_ = false;
    highlight_ = 0;
    clearScreen();
    placeCursor();
    for (int i = 0; i < kLinesPerForm; ++i) composeFormLine(i);
    return whole();
}

EngineUpdate SimulationEngine::showError(int messageLine) {
    pending_ = {};
    showForm();
    mode_ = EngineMode::Error;
    alphaOn_ = false;
    setLine(4, kErrorFrame);
    setLine(5, fieldText(fw::messageLine(model_, kMsgErrorMessages, messageLine), 21));
    setLine(6, fieldText(fw::messageLine(model_, kMsgErrorMessages, 5), 21));
    setLine(7, kErrorFrame);
    return whole();
}

EngineUpdate SimulationEngine::formKey(int key) {
    if (const char* cycle = letterCycle(key)) {
        if (!alphaOn_) {
            EngineUpdate u;
            if (pending_.active) u = commitPending();
            if (mode_ != EngineMode::Form) return u;
            u.merge(commitChar(digitOf(key)));
            return u;
        }
        if (pending_.active && pending_.key == key) {
            pending_.position = (pending_.position + 1) % static_cast<int>(std::strlen(cycle));
        } else {
            pending_ = {true, key, 0, 0};
        }
        pending_.ticks = 0;
        const int line = entryLine();
        placeCursor();
        composeFormLine(line);
        EngineUpdate u;
        u.repaint = Repaint::FormLine;
        u.line = line;
        return u;
    }
    switch (key) {
        case 14: {
            const FormDef& f = form();
            for (int p = entryLine() - 1; p >= 0; --p) {
                if (isEntryType(f.dataType[p])) {
                    form().currentLine = static_cast<uint8_t>(p);
                    fields_[p].atStart = true;
                    fields_[p].scroll = 0;
                    return showForm();
                }
            }
            return {};
        }
        case 17: return continueWith(form().escTarget, true);
        case 18: return backspace();
        case 19:
        case 20: return enter();
        default: return {};   // 10 (the window flips alphaOn), 12, 15
    }
}

EngineUpdate SimulationEngine::commitPending() {
    const char c = pendingLetter();
    pending_ = {};
    return commitChar(c);
}

EngineUpdate SimulationEngine::commitChar(char c) {
    const int line = entryLine();
    FormDef& f = form();
    if (!accepts(f.dataType[line], c)) return showError(0);

    Field& fl = fields_[line];
    bool clearedMore = false;
    if (fl.atStart && fl.length > 0) {
        // Typing at the start of a filled value (after coming back to its
        // line) replaces it, continuation lines included.
        fl.length = 0;
        fl.scroll = 0;
        std::memset(fl.text, 0, sizeof fl.text);
        for (int e = line + 1; e < kLinesPerForm && f.dataType[e] == kTypeExtension; ++e) {
            Field& ext = fields_[e];
            clearedMore = clearedMore || ext.length > 0;
            ext.length = 0;
            ext.scroll = 0;
            ext.atStart = false;
            std::memset(ext.text, 0, sizeof ext.text);
        }
    }
    fl.atStart = false;
    EngineUpdate u = placeChar(line, c);
    if (clearedMore && mode_ == EngineMode::Form) u.merge(showForm());
    return u;
}

EngineUpdate SimulationEngine::placeChar(int line, char c) {
    FormDef& f = form();
    Field& fl = fields_[line];
    const int W = lastColumn();
    const int maxLen = maxLength(line);
    auto append = [&fl, c] {
        if (fl.length < kValueMax) {
            fl.text[fl.length++] = c;
            fl.text[fl.length] = '\0';
        }
    };

    EngineUpdate lineOnly;
    lineOnly.repaint = Repaint::FormLine;
    lineOnly.line = line;

    if (fl.length >= maxLen) {
        // A full value takes a further character in place of its last one.
        if (fl.length > 0) fl.text[fl.length - 1] = c;
    } else {
        const int column = fl.start + fl.length - fl.scroll;
        if (column < W) {
            append();
        } else if (line + 1 < kLinesPerForm && f.dataType[line + 1] == kTypeExtension) {
            // The field goes on at the start of the next line. The character
            // typed at the last column still belongs to this line; one that
            // finds no column here at all goes to the extension.
            const bool here = column == W;
            if (here) append();
            f.currentLine = static_cast<uint8_t>(line + 1);
            fields_[line + 1].atStart = true;
            fields_[line + 1].scroll = 0;
            EngineUpdate u;
            if (!here) u = commitChar(c);
            if (mode_ == EngineMode::Form) u.merge(showForm());
            return u;
        } else {
            append();
            // Keep the end of the value in view at the last column.
            fl.scroll = std::max(0, fl.length - std::max(0, W - fl.start));
        }
    }
    placeCursor();
    composeFormLine(line);
    return lineOnly;
}

void SimulationEngine::removeLast(int line) {
    Field& fl = fields_[line];
    if (fl.length > 0) fl.text[--fl.length] = '\0';
    fl.atStart = false;
    fl.scroll = std::max(0, fl.length - std::max(0, lastColumn() - fl.start));
}

EngineUpdate SimulationEngine::backspace() {
    const int line = entryLine();
    FormDef& f = form();
    if (fields_[line].length > 0) {
        removeLast(line);
        placeCursor();
        composeFormLine(line);
        EngineUpdate u;
        u.repaint = Repaint::FormLine;
        u.line = line;
        return u;
    }
    if (f.dataType[line] == kTypeExtension && line > 0) {
        f.currentLine = static_cast<uint8_t>(line - 1);
        removeLast(line - 1);
        return showForm();
    }
    return {};
}

EngineUpdate SimulationEngine::enter() {
    FormDef& f = form();
    const int line = entryLine();

    // A value continued on extension lines is measured as a whole, against
    // the minimum of the line it belongs to.
    int owner = line;
    while (owner > 0 && f.dataType[owner] == kTypeExtension) --owner;
    if (!isEntryType(f.dataType[owner])) owner = line;
    int length = fields_[owner].length;
    for (int e = owner + 1; e < kLinesPerForm && f.dataType[e] == kTypeExtension; ++e) length += fields_[e].length;
    if (length < f.minLength[owner]) return showError(1);

    const int inputLines = std::min<int>(f.inputLineCount, kLinesPerForm);
    for (int next = line + 1; next < inputLines; ++next) {
        if (isEntryType(f.dataType[next])) {
            f.currentLine = static_cast<uint8_t>(next);
            fields_[next].atStart = true;
            fields_[next].scroll = 0;
            return showForm();
        }
    }

    // The record is complete: the terminal builds its text whatever it then
    // does with it, and the designer keeps it to show.
    ++recordCount_;
    LineValues values;
    for (int i = 0; i < kLinesPerForm; ++i) values[static_cast<std::size_t>(i)] = value(i);
    CollectedRecord record;
    record.number = recordCount_;
    record.form = current_;
    record.action = f.recordAction;
    record.text = buildRecordText(f, model_.settings, values, clock_ ? clock_() : systemLocalTime());
    if (record.fate().saved) record.dataFile = dataFileOf(model_, current_);
    if (record.fate().passedDown) passDown_ = record.text;
    records_.add(std::move(record));
    return continueWith(f.nextTarget, false);
}

}  // namespace fw
