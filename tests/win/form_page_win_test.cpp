// The Form page and its dialogs in the real editor sheet under Windows
// (Wine): driven with messages, confirmed, and checked in the model and on
// the simulated display.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/character_grid.h"
#include "editor/win/form_dialog_ids.h"
#include "editor/win/grid_dialogs.h"
#include "model/fixed_text.h"
#include "resources/resource_ids.h"
#include "shell/language.h"
#include "shell/win/designer.h"
#include "sheet_window_test.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;

class FormPageWindow : public SheetWindowTest {
protected:
    FormDef& form(int k) { return model().forms[k - 1]; }
    // The sheet opens on its Form page.
    void edit(std::function<void(HWND sheet, HWND page)> drive) { editOnTab(0, std::move(drive)); }
};

TEST_F(FormPageWindow, DesignedFormRunsOnTheDisplayAfterOk) {
    std::string maxShown;
    edit([&](HWND sheet, HWND page) {
        EXPECT_EQ(selection(page, IDC_FORM_NAME), 0);
        EXPECT_EQ(textOf(page, IDC_FORM_HEAD_LINK), "Variables");
        EXPECT_FALSE(enabled(page, IDC_FORM_PROMPT + 0));   // nil lines take no prompt
        choose(page, IDC_FORM_TYPE + 0, kTypeText);
        EXPECT_TRUE(enabled(page, IDC_FORM_PROMPT + 0));
        type(page, IDC_FORM_PROMPT + 0, "Item:");
        type(page, IDC_FORM_MAX + 0, "99");
        maxShown = textOf(page, IDC_FORM_MAX + 0);
        type(page, IDC_FORM_MAX + 0, "10");
        choose(page, IDC_FORM_TYPE + 1, kTypeInteger);
        type(page, IDC_FORM_PROMPT + 1, "Quantity of goods");   // cut to 16 and put back
        EXPECT_EQ(textOf(page, IDC_FORM_PROMPT + 1), "Quantity of good");
        type(page, IDC_FORM_MIN + 1, "");
        EXPECT_EQ(textOf(page, IDC_FORM_MIN + 1), "0");
        choose(page, IDC_FORM_LINK + 1, 11);                   // "set v3"
        choose(page, IDC_FORM_TYPE + 2, kTypeBoolean);
        EXPECT_FALSE(enabled(page, IDC_FORM_MAX + 2));
        EXPECT_EQ(textOf(page, IDC_FORM_MAX + 2), "1");
        type(page, IDC_FORM_PROMPT + 2, "Done?");
        choose(page, IDC_FORM_TYPE + 3, kTypeAlphanumeric);
        type(page, IDC_FORM_PROMPT + 3, "Code");
        choose(page, IDC_FORM_LINK + 3, 24);                   // "get&set v8"
        choose(page, IDC_FORM_NEXT, 0);
        choose(page, IDC_FORM_RECORD, 7);
        picture(sheet, "form_page_small_font.bmp");
        clickButton(sheet, IDOK);
    });
    EXPECT_EQ(maxShown, "80");
    const FormDef& f = form(1);
    EXPECT_TRUE(model().modified);
    EXPECT_EQ(f.dataType[0], kTypeText);
    EXPECT_EQ(fieldText(f.prompt[0]), "Item:");
    EXPECT_EQ(f.maxLength[0], 10);
    EXPECT_EQ(fieldText(f.prompt[1]), "Quantity of good");
    EXPECT_EQ(f.link[1], 11);
    EXPECT_EQ(f.minLength[2], 1);
    EXPECT_EQ(f.maxLength[2], 1);
    EXPECT_EQ(f.nextTarget, 0);
    EXPECT_EQ(f.recordAction, 7);
    EXPECT_EQ(f.link[3], 24);

    // The simulation was restarted: Collect now runs the new form.
    SimulationEngine& engine = session.engine();
    EXPECT_EQ(engine.mode(), EngineMode::Start);
    engine.pressKey(1);
    EXPECT_EQ(engine.mode(), EngineMode::Form);
    EXPECT_EQ(engine.line(0).substr(0, 5), "Item:");
    EXPECT_EQ(engine.line(1).substr(0, 16), "Quantity of good");
    EXPECT_EQ(engine.line(2).substr(0, 5), "Done?");
    EXPECT_EQ(engine.line(3).substr(0, 4), "Code");
}

