// "Check program..." (the findings in a list) and the report's page shown
// in the user's browser. Which finding opens the editor where, and what the
// list's lines say, is the checker's; this side fills the list and hands the
// chosen row back.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

namespace fw::win {

namespace {

// Column widths in dialog units; the sentence takes the rest of the list.
constexpr int kSeverityColumn = 40;
constexpr int kPlaceColumn = 82;

int horizontalUnits(HWND dlg, int units) {
    RECT r{0, 0, units, 0};
    MapDialogRect(dlg, &r);
    return r.right;
}

void addColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void setCell(HWND list, int row, int column, const std::string& utf8) {
    std::wstring text = wideFromUtf8(utf8);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void fillList(HWND dlg, HWND list, const std::vector<Finding>& findings) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP,
                 LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    RECT client{};
    GetClientRect(list, &client);
    const int severity = horizontalUnits(dlg, kSeverityColumn), place = horizontalUnits(dlg, kPlaceColumn);
    const int rest = client.right - severity - place - GetSystemMetrics(SM_CXVSCROLL);
    addColumn(list, 0, L"Severity", severity);
    addColumn(list, 1, L"Place", place);
    addColumn(list, 2, L"Finding", rest > place ? rest : place);
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const int row = static_cast<int>(i);
        std::wstring severityText = wideFromUtf8(severityLabel(findings[i].severity));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = severityText.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        setCell(list, row, 1, findings[i].place());
        setCell(list, row, 2, findings[i].text);
    }
}

int selectedRow(HWND dlg) {
    return static_cast<int>(
        SendDlgItemMessageW(dlg, IDC_CHECK_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void selectRow(HWND dlg, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dlg, IDC_CHECK_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The chosen finding's sentence in full under the list, and the button that
// opens it usable only while one is chosen.
void showChoice(HWND dlg, const std::vector<Finding>& findings) {
    const int row = selectedRow(dlg);
    const bool chosen = row >= 0 && row < static_cast<int>(findings.size());
    SetDlgItemTextW(dlg, IDC_CHECK_DETAIL, chosen ? wideFromUtf8(findingLine(findings[row])).c_str() : L"");
    EnableWindow(GetDlgItem(dlg, IDOK), chosen);
}

INT_PTR CALLBACK checkDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* findings = reinterpret_cast<const std::vector<Finding>*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            findings = reinterpret_cast<const std::vector<Finding>*>(lParam);
            SetWindowLongPtrW(dlg, DWLP_USER, lParam);
            SetDlgItemTextW(dlg, IDC_CHECK_SUMMARY, wideFromUtf8(findingsSummary(*findings)).c_str());
            HWND list = GetDlgItem(dlg, IDC_CHECK_LIST);
            fillList(dlg, list, *findings);
            centreOnOwner(dlg);
            if (findings->empty()) {
                // Nothing to open: Enter closes.
                SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
                showChoice(dlg, *findings);
                SetFocus(GetDlgItem(dlg, IDCANCEL));
                return FALSE;
            }
            selectRow(dlg, 0);
            showChoice(dlg, *findings);
            SetFocus(list);
            return FALSE;   // the focus is set
        }
        case WM_NOTIFY: {
            if (!findings) return FALSE;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_CHECK_LIST) return FALSE;
            if (header->code == LVN_ITEMCHANGED) {
                showChoice(dlg, *findings);
            } else if (header->code == NM_DBLCLK) {
                const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
                if (row >= 0 && row < static_cast<int>(findings->size())) EndDialog(dlg, row);
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: {
                    const int row = selectedRow(dlg);
                    if (findings && row >= 0 && row < static_cast<int>(findings->size())) EndDialog(dlg, row);
                    return TRUE;
                }
                case IDCANCEL:
                    EndDialog(dlg, -1);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

int runCheckDialog(HWND owner, HINSTANCE instance, const std::vector<Finding>& findings) {
    const INT_PTR chosen = DialogBoxParamW(instance, L"CheckProgramDlg", owner, checkDialogProc,
                                           reinterpret_cast<LPARAM>(&findings));
    return chosen >= 0 && chosen < static_cast<INT_PTR>(findings.size()) ? static_cast<int>(chosen) : -1;
}

// The page goes to whatever program the user has made the default for web
// pages; the designer does not wait for it. Where no program is set for
// ".html" (a bare Wine prefix, say), the system's own class of HTML
// documents opens it.
void showInBrowser(HWND owner, const std::string& path) {
    const std::wstring file = wideFromUtf8(path);
    const auto started =
        reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values up to 32 are the system's errors.
    if (started > 32) return;
    SHELLEXECUTEINFOW byClass{};
    byClass.cbSize = sizeof byClass;
    byClass.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
    byClass.hwnd = owner;
    byClass.lpVerb = L"open";
    byClass.lpFile = file.c_str();
    byClass.lpClass = L"htmlfile";
    byClass.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&byClass)) return;
    // The page is written all the same: the user is told where.
    utf8Box(owner, "The report is written to " + path + ", but no program could open it.", "Report",
            MB_OK | MB_ICONINFORMATION);
}

}  // namespace fw::win
