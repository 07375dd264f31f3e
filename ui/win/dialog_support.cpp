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
    // Kept inside the work area of the owner's monitor, not the primary
    // one: the terminal may stand on a second screen.
    const ScreenPoint p = centreOver({o.left, o.top, o.right, o.bottom}, d.right - d.left, d.bottom - d.top,
                                     workAreaOf(owner));
    SetWindowPos(dlg, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static ScreenRect screenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

ScreenRect workAreaOf(HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return screenRect(monitor.rcWork);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return screenRect(work);
}

static BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        auto& areas = *reinterpret_cast<std::vector<ScreenRect>*>(list);
        // The main monitor first.
        if (info.dwFlags & MONITORINFOF_PRIMARY) areas.insert(areas.begin(), screenRect(info.rcWork));
        else areas.push_back(screenRect(info.rcWork));
    }
    return TRUE;
}

std::vector<ScreenRect> monitorWorkAreas() {
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, addWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
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
