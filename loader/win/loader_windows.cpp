#include "loader_windows.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "loader/last_folder.h"
#include "model/settings_place.h"
#include "loader_ids.h"

namespace fw::loader::win {

namespace {

constexpr UINT kUiRequest = WM_APP + 1;

struct UiRequest {
    enum class Kind { message, retry, openProgress, progress, closeProgress };
    Kind kind;
    Message message = Message::downloadedCompletely;
    int position = 0;
    bool answer = false;
};

const std::string& caption() {
    static const std::string text(kCaption);
    return text;
}

// The progress window of the transfer, owned by the user-interface thread.
HWND progressWindow = nullptr;
HWND progressBar = nullptr;

INT_PTR CALLBACK progressProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void openProgressWindow() {
    if (progressWindow) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Without an owner: the main window is never shown.
    progressWindow = CreateDialogParamA(instance, "ProgressDlg", nullptr, progressProc, 0);
    if (!progressWindow) return;
    RECT client{};
    GetClientRect(progressWindow, &client);
    const BarPlace place = progressBarPlace(client.right - client.left, client.bottom - client.top);
    const std::string barText(kProgressBarText);
    progressBar = CreateWindowExA(0, PROGRESS_CLASSA, barText.c_str(), WS_CHILD | WS_VISIBLE,
                                  place.x, place.y, place.width, place.height, progressWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)),
                                  instance, nullptr);
    SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(progressBar, PBM_SETPOS, 0, 0);
    ShowWindow(progressWindow, SW_SHOW);
    UpdateWindow(progressWindow);
}

void closeProgressWindow() {
    if (progressWindow) DestroyWindow(progressWindow);
    progressWindow = nullptr;
    progressBar = nullptr;
}

void carryOut(HWND main, UiRequest& r) {
    switch (r.kind) {
    case UiRequest::Kind::message:
        showMessage(main, r.message);
        break;
    case UiRequest::Kind::retry:
        r.answer = askRetry(main);
        break;
    case UiRequest::Kind::openProgress:
        openProgressWindow();
        break;
    case UiRequest::Kind::progress:
        if (progressBar) SendMessageA(progressBar, PBM_SETPOS, WPARAM(r.position), 0);
        break;
    case UiRequest::Kind::closeProgress:
        closeProgressWindow();
        break;
    }
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kUiRequest:
        carryOut(hwnd, *reinterpret_cast<UiRequest*>(lParam));
        return 0;
    case kTransferEnded:
        closeProgressWindow();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void fillList(HWND dialog, int id, const std::string_view* names, std::size_t count, int selected) {
    HWND list = GetDlgItem(dialog, id);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name(names[i]);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, WPARAM(selected), 0);
}

int selection(HWND dialog, int id, int keep) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? keep : int(index);
}

INT_PTR CALLBACK propertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const Choices& c = *reinterpret_cast<const Choices*>(lParam);
        fillList(dialog, IDC_DOWNLOAD_VIA, kLinkNames.data(), kLinkNames.size(), c.link);
        fillList(dialog, IDC_COM_PORT, kPortNames.data(), kPortNames.size(), c.port);
        fillList(dialog, IDC_BAUD_RATE, kSpeedNames.data(), kSpeedNames.size(), c.speed);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto& c = *reinterpret_cast<Choices*>(GetWindowLongPtrA(dialog, DWLP_USER));
            c.link = selection(dialog, IDC_DOWNLOAD_VIA, c.link);
            c.port = selection(dialog, IDC_COM_PORT, c.port);
            c.speed = selection(dialog, IDC_BAUD_RATE, c.speed);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void send(HWND main, UiRequest& r) {
    SendMessageA(main, kUiRequest, 0, reinterpret_cast<LPARAM>(&r));
}

}  // namespace

HWND createMainWindow(HINSTANCE instance) {
    const std::string className(kWindowClass);
    WNDCLASSA wc{};
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_FWX_LOAD));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = className.c_str();
    RegisterClassA(&wc);
    return CreateWindowExA(0, className.c_str(), caption().c_str(), WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
}

namespace {

// A box over a hidden owner (a silent run from the command line has no
// visible window) would get no taskbar button and could open behind other
// programs: the run would look hung. Such a box is the thread's own
// top-level window instead, modal to the whole thread, and asks for the
// foreground.
int loaderBox(HWND owner, const std::string& text, UINT style) {
    style |= MB_SETFOREGROUND;
    if (!owner || !IsWindowVisible(owner)) {
        owner = nullptr;
        style |= MB_TASKMODAL;
    }
    return MessageBoxA(owner, text.c_str(), caption().c_str(), style);
}

}  // namespace

void showMessage(HWND owner, Message message) {
    loaderBox(owner, std::string(messageText(message)), MB_OK | MB_ICONWARNING);
}

bool askRetry(HWND owner) {
    return loaderBox(owner, std::string(kRetryQuestion), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return folderOf(std::string(path, n));
}

// The program's folder in the system's wide characters.
static std::filesystem::path wideProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(path, n)).parent_path();
}

bool chooseProgramFile(HWND owner, std::string& path) {
    const std::string own = programFolder();
    // Beside the program when that folder is writable, else in the user's
    // own folder; the names go through the wide API.
    SettingsFiles ini = locateSettings(wideProgramFolder(), kIniFileName);
    const std::string folder = readLastFolder(ini.readFrom).value_or(own);

    // "Formwright (*.FWX)\0*.FWX\0\0"
    std::string filter(kOpenFilterName);
    filter += '\0';
    filter += kOpenFilterPattern;
    filter += '\0';
    filter += '\0';
    const std::string extension(kOpenDefaultExtension);

    char chosen[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = sizeof chosen;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = chosen;
    writeSettingsFile(ini, folderOf(path));
    return true;
}

bool runPropertiesDialog(HINSTANCE instance, HWND owner, Choices& choices) {
    return DialogBoxParamA(instance, "ComPropertiesDlg", owner, propertiesProc,
                           reinterpret_cast<LPARAM>(&choices)) == IDOK;
}

void MarshalledUi::showMessage(Message message) {
    UiRequest r{UiRequest::Kind::message};
    r.message = message;
    send(main_, r);
}

bool MarshalledUi::askRetry() {
    UiRequest r{UiRequest::Kind::retry};
    send(main_, r);
    return r.answer;
}

void MarshalledUi::openProgress() {
    UiRequest r{UiRequest::Kind::openProgress};
    send(main_, r);
}

void MarshalledUi::setProgress(int position) {
    UiRequest r{UiRequest::Kind::progress};
    r.position = position;
    send(main_, r);
}

void MarshalledUi::closeProgress() {
    UiRequest r{UiRequest::Kind::closeProgress};
    send(main_, r);
}

}  // namespace fw::loader::win