// Typed text reaches the program as the terminal's bytes, whatever the
// system's code page; a character the terminal lacks is named and left out.
TEST_F(FormPageWindow, TypedTextIsStoredAsTheTerminalsBytesOrRefusedByName) {
    std::string refusal;
    std::string leftInBox;
    edit([&](HWND sheet, HWND page) {
        choose(page, IDC_FORM_TYPE + 0, kTypeText);
        typeWide(page, IDC_FORM_PROMPT + 0, L"Gr\u00F6\u00DFe");
        choose(page, IDC_FORM_TYPE + 1, kTypeText);
        onDialog("Warning", [&refusal](HWND box) {
            refusal = messageBoxText(box);
            clickButton(box, IDOK);
        });
        typeWide(page, IDC_FORM_PROMPT + 1, L"A\u03A9");
        EXPECT_EQ(pendingDialogActions(), 0);
        leftInBox = utf8WindowText(GetDlgItem(page, IDC_FORM_PROMPT + 1));
        clickButton(sheet, IDOK);
    });
    EXPECT_EQ(refusal, "The terminal cannot show the character \u03A9 (U+03A9). It was not taken.");
    EXPECT_EQ(leftInBox, "A");
    EXPECT_EQ(fieldText(form(1).prompt[0]), "Gr\xF6\xDF" "e");
    EXPECT_EQ(fieldText(form(1).prompt[1]), "A");
}

TEST_F(FormPageWindow, LargeFontDisablesRowsFiveToEight) {
    form(1).dataType[5] = kTypeText;
    setFieldText(form(1).prompt[5], "Sixth line");
    form(1).dataType[0] = kTypeText;
    setFieldText(form(1).prompt[0], "A prompt of 16 c");
    edit([&](HWND sheet, HWND page) {
        EXPECT_TRUE(enabled(page, IDC_FORM_PROMPT + 5));
        choose(page, IDC_FORM_FONT, 1);
        for (int i = 4; i < 8; ++i) {
            EXPECT_FALSE(enabled(page, IDC_FORM_TYPE + i)) << i;
            EXPECT_FALSE(enabled(page, IDC_FORM_PROMPT + i)) << i;
            EXPECT_FALSE(enabled(page, IDC_FORM_MORE + i)) << i;
        }
        EXPECT_TRUE(enabled(page, IDC_FORM_TYPE + 3));
        EXPECT_EQ(SendDlgItemMessageA(page, IDC_FORM_PROMPT + 0, EM_GETLIMITTEXT, 0, 0), 12);
        // A lookup file keeps the rule: rows 5-8 stay disabled.
        choose(page, IDC_FORM_LOOKUP, 2);
        EXPECT_EQ(textOf(page, IDC_FORM_HEAD_LINK), "Lookup");
        EXPECT_FALSE(enabled(page, IDC_FORM_LINK + 5));
        EXPECT_TRUE(enabled(page, IDC_FORM_LINK + 0));
        picture(sheet, "form_page_large_font.bmp");
        clickButton(sheet, IDOK);
    });
    EXPECT_EQ(form(1).dataType[5], kTypeNil);
    EXPECT_EQ(fieldText(form(1).prompt[5]), "");
    EXPECT_EQ(fieldText(form(1).prompt[0]), "A prompt of ");
    EXPECT_EQ(form(1).lookupFile, 2);
}

TEST_F(FormPageWindow, CancelLeavesTheModelUntouched) {
    form(2).dataType[0] = kTypeText;
    auto before = std::make_unique<ProgramModel>(model());
    edit([&](HWND sheet, HWND page) {
        choose(page, IDC_FORM_NAME, 1);
        EXPECT_EQ(selection(page, IDC_FORM_TYPE + 0), kTypeText);
        choose(page, IDC_FORM_TYPE + 0, kTypeReal);
        type(page, IDC_FORM_PROMPT + 0, "Weight");
        onDialog("Branch", [](HWND dlg) {
            choose(dlg, IDC_BRANCH_FN + 0, 2);
            clickButton(dlg, IDOK);
        });
        press(page, IDC_FORM_BRANCH);
        clickButton(sheet, IDCANCEL);
    });
    EXPECT_EQ(std::memcmp(&model(), before.get(), kModelBodySize), 0);
    EXPECT_FALSE(model().modified);
}

