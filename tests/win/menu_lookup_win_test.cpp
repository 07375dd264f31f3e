// The Menu page, its file-name dialog and the Lookup page in the real editor
// sheet under Windows (Wine): each control reaches its field, the dialogs
// open, OK commits, and the designed menu runs on the simulated display.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/win/lookup_dialog_ids.h"
#include "editor/win/menu_dialog_ids.h"
#include "model/fixed_text.h"
#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "sheet_window_test.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;

constexpr int kMenuTab = 1;
constexpr int kLookupTab = 2;

class MenuLookupWindow : public SheetWindowTest {
protected:
    void edit(int tab, std::function<void(HWND sheet, HWND page)> drive) { editOnTab(tab, std::move(drive)); }
};

TEST_F(MenuLookupWindow, DesignedMenuRunsOnTheDisplayAfterOk) {
    edit(kMenuTab, [](HWND sheet, HWND page) {
        type(page, IDC_MENU_ITEM_NAME + 0, "Receiving");
        type(page, IDC_MENU_ITEM_NAME + 1, "Stock count here");
        choose(page, IDC_MENU_ITEM_NEXT + 0, 1);           // form 1
        choose(page, IDC_MENU_ITEM_NEXT + 1, 12);          // menu 2
        press(page, IDC_MENU_CAPTION_ON);
        EXPECT_TRUE(enabled(page, IDC_MENU_CAPTION));
        type(page, IDC_MENU_CAPTION, "Main");
        EXPECT_FALSE(enabled(page, IDC_MENU_EDIT_FILE_NAME));
        press(page, IDC_MENU_SEPARATE);
        EXPECT_TRUE(enabled(page, IDC_MENU_EDIT_FILE_NAME));
        press(page, IDC_MENU_SAVE_CAPTION);
        EXPECT_TRUE(checked(page, IDC_MENU_PASS_DOWN));
        EXPECT_FALSE(enabled(page, IDC_MENU_PASS_DOWN));
        picture(sheet, "menu_page_small_font.bmp");

        onDialog("Edit file name for each Form", [](HWND names) {
            EXPECT_FALSE(enabled(names, IDC_FILENAME_BOX + 2));
            press(names, IDC_FILENAME_ON + 2);
            EXPECT_TRUE(enabled(names, IDC_FILENAME_BOX + 2));
            type(names, IDC_FILENAME_BOX + 2, "GOODS-IN-FILE-NAME");   // cut to 16
            EXPECT_EQ(textOf(names, IDC_FILENAME_BOX + 2), "GOODS-IN-FILE-NA");
            picture(names, "menu_file_names.bmp");
            clickButton(names, IDOK);
        });
        press(page, IDC_MENU_EDIT_FILE_NAME);

        choose(page, IDC_MENU_NAME, 1);
        choose(page, IDC_MENU_FONT, 1);
        EXPECT_EQ(SendDlgItemMessageA(page, IDC_MENU_ITEM_NAME, EM_GETLIMITTEXT, 0, 0), 12);
        type(page, IDC_MENU_ITEM_NAME + 0, "Back to main");
        picture(sheet, "menu_page_large_font.bmp");
        clickButton(sheet, IDOK);
    });
    const MenuDef& m = model().menus[0];
    EXPECT_EQ(fieldText(m.itemName[1]), "Stock count here");
    EXPECT_EQ(m.itemNext[0], 1);
    EXPECT_EQ(m.itemNext[1], 12);
    EXPECT_EQ(fieldText(m.caption), "Main");
    EXPECT_EQ(m.passDown, 1);
    EXPECT_EQ(model().settings.separateDataFiles, 1);
    EXPECT_EQ(model().menus[1].font, 1);
    EXPECT_EQ(model().forms[2].fileNameOn, 1);
    EXPECT_EQ(fieldText(model().forms[2].fileName), "GOODS-IN-FILE-NA");

    // The simulation was restarted: Collect opens the new menu 1.
    SimulationEngine& engine = session.engine();
    engine.pressKey(1);
    EXPECT_EQ(engine.mode(), EngineMode::Menu);
    std::string screen;
    for (int i = 0; i < 8; ++i) screen += std::string(engine.line(i)) + "\n";
    EXPECT_NE(screen.find("Receiving"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Stock count here"), std::string::npos) << screen;
}

TEST_F(MenuLookupWindow, LookupPageBindsAndCommitsTheDelimitedLayout) {
    edit(kLookupTab, [](HWND sheet, HWND page) {
        EXPECT_EQ(textOf(page, IDC_LOOKUP_HEAD_LENGTH), "   Length");
        EXPECT_FALSE(enabled(page, IDC_LOOKUP_DELIMITER));
        press(page, IDC_LOOKUP_DELIMITED);
        EXPECT_TRUE(checked(page, IDC_LOOKUP_DELIMITED));
        EXPECT_FALSE(checked(page, IDC_LOOKUP_FIXED));
        EXPECT_EQ(textOf(page, IDC_LOOKUP_HEAD_LENGTH), "Max Length");
        EXPECT_EQ(textOf(page, IDC_LOOKUP_DELIMITER), "44");
        EXPECT_FALSE(enabled(page, IDC_LOOKUP_MEMBER_LENGTH));

        // The code is checked when the box loses the focus, not on the way
        // to 105 through 10.
        SetFocus(GetDlgItem(page, IDC_LOOKUP_DELIMITER));
        for (const char* typed : {"1", "10", "105"}) type(page, IDC_LOOKUP_DELIMITER, typed);
        EXPECT_EQ(textOf(page, IDC_LOOKUP_DELIMITER), "105");
        type(page, IDC_LOOKUP_DELIMITER, "13");
        onDialog("Warning", [](HWND box) { clickButton(box, IDOK); });
        SetFocus(GetDlgItem(page, IDC_LOOKUP_READ_ONCE));
        EXPECT_EQ(pendingDialogActions(), 0);
        EXPECT_EQ(textOf(page, IDC_LOOKUP_DELIMITER), "105");
        type(page, IDC_LOOKUP_DELIMITER, "059");
        EXPECT_EQ(textOf(page, IDC_LOOKUP_DELIMITER), "59");

        choose(page, IDC_LOOKUP_FIELD_COUNT, 3);
        EXPECT_TRUE(enabled(page, IDC_LOOKUP_LENGTH + 2));
        EXPECT_FALSE(enabled(page, IDC_LOOKUP_LENGTH + 3));
        EXPECT_FALSE(enabled(page, IDC_LOOKUP_OFFSET + 0));
        type(page, IDC_LOOKUP_LENGTH + 0, "10");
        type(page, IDC_LOOKUP_LENGTH + 1, "5");
        type(page, IDC_LOOKUP_LENGTH + 2, "8");
        press(page, IDC_LOOKUP_KEY + 1);
        EXPECT_TRUE(checked(page, IDC_LOOKUP_KEY + 1));
        EXPECT_FALSE(checked(page, IDC_LOOKUP_KEY + 0));
        press(page, IDC_LOOKUP_READ_ONCE);
        EXPECT_EQ(SendDlgItemMessageA(page, IDC_LOOKUP_NO_MATCH, CB_GETCOUNT, 0, 0), 2);
        choose(page, IDC_LOOKUP_NO_MATCH, 1);
        choose(page, IDC_LOOKUP_BAD_FORMAT, 2);
        press(page, IDC_LOOKUP_UPLOADABLE);
        picture(sheet, "lookup_page_delimited.bmp");

        choose(page, IDC_LOOKUP_NAME, 1);
        EXPECT_TRUE(checked(page, IDC_LOOKUP_FIXED));
        EXPECT_TRUE(enabled(page, IDC_LOOKUP_MEMBER_LENGTH));
        picture(sheet, "lookup_page_fixed.bmp");
        clickButton(sheet, IDOK);
    });
    const LookupDef& d = model().lookups[0];
    EXPECT_EQ(d.delimiter, 59);
    EXPECT_EQ(d.fieldCount, 3);
    EXPECT_EQ(d.fieldOffset[1], 12);
    EXPECT_EQ(d.fieldOffset[2], 18);
    EXPECT_EQ(d.memberLength, 25);
    EXPECT_EQ(d.keyField, 1);
    EXPECT_EQ(d.readOnce, 1);
    EXPECT_EQ(d.noMatchAction, 3);
    EXPECT_EQ(d.badFormatAction, 2);
    EXPECT_EQ(d.uploadable, 0);
    EXPECT_EQ(session.document().defaults.extraUtility[0][0], '9');
}

TEST_F(MenuLookupWindow, CancelLeavesTheModelAlone) {
    edit(kLookupTab, [](HWND sheet, HWND page) {
        press(page, IDC_LOOKUP_RESET);
        choose(page, IDC_LOOKUP_FIELD_COUNT, 2);
        type(page, IDC_LOOKUP_MEMBER_LENGTH, "30");
        clickButton(sheet, IDCANCEL);
    });
    EXPECT_EQ(model().lookups[0].fieldCount, 0);
    EXPECT_EQ(model().lookups[0].memberLength, 0);
}

}  // namespace
}  // namespace fw::win
