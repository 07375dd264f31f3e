#include "ui/win/dialog_support.h"

#include <shlobj.h>

#include "resources/text_ids.h"
#include "texts/texts.h"
#include "texts/language_texts.h"
#include "ui/win/wide_text.h"

namespace fw::win {

HINSTANCE instanceOf(HWND window) {
    HINSTANCE instance =
        window ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) : nullptr;
    return instance ? instance : GetModuleHandleW(nullptr);
}

void setText(HWND window, const std::string& text) {
    if (window) SetWindowTextW(window, wideFromText(text).c_str());
}

void applyCaption(HWND window, unsigned textId) {
    if (!window) return;
    const std::string current = textFromWide(windowText(window)).bytes;
    const std::string shown = captionText(textId, current);
    if (shown != current) setText(window, shown);
}

void applyLanguage(HWND dlg, unsigned title, std::initializer_list<Caption> captions) {
    if (!languageActive()) return;
    if (title != 0) applyCaption(dlg, title);
    for (const Caption& c : captions) applyCaption(GetDlgItem(dlg, c.control), c.text);
    applyCaption(GetDlgItem(dlg, IDOK), kTextOkButton);
    applyCaption(GetDlgItem(dlg, IDCANCEL), kTextCancelButton);
}

std::string documentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return utf8FromWide(folder);
}

std::wstring resourceName(const char* name) {
    return name ? std::wstring(name, name + std::char_traits<char>::length(name)) : std::wstring();
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
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return screenRect(monitor.rcWork);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return screenRect(work);
}

static BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
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
const wchar_t kInputLookProperty[] = L"FwInputLook";
}

void markInputLook(HWND box, bool on) {
    if (on) {
        SetPropW(box, kInputLookProperty, reinterpret_cast<HANDLE>(1));
    } else {
        RemovePropW(box, kInputLookProperty);
    }
}

INT_PTR inputLookColours(WPARAM dc, LPARAM control) {
    HWND box = reinterpret_cast<HWND>(control);
    if (!GetPropW(box, kInputLookProperty) || !IsWindowEnabled(box)) return 0;
    SetBkColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOW));
    SetTextColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace fw::win
