#include "editor/win/dialog_support.h"

#include "shell/captions.h"
#include "shell/language.h"
#include "shell/win/designer.h"

namespace fw::win {

HINSTANCE editorInstance() {
    HINSTANCE instance = designer().instance;
    return instance ? instance : GetModuleHandleA(nullptr);
}

void fillList(HWND dlg, int id, const std::vector<std::string>& entries) {
    HWND list = GetDlgItem(dlg, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& e : entries) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
}

void selectEntry(HWND dlg, int id, int index) {
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int selectedEntry(HWND dlg, int id) {
    return static_cast<int>(SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0));
}

std::string itemText(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    const int n = GetWindowTextLengthA(item);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(item, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void setItemText(HWND dlg, int id, const std::string& text) {
    if (itemText(dlg, id) != text) SetDlgItemTextA(dlg, id, text.c_str());
}

void putBack(HWND dlg, int id, const std::string& text) {
    SetDlgItemTextA(dlg, id, text.c_str());
    const auto end = static_cast<LPARAM>(text.size());
    SendDlgItemMessageA(dlg, id, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void limitText(HWND dlg, int id, int chars) {
    SendDlgItemMessageA(dlg, id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

void enableItem(HWND dlg, int id, bool enabled) {
    HWND item = GetDlgItem(dlg, id);
    if (!enabled && GetFocus() == item) SendMessageA(dlg, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(item, enabled);
}

void applyState(HWND dlg, int id, ControlKind kind, const ControlState& state, bool withText) {
    switch (kind) {
        case ControlKind::Check:
            CheckDlgButton(dlg, id, state.checked ? BST_CHECKED : BST_UNCHECKED);
            break;
        case ControlKind::List:
            selectEntry(dlg, id, state.selection);
            break;
        case ControlKind::Box:
            if (withText) {
                if (state.limit > 0) limitText(dlg, id, state.limit);
                setItemText(dlg, id, state.text);
            }
            break;
        case ControlKind::Grid:
            setItemText(dlg, id, state.text);
            break;
        case ControlKind::Label:
            break;
    }
    enableItem(dlg, id, state.enabled);
}

void applyLanguage(HWND dlg, unsigned title, std::initializer_list<Caption> captions) {
    if (!languageActive()) return;
    char current[256];
    if (title != 0) {
        GetWindowTextA(dlg, current, sizeof current);
        SetWindowTextA(dlg, captionText(title, current).c_str());
    }
    for (const Caption& c : captions) {
        GetDlgItemTextA(dlg, c.control, current, sizeof current);
        SetDlgItemTextA(dlg, c.control, captionText(c.text, current).c_str());
    }
    GetDlgItemTextA(dlg, IDOK, current, sizeof current);
    if (GetDlgItem(dlg, IDOK)) SetDlgItemTextA(dlg, IDOK, captionText(kTextOkButton, current).c_str());
    GetDlgItemTextA(dlg, IDCANCEL, current, sizeof current);
    if (GetDlgItem(dlg, IDCANCEL)) SetDlgItemTextA(dlg, IDCANCEL, captionText(kTextCancelButton, current).c_str());
}

void centreOnOwner(HWND dlg) {
    HWND owner = GetWindow(dlg, GW_OWNER);
    RECT o, d;
    if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dlg, &d)) return;
    const int w = d.right - d.left;
    const int h = d.bottom - d.top;
    int x = o.left + ((o.right - o.left) - w) / 2;
    int y = o.top + ((o.bottom - o.top) - h) / 2;
    RECT work;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        if (x + w > work.right) x = work.right - w;
        if (y + h > work.bottom) y = work.bottom - h;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw::win
