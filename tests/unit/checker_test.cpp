#include "check/checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

// A small sound program: menu 1 "Count" opens form 1 (code and quantity),
// whose Next repeats it and whose ESC returns to menu 1.
void soundProgram(ProgramModel& m) {
    m.settings.startFrom = 1;
    MenuDef& menu = m.menus[0];
    setFieldText(menu.itemName[0], "Count");
    menu.itemNext[0] = targetForm(1);
    FormDef& f = m.forms[0];
    f.dataType[0] = kTypeText;
    setFieldText(f.prompt[0], "Code:");
    f.maxLength[0] = 13;
    f.dataType[1] = kTypeInteger;
    setFieldText(f.prompt[1], "Qty:");
    f.maxLength[1] = 5;
    f.escTarget = targetMenu(1);
}

// Prompts in the large font, with the message texts that go with it.
void largeFontPrompts(ProgramModel& m) {
    static const auto texts = [] {
        auto d = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*d);
        return d;
    }();
    m.settings.largeFont = 1;
    copyDefaultTexts(m, *texts);
}

using Change = std::function<void(ProgramModel&)>;

struct RuleCase {
    const char* name;
    Change fault;     // the program with the fault
    Change sound;     // a near program without it
    Severity severity;
    const char* place;
    const char* words; // part of the sentence
};

