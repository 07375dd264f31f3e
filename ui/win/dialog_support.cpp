#include "ui/win/dialog_support.h"

#include "resources/text_ids.h"
#include "texts/texts.h"
#include "texts/language_texts.h"

namespace fw::win {

HINSTANCE instanceOf(HWND window) {
    HINSTANCE instance =
        window ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) : nullptr;
    return instance ? instance : GetModuleHandleA(nullptr);
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
    // Kept inside the work area of the owner's monitor, not the primary
    // one: the terminal may stand on a second screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (x + w > work.right) x = work.right - w;
        if (y + h > work.bottom) y = work.bottom - h;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
const char kInputLookProperty[] = "FwInputLook";
}

void markInputLook(HWND box, bool on) {
    if (on) {
        SetPropA(box, kInputLookProperty, reinterpret_cast<HANDLE>(1));
    } else {
        RemovePropA(box, kInputLookProperty);
    }
}

INT_PTR inputLookColours(WPARAM dc, LPARAM control) {
    HWND box = reinterpret_cast<HWND>(control);
    if (!GetPropA(box, kInputLookProperty) || !IsWindowEnabled(box)) return 0;
    SetBkColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOW));
    SetTextColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace fw::win
