#include "loader_windows.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "comm/port_devices.h"
#include "comm/serial_link.h"
#include "comm/win/port_devices_win.h"
#include "comm/win/serial_port_win.h"
#include "loader/last_folder.h"
#include "model/settings_place.h"
#include "loader_ids.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

namespace fw::loader::win {

using fw::win::documentsFolder;
using fw::win::textBox;
using fw::win::utf8FromWide;
using fw::win::wideFromText;
using fw::win::wideFromUtf8;

namespace {

constexpr UINT kUiRequest = WM_APP + 1;

struct UiRequest {
    enum class Kind { message, retry, openProgress, progress, closeProgress };
    Kind kind;
    Message message = Message::downloadedCompletely;
    int position = 0;
    bool answer = false;
    ExchangeCancel* cancel = nullptr;   // openProgress: what its Cancel asks
};

const std::string& caption() {
    static const std::string text(kCaption);
    return text;
}

// The progress window of the transfer, owned by the user-interface thread.
HWND progressWindow = nullptr;
HWND progressBar = nullptr;

// Cancel asks the transfer to stop; the transfer thread, woken in the port,
// ends the exchange where it stands (nothing more is sent, no message, no
// retry question) and its end closes the window. The button is taken once.
INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        if (auto* cancel = reinterpret_cast<ExchangeCancel*>(GetWindowLongPtrW(dialog, DWLP_USER))) {
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            cancel->request();
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void openProgressWindow(ExchangeCancel* cancel) {
    if (progressWindow) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Without an owner: the main window is never shown.
    progressWindow = CreateDialogParamW(instance, L"ProgressDlg", nullptr, progressProc,
                                        reinterpret_cast<LPARAM>(cancel));
    if (!progressWindow) return;
    RECT client{};
    GetClientRect(progressWindow, &client);
    // The bar sits half-way down the part above the Cancel button.
    RECT button{};
    GetWindowRect(GetDlgItem(progressWindow, IDCANCEL), &button);
    MapWindowPoints(nullptr, progressWindow, reinterpret_cast<POINT*>(&button), 2);
    const BarPlace place = progressBarPlace(client.right - client.left, button.top);
    const std::wstring barText = wideFromText(kProgressBarText);
    progressBar = CreateWindowExW(0, PROGRESS_CLASSW, barText.c_str(), WS_CHILD | WS_VISIBLE,
                                  place.x, place.y, place.width, place.height, progressWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)),
                                  instance, nullptr);
    SendMessageW(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(progressBar, PBM_SETPOS, 0, 0);
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
        openProgressWindow(r.cancel);
        break;
    case UiRequest::Kind::progress:
        if (progressBar) SendMessageW(progressBar, PBM_SETPOS, WPARAM(r.position), 0);
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
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void fillList(HWND dialog, int id, const std::string_view* names, std::size_t count, int selected) {
    HWND list = GetDlgItem(dialog, id);
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring name = wideFromText(names[i]);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, WPARAM(selected), 0);
}

int selection(HWND dialog, int id, int keep) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? keep : int(index);
}

// The dialog's choices and the ports it lists.
struct PortChoice {
    Choices* choices;
    std::vector<DescribedPort> ports;
};

// The port list: each port with what describes it; its drop-down as wide as
// its longest entry, since a device's name is longer than the box.
void fillPortList(HWND dialog, const std::vector<DescribedPort>& ports, int selected) {
    HWND list = GetDlgItem(dialog, IDC_COM_PORT);
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const DescribedPort& port : ports) {
        const std::wstring text = wideFromUtf8(portListText(port));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        if (GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size)) widest = std::max(widest, size.cx);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    const int margins = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageW(list, CB_SETDROPPEDWIDTH, WPARAM(widest + margins), 0);
    SendMessageW(list, CB_SETCURSEL, WPARAM(selected), 0);
}

