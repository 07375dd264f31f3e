// The field Properties dialog and the lookup-field Properties dialog of a
// form line. Both edit the Form page's working copy of the current form
// directly; Cancel puts back the whole form as it was when they opened.
#pragma once

#include <string>
#include <string_view>

#include "editor/character_grid.h"
#include "ui/control_state.h"
#include "editor/number_box.h"
#include "model/form_rules.h"
#include "model/program_model.h"

namespace fw {

constexpr int kFixedLengthMax = 255;
constexpr int kFixedLengthChars = 3;
constexpr int kPartialMax = 80;
constexpr int kPartialChars = 2;
constexpr int kInitialValueChars = 9;
constexpr int kLeadCodeChars = 6;
// Prefix and suffix codes are stored as at most 9 codes and a zero byte, so
// their grid takes no more than 9: a tenth would be lost on OK.
constexpr int kLineCodeCapacity = 9;

// The initial-value rules of a line of `type`: cut to 9 characters (1 for a
// boolean), then integers keep digits; reals and auto(+/-) keep digits and a
// single '.'; a boolean keeps only 1 0 T F t f Y N y n; alphanumerics stop at
// the first character that is no letter or digit.
TextEntry filterInitialValue(int type, std::string_view typed);

// The whole current form as it was when a dialog opened.
class FormBackup {
public:
    explicit FormBackup(FormDef& form) : form_(form), saved_(form) {}
    void restore() { form_ = saved_; }

private:
    FormDef& form_;
    FormDef saved_;
};

// What both Properties dialogs share: the backup, fixed length and the
// prefix and suffix holders.
class LinePropertiesBase {
public:
    LinePropertiesBase(FormDef& form, int line);

    int line() const { return line_; }
    const FormDef& form() const { return form_; }
    // The number of the form the line belongs to (1-10), as shown.
    int formNumber() const { return formNumber_; }
    void setFormNumber(int number) { formNumber_ = number; }

    void checkFixedLength(bool on) { form_.fixedLengthOn[line_] = on; }
    NumberEntry typeFixedLength(std::string_view text);
    void chooseAlignment(int position) { form_.alignment[line_] = static_cast<uint8_t>(position); }
    void checkPrefix(bool on) { form_.prefixOn[line_] = on; }
    void checkSuffix(bool on) { form_.suffixOn[line_] = on; }
    GridBox& prefixBox() { return prefix_; }
    GridBox& suffixBox() { return suffix_; }

    void cancel() { backup_.restore(); }

protected:
    // Writes the holders back: at most 9 codes each, ended by a zero byte.
    void storeCodes();
    ControlState alignmentState(bool enabled) const;
    ControlState fixedLengthBoxState(bool enabled) const;

    FormDef& form_;
    int line_;
    int formNumber_ = 0;
    FormBackup backup_;
    GridBox prefix_;
    GridBox suffix_;
};

class FieldProperties : public LinePropertiesBase {
public:
    // Opening: stored values that the boxes' rules no longer allow are
    // corrected at once (initial value, partial start and maximum length).
    FieldProperties(FormDef& form, int line);

    void checkInitialValue(bool on) { form_.initialValueOn[line_] = on; }
    TextEntry typeInitialValue(std::string_view text);
    void checkInputMark(bool on) { markShown_ = on; }
    TextEntry typeInputMark(std::string_view text);
    void chooseDecimals(int position) { form_.decimals[line_] = static_cast<uint8_t>(position); }
    void checkPartial(bool on) { form_.partialOn[line_] = on; }
    NumberEntry typePartialStart(std::string_view text);
    NumberEntry typePartialMaxLength(std::string_view text);
    void checkLeadCode(bool on) { form_.leadCodeOn[line_] = on; }
    TextEntry typeLeadCode(std::string_view text);
    void checkCheckDigit(bool on) { form_.checkDigit[line_] = on ? 1 : 0; }
    void chooseCheckDigitMethod(int position) { form_.checkDigit[line_] = static_cast<uint8_t>(position + 1); }
    void chooseAutoEnter(int position) { form_.autoEnter[line_] = static_cast<uint8_t>(position); }

    struct View {
        ControlState fixedLength, fixedLengthBox, alignment;
        ControlState initialValue, initialValueBox;
        ControlState prefix, prefixBox, suffix, suffixBox;
        ControlState inputMark, inputMarkBox;
        ControlState decimals;
        ControlState partial, partialStart, partialMaxLength;
        ControlState leadCode, leadCodeBox;
        ControlState checkDigit, checkDigitMethod;
        ControlState autoEnter;
    };
    View view() const;

    void ok();

private:
    bool fixedData() const { return form_.dataType[line_] == kTypeFixedData; }

    bool markShown_ = false;
};

class LookupFieldProperties : public LinePropertiesBase {
public:
    LookupFieldProperties(FormDef& form, int line) : LinePropertiesBase(form, line) {}

    // "Save field data" shares its byte with "Initial value or text".
    void checkSaveFieldData(bool on) { form_.initialValueOn[line_] = on; }

    struct View {
        ControlState saveFieldData;
        ControlState fixedLength, fixedLengthBox, alignment;
        ControlState prefix, prefixBox, suffix, suffixBox;
    };
    View view() const;

    void ok();
};

}  // namespace fw
