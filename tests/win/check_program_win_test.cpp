// "Check program..." and "Report..." bound to the designer's real windows:
// the list shows the checker's findings, a double-click or Enter on one
// opens the editor on its page, and the report page is written beside the
// program file.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "check/checker.h"
#include "model/fixed_text.h"
#include "sheet_window_test.h"

namespace fw::win {
namespace {

using namespace fw::wintest;
namespace fs = std::filesystem;

constexpr char kCheckList[] = "Check program";

class CheckProgramWin : public SheetWindowTest {
protected:
    void command(int id) { SendMessageA(terminal, WM_COMMAND, id, 0); }

    // Menu 1 "Count" opens form 3, whose one line asks for at least 6 of at
    // most 5 characters; its "Later" opens form 4, which asks nothing.
    void faultyProgram() {
        model().settings.startFrom = 1;
        setFieldText(model().menus[0].itemName[0], "Count");
        model().menus[0].itemNext[0] = targetForm(3);
        setFieldText(model().menus[0].itemName[1], "Later");
        model().menus[0].itemNext[1] = targetForm(4);
        FormDef& form = model().forms[2];
        form.dataType[0] = kTypeText;
        form.minLength[0] = 6;
        form.maxLength[0] = 5;
    }
};

std::string cell(HWND list, int row, int column) {
    char buffer[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int rowOf(HWND list, const std::string& place) {
    const int rows = ListView_GetItemCount(list);
    for (int row = 0; row < rows; ++row)
        if (cell(list, row, 1) == place) return row;
    return -1;
}

// What the list showed when a case looked at it.
struct ListLook {
    std::string summary;
    std::vector<std::string> places;
    std::string firstSeverity;
};

void look(HWND dlg, ListLook& seen) {
    seen.summary = textOf(dlg, IDC_CHECK_SUMMARY);
    HWND list = GetDlgItem(dlg, IDC_CHECK_LIST);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) seen.places.push_back(cell(list, row, 1));
    if (!seen.places.empty()) seen.firstSeverity = cell(list, 0, 0);
}

TEST_F(CheckProgramWin, TheListShowsTheFindingsAndOpensTheEditorOnTheirPage) {
    faultyProgram();
    const std::vector<Finding> findings = checkProgram(model());
    ListLook seen;
    // A double-click on the form's finding: the Form page, showing form 3.
    onDialog(kCheckList, [&seen](HWND dlg) {
        look(dlg, seen);
        picture(dlg, "check_program.bmp");
        HWND list = GetDlgItem(dlg, IDC_CHECK_LIST);
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(rowOf(list, "forms[2].lines[0]")),
                     reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    });
    int tab = -1, form = -1;
    onDialog(kSheet, [&](HWND sheet) {
        tab = TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet));
        form = selection(PropSheet_GetCurrentPageHwnd(sheet), IDC_FORM_NAME);
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_CHECK_PROGRAM);
    ASSERT_EQ(pendingDialogActions(), 0);
    ASSERT_EQ(seen.places.size(), findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) EXPECT_EQ(seen.places[i], findings[i].place());
    EXPECT_EQ(seen.summary, findingsSummary(findings));
    EXPECT_EQ(seen.firstSeverity, "Error");
    EXPECT_EQ(tab, 0);
    EXPECT_EQ(form, 2);

    // Enter on the menu's finding (the default button): the Menu page.
    onDialog(kCheckList, [](HWND dlg) {
        HWND list = GetDlgItem(dlg, IDC_CHECK_LIST);
        ListView_SetItemState(list, rowOf(list, "menus[0].items[1]"), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        clickButton(dlg, IDOK);
    });
    onDialog(kSheet, [&](HWND sheet) {
        tab = TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet));
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_CHECK_PROGRAM);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(tab, 1);
}

TEST_F(CheckProgramWin, ReportWritesThePageBesideTheProgram) {
    // No browser starts: Wine's browser launcher is pointed at a program
    // that does nothing.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t browsers[] = L"true";
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers), sizeof browsers);
    RegCloseKey(key);

    faultyProgram();
    // A name outside the ANSI code page: the page's name comes from it.
    const std::string folder = makeTempFolder("report");
    const std::string program = folder + "\\Lager \xD0\x9B.FWX";
    session.document().currentFile = program;
    command(IDM_SAVE);
    ASSERT_TRUE(fs::exists(fs::u8path(program)));
    // The page opens in the browser: no word that nothing could open it.
    bool notOpened = false;
    onDialog("Report", [&notOpened](HWND box) {
        notOpened = true;
        clickButton(box, IDOK);
    });
    command(IDM_REPORT);
    EXPECT_FALSE(notOpened);
    clearDialogActions();
    const fs::path page = fs::u8path(folder + "\\Lager \xD0\x9B.html");
    ASSERT_TRUE(fs::exists(page));
    std::ifstream in(page, std::ios::binary);
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("Lager \xD0\x9B.FWX"), std::string::npos);
    std::error_code ec;
    fs::remove_all(fs::u8path(folder), ec);
}

}  // namespace
}  // namespace fw::win
