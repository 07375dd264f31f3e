#include "editor/form_page.h"

#include <algorithm>
#include <cstring>

#include "model/fixed_text.h"

namespace fw {

namespace {

// A type change clears the line's Properties settings only where the old
// settings cannot mean anything for the new type.
bool typeChangeResetsProperties(int oldType, int newType) {
    if (newType == kTypeNil) return true;
    if (newType >= kTypeFixedData && newType <= kTypeAlphanumeric)
        return oldType != kTypeLookup && oldType != kTypeAlphanumeric;
    if (newType >= kTypeText && newType <= kTypeLookup) return oldType >= kTypeLookup && oldType <= kTypePause;
    return false;
}

void clearProperties(FormDef& f, int i) {
    clearFieldProperties(f, i);
    f.initialValueOn[i] = 0;
    f.checkDigit[i] = 0;
}

}  // namespace

void FormPage::load(const ProgramModel& model) {
    std::memcpy(forms_, model.forms, sizeof forms_);
    current_ = 0;
    showForm();
}

int FormPage::promptWidth() const { return textWidth(form().font); }

bool FormPage::chooseForm(int index) {
    if (index < 0 || index >= kFormCount || index == current_) return false;
    current_ = index;
    showForm();
    return true;
}

// Showing a form puts every row's stored values into its boxes, and the
// boxes' rules apply to them as to typing: lengths are corrected (a boolean
// line's become 1) and the link lists are rebuilt.
void FormPage::showForm() {
    FormDef& f = form();
    for (int i = 0; i < kLinesPerForm; ++i) {
        typeMinLength(i, std::to_string(f.minLength[i]));
        typeMaxLength(i, std::to_string(f.maxLength[i]));
        rebuildLinks(i);
    }
}

void FormPage::setFont(int font) { form().font = static_cast<uint8_t>(font); }

bool FormPage::setLookupFile(int file) {
    FormDef& f = form();
    if (f.lookupFile == file) return false;
    f.lookupFile = static_cast<uint8_t>(file);
    for (int i = 0; i < kLinesPerForm; ++i) rebuildLinks(i);
    return true;
}

void FormPage::setDataType(int line, int type) {
    FormDef& f = form();
    const int old = f.dataType[line];
    f.dataType[line] = static_cast<uint8_t>(type);
    rebuildLinks(line);
    if (type != old && typeChangeResetsProperties(old, type)) clearProperties(f, line);
    // A boolean holds one character. Its length boxes are disabled, so the
    // lengths are set here rather than waiting for the form to be shown again.
    if (type == kTypeBoolean) {
        f.minLength[line] = 1;
        f.maxLength[line] = 1;
    }
}

// Only integer, real and auto(+/-) lines can take the "-field" and "+field"
// entries of a lookup file; other lines keep the plain field of that number.
void FormPage::rebuildLinks(int line) {
    FormDef& f = form();
    if (f.lookupFile != 0 && !offersSignedLinks(f.dataType[line]) && f.link[line] > kFieldsPerLookup)
        f.link[line] = static_cast<uint8_t>((f.link[line] - 1) % kFieldsPerLookup + 1);
}

TextEntry FormPage::typePrompt(int line, std::string_view text) {
    TextEntry e = cutText(text, static_cast<std::size_t>(promptWidth()));
    setFieldText(form().prompt[line], e.text);
    return e;
}

NumberEntry FormPage::typeMinLength(int line, std::string_view text) {
    NumberEntry e = correctNumber(text, kMaxDataLength);
    form().minLength[line] = form().dataType[line] == kTypeBoolean ? 1 : static_cast<uint8_t>(e.value);
    return e;
}

NumberEntry FormPage::typeMaxLength(int line, std::string_view text) {
    NumberEntry e = correctNumber(text, kMaxDataLength);
    form().maxLength[line] = form().dataType[line] == kTypeBoolean ? 1 : static_cast<uint8_t>(e.value);
    return e;
}

RowState FormPage::rowState(int line) const {
    RowState s;
    if (largeFont() && line >= kLargeFontLines) {
        s.dataType = false;
        return s;
    }
    const int type = form().dataType[line];
    s.prompt = type != kTypeNil && type != kTypeExtension && type <= kTypeAlphanumeric;
    s.inputSource = isEntryType(type);
    s.lengths = hasLengths(type);
    s.link = isEntryType(type) || (type == kTypeLookup && hasLookupFile());
    s.more = propertiesKind(line) != PropertiesKind::None;
    return s;
}

std::vector<std::string> FormPage::linkEntries(int line) const {
    std::vector<std::string> list{"nil"};
    auto add = [&list](const char* word) {
        for (int n = 1; n <= kFieldsPerLookup; ++n) list.push_back(word + std::to_string(n));
    };
    if (hasLookupFile()) {
        add("field ");
        if (offersSignedLinks(form().dataType[line])) {
            add("-field ");
            add("+field ");
        }
    } else {
        add("get v");
        add("set v");
        add("get&set v");
    }
    return list;
}

int FormPage::linkSelection(int line) const {
    const int link = form().link[line];
    const int entries = hasLookupFile() && !offersSignedLinks(form().dataType[line]) ? kFieldsPerLookup + 1
                                                                                   : 3 * kFieldsPerLookup + 1;
    return link < entries ? link : -1;
}

std::string FormPage::promptText(int line) const { return std::string(fieldText(form().prompt[line])); }

PropertiesKind FormPage::propertiesKind(int line) const {
    if (largeFont() && line >= kLargeFontLines) return PropertiesKind::None;
    const int type = form().dataType[line];
    if (type == kTypeLookup) return PropertiesKind::LookupField;
    return hasFieldProperties(type) ? PropertiesKind::Field : PropertiesKind::None;
}

void FormPage::commit(ProgramModel& model) {
    std::memcpy(model.forms, forms_, sizeof forms_);
    model.modified = true;
    for (FormDef& f : model.forms) normaliseFormOnCommit(f);
}

}  // namespace fw
