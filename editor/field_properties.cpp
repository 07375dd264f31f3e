#include "editor/field_properties.h"

#include <algorithm>
#include <cstring>

#include "model/fixed_text.h"

namespace fw {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

ControlState checkState(bool checked, bool enabled = true) {
    return checkedState(checked, enabled);
}

ControlState boxState(std::string text, bool enabled, int limit) {
    ControlState s;
    s.text = std::move(text);
    s.enabled = enabled;
    s.limit = limit;
    return s;
}

ControlState listState(int value, int entries, bool enabled) {
    return selectedState(value < entries ? value : -1, enabled);
}

}  // namespace

TextEntry filterInitialValue(int type, std::string_view typed) {
    const std::size_t limit = type == kTypeBoolean ? 1 : kInitialValueChars;
    std::string_view cut = typed.substr(0, limit);
    std::string out;
    switch (type) {
        case kTypeInteger:
            for (char c : cut)
                if (isDigit(c)) out += c;
            break;
        case kTypeReal:
        case kTypeAuto: {
            const bool oneDot = std::count(cut.begin(), cut.end(), '.') == 1;
            for (char c : cut)
                if (isDigit(c) || (c == '.' && oneDot)) out += c;
            break;
        }
        case kTypeBoolean:
            if (!cut.empty() && std::string_view("10TFtfYNyn").find(cut[0]) != std::string_view::npos) out = cut;
            break;
        case kTypeAlphanumeric:
            for (char c : cut) {
                if (!isDigit(c) && !isLetter(c)) break;
                out += c;
            }
            break;
        default:
            out = cut;
            break;
    }
    TextEntry e;
    e.putBack = out != typed;
    e.text = std::move(out);
    return e;
}

// ---- both dialogs ----

LinePropertiesBase::LinePropertiesBase(FormDef& form, int line)
    : form_(form),
      line_(line),
      backup_(form),
      prefix_(GridBox::multiCode(form.prefixCode[line], sizeof form.prefixCode[line], kLineCodeCapacity)),
      suffix_(GridBox::multiCode(form.suffixCode[line], sizeof form.suffixCode[line], kLineCodeCapacity)) {}

NumberEntry LinePropertiesBase::typeFixedLength(std::string_view text) {
    NumberEntry e = correctNumber(text, kFixedLengthMax);
    form_.fixedLength[line_] = static_cast<uint8_t>(e.value);
    return e;
}

void LinePropertiesBase::storeCodes() {
    auto store = [](uint8_t (&field)[10], const GridBox& box) {
        std::memset(field, 0, sizeof field);
        std::memcpy(field, box.codes(), kLineCodeCapacity);
    };
    store(form_.prefixCode[line_], prefix_);
    store(form_.suffixCode[line_], suffix_);
}

ControlState LinePropertiesBase::alignmentState(bool enabled) const {
    return listState(form_.alignment[line_], 4, enabled);
}

ControlState LinePropertiesBase::fixedLengthBoxState(bool enabled) const {
    return boxState(std::to_string(form_.fixedLength[line_]), enabled, kFixedLengthChars);
}

// ---- field Properties ----

FieldProperties::FieldProperties(FormDef& form, int line) : LinePropertiesBase(form, line) {
    markShown_ = form.inputMark[line] != 0;
    if (!fixedData()) typeInitialValue(fieldText(form.initialValue[line]));
    correctPartialReading(form, line);
}



TextEntry FieldProperties::typeInitialValue(std::string_view text) {
    TextEntry e = filterInitialValue(form_.dataType[line_], text);
    setFieldText(form_.initialValue[line_], e.text);
    return e;
}

TextEntry FieldProperties::typeInputMark(std::string_view text) {
    TextEntry e = cutText(text, 1);
    form_.inputMark[line_] = e.text.empty() ? 0 : static_cast<uint8_t>(e.text[0]);
    return e;
}

NumberEntry FieldProperties::typePartialStart(std::string_view text) {
    NumberEntry e = correctNumber(text, kPartialMax);
    form_.partialStart[line_] = static_cast<uint8_t>(e.value);
    return e;
}

