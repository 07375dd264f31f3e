// The Form page's rules on its working copy, and what OK makes of it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/field_properties.h"
#include "editor/form_page.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class FormPageTest : public test::NewProgramTest {
protected:
    // A line of form 1 in the model, before the page opens.
    void line(int i, uint8_t type, const char* prompt, uint8_t maxLength = 80) {
        FormDef& f = model->forms[0];
        f.dataType[i] = type;
        setFieldText(f.prompt[i], prompt);
        f.maxLength[i] = maxLength;
    }

    FormPage& open() {
        page = std::make_unique<FormPage>(*model);
        return *page;
    }

    // Sets every Properties setting a type change may clear.
    static void giveProperties(FormDef& f, int i) {
        f.fixedLengthOn[i] = 1;
        f.alignment[i] = 3;
        f.fixedLength[i] = 12;
        f.initialValueOn[i] = 1;
        setFieldText(f.initialValue[i], "7");
        f.prefixOn[i] = 1;
        f.prefixCode[i][0] = 'P';
        f.suffixOn[i] = 1;
        f.suffixCode[i][0] = 'S';
        f.inputMark[i] = '_';
        f.checkDigit[i] = 2;
        f.partialOn[i] = 1;
        f.leadCodeOn[i] = 1;
    }

    std::string prompt(const FormDef& f, int i) const { return std::string(fieldText(f.prompt[i])); }

    std::unique_ptr<FormPage> page;
};

TEST_F(FormPageTest, LargeFontDisablesRowsFiveToEightAndNilsThemOnOk) {
    for (int i = 0; i < 8; ++i) line(i, kTypeText, "sixteen chars 16");
    model->forms[0].link[6] = 5;
    FormPage& p = open();
    EXPECT_EQ(p.promptWidth(), 16);
    EXPECT_TRUE(p.rowState(6).prompt);

    p.setFont(1);
    EXPECT_EQ(p.promptWidth(), 12);
    for (int i = 4; i < 8; ++i) {
        RowState s = p.rowState(i);
        EXPECT_FALSE(s.dataType || s.prompt || s.inputSource || s.lengths || s.link || s.more) << i;
        EXPECT_EQ(p.propertiesKind(i), PropertiesKind::None);
    }
    EXPECT_TRUE(p.rowState(3).prompt);
    // Texts wider than the new font stay until OK.
    EXPECT_EQ(prompt(p.form(), 0), "sixteen chars 16");

    p.commit(*model);
    const FormDef& f = model->forms[0];
    EXPECT_TRUE(model->modified);
    EXPECT_EQ(prompt(f, 0), "sixteen char");
    for (int i = 4; i < 8; ++i) {
        EXPECT_EQ(f.dataType[i], kTypeNil);
        EXPECT_EQ(prompt(f, i), "");
        EXPECT_EQ(f.link[i], 0);
    }
}

TEST_F(FormPageTest, PromptsAreCutToTheFontWidthAsTyped) {
    line(0, kTypeText, "");
    FormPage& p = open();
    TextEntry e = p.typePrompt(0, "0123456789abcdefXY");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(e.text, "0123456789abcdef");
    EXPECT_EQ(prompt(p.form(), 0), "0123456789abcdef");

    e = p.typePrompt(0, "Qty");
    EXPECT_FALSE(e.putBack);
    EXPECT_EQ(prompt(p.form(), 0), "Qty");

    p.setFont(1);
    e = p.typePrompt(0, "0123456789abc");
    EXPECT_TRUE(e.putBack);
    EXPECT_EQ(e.text, "0123456789ab");
}

