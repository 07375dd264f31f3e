// The terminal window: a borderless popup cut to the terminal's outline that
// owns the popup menu and carries out its commands.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "simulator/face_scale.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

namespace fw::win {

Designer& designer() {
    static Designer d;
    return d;
}

bool registerDesignerClasses(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = terminalWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"FWK400");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"FWK400";
    if (!RegisterClassW(&wc)) return false;

    WNDCLASSW client{};
    client.style = CS_HREDRAW | CS_VREDRAW;
    client.lpfnWndProc = clientWindowProc;
    client.hInstance = instance;
    client.hCursor = LoadCursor(nullptr, IDC_ARROW);
    client.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    client.lpszClassName = L"Client";
    return RegisterClassW(&client) != 0;
}

int runDesigner(HINSTANCE instance, int showCommand, DesignerSession& session, const std::string& file) {
    if (!registerDesignerClasses(instance)) return 0;
    HWND hwnd = createTerminalWindow(instance, session, kTerminalStyle, file);
    if (!IsWindow(hwnd)) return 0;
    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);
    HACCEL accelerators = LoadAcceleratorsW(instance, L"FWK400");

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatchDesignerMessage(hwnd, accelerators, msg);
    return static_cast<int>(msg.wParam);
}

HWND createTerminalWindow(HINSTANCE instance, DesignerSession& session, DWORD style, const std::string& file) {
    // The session and the file to open reach WM_CREATE as the window's
    // creation parameter.
    TerminalCreation creation{&session, file};
    return CreateWindowW(L"FWK400", L"Formwright", style, kTerminalX, kTerminalY, kTerminalWidth, kTerminalHeight,
                         nullptr, nullptr, instance, &creation);
}

// The session of a terminal window, kept in the window from WM_CREATE on.
static DesignerSession* sessionOf(HWND hwnd) {
    return reinterpret_cast<DesignerSession*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The designer has one terminal window at a time; its handles are the
// designer's while it lives.
HWND terminalClient(HWND terminal) {
    return terminal && terminal == designer().terminal ? designer().client : nullptr;
}

HMENU terminalPopupMenu(HWND terminal) {
    return terminal && terminal == designer().terminal ? designer().popupMenu : nullptr;
}

HWND collectedDataWindow(HWND terminal) {
    return terminal && terminal == designer().terminal ? designer().collected.window : nullptr;
}

void dispatchDesignerMessage(HWND terminal, HACCEL accelerators, MSG& msg) {
    if (accelerators && TranslateAcceleratorW(terminal, accelerators, &msg)) return;
    if (collectedDataDialogMessage(designer().collected, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void placeTerminalWindow(const TerminalPlacement& place) {
    HWND terminal = designer().terminal;
    HWND order = place.topMost ? HWND_TOPMOST : HWND_NOTOPMOST;
    // The placement is in face pixels; the window is as large as the face
    // at the window's DPI.
    const FaceScale scale(windowDpi(terminal));
    const int width = scale.scaled(place.width), height = scale.scaled(place.height);
    // Where the user left it, unless that monitor is gone.
    const ScreenPoint at = keepOnScreen({place.x, place.y, place.x + width, place.y + height}, monitorWorkAreas());
    SetWindowPos(terminal, order, at.x, at.y, width, height, SWP_SHOWWINDOW);
}

bool openPreferences(HWND owner, DesignerSession& session) {
    WinDesignerUi ui(owner, session);
    return session.editPreferences(ui);
}

static void cutToOutline(HWND hwnd, const FaceScale& scale) {
    std::vector<POINT> points;
    for (const FacePoint& v : scale.outline()) points.push_back(POINT{v.x, v.y});
    HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
    // The window owns the region from here on.
    if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

// The program's folder in the system's own wide characters, for the
// language files and the settings: a narrow path would lose letters outside
// the code page.
std::filesystem::path wideFolderOfProgram() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(path, n)).parent_path();
}

// The session `creation` names takes the window, starts up and opens the
// file named on the command line; false without a session.
static bool onCreate(HWND hwnd, HINSTANCE instance, const TerminalCreation* creation) {
    if (!creation || !creation->session) return false;
    DesignerSession& session = *creation->session;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&session));
    Designer& d = designer();
    d.instance = instance;
    d.terminal = hwnd;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                             ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const FaceScale scale(windowDpi(hwnd));
    cutToOutline(hwnd, scale);
    WinDesignerUi ui(hwnd, session);
    // The lock's name on the window: a second start finds it by it.
    if (!d.lockName.empty()) SetPropW(hwnd, d.lockName.c_str(), reinterpret_cast<HANDLE>(1));
    session.startUp(ui, wideFolderOfProgram(), creation->file);
    d.face.engine = &session.engine();
    d.face.model = &session.model();
    d.face.openCommandMenu = [](int x, int y) {
        Designer& dd = designer();
        if (dd.popupMenu)
            TrackPopupMenu(dd.popupMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0, dd.terminal,
                           nullptr);
    };
    d.face.noProgram = [] { SendMessageW(designer().terminal, WM_COMMAND, IDM_NEW, 0); };
    d.collected.engine = &session.engine();
    d.collected.saveAs = [&session](HWND window) {
        WinDesignerUi over(window, session);
        session.saveCollectedData(over);
    };
    d.collected.clear = [&session] {
        WinDesignerUi over(designer().terminal, session);
        session.clearCollectedData(over);
    };
    d.client = CreateWindowW(L"Client", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, scale.windowWidth(), scale.windowHeight(), hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CLIENT)), d.instance, &d.face);
    buildPopupMenu(session);
    // Start-up placed and activated the window before the face existed.
    if (GetFocus() == hwnd) SetFocus(d.client);
    return true;
}