const RuleCase kRules[] = {
    {"menu item into a form without input lines",
     [](ProgramModel& m) { m.menus[0].itemNext[0] = targetForm(2); },
     [](ProgramModel& m) { m.menus[0].itemNext[0] = targetForm(2); m.forms[1].dataType[0] = kTypeText;
                           m.forms[1].nextTarget = targetForm(1); },
     Severity::Error, "menus[0].items[0]", "item #1 goes to form 2, which has no input lines"},
    {"Esc into a menu without items",
     [](ProgramModel& m) { m.forms[0].escTarget = targetMenu(4); },
     [](ProgramModel& m) { m.forms[0].escTarget = kTargetMain; },
     Severity::Error, "forms[0]", "ESC goes to menu 4, which has no items"},
    {"branch key into a damaged target",
     [](ProgramModel& m) { m.forms[0].branch[2] = 42; },
     [](ProgramModel& m) { m.forms[0].branch[2] = 1; },
     Severity::Error, "forms[0]", "FN + 3 goes to target code 42"},
    {"start menu with nothing to run",
     [](ProgramModel& m) { setFieldText(m.menus[0].itemName[0], "  "); },
     [](ProgramModel& m) { m.settings.startFrom = 0; m.forms[0].escTarget = 0; setFieldText(m.menus[0].itemName[0], "  "); },
     Severity::Error, "settings.startFrom", "Please define your program!"},
    {"start form without input lines falls back to menu 1",
     [](ProgramModel& m) { m.settings.startFrom = 0; m.forms[0].dataType[0] = m.forms[0].dataType[1] = kTypeNil; m.menus[0].itemNext[0] = 0; },
     [](ProgramModel& m) { m.settings.startFrom = 0; },
     Severity::Warning, "settings.startFrom", "Collect opens menu 1 instead"},
    {"lookup line on a form without a lookup file",
     [](ProgramModel& m) { m.forms[0].dataType[2] = kTypeLookup; },
     [](ProgramModel& m) { m.forms[0].dataType[2] = kTypeLookup; m.forms[0].lookupFile = 1;
                           m.lookups[0].memberLength = 20; m.lookups[0].fieldCount = 2;
                           m.lookups[0].fieldLength[0] = 10; m.lookups[0].fieldOffset[1] = 11;
                           m.lookups[0].fieldLength[1] = 10; },
     Severity::Error, "forms[0].lines[2]", "the form has no lookup file"},
    {"lookup field the definition lacks",
     [](ProgramModel& m) { m.forms[0].lookupFile = 2; m.lookups[1].memberLength = 9; m.lookups[1].fieldCount = 1;
                           m.lookups[1].delimiter = ','; m.forms[0].link[1] = 16 + 3; },   // "+field 3"
     [](ProgramModel& m) { m.forms[0].lookupFile = 2; m.lookups[1].memberLength = 9; m.lookups[1].fieldCount = 3;
                           m.lookups[1].delimiter = ','; m.forms[0].link[1] = 16 + 3; },
     Severity::Error, "forms[0].lines[1]", "takes field 3 of lookup file 2, which has only 1 field"},
    {"form on a lookup file without definition",
     [](ProgramModel& m) { m.forms[0].lookupFile = 3; },
     [](ProgramModel& m) { m.forms[0].lookupFile = 0; },
     Severity::Error, "forms[0]", "lookup file 3, which has no record length or no fields"},
    {"lookup key field beyond its fields",
     [](ProgramModel& m) { m.lookups[0].memberLength = 8; m.lookups[0].fieldCount = 2; m.lookups[0].delimiter = ',';
                           m.lookups[0].keyField = 2; },
     [](ProgramModel& m) { m.lookups[0].memberLength = 8; m.lookups[0].fieldCount = 2; m.lookups[0].delimiter = ',';
                           m.lookups[0].keyField = 1; },
     Severity::Error, "lookups[0]", "the key field #3 is not one of its 2 fields"},
    {"fixed-length lookup field past the record",
     [](ProgramModel& m) { m.lookups[0].memberLength = 10; m.lookups[0].fieldCount = 1; m.lookups[0].fieldOffset[0] = 4;
                           m.lookups[0].fieldLength[0] = 8; },
     [](ProgramModel& m) { m.lookups[0].memberLength = 11; m.lookups[0].fieldCount = 1; m.lookups[0].fieldOffset[0] = 4;
                           m.lookups[0].fieldLength[0] = 8; },
     Severity::Error, "lookups[0].fields[0]", "ends at character 11, after the record length 10"},
    {"extension line with no data line before it",
     [](ProgramModel& m) { m.forms[0].dataType[3] = kTypePrompt; m.forms[0].dataType[4] = kTypeExtension; },
     [](ProgramModel& m) { m.forms[0].dataType[2] = kTypeExtension; m.forms[0].dataType[3] = kTypeExtension; },
     Severity::Error, "forms[0].lines[4]", "extension line with no data line before it"},
    {"minimum length above the maximum",
     [](ProgramModel& m) { m.forms[0].minLength[1] = 6; },
     [](ProgramModel& m) { m.forms[0].minLength[1] = 5; },
     Severity::Error, "forms[0].lines[1]", "the minimum length 6 is above the maximum length 5"},
    {"page no menu, target or start reaches",
     [](ProgramModel& m) { m.forms[4].dataType[0] = kTypeText; },
     [](ProgramModel& m) { m.forms[4].dataType[0] = kTypeText; m.forms[0].branch[0] = 5; },
     Severity::Warning, "forms[4]", "Form 5 is reached from no menu, target or start"},
    {"fixed length that cuts a value",
     [](ProgramModel& m) { m.forms[0].fixedLengthOn[0] = 1; m.forms[0].fixedLength[0] = 10; },
     [](ProgramModel& m) { m.forms[0].fixedLengthOn[0] = 1; m.forms[0].fixedLength[0] = 13; },
     Severity::Warning, "forms[0].lines[0]", "the fixed length 10 cuts a value of up to 13 characters"},
    {"record delimiter inside a suffix code",
     [](ProgramModel& m) { m.forms[0].suffixOn[1] = 1; setFieldText(m.forms[0].suffixCode[1], "a,b"); },
     [](ProgramModel& m) { m.forms[0].suffixOn[1] = 1; setFieldText(m.forms[0].suffixCode[1], "a;b"); },
     Severity::Warning, "forms[0].lines[1]", "the suffix code holds the record delimiter \",\""},
    {"second delimiter inside an initial value",
     [](ProgramModel& m) { m.settings.delimiter2 = '|'; m.forms[0].initialValueOn[0] = 1;
                           setFieldText(m.forms[0].initialValue[0], "A|B"); },
     [](ProgramModel& m) { m.settings.delimiter2 = '|'; setFieldText(m.forms[0].initialValue[0], "A|B"); },
     Severity::Warning, "forms[0].lines[0]", "the initial value holds the record delimiter \"|\""},
    {"Next back to itself with nothing to enter",
     [](ProgramModel& m) { m.forms[0].dataType[0] = m.forms[0].dataType[1] = kTypePause; },
     [](ProgramModel& m) { m.forms[0].dataType[0] = kTypePause; },
     Severity::Warning, "forms[0]", "Next leads back to the form itself, which has nothing to enter"},
    {"message text wider than its screen",
     [](ProgramModel& m) { setFieldText(messageLine(m, kMsgUtilities, 1), 21, "2.Browse the data", 20); },
     [](ProgramModel& m) { setFieldText(messageLine(m, kMsgUtilities, 1), 21, "2.Browse data   ", 20); },
     Severity::Warning, "msgUtilities[1]", "is wider than the 16 characters of its screen"},
    {"sixteen-character message under the large font",
     [](ProgramModel& m) { largeFontPrompts(m); setFieldText(messageLine(m, kMsgBaudRate, 0), 21, "1.115200 bps 4", 20); },
     [](ProgramModel& m) { largeFontPrompts(m); setFieldText(messageLine(m, kMsgBaudRate, 0), 21, "1.115200 bps    ", 20); },
     Severity::Warning, "msgBaudRate[0]", "wider than the 12 characters"},
    {"prompt wider than a large-font form",
     [](ProgramModel& m) { m.forms[0].font = 1; setFieldText(m.forms[0].prompt[0], "Article code:"); },
     [](ProgramModel& m) { m.forms[0].font = 1; setFieldText(m.forms[0].prompt[0], "Article:"); },
     Severity::Warning, "forms[0].lines[0]", "is wider than the 12 characters"},
    {"line a large-font form cannot show",
     [](ProgramModel& m) { m.forms[0].font = 1; m.forms[0].dataType[5] = kTypeText; },
     [](ProgramModel& m) { m.forms[0].font = 1; m.forms[0].dataType[3] = kTypeText; },
     Severity::Warning, "forms[0].lines[5]", "a form in the large font has 4 lines"},
    {"record longer than the terminal keeps",
     [](ProgramModel& m) { for (int i = 0; i < 6; ++i) { m.forms[0].dataType[i] = kTypeText; m.forms[0].maxLength[i] = 80; }
                           m.forms[0].stampPosition = 2; },
     [](ProgramModel& m) { for (int i = 0; i < 4; ++i) { m.forms[0].dataType[i] = kTypeText; m.forms[0].maxLength[i] = 80; }
                           m.forms[0].stampPosition = 2; },
     Severity::Warning, "forms[0]", "can write a record of 505 characters; the terminal keeps 404"},
    {"menu items the screen does not show",
     [](ProgramModel& m) { m.menus[0].captionOn = 1;
                           for (int k = 1; k < 8; ++k) { setFieldText(m.menus[0].itemName[k], "More"); m.menus[0].itemNext[k] = 1; } },
     [](ProgramModel& m) { for (int k = 1; k < 8; ++k) { setFieldText(m.menus[0].itemName[k], "More"); m.menus[0].itemNext[k] = 1; } },
     Severity::Warning, "menus[0].items[7]", "Menu 1 has 8 items; the screen shows the first 7"},
};

