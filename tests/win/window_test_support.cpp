#include "window_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <vector>

#include "ui/win/wide_text.h"

namespace fw::wintest {

namespace {

struct DialogAction {
    std::string caption;
    std::function<void(HWND)> action;
};

std::deque<DialogAction>& actions() {
    static std::deque<DialogAction> a;
    return a;
}

UINT_PTR timerId = 0;

struct FindDialog {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK findDialog(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindDialog*>(lParam);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    if (!f->caption->empty() && windowText(hwnd) != *f->caption) return TRUE;
    f->found = hwnd;
    return FALSE;
}

void CALLBACK dialogTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (actions().empty()) return;
    FindDialog f{&actions().front().caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&f));
    if (!f.found) return;
    DialogAction a = std::move(actions().front());
    actions().pop_front();
    a.action(f.found);
}

}  // namespace

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void onDialog(const std::string& caption, std::function<void(HWND)> action) {
    actions().push_back({caption, std::move(action)});
    if (!timerId) timerId = SetTimer(nullptr, 0, 50, dialogTimer);
}

int pendingDialogActions() { return static_cast<int>(actions().size()); }

void clearDialogActions() { actions().clear(); }

void clickButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void chooseFileInDialog(HWND dialog, const std::string& path) {
    // The explorer-style dialogs name their file box cmb13 (a combo box) or
    // edt1; either takes the full path.
    const int fileCombo = 0x47c;   // cmb13
    const int fileEdit = 0x480;    // edt1
    HWND box = GetDlgItem(dialog, fileCombo);
    if (!box) box = GetDlgItem(dialog, fileEdit);
    SetWindowTextW(box, win::wideFromUtf8(path).c_str());
    clickButton(dialog, IDOK);
}

std::string windowText(HWND hwnd) {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string utf8WindowText(HWND hwnd) { return win::utf8FromWide(win::windowText(hwnd)); }

std::string messageBoxText(HWND box) {
    HWND child = nullptr;
    while ((child = FindWindowExW(box, child, L"Static", nullptr)) != nullptr) {
        std::string text = utf8WindowText(child);
        if (!text.empty()) return text;
    }
    return {};
}

std::filesystem::path pathOf(const std::string& utf8) { return std::filesystem::path(win::wideFromUtf8(utf8)); }

bool saveWindowPicture(HWND hwnd, const std::string& path) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return false;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const int stride = ((w * 3) + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(h));
    GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&bfh, sizeof bfh, 1, f) == 1 && std::fwrite(&bih, sizeof bih, 1, f) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    return std::fclose(f) == 0 && ok;
}

std::string screenshotFolder() {
    const char* dir = std::getenv("FW_SCREENSHOT_DIR");
    std::filesystem::path p = dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
    return p.string();
}

std::string makeTempFolder(const std::string& tag) {
    std::filesystem::path p = std::filesystem::temp_directory_path() /
                              ("Formwright test " + tag + " " + std::to_string(GetCurrentProcessId()));
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
    std::filesystem::create_directories(p);
    return p.string();
}

void choose(HWND dlg, int id, int index) {
    HWND list = GetDlgItem(dlg, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void type(HWND dlg, int id, const char* text) {
    HWND box = GetDlgItem(dlg, id);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(box));
}

void typeWide(HWND dlg, int id, const wchar_t* text) {
    HWND box = GetDlgItem(dlg, id);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(box));
}

void press(HWND dlg, int id) { SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

void clickBox(HWND dlg, int id) {
    HWND box = GetDlgItem(dlg, id);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

std::string textOf(HWND dlg, int id) { return windowText(GetDlgItem(dlg, id)); }
bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }
bool checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
int selection(HWND dlg, int id) { return static_cast<int>(SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0)); }

void picture(HWND hwnd, const char* name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine hands what was painted to the X server while the thread waits;
    // wait without dispatching anything so that the picture shows it.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 150, 0);
    saveWindowPicture(hwnd, screenshotFolder() + "\\" + name);
}

}  // namespace fw::wintest
