#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "simulator/display_picture.h"
#include "simulator/simulation_engine.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class Engine : public test::NewProgramTest {
protected:
    SimulationEngine& engine() {
        if (!sim) sim = std::make_unique<SimulationEngine>(*model, *texts, [this] { return now; });
        return *sim;
    }

    FormDef& form(int k) { return model->forms[k - 1]; }
    MenuDef& menu(int k) { return model->menus[k - 1]; }

    void field(int k, int line, uint8_t type, const char* prompt = "", uint8_t maxLength = 80) {
        FormDef& f = form(k);
        f.dataType[line] = type;
        setFieldText(f.prompt[line], prompt);
        f.maxLength[line] = maxLength;
    }

    void item(int k, int n, const char* name, TargetCode next) {
        setFieldText(menu(k).itemName[n], name);
        menu(k).itemNext[n] = next;
    }

    EngineUpdate press(std::initializer_list<int> keys) {
        EngineUpdate u;
        for (int key : keys) u = engine().pressKey(key);
        return u;
    }

    // Types digits and "-" "." with alphabetic entry off.
    EngineUpdate type(const std::string& s) {
        EngineUpdate u;
        for (char c : s) {
            int key = c == '0' ? 11 : c == '-' ? 13 : c == '.' ? 16 : c - '0';
            u = engine().pressKey(key);
        }
        return u;
    }

    void tick(int n) {
        for (int i = 0; i < n; ++i) engine().tickEngine();
    }

    std::string line(int i) { return std::string(engine().line(i)); }
    std::string value(int i) { return std::string(engine().value(i)); }

    std::unique_ptr<SimulationEngine> sim;
    LocalTime now{2024, 1, 5, 14, 30, 7};
};

// ---- Start, upload, utilities, settings ----------------------------------

TEST_F(Engine, StartScreenAndItsKeys) {
    SimulationEngine& e = engine();
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(line(0), "1.Collect   ");
    EXPECT_EQ(line(2), "3.Utilities ");
    EXPECT_EQ(line(5), std::string(16, ' '));
    EXPECT_TRUE(e.largePitch());
    EXPECT_EQ(e.highlight(), 1);

    // Up wraps from the first to the third line and spares the clock line.
    EngineUpdate u = press({14});
    EXPECT_EQ(e.highlight(), 3);
    EXPECT_EQ(u.repaint, Repaint::AboveClock);
    press({15});
    EXPECT_EQ(e.highlight(), 1);

    // Enter acts as the highlighted line's key.
    press({15, 19});
    EXPECT_EQ(e.mode(), EngineMode::Upload);
    EXPECT_EQ(line(0), "Connecting..");
    press({5, 19});   // only ESC leaves the upload screen
    EXPECT_EQ(e.mode(), EngineMode::Upload);
    press({17});
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(e.highlight(), 2);
}

