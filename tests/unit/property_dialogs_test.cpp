// The field Properties, lookup-field Properties, stamp and branch dialogs on
// a form of the Form page's working copy.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/field_properties.h"
#include "editor/stamp_branch.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class PropertyDialogs : public test::NewProgramTest {
protected:
    FormDef& form() { return model->forms[0]; }

    std::string text(const uint8_t* field, std::size_t width) { return std::string(fieldText(field, width)); }

    // Clicks the cell of `code` in a grid area of 340 x 170 pixels.
    static GridClick clickCode(CharacterGrid& grid, int code) {
        const int w = 340 / grid.columns();
        const int h = 170 / CharacterGrid::kRows;
        return grid.click((code / 16 + 1) * w + 1, (code % 16 + 1) * h + 1, 340, 170);
    }

};

TEST_F(PropertyDialogs, InitialValuesFollowTheLineType) {
    struct Case {
        uint8_t type;
        const char* typed;
        const char* kept;
    } cases[] = {
        {kTypeReal, "12a.5.3", "1253"},      {kTypeReal, "12.5x", "12.5"},      {kTypeAuto, "-3.25", "3.25"},
        {kTypeInteger, "1a2.0", "120"},      {kTypeBoolean, "Y", "Y"},          {kTypeBoolean, "X", ""},
        {kTypeBoolean, "yes", "y"},          {kTypeAlphanumeric, "AB12-x", "AB12"},
        {kTypeText, "a b-c.d/e/f", "a b-c.d/e"}, {kTypeLetter, "a1", "a1"},
    };
    for (const Case& c : cases) {
        form().dataType[0] = c.type;
        FieldProperties d(form(), 0);
        TextEntry e = d.typeInitialValue(c.typed);
        EXPECT_EQ(e.text, c.kept) << c.typed;
        EXPECT_EQ(e.putBack, e.text != c.typed) << c.typed;
        EXPECT_EQ(text(form().initialValue[0], 10), c.kept) << c.typed;
        EXPECT_EQ(d.view().initialValueBox.limit, c.type == kTypeBoolean ? 1 : 9);
    }
}

TEST_F(PropertyDialogs, OpeningCorrectsStoredValuesTheBoxesWouldRefuse) {
    FormDef& f = form();
    f.dataType[2] = kTypeReal;
    setFieldText(f.initialValue[2], "1.2.3");
    f.partialStart[2] = 0;
    f.partialMaxLength[2] = 0;
    f.partialOn[2] = 0;
    FieldProperties d(f, 2);
    FieldProperties::View v = d.view();
    EXPECT_EQ(v.initialValueBox.text, "123");
    EXPECT_EQ(v.partialStart.text, "1");
    EXPECT_EQ(v.partialMaxLength.text, "80");
    EXPECT_FALSE(v.partialStart.enabled);
    EXPECT_TRUE(v.decimals.enabled);

    // OK stores a start of 1 even with partial reading off.
    d.typePartialStart("");
    EXPECT_EQ(f.partialStart[2], 0);
    d.ok();
    EXPECT_EQ(f.partialStart[2], 1);

    f.partialMaxLength[3] = 200;
    FieldProperties other(f, 3);
    EXPECT_EQ(f.partialMaxLength[3], 80);
    EXPECT_FALSE(other.view().decimals.enabled);
}

TEST_F(PropertyDialogs, NumberBoxesClampToTheirMaximum) {
    form().dataType[0] = kTypeText;
    FieldProperties d(form(), 0);
    NumberEntry e = d.typeFixedLength("300");
    EXPECT_EQ(e.text, "255");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(form().fixedLength[0], 255);
    EXPECT_EQ(d.typeFixedLength("007").text, "7");
    EXPECT_EQ(d.typePartialMaxLength("99").value, 80);
    EXPECT_EQ(d.typePartialStart("abc").value, 0);
}