// Windows is about to end the user's session. The unsaved program is kept
// as a recovery copy first (Windows may not wait for an answer), then the
// question as at closing; the reason shown on the shutdown screen names the
// program. Wine has no ShutdownBlockReasonCreate: its failure is ignored.
static LRESULT onQueryEndSession(HWND hwnd, DesignerSession& session) {
    const bool unsaved = session.model().modified;
    if (unsaved) {
        const std::string& file = session.document().currentFile;
        const std::string reason = "Unsaved changes to " + (file.empty() ? std::string("a new program") : file);
        ShutdownBlockReasonCreate(hwnd, wideFromUtf8(reason).c_str());
    }
    WinDesignerUi ui(hwnd, session);
    const bool mayEnd = session.mayEndSession(ui);
    if (unsaved) ShutdownBlockReasonDestroy(hwnd);
    return mayEnd ? TRUE : FALSE;
}

// A program file handed over by a second start of the designer.
static bool acceptHandedOverFile(HWND hwnd, const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kHandOverFile || !data->lpData || data->cbData > kMaxHandedOverBytes) return false;
    auto file = std::make_unique<std::string>(static_cast<const char*>(data->lpData), data->cbData);
    if (!PostMessageW(hwnd, kOpenHandedOverFile, 0, reinterpret_cast<LPARAM>(file.get()))) return false;
    file.release();
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    return true;
}

// The window moved to a monitor of another scale (or the scale changed):
// the face is drawn again at the new DPI, the window takes its new size
// where the system suggests and is cut to the outline at that size.
static void onDpiChanged(HWND hwnd, int dpi, const RECT& suggested) {
    const FaceScale scale(dpi);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, scale.windowWidth(), scale.windowHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    cutToOutline(hwnd, scale);
    if (HWND client = designer().client) setClientDpi(client, dpi);
}

static void onCommand(HWND hwnd, DesignerSession& session, int id) {
    Designer& d = designer();
    WinDesignerUi ui(hwnd, session);
    switch (id) {
        case IDM_NEW: session.newProgram(ui); break;
        case IDM_OPEN: session.open(ui); break;
        case IDM_SAVE: session.save(ui); break;
        case IDM_SAVEAS: session.saveAs(ui); break;
        case IDM_EDIT: session.edit(ui); break;
        case IDM_PREFERENCES: session.editPreferences(ui); break;
        case IDM_CHECK_PROGRAM: session.check(ui); break;
        case IDM_REPORT: session.report(ui); break;
        case IDM_DOWNLOAD_APP: session.transfer(ui, TransferCommand::DownloadProgram); break;
        case IDM_DOWNLOAD_LOOKUP: session.transfer(ui, TransferCommand::DownloadLookup); break;
        case IDM_RECEIVE_DATA: session.transfer(ui, TransferCommand::ReceiveData); break;
        case IDM_COLLECTED_DATA: openCollectedDataWindow(hwnd, d.instance, d.collected); break;
        case IDM_EXIT: SendMessageW(hwnd, WM_CLOSE, 0, 0); break;
        case IDM_ABOUT: DialogBoxParamW(d.instance, L"AboutBox", hwnd, aboutBoxProc, 0); break;
        default:
            if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) session.openRecent(ui, id - IDM_RECENT_FIRST);
            break;
    }
}

LRESULT CALLBACK terminalWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        return onCreate(hwnd, create->hInstance, static_cast<const TerminalCreation*>(create->lpCreateParams)) ? 0 : -1;
    }
    DesignerSession* session = sessionOf(hwnd);
    if (!session) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_COMMAND:
            onCommand(hwnd, *session, LOWORD(wParam));
            return 0;
        case WM_EXITSIZEMOVE: {
            // The user has dragged the terminal somewhere: it comes back there.
            RECT r;
            if (GetWindowRect(hwnd, &r)) session->windowMoved(r.left, r.top);
            return 0;
        }
        case WM_SETFOCUS:
            // The keyboard drives the simulated terminal.
            if (HWND client = designer().client) SetFocus(client);
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(hwnd, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE: {
            WinDesignerUi ui(hwnd, *session);
            if (session->mayClose(ui)) DestroyWindow(hwnd);
            return 0;
        }
        case WM_QUERYENDSESSION: return onQueryEndSession(hwnd, *session);
        case WM_COPYDATA:
            return acceptHandedOverFile(hwnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
        case kOpenHandedOverFile: {
            // Posted to itself: the sender of WM_COPYDATA waits for no dialog.
            std::unique_ptr<std::string> file(reinterpret_cast<std::string*>(lParam));
            WinDesignerUi ui(hwnd, *session);
            session->openFile(ui, *file);
            return 0;
        }
        case WM_DESTROY: {
            Designer& d = designer();
            if (d.popupRoot) {
                DestroyMenu(d.popupRoot);
                d.popupRoot = d.popupMenu = nullptr;
            }
            d.recentEntries = 0;
            if (!d.lockName.empty()) RemovePropW(hwnd, d.lockName.c_str());
            PostQuitMessage(0);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace fw::win