TEST_F(FormPageWindow, FieldPropertiesAndThePrefixGrid) {
    form(1).dataType[0] = kTypeReal;
    setFieldText(form(1).prompt[0], "Weight");
    edit([&](HWND sheet, HWND page) {
        onDialog("Properties", [&](HWND dlg) {
            EXPECT_EQ(textOf(dlg, IDC_PROP_FORM_NO), "1");
            EXPECT_EQ(textOf(dlg, IDC_PROP_LINE_NO), "1");
            EXPECT_TRUE(enabled(dlg, IDC_PROP_DECIMALS));
            EXPECT_EQ(textOf(dlg, IDC_PROP_START), "1");
            EXPECT_FALSE(enabled(dlg, IDC_PROP_START));

            press(dlg, IDC_PROP_INITIAL);
            EXPECT_TRUE(enabled(dlg, IDC_PROP_INITIAL_BOX));
            type(dlg, IDC_PROP_INITIAL_BOX, "12a.5.3");
            EXPECT_EQ(textOf(dlg, IDC_PROP_INITIAL_BOX), "1253");
            press(dlg, IDC_PROP_FIXED);
            type(dlg, IDC_PROP_FIXED_BOX, "300");
            EXPECT_EQ(textOf(dlg, IDC_PROP_FIXED_BOX), "255");
            choose(dlg, IDC_PROP_ALIGNMENT, 3);
            choose(dlg, IDC_PROP_DECIMALS, 2);
            press(dlg, IDC_PROP_CHECK_DIGIT);
            EXPECT_EQ(selection(dlg, IDC_PROP_METHOD), 0);
            choose(dlg, IDC_PROP_METHOD, 3);
            press(dlg, IDC_PROP_LEAD);
            type(dlg, IDC_PROP_LEAD_BOX, "ABCDEFG");
            EXPECT_EQ(textOf(dlg, IDC_PROP_LEAD_BOX), "ABCDEF");

            // The prefix box opens the grid only once it is enabled.
            EXPECT_FALSE(enabled(dlg, IDC_PROP_PREFIX_BOX));
            press(dlg, IDC_PROP_PREFIX);
            onDialog("The Grid Control", [dlg](HWND grid) {
                clickCode(grid, 'A');
                clickCode(grid, 0x0D);   // "Enter" cannot be picked
                clickCode(grid, 0x1B);
                EXPECT_EQ(textOf(grid, IDC_GRID_RESULT_LABEL), "Resulting text :");
                picture(grid, "grid_multi_code.bmp");
                picture(GetDesktopWindow(), "field_properties_grid_open.bmp");
                clickButton(grid, IDOK);
            });
            clickBox(dlg, IDC_PROP_PREFIX_BOX);
            EXPECT_EQ(textOf(dlg, IDC_PROP_PREFIX_BOX), " A ESC");

            // A cancelled grid changes nothing.
            press(dlg, IDC_PROP_SUFFIX);
            onDialog("The Grid Control", [](HWND grid) {
                clickCode(grid, 'Z');
                clickButton(grid, IDCANCEL);
            });
            clickBox(dlg, IDC_PROP_SUFFIX_BOX);
            EXPECT_EQ(textOf(dlg, IDC_PROP_SUFFIX_BOX), "");
            // F4 opens the box as it opens a drop-down list.
            onDialog("The Grid Control", [](HWND grid) {
                SendMessageW(GetDlgItem(grid, IDC_GRID_AREA), WM_CHAR, L'Z', 0);
                clickButton(grid, IDOK);
            });
            SendMessageW(GetDlgItem(dlg, IDC_PROP_SUFFIX_BOX), WM_KEYDOWN, VK_F4, 0);
            EXPECT_EQ(textOf(dlg, IDC_PROP_SUFFIX_BOX), " Z");
            picture(dlg, "field_properties.bmp");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_FORM_MORE + 0);
        clickButton(sheet, IDOK);
    });
    const FormDef& f = form(1);
    EXPECT_EQ(fieldText(f.initialValue[0]), "1253");
    EXPECT_EQ(f.fixedLengthOn[0], 1);
    EXPECT_EQ(f.fixedLength[0], 255);
    EXPECT_EQ(f.alignment[0], 3);
    EXPECT_EQ(f.decimals[0], 2);
    EXPECT_EQ(f.checkDigit[0], 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.leadCode[0]), 6), "ABCDEF");
    EXPECT_EQ(f.prefixCode[0][0], 'A');
    EXPECT_EQ(f.prefixCode[0][1], 0x1B);
    EXPECT_EQ(f.prefixCode[0][2], 0);
    EXPECT_EQ(f.suffixOn[0], 1);
    EXPECT_EQ(f.suffixCode[0][0], 'Z');   // from the grid F4 opened, not the cancelled one
    EXPECT_EQ(f.suffixCode[0][1], 0);
    EXPECT_EQ(f.partialStart[0], 1);
}