class CheckerRules : public test::NewProgramTest, public ::testing::WithParamInterface<RuleCase> {};

bool finds(const std::vector<Finding>& all, const RuleCase& c) {
    for (const Finding& f : all)
        if (f.severity == c.severity && f.place() == c.place && f.text.find(c.words) != std::string::npos) return true;
    return false;
}

std::string listed(const std::vector<Finding>& all) {
    std::string s;
    for (const Finding& f : all) s += std::string(severityName(f.severity)) + " " + f.place() + ": " + f.text + "\n";
    return s;
}

TEST_P(CheckerRules, FindsTheFaultAndNothingInTheSoundProgram) {
    const RuleCase& c = GetParam();
    soundProgram(*model);
    ASSERT_TRUE(checkProgram(*model).empty()) << listed(checkProgram(*model));

    auto sound = std::make_unique<ProgramModel>(*model);
    c.sound(*sound);
    const auto soundFindings = checkProgram(*sound);
    EXPECT_TRUE(soundFindings.empty()) << listed(soundFindings);

    c.fault(*model);
    const auto faultFindings = checkProgram(*model);
    EXPECT_TRUE(finds(faultFindings, c)) << listed(faultFindings);
}

INSTANTIATE_TEST_SUITE_P(EachRule, CheckerRules, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<RuleCase>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p)
                                 n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n;
                         });