TEST_F(FormPageTest, LengthBoxesCorrectThemselves) {
    line(0, kTypeText, "Code");
    FormPage& p = open();
    struct Case {
        const char* typed;
        int value;
        const char* shown;
        bool putBack;
    } cases[] = {{"99", 80, "80", true}, {"", 0, "0", true}, {"07", 7, "7", true},
                 {"x", 0, "0", true},    {"40", 40, "40", false}, {"0", 0, "0", false}};
    for (const Case& c : cases) {
        NumberEntry e = p.typeMaxLength(0, c.typed);
        EXPECT_EQ(e.value, c.value) << c.typed;
        EXPECT_EQ(e.text, c.shown) << c.typed;
        EXPECT_EQ(e.putBack, c.putBack) << c.typed;
        EXPECT_EQ(p.form().maxLength[0], c.value) << c.typed;
    }
    p.typeMinLength(0, "99");
    EXPECT_EQ(p.form().minLength[0], 80);
}

TEST_F(FormPageTest, BooleanLinesStoreLengthOne) {
    FormDef& second = model->forms[1];
    second.dataType[2] = kTypeBoolean;
    second.minLength[2] = 0;
    second.maxLength[2] = 80;
    second.maxLength[3] = 200;    // out of range from a file: shown as 80
    FormPage& p = open();
    EXPECT_EQ(p.form(1).maxLength[2], 80);   // not shown yet

    EXPECT_TRUE(p.chooseForm(1));
    EXPECT_FALSE(p.chooseForm(1));
    EXPECT_EQ(p.form().minLength[2], 1);
    EXPECT_EQ(p.form().maxLength[2], 1);
    EXPECT_EQ(p.form().maxLength[3], 80);
    EXPECT_FALSE(p.rowState(2).lengths);

    NumberEntry e = p.typeMaxLength(2, "40");
    EXPECT_EQ(e.text, "40");
    EXPECT_EQ(p.form().maxLength[2], 1);

    // A line made boolean on the page holds one character as well.
    p.setDataType(5, kTypeBoolean);
    EXPECT_EQ(p.form().minLength[5], 1);
    EXPECT_EQ(p.form().maxLength[5], 1);
}

TEST_F(FormPageTest, MinimumAboveMaximumIsCorrectedOnOk) {
    line(0, kTypeText, "Code");
    FormPage& p = open();
    p.typeMinLength(0, "20");
    p.typeMaxLength(0, "10");
    EXPECT_EQ(p.form().minLength[0], 20);
    p.commit(*model);
    EXPECT_EQ(model->forms[0].minLength[0], 10);
    EXPECT_EQ(model->forms[0].maxLength[0], 10);
}

TEST_F(FormPageTest, ExtensionLinesTakeWhatDoesNotFit) {
    line(0, kTypeText, "Code:", 40);
    line(1, kTypeExtension, "lost");
    line(2, kTypeExtension, "");
    FormDef& f0 = model->forms[0];
    f0.autoEnter[0] = 2;
    f0.inputMark[0] = '_';
    f0.link[1] = 4;
    f0.minLength[2] = 9;
    FormPage& p = open();
    p.commit(*model);
    const FormDef& f = model->forms[0];
    EXPECT_EQ(f.maxLength[1], 29);   // 40 - (16 - 5)
    EXPECT_EQ(f.maxLength[2], 13);   // 29 - 16
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(f.autoEnter[i], 2);
        EXPECT_EQ(f.inputMark[i], '_');
        EXPECT_EQ(prompt(f, i), "");
        EXPECT_EQ(f.link[i], 0);
        EXPECT_EQ(f.minLength[i], 0);
        EXPECT_EQ(f.partialMaxLength[i], 20);
    }
    // Nil lines are reset to the defaults of a new line.
    EXPECT_EQ(f.maxLength[3], 80);
    EXPECT_EQ(f.autoEnter[3], 1);
}

TEST_F(FormPageTest, AtMostFourExtensionLinesAreLaidOut) {
    line(0, kTypeInteger, "", 80);
    for (int i = 1; i <= 5; ++i) line(i, kTypeExtension, "", 77);
    open().commit(*model);
    const FormDef& f = model->forms[0];
    EXPECT_EQ(f.maxLength[1], 64);
    EXPECT_EQ(f.maxLength[2], 48);
    EXPECT_EQ(f.maxLength[3], 32);
    EXPECT_EQ(f.maxLength[4], 16);
    EXPECT_EQ(f.maxLength[5], 77);   // the fifth is left as it was

    // Nothing goes below zero.
    line(0, kTypeText, "0123456789", 3);
    open().commit(*model);
    EXPECT_EQ(model->forms[0].maxLength[1], 0);
    EXPECT_EQ(model->forms[0].maxLength[2], 0);
}