NumberEntry FieldProperties::typePartialMaxLength(std::string_view text) {
    NumberEntry e = correctNumber(text, kPartialMax);
    form_.partialMaxLength[line_] = static_cast<uint8_t>(e.value);
    return e;
}

// The leading code may fill its 6 bytes without a terminator.
TextEntry FieldProperties::typeLeadCode(std::string_view text) {
    TextEntry e = cutText(text, kLeadCodeChars);
    setFieldText(form_.leadCode[line_], sizeof form_.leadCode[line_], e.text, kLeadCodeChars);
    return e;
}

FieldProperties::View FieldProperties::view() const {
    const FormDef& f = form_;
    const int i = line_;
    const int type = f.dataType[i];
    View v;
    v.fixedLength = checkState(f.fixedLengthOn[i]);
    v.fixedLengthBox = fixedLengthBoxState(f.fixedLengthOn[i]);
    v.alignment = alignmentState(f.fixedLengthOn[i]);

    const bool fixed = fixedData();
    v.initialValue = checkState(!fixed && f.initialValueOn[i], !fixed);
    v.initialValueBox = boxState(fixed ? std::string() : std::string(fieldText(f.initialValue[i])),
                                 !fixed && f.initialValueOn[i], type == kTypeBoolean ? 1 : kInitialValueChars);

    v.prefix = checkState(f.prefixOn[i]);
    v.prefixBox = boxState(prefix_.text(), f.prefixOn[i], 0);
    v.suffix = checkState(f.suffixOn[i]);
    v.suffixBox = boxState(suffix_.text(), f.suffixOn[i], 0);

    v.inputMark = checkState(!fixed && markShown_, !fixed);
    std::string mark = !fixed && f.inputMark[i] ? std::string(1, static_cast<char>(f.inputMark[i])) : std::string();
    v.inputMarkBox = boxState(mark, !fixed && markShown_, 1);

    v.decimals = listState(f.decimals[i], 7, type == kTypeReal);

    v.partial = checkState(f.partialOn[i]);
    v.partialStart = boxState(std::to_string(f.partialStart[i]), f.partialOn[i], kPartialChars);
    v.partialMaxLength = boxState(std::to_string(f.partialMaxLength[i]), f.partialOn[i], kPartialChars);

    v.leadCode = checkState(f.leadCodeOn[i]);
    v.leadCodeBox = boxState(std::string(fieldText(f.leadCode[i])), f.leadCodeOn[i], kLeadCodeChars);

    const int method = f.checkDigit[i];
    v.checkDigit = checkState(method != 0);
    v.checkDigitMethod = listState(method == 0 ? 0 : method - 1, 8, method != 0);

    v.autoEnter = listState(f.autoEnter[i], 3, true);
    return v;
}

void FieldProperties::ok() {
    if (!markShown_) form_.inputMark[line_] = 0;
    correctPartialReading(form_, line_);
    storeCodes();
}

// ---- lookup-field Properties ----

LookupFieldProperties::View LookupFieldProperties::view() const {
    const FormDef& f = form_;
    const int i = line_;
    const bool save = f.initialValueOn[i];
    View v;
    v.saveFieldData = checkState(save);
    v.fixedLength = checkState(f.fixedLengthOn[i], save);
    v.fixedLengthBox = fixedLengthBoxState(save && f.fixedLengthOn[i]);
    v.alignment = alignmentState(save && f.fixedLengthOn[i]);
    v.prefix = checkState(f.prefixOn[i], save);
    v.prefixBox = boxState(prefix_.text(), save && f.prefixOn[i], 0);
    v.suffix = checkState(f.suffixOn[i], save);
    v.suffixBox = boxState(suffix_.text(), save && f.suffixOn[i], 0);
    return v;
}

void LookupFieldProperties::ok() {
    form_.inputMark[line_] = 0;
    storeCodes();
}

}  // namespace fw
