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
    const int w = d.right - d.left;
    const int h = d.bottom - d.top;
    int x = o.left + ((o.right - o.left) - w) / 2;
    int y = o.top + ((o.bottom - o.top) - h) / 2;
    // Kept inside the work area of the owner's monitor, not the primary
    // one: the terminal may stand on a second screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (x + w > work.right) x = work.right - w;
        if (y + h > work.bottom) y = work.bottom - h;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
