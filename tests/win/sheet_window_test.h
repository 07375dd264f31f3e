// The fixture of the editor pages' Wine tests: the designer's real terminal
// window, made afresh for each case, and the Edit command that opens the
// real editor sheet on it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "editor/character_grid.h"
#include "editor/win/form_dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "texts/language_texts.h"
#include "window_test_support.h"

namespace fw::win {

// Clicks the grid cell of `code` in a character-grid dialog (its mode
// decides the columns).
inline void clickCode(HWND gridDialog, int code) {
    HWND area = GetDlgItem(gridDialog, IDC_GRID_AREA);
    auto* grid = reinterpret_cast<CharacterGrid*>(GetWindowLongPtrA(area, GWLP_USERDATA));
    RECT rc;
    GetClientRect(area, &rc);
    CellRect cell = CharacterGrid::cellRect(code / 16 + 1, code % 16 + 1, grid->columns(), rc.right, rc.bottom);
    SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
}

class SheetWindowTest : public ::testing::Test {
protected:
    static constexpr char kSheet[] = "Formwright - [ New file ]";

    static void SetUpTestSuite() {
        ASSERT_TRUE(registerDesignerClasses(GetModuleHandleA(nullptr)));
    }

    void SetUp() override {
        wintest::clearDialogActions();
        wintest::forgetRecoveryCopy();
        terminal = createTerminalWindow(GetModuleHandleA(nullptr), session, WS_POPUP);
        ASSERT_TRUE(IsWindow(terminal));
        ShowWindow(terminal, SW_SHOWNORMAL);
        UpdateWindow(terminal);
        wintest::pumpMessages();
    }

    void TearDown() override {
        wintest::clearDialogActions();
        setLanguageActive(false);
        if (IsWindow(terminal)) {
            session.document().model.modified = false;
            DestroyWindow(terminal);
        }
        wintest::pumpMessages();
    }

    ProgramModel& model() { return session.document().model; }

    // Opens the sheet with the Edit command on page `tab` and runs `drive`
    // on it; `drive` ends by pressing the sheet's OK or Cancel.
    void editOnTab(int tab, std::function<void(HWND sheet, HWND page)> drive) {
        wintest::onDialog(kSheet, [tab, drive](HWND sheet) {
            if (tab > 0) PropSheet_SetCurSel(sheet, nullptr, tab);
            drive(sheet, PropSheet_GetCurrentPageHwnd(sheet));
        });
        SendMessageA(terminal, WM_COMMAND, IDM_EDIT, 0);
        EXPECT_EQ(wintest::pendingDialogActions(), 0);
    }

    DesignerSession session;   // what the terminal window's commands work on
    HWND terminal = nullptr;
};

}  // namespace fw::win