// What a screen reader is given of the display: the lines that show
// something, trimmed, the highlighted one marked.
TEST_F(Engine, DisplayTextForAScreenReader) {
    const std::string text = displayText(engine());
    EXPECT_EQ(text.rfind("> 1.Collect\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n3.Utilities"), std::string::npos) << text;
    EXPECT_EQ(text.find(" \n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), ' ');
}

TEST_F(Engine, UtilitiesAndSettingsMenus) {
    SimulationEngine& e = engine();
    EngineUpdate u = e.pressKey(kKeyShowUtilities);
    EXPECT_EQ(u.repaint, Repaint::TextArea);
    EXPECT_EQ(e.mode(), EngineMode::Utilities);
    EXPECT_FALSE(e.largePitch());
    EXPECT_EQ(line(0), "1.Settings      ");
    // No lookup file 1: the last line offers the calculator.
    EXPECT_EQ(line(7), "8.Calculator    ");

    press({14});
    EXPECT_EQ(e.highlight(), 8);
    press({19});   // the calculator is not simulated
    EXPECT_EQ(e.mode(), EngineMode::Utilities);
    press({15, 19});
    EXPECT_EQ(e.mode(), EngineMode::Settings);
    EXPECT_EQ(line(0), "   [SETTINGS]   ");
    EXPECT_EQ(line(6), "7.Buzzer        ");
    EXPECT_EQ(line(7), "8.View Settings ");
    press({14});
    EXPECT_EQ(e.highlight(), 8);
    press({5});
    EXPECT_EQ(e.mode(), EngineMode::Utilities);
    EXPECT_EQ(e.highlight(), 1);
    press({17});
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(e.highlight(), 3);

    // Only a lookup file with both record length and field count is in use.
    model->lookups[0].memberLength = 10;
    e.pressKey(kKeyShowUtilities);
    EXPECT_EQ(line(7), "8.Calculator    ");
    model->lookups[0].fieldCount = 2;
    e.pressKey(kKeyShowUtilities);
    EXPECT_EQ(line(7), "8.Load Lookup   ");
}

TEST_F(Engine, DirectScreenCodesLeaveAnyScreen) {
    field(1, 0, kTypeText, "Name:");
    SimulationEngine& e = engine();
    press({1});
    ASSERT_EQ(e.mode(), EngineMode::Form);
    e.toggleAlpha();
    press({2});   // a letter pending
    e.pressKey(kKeyShowUpload);
    EXPECT_EQ(e.mode(), EngineMode::Upload);
    EXPECT_EQ(e.pendingLetter(), 0);
    e.pressKey(kKeyShowStart);
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(e.highlight(), 1);
    EXPECT_FALSE(e.alphaOn());
    EXPECT_EQ(e.pressKey(99).repaint, Repaint::None);
}

// ---- Collect -------------------------------------------------------------

TEST_F(Engine, CollectWithNothingToRunAsksForAProgram) {
    EngineUpdate u = press({1});
    EXPECT_TRUE(u.defineProgram);
    EXPECT_EQ(engine().mode(), EngineMode::Start);
}

TEST_F(Engine, CollectNormalisesMenusAndForms) {
    // Large font: only the first 12 characters count.
    menu(2).font = 1;
    item(2, 0, "            X", 0);
    item(2, 1, "   ", 0);
    item(2, 4, "Five", 0);
    menu(3).itemCount = 9;   // stale
    item(3, 0, "            X", 0);

    FormDef& f = form(2);
    f.dataType[0] = kTypeNil;
    setFieldText(f.prompt[0], "stale");
    f.link[0] = 3;
    f.dataType[1] = kTypeExtension;
    setFieldText(f.prompt[1], "ext");
    f.link[1] = 4;
    f.dataType[2] = kTypeCounter;
    setFieldText(f.prompt[2], "Count:");
    f.link[2] = 5;
    f.dataType[3] = kTypeLookup;
    f.link[3] = 6;
    f.dataType[4] = kTypeAlphanumeric;
    f.link[4] = 7;
    f.dataType[5] = kTypeLookup;   // not an input line
    form(3).inputLineCount = 5;    // stale

    normaliseForCollect(*model);
    EXPECT_EQ(menu(1).itemCount, 0);
    EXPECT_EQ(menu(2).itemCount, 1);
    EXPECT_EQ(menu(3).itemCount, 1);
    EXPECT_EQ(fieldText(menu(2).itemName[0]), "            X");   // texts untouched

    uint8_t empty[21] = {};
    EXPECT_EQ(std::memcmp(f.prompt[0], empty, 21), 0);
    EXPECT_EQ(std::memcmp(f.prompt[1], empty, 21), 0);
    EXPECT_EQ(fieldText(f.prompt[2]), "Count:");
    const uint8_t links[6] = {0, 0, 0, 6, 7, 0};
    EXPECT_EQ(std::memcmp(f.link, links, 6), 0);
    EXPECT_EQ(f.inputLineCount, 5);
    EXPECT_EQ(form(3).inputLineCount, 0);
}

TEST_F(Engine, CollectOpensForm1OrElseMenu1) {
    // Form 1 has only a lookup line: no input lines, so menu 1 runs.
    field(1, 0, kTypeLookup, "Look:");
    item(1, 0, "Count", targetForm(2));
    SimulationEngine& e = engine();
    press({1});
    EXPECT_EQ(e.mode(), EngineMode::Menu);
    EXPECT_EQ(e.current(), 11);

    field(1, 2, kTypeInteger, "Qty:");
    press({17, 1});   // the menu's ESC target is the start screen
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(e.current(), 1);
    EXPECT_EQ(form(1).currentLine, 2);
    EXPECT_EQ(e.cursorRow(), 2);
    EXPECT_EQ(e.cursorColumn(), 4);

    model->settings.startFrom = 1;
    e.pressKey(kKeyShowStart);
    press({1});
    EXPECT_EQ(e.mode(), EngineMode::Menu);
}

// ---- Menus ---------------------------------------------------------------

TEST_F(Engine, CaptionedMenuShowsSevenItemsAndKeepsTheBarOnScreen) {
    model->settings.startFrom = 1;
    menu(1).captionOn = 1;
    setFieldText(menu(1).caption, "MAIN");
    for (int n = 0; n < 9; ++n) item(1, n, ("Item " + std::to_string(n + 1)).c_str(), targetForm(n + 1));
    menu(1).selectedItem = 5;   // left from an earlier run
    form(8).escTarget = targetMenu(1);
    SimulationEngine& e = engine();
    press({1});
    EXPECT_EQ(menu(1).selectedItem, 0);
    EXPECT_EQ(line(0), "MAIN");
    EXPECT_EQ(line(1), "Item 1");
    EXPECT_EQ(line(7), "Item 7");
    EXPECT_EQ(e.highlight(), 2);
    EXPECT_FALSE(e.largePitch());

    press({15, 15, 15, 15, 15, 15});
    EXPECT_EQ(menu(1).selectedItem, 6);
    EXPECT_EQ(e.highlight(), 8);
    EXPECT_EQ(line(7), "Item 7");

    // Down reaches the eighth item under a caption too (never the ninth):
    // the items move up by one under the caption so that it and its bar
    // are on the display.
    for (int i = 0; i < 5; ++i) press({15});
    EXPECT_EQ(menu(1).selectedItem, 7);
    EXPECT_EQ(e.highlight(), 8);
    EXPECT_EQ(line(0), "MAIN");
    EXPECT_EQ(line(1), "Item 2");
    EXPECT_EQ(line(7), "Item 8");
    press({19});
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(e.current(), 8);

    // ESC back to the menu keeps the selection, and so the moved list.
    press({17});
    EXPECT_EQ(line(7), "Item 8");
    EXPECT_EQ(e.highlight(), 8);
    press({14});
    EXPECT_EQ(menu(1).selectedItem, 6);
    EXPECT_EQ(line(1), "Item 1");
    EXPECT_EQ(line(7), "Item 7");
    EXPECT_EQ(e.highlight(), 8);
    press({14});
    EXPECT_EQ(e.highlight(), 7);
}

TEST_F(Engine, MenuWithoutCaptionStopsDownAtItsEighthOrLastItem) {
    model->settings.startFrom = 1;
    for (int n = 0; n < 10; ++n) item(1, n, ("Item " + std::to_string(n + 1)).c_str(), targetForm(1));
    SimulationEngine& e = engine();
    press({1});
    for (int i = 0; i < 12; ++i) press({15});
    EXPECT_EQ(menu(1).selectedItem, 7);
    EXPECT_EQ(e.highlight(), 8);
    EXPECT_EQ(line(0), "Item 1");
    EXPECT_EQ(line(7), "Item 8");

    // Fewer items than rows: Down stops at the last one.
    for (int n = 3; n < 10; ++n) item(1, n, "", targetForm(1));
    menu(1).escTarget = kTargetMain;
    menu(1).captionOn = 1;
    setFieldText(menu(1).caption, "M");
    press({17, 1});   // back to the start screen, Collect counts 3 items
    for (int i = 0; i < 5; ++i) press({15});
    EXPECT_EQ(menu(1).selectedItem, 2);
    EXPECT_EQ(e.highlight(), 4);
    EXPECT_EQ(line(1), "Item 1");
}

TEST_F(Engine, MenuItemsTargetsAndEsc) {
    model->settings.startFrom = 1;
    for (int n = 0; n < 4; ++n) item(1, n, "x", targetForm(2));
    menu(1).itemNext[3] = targetMenu(2);
    item(2, 0, "sub", 0);
    menu(2).escTarget = targetMenu(1);
    field(2, 0, kTypeInteger, "N:");
    form(2).escTarget = targetMenu(1);
    SimulationEngine& e = engine();
    press({1});

    press({5});   // beyond the four items
    EXPECT_EQ(e.mode(), EngineMode::Menu);
    EXPECT_EQ(menu(1).selectedItem, 0);

    press({3});
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(e.current(), 2);
    // ESC back keeps the selection; the form's values start empty again.
    press({17});
    EXPECT_EQ(e.current(), 11);
    EXPECT_EQ(menu(1).selectedItem, 2);
    EXPECT_EQ(e.highlight(), 3);

    press({15, 20});
    EXPECT_EQ(e.current(), 12);
    press({17});
    EXPECT_EQ(menu(1).selectedItem, 3);

    // A target beyond menu 10 is taken as the start screen.
    menu(1).itemNext[0] = 200;
    press({1});
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(e.highlight(), 1);
}

// ---- Forms ---------------------------------------------------------------

TEST_F(Engine, WrongDataTypeShowsTheErrorAndKeepsTheValue) {
    field(1, 0, kTypeInteger, "Qty:");
    SimulationEngine& e = engine();
    press({1});
    type("12");
    EXPECT_EQ(line(0), "Qty:12");
    type(".");
    EXPECT_EQ(e.mode(), EngineMode::Error);
    EXPECT_EQ(line(4), "****************");
    EXPECT_EQ(line(5), "Wrong data type!");
    EXPECT_EQ(line(6), "Press any key...");
    EXPECT_EQ(line(7), "****************");
    press({12});
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(value(0), "12");
    EXPECT_EQ(e.cursorColumn(), 6);
}

// The letter being chosen appears once: on the cursor block, in white,
// not also in the line's text.
TEST_F(Engine, PendingLetterIsPaintedOnceAtTheCursor) {
    field(1, 0, kTypeText, "Name:");
    SimulationEngine& e = engine();
    press({1});
    EXPECT_TRUE(e.clickKey(10).indicator);   // the alpha key in form entry
    press({2, 2, 2});
    ASSERT_EQ(e.pendingLetter(), 'C');
    const DisplayPicture p = composeDisplay(e, "");
    int letters = 0;
    for (const DisplayText& t : p.texts) {
        for (char c : t.text) letters += c == 'C';
        if (t.text == "C") {
            const FacePoint cursor = cursorPosition(e.cursorColumn(), e.cursorRow());
            EXPECT_EQ(t.at.x, cursor.x);
            EXPECT_EQ(t.at.y, cursor.y - 1);
            EXPECT_TRUE(t.light);
        }
    }
    EXPECT_EQ(letters, 1);
    ASSERT_FALSE(p.bitmaps.empty());
    EXPECT_EQ(p.bitmaps[0].id, kBitmapCursor);   // under the letter
    EXPECT_EQ(p.bitmaps[1].id, kBitmapAlphaOn);

    // Outside form entry the alpha key is an ordinary key.
    press({17});
    ASSERT_NE(e.mode(), EngineMode::Form);
    const bool alpha = e.alphaOn();
    EXPECT_FALSE(e.clickKey(10).indicator);
    EXPECT_EQ(e.alphaOn(), alpha);
}

// A counter field and the clock line show the same four digits.
TEST_F(Engine, CounterFieldAndClockLineAgree) {
    EXPECT_EQ(recordCountDigits(10000), "0000");
    EXPECT_EQ(recordCountDigits(12345), "2345");
    EXPECT_EQ(clockLine(1, 1, 0, 0, 0, 0, 12345).substr(12), recordCountDigits(12345));
}

TEST_F(Engine, AlphabeticEntryCyclesAndCommits) {
    field(1, 0, kTypeText, "Name:");
    SimulationEngine& e = engine();
    press({1});
    e.toggleAlpha();
    press({2, 2, 2});
    EXPECT_EQ(e.pendingLetter(), 'C');
    EXPECT_EQ(line(0), "Name:C");   // drawn at the cursor
    EXPECT_EQ(value(0), "");

    // Another key commits the pending letter first.
    EngineUpdate u = press({3});
    EXPECT_EQ(value(0), "C");
    EXPECT_EQ(e.pendingLetter(), 'D');
    EXPECT_EQ(u.repaint, Repaint::FormLine);
    EXPECT_EQ(u.line, 0);

    // The tick ends it after more than 6 ticks, not at 6.
    tick(6);
    EXPECT_EQ(value(0), "C");
    EXPECT_EQ(e.tickEngine().repaint, Repaint::FormLine);
    EXPECT_EQ(value(0), "CD");
    EXPECT_EQ(e.pendingLetter(), 0);

    // The same key after a commit starts a new letter.
    press({3});
    tick(7);
    press({7, 7, 7, 7, 7});   // PQRS wraps around
    tick(7);
    EXPECT_EQ(value(0), "CDDP");
    press({1, 11, 11, 13, 16, 16});
    tick(7);
    EXPECT_EQ(value(0), "CDDP *+#");
}

TEST_F(Engine, RefusedLetterShowsTheErrorWithoutLosingIt) {
    field(1, 0, kTypeInteger, "N:");
    SimulationEngine& e = engine();
    press({1});
    type("7");
    e.toggleAlpha();
    press({2});
    // Enter commits the letter first; the error it raises stays on screen.
    press({19});
    EXPECT_EQ(e.mode(), EngineMode::Error);
    EXPECT_FALSE(e.alphaOn());
    press({19});
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(value(0), "7");
}

TEST_F(Engine, AcceptedCharactersFollowTheDataType) {
    field(1, 0, kTypeBoolean, "Ok?");
    field(1, 1, kTypeReal, "R:");
    field(1, 2, kTypeLetter, "L:");
    field(1, 3, kTypeAlphanumeric, "A:");
    SimulationEngine& e = engine();
    press({1});
    e.toggleAlpha();
    press({9, 9});   // X
    tick(7);
    EXPECT_EQ(e.mode(), EngineMode::Error);
    EXPECT_FALSE(e.alphaOn());   // the error screen ends alphabetic entry
    press({1});
    e.toggleAlpha();
    press({9, 9, 9});   // Y
    tick(7);
    EXPECT_EQ(value(0), "Y");
    e.toggleAlpha();
    press({19});
    type("3.5-");
    EXPECT_EQ(e.mode(), EngineMode::Error);
    press({1});
    EXPECT_EQ(value(1), "3.5");
    press({19});
    type("1");
    EXPECT_EQ(e.mode(), EngineMode::Error);
    press({1});
    press({19});
    type("4");
    e.toggleAlpha();
    press({6});
    press({1});   // a space is neither letter nor digit
    tick(7);
    EXPECT_EQ(value(3), "4M");
    EXPECT_EQ(e.mode(), EngineMode::Error);
}

TEST_F(Engine, EnterMovesOnThenCompletesTheRecord) {
    field(1, 0, kTypeInteger, "A:");
    field(1, 1, kTypePrompt, "-- note --");
    field(1, 2, kTypeInteger, "B:");
    field(1, 3, kTypeCounter, "Rec:");
    field(1, 4, kTypeNil, "");
    field(1, 5, kTypeFixedData, "FIX");
    form(1).nextTarget = 0;
    SimulationEngine& e = engine();
    press({1});
    // Past the last input line only lines with a type show anything.
    EXPECT_EQ(line(1), "-- note --");
    EXPECT_EQ(line(3), "Rec:0000");
    EXPECT_EQ(line(4), "");
    EXPECT_EQ(line(5), "FIX");
    EXPECT_EQ(e.highlight(), 0);
    type("1");
    press({19});
    EXPECT_EQ(form(1).currentLine, 2);
    EXPECT_EQ(e.cursorRow(), 2);
    type("2");
    press({20});
    EXPECT_EQ(e.recordCount(), 1);
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(e.highlight(), 1);

    // The form's own number repeats it, with fresh values and the count.
    form(1).nextTarget = 1;
    press({1});
    EXPECT_EQ(line(3), "Rec:0001");
    press({19, 19});
    EXPECT_EQ(e.recordCount(), 2);
    EXPECT_EQ(e.current(), 1);
    EXPECT_EQ(value(0), "");
    EXPECT_EQ(line(3), "Rec:0002");
    e.resetRecordCount();
    EXPECT_EQ(e.recordCount(), 0);
}

TEST_F(Engine, ShortValueIsRefused) {
    field(1, 0, kTypeText, "Id:");
    form(1).minLength[0] = 3;
    SimulationEngine& e = engine();
    press({1});
    type("12");
    press({19});
    EXPECT_EQ(e.mode(), EngineMode::Error);
    EXPECT_EQ(line(5), "Data too short!!");
    press({5});
    type("3");
    press({19});
    EXPECT_EQ(e.recordCount(), 1);
}

TEST_F(Engine, FullValueReplacesItsLastCharacter) {
    field(1, 0, kTypeInteger, "N:", 3);
    press({1});
    type("1234");
    EXPECT_EQ(value(0), "124");
    EXPECT_EQ(engine().cursorColumn(), 5);
}

TEST_F(Engine, LongValueScrollsAndScrollsBack) {
    field(1, 0, kTypeText, "Code:");   // small font: value in columns 5-14
    SimulationEngine& e = engine();
    press({1});
    type("1234567890");
    EXPECT_EQ(line(0), "Code:1234567890");
    EXPECT_EQ(e.cursorColumn(), 15);
    type("12");
    EXPECT_EQ(value(0), "123456789012");
    EXPECT_EQ(line(0), "Code:3456789012");
    EXPECT_EQ(e.cursorColumn(), 15);
    press({18});
    EXPECT_EQ(line(0), "Code:2345678901");
    EXPECT_EQ(e.cursorColumn(), 15);
    press({18, 18});
    EXPECT_EQ(line(0), "Code:123456789");
    EXPECT_EQ(e.cursorColumn(), 14);

    // The large font ends the line at column 11.
    form(1).font = 1;
    e.pressKey(kKeyShowStart);
    press({1});
    type("12345678");
    EXPECT_EQ(line(0), "Code:345678");
    EXPECT_EQ(e.cursorColumn(), 11);
}

TEST_F(Engine, ExtensionLineContinuesTheValue) {
    field(1, 0, kTypeText, "Name:", 40);
    field(1, 1, kTypeExtension, "", 29);
    field(1, 2, kTypeInteger, "N:");
    form(1).minLength[0] = 13;
    SimulationEngine& e = engine();
    press({1});
    type("1234567890");
    EXPECT_EQ(e.cursorColumn(), 15);
    // The last column still takes a character; entry then goes on below.
    EngineUpdate u = type("1");
    EXPECT_EQ(u.repaint, Repaint::TextArea);
    EXPECT_EQ(line(0), "Name:12345678901");
    EXPECT_EQ(form(1).currentLine, 1);
    EXPECT_EQ(e.cursorRow(), 1);
    EXPECT_EQ(e.cursorColumn(), 0);
    type("2");
    EXPECT_EQ(line(1), "2");

    // The minimum counts the whole value, continuation included.
    press({19});
    EXPECT_EQ(e.mode(), EngineMode::Error);
    press({1});
    type("3");
    press({19});
    EXPECT_EQ(form(1).currentLine, 2);

    // Back over the continuation: up goes to the data line itself.
    press({14});
    EXPECT_EQ(form(1).currentLine, 0);
    EXPECT_EQ(e.cursorColumn(), 5);
}

TEST_F(Engine, BackspaceStepsBackAcrossAnExtensionLine) {
    field(1, 0, kTypeText, "Name:");
    field(1, 1, kTypeExtension);
    SimulationEngine& e = engine();
    press({1});
    type("12345678901");
    type("23");
    EXPECT_EQ(value(1), "23");
    press({18, 18});
    EXPECT_EQ(form(1).currentLine, 1);
    EXPECT_EQ(press({18}).repaint, Repaint::TextArea);
    EXPECT_EQ(form(1).currentLine, 0);
    EXPECT_EQ(value(0), "1234567890");
    EXPECT_EQ(e.cursorRow(), 0);
    EXPECT_EQ(e.cursorColumn(), 15);
    press({18});
    EXPECT_EQ(value(0), "123456789");

    // At the start of an ordinary line there is nothing to remove.
    for (int i = 0; i < 9; ++i) press({18});
    EXPECT_EQ(press({18}).repaint, Repaint::None);
    EXPECT_EQ(form(1).currentLine, 0);
}

TEST_F(Engine, InputMarkFillsTheField) {
    field(1, 0, kTypeInteger, "Qty:", 5);
    form(1).inputMark[0] = '_';
    field(1, 1, kTypeText, "Long:", 40);
    form(1).inputMark[1] = '.';
    press({1});
    EXPECT_EQ(line(0), "Qty:_____");
    EXPECT_EQ(line(1), "Long:..........."); // up to the end of the line
    type("12");
    EXPECT_EQ(line(0), "Qty:12___");
    press({18});
    EXPECT_EQ(line(0), "Qty:1____");
}

TEST_F(Engine, TypingAtTheStartOfAFilledValueReplacesIt) {
    field(1, 0, kTypeText, "Name:");
    field(1, 1, kTypeExtension);
    field(1, 2, kTypeInteger, "N:");
    SimulationEngine& e = engine();
    press({1});
    type("12345678901");
    type("2");
    press({19});
    type("77");
    press({14});
    EXPECT_EQ(e.cursorColumn(), 5);
    EXPECT_EQ(line(0), "Name:12345678901");
    // Enter keeps the value; the next line is entered at its start too.
    press({19});
    EXPECT_EQ(e.cursorColumn(), 2);
    type("8");
    EXPECT_EQ(value(2), "8");
    press({14});
    type("9");
    EXPECT_EQ(value(0), "9");
    EXPECT_EQ(value(1), "");
    EXPECT_EQ(line(1), "");
}

TEST_F(Engine, BackspaceOnAFilledLineReachedAgainRemovesItsLastCharacter) {
    field(1, 0, kTypeText, "A:");
    field(1, 1, kTypeText, "B:");
    SimulationEngine& e = engine();
    press({1});
    type("123");
    press({19, 14, 18});
    EXPECT_EQ(value(0), "12");
    EXPECT_EQ(e.cursorColumn(), 4);
    type("5");
    EXPECT_EQ(value(0), "125");
}

TEST_F(Engine, AutoLineKeepsRoomForItsSign) {
    field(1, 0, kTypeAuto, "Q:", 3);
    form(1).link[0] = 10;   // a "-field" binding
    field(1, 1, kTypeAuto, "P:", 3);
    field(1, 2, kTypeAuto, "Wide:", 6);   // 5 + 13 > 16: no room
    press({1});
    type("12");
    EXPECT_EQ(line(0), "Q:   +12");
    EXPECT_EQ(line(1), "P:    ");
    press({19});
    type("3");
    EXPECT_EQ(line(1), "P:    3");
    press({19});
    type("4");
    EXPECT_EQ(line(2), "Wide:4");
}

// ---- Record text ---------------------------------------------------------

TEST_F(Engine, PassDownRecordReachesTheNextForm) {
    model->settings.delimiter1 = ',';
    model->settings.delimiter2 = ';';
    FormDef& f = form(1);
    f.recordAction = 3;
    f.nextTarget = targetForm(2);
    field(1, 0, kTypeText, "T:");
    f.prefixOn[0] = 1;
    std::memcpy(f.prefixCode[0], "<<<<<<<<<<", 10);   // full width, no NUL
    f.suffixOn[0] = 1;
    setFieldText(f.suffixCode[0], ">");
    field(1, 1, kTypeInteger, "I:");
    f.fixedLengthOn[1] = 1;
    f.fixedLength[1] = 5;
    f.alignment[1] = 3;
    field(1, 2, kTypeReal, "R:");
    f.fixedLengthOn[2] = 1;
    f.fixedLength[2] = 4;
    f.alignment[2] = 0;
    field(1, 3, kTypeFixedData, "FX");
    field(1, 4, kTypeLookup, "L:");   // not saved: "Save field data" off
    field(1, 5, kTypePrompt, "P");
    f.stampPosition = 2;
    f.stampDateStyle = 2;
    f.stampYearDigits = 1;
    setFieldText(f.stampDateSep, "-");
    f.stampSecond = 0;

    field(2, 0, kTypePassDown, "");
    field(2, 1, kTypeText, "X:");

    SimulationEngine& e = engine();
    press({1});
    e.toggleAlpha();
    press({2});
    e.toggleAlpha();
    press({19});
    type("42");
    press({19});
    type("1.25");
    press({19});
    EXPECT_EQ(e.current(), 2);
    EXPECT_EQ(e.passDown(), "<<<<<<<<<<A>,;00042,;1.25,;FX,;05-01-24,;14:30");
    EXPECT_EQ(line(0), "<<<<<<<<<<A>,;00");
}

TEST(RecordText, FixedLengthAlignments) {
    auto model = std::make_unique<ProgramModel>();
    FormDef& f = model->forms[0];
    LineValues values{};
    const char* texts[4] = {"ab", "cd", "ef", "gh"};
    for (int i = 0; i < 4; ++i) {
        f.dataType[i] = kTypeText;
        f.fixedLengthOn[i] = 1;
        f.fixedLength[i] = 4;
        f.alignment[i] = static_cast<uint8_t>(i);
        values[static_cast<std::size_t>(i)] = texts[i];
    }
    f.dataType[4] = kTypeText;
    f.fixedLengthOn[4] = 1;
    f.fixedLength[4] = 3;
    values[4] = "toolong";
    f.dataType[5] = kTypeLookup;
    f.initialValueOn[5] = 1;   // a saved lookup field, empty in the simulation
    model->settings.delimiter1 = '|';
    RecordText r = buildRecordText(f, model->settings, values, LocalTime{});
    EXPECT_EQ(r.view(), "ab  |  cd|ef00|00gh|too|");

    // A large-font form records its first four lines only.
    f.font = 1;
    EXPECT_EQ(buildRecordText(f, model->settings, values, LocalTime{}).view(), "ab  |  cd|ef00|00gh");
}

TEST(RecordText, StampStylesAndPlacement) {
    auto model = std::make_unique<ProgramModel>();
    FormDef& f = model->forms[0];
    TerminalSettings& s = model->settings;
    s.delimiter1 = ',';
    f.stampPosition = 1;
    f.stampYear = f.stampMonth = f.stampDay = 1;
    f.stampHour = f.stampMinute = f.stampSecond = 1;
    f.stampDateSepOn = 1;
    setFieldText(f.stampDateSep, "/");
    f.stampTimeSepOn = 1;
    setFieldText(f.stampTimeSep, ":");
    f.dataType[0] = kTypeText;
    LineValues values{};
    values[0] = "v";
    const LocalTime t{2024, 3, 9, 8, 5, 2};

    EXPECT_EQ(buildRecordText(f, s, values, t).view(), "2024/03/0908:05:02,v");
    f.stampSplit = 1;
    f.stampDateStyle = 1;
    EXPECT_EQ(buildRecordText(f, s, values, t).view(), "03/09/2024,08:05:02,v");
    f.stampDateSepOn = 0;
    f.stampTimeSepOn = 0;
    f.stampMonth = 0;
    f.stampSecond = 0;
    EXPECT_EQ(buildRecordText(f, s, values, t).view(), "092024,0805,v");
    // Without a date part the split has nothing to separate.
    f.stampYear = f.stampDay = 0;
    EXPECT_EQ(buildRecordText(f, s, values, t).view(), "0805,v");
    f.stampPosition = 0;
    EXPECT_EQ(buildRecordText(f, s, values, t).view(), "v");
}

TEST(RecordText, StaysWithinItsLimit) {
    auto model = std::make_unique<ProgramModel>();
    FormDef& f = model->forms[0];
    LineValues values{};
    std::string longValue(160, 'x');
    for (int i = 0; i < kLinesPerForm; ++i) {
        f.dataType[i] = i % 2 ? kTypeExtension : kTypeText;
        f.fixedLengthOn[i] = 0;
        f.prefixOn[i] = f.suffixOn[i] = 1;
        std::memset(f.prefixCode[i], 1, 10);
        std::memset(f.suffixCode[i], 2, 10);
        values[static_cast<std::size_t>(i)] = longValue;
    }
    f.stampPosition = 2;
    f.stampYear = 1;
    RecordText r = buildRecordText(f, model->settings, values, LocalTime{});
    EXPECT_EQ(r.length, kRecordTextMax);
    EXPECT_EQ(r.bytes[kRecordTextMax], '\0');
}

// ---- Hostile model bytes -------------------------------------------------

TEST_F(Engine, HostileTargetsCountsAndTextsDoNotCrash) {
    model->settings.startFrom = 1;
    MenuDef& m = menu(1);
    std::memset(m.caption, 'C', sizeof m.caption);
    m.captionOn = 1;
    for (auto& name : m.itemName) std::memset(name, 'I', sizeof name);
    std::memset(m.itemNext, 255, sizeof m.itemNext);
    m.escTarget = 200;
    m.itemNext[1] = targetForm(3);
    FormDef& f = form(3);
    for (int i = 0; i < kLinesPerForm; ++i) {
        f.dataType[i] = i == 7 ? kTypeInteger : kTypeText;
        std::memset(f.prompt[i], 'P', sizeof f.prompt[i]);
        f.maxLength[i] = i % 2 ? 255 : 0;
        f.minLength[i] = 255;
        f.inputMark[i] = '#';
    }
    f.dataType[1] = kTypeExtension;
    f.dataType[2] = kTypeAuto;
    f.escTarget = 255;
    f.nextTarget = 77;

    SimulationEngine& e = engine();
    press({1});   // Collect recounts: ten items
    EXPECT_EQ(m.itemCount, 10);
    EXPECT_EQ(line(0), std::string(16, 'C'));
    m.itemCount = 200;
    m.selectedItem = 250;
    press({15, 14, 19});
    EXPECT_EQ(e.highlight(), 0);
    press({11});   // item 10 goes to target 255
    EXPECT_EQ(e.mode(), EngineMode::Start);
    press({1, 17});   // ESC target 200
    EXPECT_EQ(e.mode(), EngineMode::Start);
    press({1, 2});
    ASSERT_EQ(e.current(), 3);
    f.currentLine = 200;
    f.inputLineCount = 200;
    for (int round = 0; round < 3; ++round) {
        type("1234567890123456789012345");
        press({18, 18, 14, 19, 18, 16, 19, 20});
        e.toggleAlpha();
        press({2, 2, 3});
        tick(8);
    }
    for (int i = 0; i < SimulationEngine::kScreenLines; ++i) EXPECT_LE(line(i).size(), 24u);
    press({17});
    if (e.mode() != EngineMode::Start) press({17});   // first off the error screen
    EXPECT_EQ(e.mode(), EngineMode::Start);
}

TEST_F(Engine, RandomModelsAndKeysStayInBounds) {
    std::mt19937 rng(4242);
    int formKeys = 0;
    for (int run = 0; run < 40; ++run) {
        for (std::size_t i = 0; i < kModelBodySize; ++i) modelBody(*model)[i] = static_cast<uint8_t>(rng());
        // Mostly meaningful types and targets, so that the damaged texts,
        // lengths and counts are met inside running forms and menus.
        auto near = [&](int range) { return static_cast<uint8_t>(rng() % 8 ? rng() % range : rng()); };
        model->settings.startFrom = static_cast<uint8_t>(rng() % 2);
        for (FormDef& f : model->forms) {
            for (uint8_t& t : f.dataType) t = near(16);
            f.escTarget = near(22);
            f.nextTarget = near(22);
        }
        for (MenuDef& m : model->menus) {
            for (uint8_t& t : m.itemNext) t = near(22);
            m.escTarget = near(22);
        }
        sim.reset();
        SimulationEngine& e = engine();
        for (int k = 0; k < 400; ++k) {
            int r = static_cast<int>(rng() % 24);
            if (r == 20) {
                e.tickEngine();
            } else if (r == 21) {
                e.toggleAlpha();
            } else if (r == 22) {
                e.pressKey(51 + static_cast<int>(rng() % 3));
            } else if (r == 23) {
                // Keep the engine reaching the designed forms and menus.
                e.pressKey(kKeyShowStart);
                e.pressKey(1);
            } else {
                formKeys += e.mode() == EngineMode::Form;
                e.pressKey(r + 1);
            }
            ASSERT_GE(e.highlight(), 0);
            ASSERT_LE(e.highlight(), 8);
            ASSERT_GE(e.cursorColumn(), 0);
            ASSERT_LE(e.cursorColumn(), 16);
            ASSERT_GE(e.cursorRow(), 0);
            ASSERT_LT(e.cursorRow(), 8);
            ASSERT_LE(e.passDown().size(), kRecordTextMax);
        }
    }
    EXPECT_GT(formKeys, 1000);   // the damaged forms were really typed into
}

}  // namespace
}  // namespace fw