INT_PTR CALLBACK propertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const PortChoice& p = *reinterpret_cast<const PortChoice*>(lParam);
        const Choices& c = *p.choices;
        fillList(dialog, IDC_DOWNLOAD_VIA, kLinkNames.data(), kLinkNames.size(), c.link);
        const std::string port = chosenPort(c);
        int shown = 0;
        for (std::size_t i = 0; i < p.ports.size(); ++i)
            if (p.ports[i].info.portName == port) shown = int(i);
        fillPortList(dialog, p.ports, shown);
        fillList(dialog, IDC_BAUD_RATE, kSpeedNames.data(), kSpeedNames.size(), c.speed);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const PortChoice& p = *reinterpret_cast<const PortChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
            Choices& c = *p.choices;
            c.link = selection(dialog, IDC_DOWNLOAD_VIA, c.link);
            const int port = selection(dialog, IDC_COM_PORT, -1);
            if (port >= 0 && port < int(p.ports.size())) c.portName = p.ports[std::size_t(port)].info.portName;
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
    SendMessageW(main, kUiRequest, 0, reinterpret_cast<LPARAM>(&r));
}

}  // namespace

HWND createMainWindow(HINSTANCE instance) {
    const std::wstring className = wideFromText(kWindowClass);
    WNDCLASSW wc{};
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_FWX_LOAD));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = className.c_str();
    RegisterClassW(&wc);
    return CreateWindowExW(0, className.c_str(), wideFromText(caption()).c_str(), WS_OVERLAPPEDWINDOW,
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
    return textBox(owner, text, caption(), style);
}

}  // namespace

void showMessage(HWND owner, Message message) {
    loaderBox(owner, std::string(messageText(message)), MB_OK | MB_ICONWARNING);
}

bool askRetry(HWND owner) {
    return loaderBox(owner, std::string(kRetryQuestion), MB_YESNO | MB_ICONQUESTION) == IDYES;
}


// The program's folder in the system's wide characters.
static std::filesystem::path wideProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(path, n)).parent_path();
}

bool chooseProgramFile(HWND owner, std::string& path) {
    // Beside the program when that folder is writable, else in the user's
    // own folder; the names go through the wide API. Without a folder of
    // its own the dialog starts in Documents: the program's folder is the
    // install folder, where no program file belongs.
    SettingsFiles ini = locateSettings(wideProgramFolder(), kIniFileName);
    const std::wstring folder = wideFromUtf8(readLastFolder(ini.readFrom).value_or(documentsFolder()));

    // "Formwright (*.FWX)\0*.FWX\0\0"
    std::wstring filter = wideFromText(kOpenFilterName);
    filter += L'\0';
    filter += wideFromText(kOpenFilterPattern);
    filter += L'\0';
    filter += L'\0';
    const std::wstring extension = wideFromText(kOpenDefaultExtension);

    std::wstring chosen(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen.data();
    ofn.nMaxFile = static_cast<DWORD>(chosen.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return false;
    path = utf8FromWide(chosen.c_str());
    LoaderMemory memory = readLoaderMemory(ini.readFrom);
    memory.folder = folderOf(path);
    writeSettingsFile(ini, formatLoaderMemory(memory));
    return true;
}

bool runPropertiesDialog(HINSTANCE instance, HWND owner, Choices& choices) {
    SettingsFiles ini = locateSettings(wideProgramFolder(), kIniFileName);
    LoaderMemory memory = readLoaderMemory(ini.readFrom);
    if (!memory.port.empty()) choices.portName = memory.port;
    if (memory.speed >= 0) choices.speed = memory.speed;

    // The system's serial ports, as the designer lists them, with their
    // devices' names; the old fixed list when the system names none.
    fw::WinSerialSystem system;
    PortChoice p{&choices, mergePortDevices(listSerialPorts(system), portDevices())};
    if (p.ports.empty()) {
        for (std::string_view name : kPortNames)
            p.ports.push_back(DescribedPort{SerialPortInfo{std::string(name), std::string(name), kPortSerial}, {}});
    }

    if (DialogBoxParamW(instance, L"ComPropertiesDlg", owner, propertiesProc, reinterpret_cast<LPARAM>(&p)) != IDOK)
        return false;
    memory = readLoaderMemory(ini.readFrom);
    memory.port = chosenPort(choices);
    memory.speed = choices.speed;
    writeSettingsFile(ini, formatLoaderMemory(memory));
    return true;
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

bool progressWindowMessage(MSG& message) {
    return progressWindow && IsDialogMessageW(progressWindow, &message);
}

void MarshalledUi::openProgress() {
    UiRequest r{UiRequest::Kind::openProgress};
    r.cancel = &cancel_;
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