TEST_F(FormPageTest, LinkListsFollowTheLookupFileAndTheType) {
    line(0, kTypeInteger, "Qty");
    line(1, kTypeText, "Name");
    model->forms[0].link[1] = 20;    // "get&set v4"
    FormPage& p = open();
    EXPECT_EQ(p.linkHeading(), LinkHeading::Variables);
    EXPECT_EQ(p.linkEntries(1).size(), 25u);
    EXPECT_EQ(p.linkEntries(1)[20], "get&set v4");
    EXPECT_EQ(p.linkSelection(1), 20);

    EXPECT_TRUE(p.setLookupFile(1));
    EXPECT_FALSE(p.setLookupFile(1));
    EXPECT_EQ(p.linkHeading(), LinkHeading::Lookup);
    EXPECT_EQ(p.form().link[1], 4);              // folded to "field 4"
    EXPECT_EQ(p.linkEntries(1).size(), 9u);
    EXPECT_EQ(p.linkEntries(1)[4], "field 4");

    const auto integerEntries = p.linkEntries(0);
    ASSERT_EQ(integerEntries.size(), 25u);
    EXPECT_EQ(integerEntries[11], "-field 3");
    EXPECT_EQ(integerEntries[24], "+field 8");
    p.setLink(0, 11);
    p.setDataType(0, kTypeText);
    EXPECT_EQ(p.form().link[0], 3);
    EXPECT_EQ(p.linkSelection(0), 3);
}

TEST_F(FormPageTest, RowControlsFollowTheDataType) {
    FormPage& p = open();
    auto state = [&p](int type) {
        p.setDataType(0, type);
        return p.rowState(0);
    };
    RowState s = state(kTypeNil);
    EXPECT_TRUE(s.dataType);
    EXPECT_FALSE(s.prompt || s.inputSource || s.lengths || s.link || s.more);
    s = state(kTypeBoolean);
    EXPECT_TRUE(s.prompt && s.inputSource && s.link && s.more);
    EXPECT_FALSE(s.lengths);
    s = state(kTypeFixedData);
    EXPECT_TRUE(s.prompt && s.more);
    EXPECT_FALSE(s.inputSource || s.lengths || s.link);
    s = state(kTypeExtension);
    EXPECT_FALSE(s.prompt || s.more);
    s = state(kTypeAlphanumeric);
    EXPECT_TRUE(s.prompt && s.inputSource && s.lengths && s.link && s.more);

    s = state(kTypeLookup);
    EXPECT_FALSE(s.link);
    EXPECT_EQ(p.propertiesKind(0), PropertiesKind::LookupField);
    p.setLookupFile(2);
    EXPECT_TRUE(p.rowState(0).link);
    p.setDataType(0, kTypePrompt);
    EXPECT_EQ(p.propertiesKind(0), PropertiesKind::None);
}

TEST_F(FormPageTest, TypeChangesResetPropertiesOnlyWhereTheyLoseTheirMeaning) {
    struct Case {
        uint8_t from, to;
        bool resets;
    } cases[] = {
        {kTypeText, kTypeNil, true},          {kTypeAlphanumeric, kTypeText, false},
        {kTypeText, kTypeInteger, false},     {kTypeText, kTypeAlphanumeric, true},
        {kTypeText, kTypeFixedData, true},    {kTypeLookup, kTypeText, true},
        {kTypeLookup, kTypeFixedData, false}, {kTypeText, kTypeText, false},
        {kTypePrompt, kTypeBoolean, true},    {kTypeAlphanumeric, kTypePause, false},
    };
    for (const Case& c : cases) {
        model->forms[0].dataType[0] = c.from;
        giveProperties(model->forms[0], 0);
        FormPage& p = open();
        p.setDataType(0, c.to);
        const FormDef& f = p.form();
        const std::string what = std::to_string(c.from) + " -> " + std::to_string(c.to);
        if (c.resets) {
            EXPECT_EQ(f.fixedLengthOn[0] + f.alignment[0] + f.fixedLength[0] + f.initialValueOn[0] +
                          f.initialValue[0][0] + f.prefixOn[0] + f.prefixCode[0][0] + f.suffixOn[0] +
                          f.suffixCode[0][0] + f.inputMark[0] + f.checkDigit[0],
                      0)
                << what;
        } else {
            EXPECT_EQ(f.fixedLength[0], 12) << what;
            EXPECT_EQ(f.prefixCode[0][0], 'P') << what;
            EXPECT_EQ(f.checkDigit[0], 2) << what;
        }
        // Barcode-input settings are never part of the reset.
        EXPECT_EQ(f.partialOn[0], 1) << what;
        EXPECT_EQ(f.leadCodeOn[0], 1) << what;
    }
}