TEST_F(PropertyDialogs, CheckBoxesEnableTheirInputs) {
    FormDef& f = form();
    f.dataType[0] = kTypeFixedData;
    f.inputMark[0] = '*';
    setFieldText(f.initialValue[0], "abc");
    FieldProperties fixed(f, 0);
    FieldProperties::View v = fixed.view();
    EXPECT_FALSE(v.initialValue.enabled || v.initialValueBox.enabled || v.inputMark.enabled || v.inputMarkBox.enabled);
    EXPECT_EQ(v.initialValueBox.text, "");
    EXPECT_EQ(text(f.initialValue[0], 10), "abc");   // untouched
    EXPECT_FALSE(v.fixedLengthBox.enabled || v.alignment.enabled);
    fixed.checkFixedLength(true);
    v = fixed.view();
    EXPECT_TRUE(v.fixedLengthBox.enabled && v.alignment.enabled);

    f.dataType[1] = kTypeInteger;
    FieldProperties d(f, 1);
    v = d.view();
    EXPECT_FALSE(v.checkDigit.checked);
    EXPECT_EQ(v.checkDigitMethod.selection, 0);
    EXPECT_FALSE(v.checkDigitMethod.enabled);
    d.checkCheckDigit(true);
    EXPECT_EQ(f.checkDigit[1], 1);
    d.chooseCheckDigitMethod(7);
    EXPECT_EQ(f.checkDigit[1], 8);
    EXPECT_EQ(d.view().checkDigitMethod.selection, 7);
    d.checkCheckDigit(false);
    EXPECT_EQ(f.checkDigit[1], 0);
    EXPECT_FALSE(d.view().checkDigitMethod.enabled);
    EXPECT_TRUE(d.view().autoEnter.enabled);
}

TEST_F(PropertyDialogs, InputMarkAndLeadingCode) {
    FormDef& f = form();
    f.dataType[0] = kTypeText;
    FieldProperties d(f, 0);
    EXPECT_FALSE(d.view().inputMarkBox.enabled);
    d.checkInputMark(true);
    TextEntry e = d.typeInputMark("*#");
    EXPECT_EQ(e.text, "*");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(f.inputMark[0], '*');

    e = d.typeLeadCode("ABCDEFG");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(e.text, "ABCDEF");
    EXPECT_EQ(std::memcmp(f.leadCode[0], "ABCDEF", 6), 0);   // no terminator
    EXPECT_EQ(f.autoEnter[0], 1);

    d.checkInputMark(false);
    d.ok();
    EXPECT_EQ(f.inputMark[0], 0);
}

TEST_F(PropertyDialogs, CancelRestoresEverythingTheGridChanged) {
    FormDef& f = form();
    f.dataType[0] = kTypeText;
    f.prefixOn[0] = 1;
    f.prefixCode[0][0] = 0x0D;
    const FormDef before = f;

    FieldProperties d(f, 0);
    EXPECT_EQ(d.view().prefixBox.text, " Enter");
    CharacterGrid grid = d.prefixBox().openGrid();
    EXPECT_TRUE(d.prefixBox().editing());
    EXPECT_EQ(grid.resultText(), " Enter");
    clickCode(grid, 'A');
    clickCode(grid, 0x1B);
    d.prefixBox().closeGrid(grid, true);
    EXPECT_EQ(d.view().prefixBox.text, " Enter A ESC");
    d.checkSuffix(true);
    d.typeFixedLength("12");
    d.typeLeadCode("99");
    d.cancel();
    EXPECT_EQ(std::memcmp(&f, &before, sizeof f), 0);

    // OK writes the holders: codes ended by a zero byte.
    FieldProperties again(f, 0);
    CharacterGrid g = again.suffixBox().openGrid();
    clickCode(g, 'Z');
    again.suffixBox().closeGrid(g, true);
    again.ok();
    EXPECT_EQ(f.suffixCode[0][0], 'Z');
    EXPECT_EQ(f.suffixCode[0][1], 0);
    EXPECT_EQ(f.prefixCode[0][0], 0x0D);
}

