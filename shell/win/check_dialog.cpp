// "Check program...": the checker's findings in a list; a double-click on a
// finding closes the list and the session opens the editor on its page. And
// "Report...": the written page opened in the default browser.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "texts/code_page.h"

namespace fw::win {

namespace {

struct CheckListContext {
    const std::vector<std::string>* lines;
};

INT_PTR CALLBACK checkListProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: {
            const auto* context = reinterpret_cast<const CheckListContext*>(lParam);
            HWND list = GetDlgItem(dlg, IDC_CHECK_LIST);
            for (const std::string& line : *context->lines)
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(utf16FromUtf8(line).c_str()));
            SendMessageW(list, LB_SETHORIZONTALEXTENT, 1600, 0);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_CHECK_LIST && HIWORD(wParam) == LBN_DBLCLK) {
                const LRESULT chosen = SendDlgItemMessageW(dlg, IDC_CHECK_LIST, LB_GETCURSEL, 0, 0);
                if (chosen != LB_ERR) EndDialog(dlg, chosen + 1);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                EndDialog(dlg, 0);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int showCheckList(HWND owner, HINSTANCE instance, const std::vector<std::string>& lines) {
    CheckListContext context{&lines};
    const INT_PTR result = DialogBoxParamW(instance, L"CheckProgramDlg", owner, checkListProc,
                                           reinterpret_cast<LPARAM>(&context));
    return result > 0 ? static_cast<int>(result - 1) : -1;
}

void openInBrowser(const std::string& path) {
    const std::wstring wide(reinterpret_cast<const wchar_t*>(utf16FromUtf8(path).c_str()));
    ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace fw::win