using CheckerTest = test::NewProgramTest;

// An unedited program has every form repeat itself and no menu: it cannot
// run, and only the start says so (unused pages are not reported).
TEST_F(CheckerTest, NewProgramHasOnlyTheStartError) {
    const auto all = checkProgram(*model);
    ASSERT_EQ(all.size(), 1u) << listed(all);
    EXPECT_EQ(errorCount(all), 1);
    EXPECT_EQ(all[0].place(), "settings.startFrom");
}

TEST_F(CheckerTest, DownloadQuestionAndSummaryCountErrors) {
    EXPECT_EQ(downloadAnywayQuestion(2), "The program has 2 errors. Download anyway?");
    EXPECT_EQ(downloadAnywayQuestion(1), "The program has 1 error. Download anyway?");
    EXPECT_EQ(findingsSummary({}), kNoFindingsLine);
    Finding error;
    error.severity = Severity::Error;
    EXPECT_EQ(findingsSummary({error, Finding{}, Finding{}}).rfind("1 error, 2 warnings.", 0), 0u);
}

// A finding opens the editor on the page and the form, menu, lookup file or
// screen of its place.
TEST_F(CheckerTest, EachFindingOpensTheEditorWhereItCanBeMended) {
    soundProgram(*model);
    model->forms[2].dataType[4] = kTypeExtension;                       // forms[2].lines[4]
    model->menus[0].itemNext[1] = targetForm(3);
    setFieldText(model->menus[0].itemName[1], "A far too long item");   // menus[0].items[1]
    model->lookups[1].memberLength = 8;                                  // lookups[1]
    model->lookups[1].fieldCount = 2;
    model->lookups[1].delimiter = ',';
    model->lookups[1].keyField = 2;
    setFieldText(messageLine(*model, kMsgUtilities, 1), 21, "2.Browse the data", 20);
    struct Expected {
        const char* place;
        SheetPageId page;
        int item;
    } expected[] = {
        {"forms[2].lines[4]", SheetPageId::Form, 2},
        {"menus[0].items[1]", SheetPageId::Menu, 0},
        {"lookups[1]", SheetPageId::Lookup, 1},
        {"msgUtilities[1]", SheetPageId::Startup, kMsgUtilities},
    };
    const auto all = checkProgram(*model);
    for (const Expected& e : expected) {
        const auto f = std::find_if(all.begin(), all.end(), [&](const Finding& x) { return x.place() == e.place; });
        ASSERT_NE(f, all.end()) << e.place << "\n" << listed(all);
        const SheetStart start = editorStartFor(*f);
        EXPECT_EQ(start.page, e.page) << e.place;
        EXPECT_EQ(start.item, e.item) << e.place;
    }
    // The start is set on the Startup page, which opens on its first screen.
    model->settings.startFrom = 1;
    setFieldText(model->menus[0].itemName[0], "  ");
    setFieldText(model->menus[0].itemName[1], "  ");
    const auto start = checkProgram(*model);
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start[0].place(), "settings.startFrom");
    EXPECT_EQ(editorStartFor(start[0]).page, SheetPageId::Startup);
    EXPECT_EQ(editorStartFor(start[0]).item, -1);
}

// Bytes no editor writes never overrun the checker: every field at 0xFF.
TEST_F(CheckerTest, DamagedProgramIsCheckedWithoutFault) {
    std::memset(modelBody(*model), 0xFF, kModelBodySize);
    const auto all = checkProgram(*model);
    EXPECT_GT(errorCount(all), 0);
    for (const Finding& f : all) EXPECT_FALSE(f.text.empty());
}

}  // namespace
}  // namespace fw