TEST_F(PropertyDialogs, LineCodesHoldNineCodesAndAZero) {
    FormDef& f = form();
    f.dataType[0] = kTypeText;
    std::memset(f.prefixCode[0], 'Q', 10);     // a full field from a file
    FieldProperties d(f, 0);
    CharacterGrid grid = d.prefixBox().openGrid();
    EXPECT_EQ(grid.count(), 9);
    EXPECT_EQ(clickCode(grid, 'R'), GridClick::TooMany);
    d.prefixBox().closeGrid(grid, true);
    d.ok();
    EXPECT_EQ(text(f.prefixCode[0], 10), "QQQQQQQQQ");
}

TEST_F(PropertyDialogs, LookupFieldOptionsNeedSaveFieldData) {
    FormDef& f = form();
    f.dataType[0] = kTypeLookup;
    f.fixedLengthOn[0] = 1;
    f.prefixOn[0] = 1;
    f.suffixOn[0] = 1;
    f.inputMark[0] = '#';
    LookupFieldProperties d(f, 0);
    LookupFieldProperties::View v = d.view();
    EXPECT_FALSE(v.saveFieldData.checked);
    for (const ControlState* s : {&v.fixedLength, &v.fixedLengthBox, &v.alignment, &v.prefix, &v.prefixBox,
                                  &v.suffix, &v.suffixBox})
        EXPECT_FALSE(s->enabled);
    EXPECT_TRUE(v.fixedLength.checked);

    d.checkSaveFieldData(true);
    d.checkSuffix(false);
    v = d.view();
    EXPECT_EQ(f.initialValueOn[0], 1);
    EXPECT_TRUE(v.fixedLengthBox.enabled && v.alignment.enabled && v.prefixBox.enabled && v.suffix.enabled);
    EXPECT_FALSE(v.suffixBox.enabled);
    d.ok();
    EXPECT_EQ(f.inputMark[0], 0);
}

TEST_F(PropertyDialogs, StampSamplesFollowTheSettings) {
    FormDef& f = form();   // new: year, month, day, "/", hour, minute, second, ":"
    StampDialog d(f);
    EXPECT_EQ(d.dateSample(), "Date Format : YYYY/MM/DD");
    EXPECT_EQ(d.timeSample(), "Time Format : HH:MM:SS");

    d.choose(StampList::DateStyle, 2);
    d.choose(StampList::YearDigits, 1);
    EXPECT_EQ(d.dateSample(), "Date Format : DD/MM/YY");
    d.check(StampCheck::Month, false);
    EXPECT_EQ(d.dateSample(), "Date Format : DD/YY");
    d.check(StampCheck::DateSeparator, false);
    EXPECT_EQ(d.dateSample(), "Date Format : DDYY");

    d.check(StampCheck::Minute, false);
    EXPECT_EQ(d.timeSample(), "Time Format : HH:SS");
    TextEntry e = d.typeTimeSeparator("-+");
    EXPECT_EQ(e.text, "-");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(d.timeSample("Zeit : "), "Zeit : HH-SS");
    d.typeTimeSeparator("");
    EXPECT_EQ(f.stampTimeSep[0], 0);
    EXPECT_EQ(d.timeSample(), "Time Format : HHSS");

    d.cancel();
    EXPECT_EQ(f.stampDateStyle, 0);
    EXPECT_EQ(f.stampMonth, 1);
    EXPECT_EQ(f.stampTimeSep[0], ':');
}

TEST_F(PropertyDialogs, BranchesAboveTenShowAsDisable) {
    FormDef& f = form();
    f.branch[0] = 12;
    f.branch[1] = 10;
    BranchDialog d(f);
    EXPECT_EQ(d.selection(0), 0);
    EXPECT_EQ(f.branch[0], 0);
    EXPECT_EQ(d.selection(1), 10);
    d.choose(2, 4);
    EXPECT_EQ(f.branch[2], 4);
    d.cancel();
    EXPECT_EQ(f.branch[0], 12);
    EXPECT_EQ(f.branch[2], 0);
}

}  // namespace
}  // namespace fw