TEST_F(FormPageTest, OkClearsPropertiesOfTypesThatCannotUseThem) {
    FormDef& f = model->forms[0];
    f.dataType[0] = kTypePrompt;
    f.dataType[1] = kTypeLookup;
    f.dataType[2] = kTypeLookup;
    f.dataType[3] = kTypeFixedData;
    for (int i = 0; i < 4; ++i) giveProperties(f, i);
    f.initialValueOn[2] = 0;     // "Save field data" off
    FormPage& p = open();
    p.commit(*model);
    const FormDef& m = model->forms[0];
    EXPECT_EQ(m.prefixCode[0][0], 0);
    EXPECT_EQ(m.fixedLength[0], 0);
    EXPECT_EQ(m.initialValueOn[0], 1);    // only the value goes
    EXPECT_EQ(m.initialValue[0][0], 0);
    EXPECT_EQ(m.checkDigit[0], 2);
    EXPECT_EQ(m.prefixCode[1][0], 'P');   // a saved lookup field keeps them
    EXPECT_EQ(m.inputMark[2], 0);
    EXPECT_EQ(m.suffixCode[2][0], 0);
    EXPECT_EQ(m.prefixCode[3][0], 'P');
}

// Partial reading never reaches the terminal as a read of nothing, whether
// the line was opened in its dialog or not.
TEST_F(FormPageTest, OkGivesPartialReadingAStartAndALength) {
    FormDef& f = model->forms[0];
    f.dataType[0] = kTypeText;
    f.partialOn[0] = 1;        // from a file, never opened: start 0, max 0
    f.partialStart[0] = 0;
    f.partialMaxLength[0] = 0;
    f.dataType[1] = kTypeText;
    f.partialOn[1] = 1;
    f.partialStart[1] = 3;
    f.dataType[2] = kTypeText;  // off: kept as it is
    f.partialMaxLength[2] = 0;
    FormPage& p = open();
    FieldProperties props(p.form(), 1);
    props.typePartialMaxLength("0");
    props.ok();
    p.commit(*model);
    const FormDef& m = model->forms[0];
    EXPECT_EQ(m.partialStart[0], 1);
    EXPECT_EQ(m.partialMaxLength[0], 80);
    EXPECT_EQ(m.partialStart[1], 3);
    EXPECT_EQ(m.partialMaxLength[1], 80);
    EXPECT_EQ(m.partialMaxLength[2], 0);
}

TEST_F(FormPageTest, NothingReachesTheModelBeforeOk) {
    FormPage& p = open();
    p.setDataType(0, kTypeText);
    p.typePrompt(0, "Item");
    p.chooseForm(4);
    p.setRecordAction(3);
    EXPECT_EQ(model->forms[0].dataType[0], kTypeNil);
    EXPECT_EQ(model->forms[4].recordAction, 0);
    EXPECT_FALSE(model->modified);
    p.commit(*model);
    EXPECT_EQ(model->forms[0].dataType[0], kTypeText);
    EXPECT_EQ(prompt(model->forms[0], 0), "Item");
    EXPECT_EQ(model->forms[4].recordAction, 3);
}

}  // namespace
}  // namespace fw