TEST_F(FormPageWindow, LookupFieldPropertiesNeedSaveFieldData) {
    form(1).lookupFile = 1;
    form(1).dataType[0] = kTypeLookup;
    form(1).prefixOn[0] = 1;
    edit([&](HWND sheet, HWND page) {
        EXPECT_TRUE(enabled(page, IDC_FORM_LINK + 0));
        onDialog("Properties", [](HWND dlg) {
            EXPECT_TRUE(GetDlgItem(dlg, IDC_PROP_SAVE_FIELD) != nullptr);
            EXPECT_TRUE(checked(dlg, IDC_PROP_PREFIX));
            EXPECT_FALSE(enabled(dlg, IDC_PROP_PREFIX));
            EXPECT_FALSE(enabled(dlg, IDC_PROP_PREFIX_BOX));
            press(dlg, IDC_PROP_SAVE_FIELD);
            EXPECT_TRUE(enabled(dlg, IDC_PROP_PREFIX_BOX));
            EXPECT_TRUE(enabled(dlg, IDC_PROP_FIXED));
            EXPECT_FALSE(enabled(dlg, IDC_PROP_FIXED_BOX));
            picture(dlg, "lookup_field_properties.bmp");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_FORM_MORE + 0);
        clickButton(sheet, IDOK);
    });
    EXPECT_EQ(form(1).initialValueOn[0], 1);
    EXPECT_EQ(form(1).prefixOn[0], 1);
}

TEST_F(FormPageWindow, StampAndBranchDialogs) {
    form(1).branch[3] = 15;
    edit([&](HWND sheet, HWND page) {
        onDialog("Time Stamp", [](HWND dlg) {
            EXPECT_EQ(textOf(dlg, IDC_STAMP_DATE_GROUP), "Date Format : YYYY/MM/DD");
            choose(dlg, IDC_STAMP_POSITION, 2);
            choose(dlg, IDC_STAMP_STYLE, 2);
            choose(dlg, IDC_STAMP_YEAR_DIGITS, 1);
            EXPECT_EQ(textOf(dlg, IDC_STAMP_DATE_GROUP), "Date Format : DD/MM/YY");
            press(dlg, IDC_STAMP_MINUTE);
            EXPECT_EQ(textOf(dlg, IDC_STAMP_TIME_GROUP), "Time Format : HH:SS");
            type(dlg, IDC_STAMP_TIME_SEP_BOX, ".");
            EXPECT_EQ(textOf(dlg, IDC_STAMP_TIME_GROUP), "Time Format : HH.SS");
            picture(dlg, "stamp_dialog.bmp");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_FORM_STAMP);
        onDialog("Branch", [](HWND dlg) {
            EXPECT_EQ(selection(dlg, IDC_BRANCH_FN + 3), 0);   // 15 shows as "disable"
            choose(dlg, IDC_BRANCH_FN + 1, 3);
            picture(dlg, "branch_dialog.bmp");
            clickButton(dlg, IDCANCEL);
        });
        press(page, IDC_FORM_BRANCH);
        onDialog("Branch", [](HWND dlg) {
            choose(dlg, IDC_BRANCH_FN + 0, 10);
            clickButton(dlg, IDOK);
        });
        press(page, IDC_FORM_BRANCH);
        clickButton(sheet, IDOK);
    });
    const FormDef& f = form(1);
    EXPECT_EQ(f.stampPosition, 2);
    EXPECT_EQ(f.stampDateStyle, 2);
    EXPECT_EQ(f.stampMinute, 0);
    EXPECT_EQ(f.stampTimeSep[0], '.');
    EXPECT_EQ(f.branch[0], 10);
    EXPECT_EQ(f.branch[1], 0);    // cancelled
    EXPECT_EQ(f.branch[3], 0);    // stored as "disable" by the OK
}

TEST_F(FormPageWindow, CodeIdentifierGridRefusesAThirdCode) {
    const uint8_t pair[2] = {'A', 'B'};
    GridBox box = GridBox::multiCode(pair, 2, kCodeIdCapacity);
    onDialog("The Grid Control", [](HWND grid) {
        onDialog("Warning", [](HWND message) {
            EXPECT_EQ(windowText(message), "Warning");
            clickButton(message, IDOK);
        });
        clickCode(grid, 'C');
        EXPECT_EQ(pendingDialogActions(), 0);
        press(grid, IDC_GRID_CLEAR);
        clickCode(grid, 'x');
        clickCode(grid, 'y');
        clickButton(grid, IDOK);
    });
    EXPECT_EQ(runCharacterGrid(terminal, nullptr, box), IDOK);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(box.text(), " x y");

    onDialog("The Grid Control", [](HWND grid) {
        press(grid, IDC_GRID_CLEAR);
        clickCode(grid, 'q');
        clickButton(grid, IDCANCEL);
    });
    EXPECT_EQ(runCharacterGrid(terminal, nullptr, box), IDCANCEL);
    EXPECT_EQ(box.text(), " x y");
}

// The grid from the keyboard: it has the focus when it opens, keeps the
// arrows and characters from the dialog, and answers a screen reader with
// the selected cell.
TEST_F(FormPageWindow, GridByKeyboard) {
    const uint8_t none[10] = {};
    GridBox box = GridBox::multiCode(none, sizeof none, kMultiCodeCapacity);
    onDialog("The Grid Control", [](HWND grid) {
        HWND area = GetDlgItem(grid, IDC_GRID_AREA);
        EXPECT_EQ(GetFocus(), area);
        const LRESULT wants = SendMessageW(area, WM_GETDLGCODE, 0, 0);
        EXPECT_EQ(wants & (DLGC_WANTARROWS | DLGC_WANTCHARS), DLGC_WANTARROWS | DLGC_WANTCHARS);
        EXPECT_EQ(accessibleName(area), "The Grid Control");
        EXPECT_EQ(accessibleValue(area), "SP");
        SendMessageW(area, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(accessibleValue(area), "!");
        SendMessageW(area, WM_CHAR, L' ', 0);
        SendMessageW(area, WM_CHAR, L'\u00e9', 0);   // é, code 233
        SendMessageW(area, WM_CHAR, L'\u03a9', 0);   // Ω: no code, no cell
        picture(grid, "grid_keyboard.bmp");
        clickButton(grid, IDOK);
    });
    EXPECT_EQ(runCharacterGrid(terminal, nullptr, box), IDOK);
    EXPECT_EQ(box.text(), " ! 233");
}

TEST_F(FormPageWindow, SingleCharacterGrid) {
    GridBox box = GridBox::singleCharacter(0x02);
    onDialog("The Grid Control", [](HWND grid) {
        EXPECT_EQ(GetDlgItem(grid, IDC_GRID_CLEAR), nullptr);
        clickCode(grid, 0x7F);
        clickCode(grid, 0x03);
        picture(grid, "grid_single_character.bmp");
        clickButton(grid, IDOK);
    });
    EXPECT_EQ(runCharacterGrid(terminal, nullptr, box), IDOK);
    EXPECT_EQ(box.code(), 0x03);
    EXPECT_EQ(box.text(), "ETX");
}

TEST_F(FormPageWindow, LanguageCaptionsReplaceTheTemplateTexts) {
    LanguageTexts& texts = languageTexts();
    const char name[] = "Nom";
    const char format[] = "Format : ";
    texts.set(52, name, sizeof name - 1);
    texts.set(153, format, sizeof format - 1);
    setLanguageActive(true);
    edit([&](HWND sheet, HWND page) {
        EXPECT_EQ(textOf(page, IDC_FORM_NAME_LABEL), "Nom");
        EXPECT_EQ(textOf(page, IDC_FORM_FONT_LABEL), "&Font");   // not named by the language
        onDialog("Time Stamp", [](HWND dlg) {
            EXPECT_EQ(textOf(dlg, IDC_STAMP_DATE_GROUP), "Format : YYYY/MM/DD");
            clickButton(dlg, IDCANCEL);
        });
        press(page, IDC_FORM_STAMP);
        clickButton(sheet, IDCANCEL);
    });
    texts.set(52, "", 0);
    texts.set(153, "", 0);
}

}  // namespace
}  // namespace fw::win
