// The terminal window: a borderless popup cut to the terminal's outline that
// owns the popup menu and carries out its commands.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <vector>

#include "model/program_defaults.h"
#include "resources/resource_ids.h"
#include "shell/language.h"
#include "shell/settings_file.h"
#include "shell/texts.h"
#include "shell/win/designer.h"
#include "simulator/face_geometry.h"

namespace fw::win {

Designer& designer() {
    static Designer d;
    return d;
}

bool registerDesignerClasses(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = terminalWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "FWK400");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "FWK400";
    if (!RegisterClassA(&wc)) return false;

    WNDCLASSA client{};
    client.style = CS_HREDRAW | CS_VREDRAW;
    client.lpfnWndProc = clientWindowProc;
    client.hInstance = instance;
    client.hCursor = LoadCursor(nullptr, IDC_ARROW);
    client.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    client.lpszClassName = "Client";
    return RegisterClassA(&client) != 0;
}

int runDesigner(HINSTANCE instance, int showCommand) {
    Designer& d = designer();
    d.instance = instance;
    if (!registerDesignerClasses(instance)) return 0;
    HWND hwnd = CreateWindowA("FWK400", "Formwright", WS_POPUP, kTerminalX, kTerminalY, kTerminalWidth,
                              kTerminalHeight, nullptr, nullptr, instance, nullptr);
    if (!IsWindow(hwnd)) return 0;
    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);
    HACCEL accelerators = LoadAcceleratorsA(instance, "FWK400");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorA(hwnd, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void placeTerminalWindow() {
    Designer& d = designer();
    HWND order = d.doc.prefs.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(d.terminal, order, kTerminalX, kTerminalY, kTerminalWidth, kTerminalHeight, SWP_SHOWWINDOW);
}

static void cutToOutline(HWND hwnd) {
    std::vector<POINT> points;
    points.reserve(kTerminalOutline.size());
    for (const auto& v : kTerminalOutline) points.push_back(POINT{v.x, v.y});
    HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
    // The window owns the region from here on.
    if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

static std::string folderOfProgram() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    std::string::size_type slash = s.rfind('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

// The same folder in the system's own wide characters, for the language
// file search: a narrow path would lose letters outside the code page.
static std::filesystem::path wideFolderOfProgram() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(path, n)).parent_path();
}

static void onCreate(HWND hwnd) {
    Designer& d = designer();
    d.terminal = hwnd;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                             ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    cutToOutline(hwnd);
    d.programFolder = folderOfProgram();
    d.doc.settingsFile = settingsPath(d.programFolder);
    readSettings(d.doc.settingsFile, d.doc.prefs);
    findLanguages(wideFolderOfProgram());
    loadLanguage(d.doc.prefs.language);
    loadDefaultTexts(d.doc.defaults);
    // A new program, with no file yet.
    d.doc.currentFile.clear();
    resetBarcodeDefaults(d.doc.model);
    resetRecords(d.doc.model, d.doc.defaults);
    d.doc.model.modified = false;
    // The simulation's record counter starts at zero with the engine.
    d.engine = std::make_unique<SimulationEngine>(d.doc.model, d.doc.defaults);
    // The last file, when the preferences ask for it, loads as a recent file
    // does: it becomes the current file only when it loads.
    std::string preload = startupFile(d.doc.prefs);
    if (!preload.empty()) loadProgramFile(preload);
    placeTerminalWindow();
    d.client = CreateWindowA("Client", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kTerminalWidth, kTerminalHeight, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CLIENT)), d.instance, nullptr);
}

void restartSimulation() {
    Designer& d = designer();
    if (!d.engine) return;
    d.engine->pressKey(kKeyShowStart);
    if (d.client) InvalidateRect(d.client, nullptr, FALSE);
}

bool loadProgramFile(const std::string& path) {
    Designer& d = designer();
    LoadResult r = openDocument(d.doc, path);
    if (r.status == LoadStatus::FormatMismatch) {
        MessageBoxA(GetActiveWindow(), "Format mismatch !!!", text(kTextErrorCaption).c_str(),
                    MB_OK | MB_ICONWARNING);
    }
    if (r.ok() && !r.imported()) refreshRecentFiles();
    return r.ok();
}

static void newCommand(HWND hwnd) {
    Designer& d = designer();
    if (d.doc.model.modified && askSaveChanges(hwnd) == IDCANCEL) return;
    newDocument(d.doc);
    d.engine->resetRecordCount();
    openEditor(hwnd);
    restartSimulation();
}

static void openCommand(HWND hwnd) {
    Designer& d = designer();
    if (d.doc.model.modified && askSaveChanges(hwnd) == IDCANCEL) return;
    const std::string previous = d.doc.currentFile;
    newDocument(d.doc);
    d.engine->resetRecordCount();
    readSettings(d.doc.settingsFile, d.doc.prefs);
    refreshRecentFiles();
    placeTerminalWindow();
    // The dialog starts at the file the settings would preload, else at the
    // one just closed. Neither becomes the current file of the new program
    // unless it loads, so a later Save cannot write over it.
    std::string path = startupFile(d.doc.prefs);
    if (path.empty()) path = previous;
    if (chooseOpenFile(hwnd, kOpenProgram, path)) {
        openEditor(hwnd);
    }
    restartSimulation();
}

static void recentFileCommand(HWND hwnd, int k) {
    Designer& d = designer();
    if (k < 0 || k >= static_cast<int>(d.doc.prefs.recentFiles.size())) return;
    // The entry's own copy: a successful load reorders the list.
    std::string path = d.doc.prefs.recentFiles[static_cast<size_t>(k)];
    loadProgramFile(path);
    openEditor(hwnd);
    restartSimulation();
}

static void onCommand(HWND hwnd, int id) {
    Designer& d = designer();
    switch (id) {
        case IDM_NEW: newCommand(hwnd); break;
        case IDM_OPEN: openCommand(hwnd); break;
        case IDM_SAVE: {
            std::string path = d.doc.currentFile;
            saveCurrent(hwnd, path);
            break;
        }
        case IDM_SAVEAS: {
            std::string path = d.doc.currentFile;
            chooseSaveFile(hwnd, path);
            break;
        }
        case IDM_EDIT:
            openEditor(hwnd);
            restartSimulation();
            break;
        case IDM_PREFERENCES:
            openPreferences(hwnd);
            placeTerminalWindow();
            break;
        case IDM_DOWNLOAD_APP:
        case IDM_DOWNLOAD_LOOKUP:
        case IDM_RECEIVE_DATA: transferCommand(hwnd, id); break;
        case IDM_EXIT: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
        case IDM_ABOUT: DialogBoxParamA(d.instance, "AboutBox", hwnd, aboutBoxProc, 0); break;
        default:
            if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) recentFileCommand(hwnd, id - IDM_RECENT_FIRST);
            break;
    }
}

LRESULT CALLBACK terminalWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            onCreate(hwnd);
            return 0;
        case WM_COMMAND:
            onCommand(hwnd, LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            if (designer().doc.model.modified && askSaveChanges(hwnd) == IDCANCEL) return 0;
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (designer().popupRoot) {
                DestroyMenu(designer().popupRoot);
                designer().popupRoot = designer().popupMenu = nullptr;
            }
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace fw::win
