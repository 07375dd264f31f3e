// The designer's real windows under Windows (Wine): the terminal window, its
// face, the popup menu, the close question, the file dialogs and the sheet.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/program_defaults.h"
#include "model/program_file.h"
#include "model/settings_place.h"
#include "resources/resource_ids.h"
#include "shell/instance_lock.h"
#include "shell/recovery.h"
#include "shell/settings_file.h"
#include "shell/win/designer.h"
#include "simulator/collected_data_view.h"
#include "simulator/face_geometry.h"
#include "texts/code_page.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;
namespace fs = std::filesystem;

// Window-procedure spy on the terminal window: records a caption drag
// without letting the system start a move loop.
WNDPROC originalTerminalProc = nullptr;
int captionDrags = 0;

LRESULT CALLBACK spyTerminalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        ++captionDrags;
        return 0;
    }
    return CallWindowProcA(originalTerminalProc, hwnd, msg, wParam, lParam);
}

class DesignerWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(registerDesignerClasses(GetModuleHandleA(nullptr)));
    }

    // The designer keeps its settings beside the program: every case starts
    // without them, and leaves none behind.
    static void removeSettings() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::error_code ec;
        fs::remove(fs::path(path).parent_path() / "FWK400.ini", ec);
    }

    void SetUp() override {
        removeSettings();
        clearDialogActions();
        wintest::forgetRecoveryCopy();
        terminal = createTerminalWindow(GetModuleHandleA(nullptr), session, WS_POPUP);
        ASSERT_TRUE(IsWindow(terminal));
        ShowWindow(terminal, SW_SHOWNORMAL);
        UpdateWindow(terminal);
        pumpMessages();
        folder = makeTempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    void TearDown() override {
        clearDialogActions();
        if (IsWindow(terminal)) {
            session.document().model.modified = false;
            DestroyWindow(terminal);
        }
        pumpMessages();
        removeSettings();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    void command(int id) { SendMessageA(terminal, WM_COMMAND, id, 0); }

    void click(int x, int y) {
        HWND client = terminalClient(terminal);
        SendMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(client, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    void clickKey(int key) {
        const FaceKey* k = faceKey(key);
        click((k->hitLeft + k->hitRight) / 2, (k->hitTop + k->hitBottom) / 2);
    }

    std::string menuText(int position) {
        char buffer[300] = {};
        GetMenuStringA(terminalPopupMenu(terminal), static_cast<UINT>(position), buffer, sizeof buffer, MF_BYPOSITION);
        return buffer;
    }

    DesignerSession session;   // what the terminal window's commands work on
    HWND terminal = nullptr;
    std::string folder;
};

TEST_F(DesignerWindow, TerminalWindowIsCutToTheOutline) {
    RECT r;
    GetWindowRect(terminal, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(r.bottom - r.top, 464);
    EXPECT_EQ(windowText(terminal), "Formwright");
    EXPECT_EQ(GetWindowLongA(terminal, GWL_STYLE) & (WS_CAPTION | WS_BORDER), 0);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(terminal, region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 210);
    EXPECT_EQ(box.bottom, 464);
    EXPECT_FALSE(PtInRegion(region, 0, 2));      // the rounded top corner
    EXPECT_FALSE(PtInRegion(region, 5, 460));    // the rounded bottom
    EXPECT_TRUE(PtInRegion(region, 105, 200));
    DeleteObject(region);

    HWND client = GetDlgItem(terminal, IDC_CLIENT);
    ASSERT_EQ(client, terminalClient(terminal));
    GetClientRect(client, &r);
    EXPECT_EQ(r.right, 210);
    EXPECT_EQ(r.bottom, 464);

    saveWindowPicture(terminal, screenshotFolder() + "\\main_window.bmp");
}

// A move to a monitor of 150 %: the system sends the new DPI and a place;
// the face is drawn again at that scale, the window and its outline grow.
TEST_F(DesignerWindow, TheFaceIsDrawnAgainAtTheNewScaleWhenTheDpiChanges) {
    RECT suggested{400, 60, 400 + 315, 60 + 696};
    SendMessageA(terminal, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT r;
    GetWindowRect(terminal, &r);
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.right - r.left, 315);
    EXPECT_EQ(r.bottom - r.top, 696);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(terminal, region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 315);
    EXPECT_EQ(box.bottom, 696);
    DeleteObject(region);
    HWND client = terminalClient(terminal);
    GetClientRect(client, &r);
    EXPECT_EQ(r.right, 315);
    EXPECT_EQ(r.bottom, 696);
    // The keys answer where they are drawn now: "3" at 1.5 times its place.
    const FaceKey* three = faceKey(3);
    const int x = (three->hitLeft + three->hitRight) / 2 * 3 / 2, y = (three->hitTop + three->hitBottom) / 2 * 3 / 2;
    SendMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(client, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(session.engine().mode(), EngineMode::Utilities);
    pumpMessages();
    saveWindowPicture(terminal, screenshotFolder() + "\\main_window_150.bmp");
}

// The window's commands need the session it is made over: a terminal window
// made without one is refused, and the one that has a session stays the
// designer's.
TEST_F(DesignerWindow, TerminalWindowWithoutASessionIsRefused) {
    HWND orphan = CreateWindowA("FWK400", "Formwright", WS_POPUP, kTerminalX, kTerminalY, kTerminalWidth,
                                kTerminalHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(orphan, nullptr);
    EXPECT_EQ(terminalClient(terminal), GetDlgItem(terminal, IDC_CLIENT));
    EXPECT_NE(terminalPopupMenu(terminal), nullptr);
}

TEST_F(DesignerWindow, KeyClickReachesTheEngineAndRepaints) {
    HWND client = terminalClient(terminal);
    ValidateRect(client, nullptr);
    clickKey(3);
    EXPECT_EQ(session.engine().mode(), EngineMode::Utilities);
    RECT dirty;
    EXPECT_TRUE(GetUpdateRect(client, &dirty, FALSE));
    EXPECT_LE(dirty.left, kTextArea.left);
    EXPECT_GE(dirty.bottom, kTextArea.top);
    pumpMessages();

    clickKey(17);
    EXPECT_EQ(session.engine().mode(), EngineMode::Start);
    EXPECT_EQ(session.engine().highlight(), 3);
}

// The keyboard reaches the face as the painted keys do: a typed digit, a
// key that types no character, and the command menu from Shift+F10 and the
// Menu key.
int menusOpened = 0;
LRESULT CALLBACK menuSpyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITMENUPOPUP) {
        ++menusOpened;
        PostMessageA(hwnd, WM_CANCELMODE, 0, 0);
    }
    return CallWindowProcA(originalTerminalProc, hwnd, msg, wParam, lParam);
}
void CALLBACK endMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(DesignerWindow, KeyboardTypesOnTheTerminalAndOpensTheCommandMenu) {
    HWND client = terminalClient(terminal);
    SetFocus(terminal);   // the keyboard goes on to the face
    EXPECT_EQ(GetFocus(), client);
    SendMessageA(client, WM_CHAR, '3', 0);
    EXPECT_EQ(session.engine().mode(), EngineMode::Utilities);
    SendMessageA(client, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageA(client, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(session.engine().mode(), EngineMode::Start);
    EXPECT_EQ(session.engine().highlight(), 3);
    SendMessageA(client, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(session.engine().highlight(), 2);

    originalTerminalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(terminal, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(menuSpyProc)));
    menusOpened = 0;
    SetTimer(nullptr, 0, 500, endMenu);   // should the menu stay open
    SendMessageA(client, WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(menusOpened, 1);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SetTimer(nullptr, 0, 500, endMenu);
    SendMessageA(client, WM_SYSKEYDOWN, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(menusOpened, 2);
    SendMessageA(client, WM_SYSKEYDOWN, VK_F10, 0);   // F10 alone is not the menu
    EXPECT_EQ(menusOpened, 2);
    SetWindowLongPtrA(terminal, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalTerminalProc));
    pumpMessages();
}

// A screen reader hears the face by name and reads the display's lines as
// its value, which follows the keys.
TEST_F(DesignerWindow, TheFaceIsNamedAndItsDisplayReadForAScreenReader) {
    HWND client = terminalClient(terminal);
    EXPECT_EQ(accessibleName(client), "Terminal");
    const std::string start = accessibleValue(client);
    EXPECT_EQ(start.rfind("> 1.Collect", 0), 0u) << start;
    clickKey(3);
    const std::string utilities = accessibleValue(client);
    EXPECT_NE(utilities, start);
    EXPECT_NE(utilities, "(none)");
}

TEST_F(DesignerWindow, ClickBetweenKeysDragsTheWindow) {
    originalTerminalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(terminal, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spyTerminalProc)));
    captionDrags = 0;
    click(100, 278);    // between the up and down keys
    click(100, 250);    // above the up key, beside ESC and backspace
    EXPECT_EQ(captionDrags, 2);
    EXPECT_EQ(session.engine().mode(), EngineMode::Start);
    clickKey(14);
    EXPECT_EQ(captionDrags, 2);
    SetWindowLongPtrA(terminal, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalTerminalProc));
}

TEST_F(DesignerWindow, PopupMenuListsTheRecentFiles) {
    const int plain = GetMenuItemCount(terminalPopupMenu(terminal));
    EXPECT_EQ(plain, 18);
    EXPECT_EQ(menuText(14), "&Collected data...");
    EXPECT_EQ(menuText(16), "A&bout...");

    std::string first = folder + "\\first.FWX";
    std::string second = folder + "\\second.FWX";
    session.document().currentFile = first;
    command(IDM_SAVE);
    session.document().currentFile = second;
    command(IDM_SAVE);
    ASSERT_TRUE(fs::exists(first));
    ASSERT_TRUE(fs::exists(second));

    EXPECT_EQ(GetMenuItemCount(terminalPopupMenu(terminal)), plain + 3);
    EXPECT_EQ(menuText(16), recentFileLabel(0, second));
    EXPECT_EQ(menuText(17), recentFileLabel(1, first));
    EXPECT_EQ(GetMenuState(terminalPopupMenu(terminal), 18, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(menuText(19), "A&bout...");
    EXPECT_EQ(GetMenuItemID(terminalPopupMenu(terminal), 16), static_cast<UINT>(IDM_RECENT_FIRST));

    // The recent-file command loads without asking and opens the editor.
    session.document().model.forms[0].dataType[0] = kTypeText;
    onDialog("Formwright - [ " + first + " ]", [](HWND sheet) { clickButton(sheet, IDCANCEL); });
    command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(session.document().currentFile, first);
    EXPECT_EQ(session.document().model.forms[0].dataType[0], kTypeNil);
    EXPECT_EQ(menuText(16), recentFileLabel(0, first));
}

TEST_F(DesignerWindow, CloseQuestionCancelKeepsTheProgram) {
    session.document().model.modified = true;
    onDialog("Velmora's K400 Formwright", [](HWND box) { clickButton(box, IDCANCEL); });
    SendMessageA(terminal, WM_CLOSE, 0, 0);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_TRUE(IsWindow(terminal));
    EXPECT_TRUE(session.document().model.modified);
}

// Yes asks to keep the work: when the Save As that follows is cancelled,
// the program stays open with its changes.
TEST_F(DesignerWindow, CloseQuestionYesThenCancelledSaveAsKeepsTheWork) {
    session.document().model.modified = true;
    onDialog("Velmora's K400 Formwright", [](HWND box) { clickButton(box, IDYES); });
    onDialog("", [](HWND saveAs) { clickButton(saveAs, IDCANCEL); });
    SendMessageA(terminal, WM_CLOSE, 0, 0);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_TRUE(IsWindow(terminal));
    EXPECT_TRUE(session.document().model.modified);
}

// The name has characters of no ANSI code page: it goes through the wide
// dialogs, the wide file calls and the sheet's caption unchanged.
TEST_F(DesignerWindow, NewOpenAndSaveThroughTheCommonDialogs) {
    // Save without a name goes through Save As, which adds the extension.
    std::string chosen = folder + "\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7 \u5009\u5EAB";
    onDialog("", [chosen](HWND saveAs) { chooseFileInDialog(saveAs, chosen); });
    session.document().model.forms[2].dataType[1] = kTypeInteger;
    session.document().model.modified = true;
    command(IDM_SAVE);
    EXPECT_EQ(pendingDialogActions(), 0);
    // The dialog itself may add the default extension in either case.
    const std::string saved = session.document().currentFile;
    EXPECT_TRUE(saved == chosen + ".FWX" || saved == chosen + ".fwx") << saved;
    ASSERT_TRUE(fs::exists(pathOf(saved)));
    EXPECT_EQ(fs::file_size(pathOf(saved)), 18942u);
    EXPECT_FALSE(session.document().model.modified);

    // New clears the name and shows the editor for a new file.
    std::string sheetCaption;
    onDialog("", [&sheetCaption](HWND sheet) {
        sheetCaption = windowText(sheet);
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_NEW);
    EXPECT_EQ(sheetCaption, "Formwright - [ New file ]");
    EXPECT_TRUE(session.document().currentFile.empty());
    EXPECT_EQ(session.document().model.forms[2].dataType[1], kTypeNil);

    // Open loads the chosen file, then shows the editor with its name.
    onDialog("", [saved](HWND open) { chooseFileInDialog(open, saved); });
    onDialog("", [&sheetCaption](HWND sheet) {
        sheetCaption = utf8WindowText(sheet);
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_OPEN);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(sheetCaption, "Formwright - [ " + saved + " ]");
    EXPECT_EQ(session.document().currentFile, saved);
    EXPECT_EQ(session.document().model.forms[2].dataType[1], kTypeInteger);
}

// Windows ends the session with unsaved changes: the recovery copy is
// written before the question, so it is there even when Windows does not
// wait for the answer; Cancel keeps the designer running.
TEST_F(DesignerWindow, EndOfSessionWithUnsavedChangesKeepsARecoveryCopy) {
    session.document().model.forms[1].dataType[2] = kTypeInteger;
    session.document().model.modified = true;
    const RecoveryFiles recovery = recoveryFilesFor(session.document().settings);
    removeRecovery(recovery);
    onDialog("Velmora's K400 Formwright", [](HWND box) { clickButton(box, IDCANCEL); });
    EXPECT_EQ(SendMessageW(terminal, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    EXPECT_EQ(pendingDialogActions(), 0);
    ASSERT_TRUE(recoveryExists(recovery));
    auto copy = std::make_unique<ProgramModel>();
    std::string name = "stale";
    ASSERT_TRUE(readRecovery(recovery, *copy, session.document().defaults, name));
    EXPECT_EQ(copy->forms[1].dataType[2], kTypeInteger);
    EXPECT_EQ(name, "");
    EXPECT_TRUE(IsWindow(terminal));
    removeRecovery(recovery);
}

// A second start of the designer (its own process, the file named on its
// command line) finds this one by the lock of their settings folder, hands
// the file over and ends; this designer opens it.
TEST_F(DesignerWindow, ASecondStartHandsItsFileToTheRunningDesigner) {
    const std::string unixExe = std::getenv("FW_DESIGNER_EXE") ? std::getenv("FW_DESIGNER_EXE") : "";
    ASSERT_FALSE(unixExe.empty()) << "FW_DESIGNER_EXE names fwk400.exe";
    // Wine's Z: drive is the root of the Unix file system.
    std::wstring exe = L"Z:" + pathOf(unixExe).wstring();
    for (wchar_t& c : exe) c = c == L'/' ? L'\\' : c;
    const SettingsFiles settings = locateSettings(fs::path(exe).parent_path(), kSettingsFileName);
    const std::wstring lock = pathOf(designerLockName(settings.writeTo)).wstring();

    // This process becomes the designer that holds the lock, as a start does.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, lock.c_str());
    ASSERT_NE(mutex, nullptr);
    DestroyWindow(terminal);
    designer().lockName = lock;
    terminal = createTerminalWindow(GetModuleHandleW(nullptr), session, WS_POPUP);
    ASSERT_TRUE(IsWindow(terminal));

    const std::string file = folder + "\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7 \u5009\u5EAB.FWX";
    {
        auto program = std::make_unique<ProgramModel>();
        newProgram(*program, session.document().defaults);
        program->forms[3].dataType[0] = kTypeText;
        ASSERT_TRUE(saveProgram(*program, file));
    }
    std::wstring commandLine = L"\"" + exe + L"\" \"" + pathOf(file).wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << GetLastError();
    // The hand-over is a message to this thread: keep taking messages until
    // the second start has ended.
    DWORD waited = WAIT_TIMEOUT;
    for (int i = 0; i < 600 && waited != WAIT_OBJECT_0; ++i) {
        waited = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 50, QS_ALLINPUT);
        pumpMessages();
    }
    DWORD code = 99;
    if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pumpMessages();
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the second start did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(session.document().currentFile, file);
    EXPECT_EQ(session.document().model.forms[3].dataType[0], kTypeText);

    session.document().model.modified = false;
    DestroyWindow(terminal);
    designer().lockName.clear();
    CloseHandle(mutex);
}

TEST_F(DesignerWindow, RejectedOpenLeavesNoFileToSaveOver) {
    std::string bad = folder + "\\bad.FWX";
    FILE* f = std::fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a program", f);
    std::fclose(f);

    onDialog("", [bad](HWND open) { chooseFileInDialog(open, bad); });
    onDialog("Error", [](HWND box) { clickButton(box, IDOK); });
    command(IDM_OPEN);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_TRUE(session.document().currentFile.empty());
    EXPECT_EQ(fs::file_size(bad), 13u);
}

TEST_F(DesignerWindow, EditShowsSixPagesWithoutApply) {
    int tabs = 0;
    std::string titles;
    bool applyShown = true;
    onDialog("", [&](HWND sheet) {
        HWND tab = PropSheet_GetTabControl(sheet);
        tabs = TabCtrl_GetItemCount(tab);
        for (int i = 0; i < tabs; ++i) {
            char text[32] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            titles += std::string(text) + "|";
        }
        HWND apply = GetDlgItem(sheet, 0x3021);
        applyShown = apply && IsWindowVisible(apply);
        saveWindowPicture(sheet, screenshotFolder() + "\\editor_sheet.bmp");
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_EDIT);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(tabs, 6);
    EXPECT_EQ(titles, "Form|Menu|Lookup|Barcode|Settings|Startup|");
    EXPECT_FALSE(applyShown);
}

// The texts a page's controls cut off, and the controls that overlap, as
// "text" lines: what a user at another display scale would see wrong.
std::string cutOrOverlapping(HWND page) {
    struct Shown {
        HWND control;
        RECT rect;
        std::wstring text;
    };
    std::vector<Shown> shown;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const bool button = lstrcmpiW(cls, L"Button") == 0;
        if (button && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;   // frames hold others
        if (lstrcmpiW(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ETCHEDHORZ) continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        std::wstring text;
        if (button || lstrcmpiW(cls, L"Static") == 0) {
            wchar_t buffer[200] = {};
            GetWindowTextW(c, buffer, 200);
            for (const wchar_t* p = buffer; *p; ++p) {
                if (*p != L'&' || p[1] == L'&') text += *p;
                if (*p == L'&' && p[1] == L'&') ++p;
            }
        }
        shown.push_back({c, r, text});
    }
    std::string wrong;
    HDC dc = GetDC(page);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    for (const Shown& s : shown) {
        if (s.text.empty()) continue;
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(s.control, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, s.text.c_str(), static_cast<int>(s.text.size()), &size);
        SelectObject(dc, old);
        const int width = s.rect.right - s.rect.left, height = s.rect.bottom - s.rect.top;
        const LONG style = GetWindowLongW(s.control, GWL_STYLE);
        int room = width;
        wchar_t cls[32] = {};
        GetClassNameW(s.control, cls, 32);
        if (lstrcmpiW(cls, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            const bool box = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                             type == BS_RADIOBUTTON;
            room -= box ? MulDiv(13 + 4, dpi, 96) : MulDiv(6, dpi, 96);
        }
        // A text two lines high may wrap.
        if (size.cx > room && height < 2 * size.cy)
            wrong += "cut: \"" + utf8FromUtf16(std::u16string(s.text.begin(), s.text.end())) + "\"\n";
    }
    ReleaseDC(page, dc);
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT both;
            if (IntersectRect(&both, &shown[i].rect, &shown[j].rect))
                wrong += "overlap: " + windowText(shown[i].control) + " / " + windowText(shown[j].control) + "\n";
        }
    }
    return wrong;
}

// The designer at a display scale of 150 %, as designer_dpi_win.sh runs
// this program in a prefix whose LogPixels is 144: the face is drawn 1.5
// times as large, and no page cuts a text or lays a control over another.
// Pictures of the face and the six pages are kept to look at. At any other
// scale the case has nothing to check.
TEST_F(DesignerWindow, AtDisplayScale150TheFaceAndThePagesGrow) {
    const int dpi = windowDpi(terminal);
    if (dpi != 144) GTEST_SKIP() << "the display is at " << dpi << " DPI";
    RECT r;
    GetWindowRect(terminal, &r);
    EXPECT_EQ(r.right - r.left, 315);
    EXPECT_EQ(r.bottom - r.top, 696);
    GetClientRect(terminalClient(terminal), &r);
    EXPECT_EQ(r.right, 315);
    EXPECT_EQ(r.bottom, 696);
    saveWindowPicture(terminal, screenshotFolder() + "\\dpi144_main_window.bmp");
    std::string wrong;
    onDialog("", [&](HWND sheet) {
        for (int i = 0; i < 6; ++i) {
            PropSheet_SetCurSel(sheet, nullptr, i);
            pumpMessages();
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            wrong += cutOrOverlapping(page);
            saveWindowPicture(sheet, screenshotFolder() + "\\dpi144_page" + std::to_string(i + 1) + ".bmp");
        }
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_EDIT);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(wrong, "");
}

// Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+E through the designer's own loop, as
// the keyboard sends them; New with unsaved changes asks first.
TEST_F(DesignerWindow, AcceleratorsReachTheirCommandsThroughTheMessageLoop) {
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), "FWK400");
    ASSERT_NE(accelerators, nullptr);
    auto press = [&](char key) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageA(terminal, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) dispatchDesignerMessage(terminal, accelerators, msg);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    };
    session.document().model.forms[0].dataType[0] = kTypeText;
    session.document().model.modified = true;
    std::string asked;
    onDialog("Velmora's K400 Formwright", [&asked](HWND box) {
        asked = "save?";
        clickButton(box, IDCANCEL);
    });
    press('N');
    EXPECT_EQ(asked, "save?");
    EXPECT_EQ(session.document().model.forms[0].dataType[0], kTypeText);   // Cancel: nothing new

    session.document().model.modified = false;
    int dialogs = 0;
    for (char key : {'O', 'S', 'E'}) {
        onDialog("", [&dialogs](HWND dialog) {
            ++dialogs;
            clickButton(dialog, IDCANCEL);
        });
        press(key);
    }
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(dialogs, 3);   // the Open dialog, Save As (no name yet), the editor
}

TEST_F(DesignerWindow, AboutBoxClosesWithOkAndListsTheKeyboard) {
    std::string caption, keys;
    onDialog("The K400 Formwright", [&](HWND box) {
        caption = windowText(box);
        keys = textOf(box, IDC_ABOUT_KEYS);
        picture(box, "about_box.bmp");
        clickButton(box, IDOK);
    });
    command(IDM_ABOUT);
    EXPECT_EQ(caption, "The K400 Formwright");
    EXPECT_NE(keys.find("Shift+F10"), std::string::npos) << keys;
}

// "Collected data...": the popup command opens the window beside the
// terminal, a record collected on the face appears in it, Save As writes
// what a data receive would, Clear empties it.
TEST_F(DesignerWindow, CollectedDataWindowFollowsTheFaceAndSaves) {
    FormDef& f = session.document().model.forms[0];
    f.dataType[0] = kTypeInteger;
    f.maxLength[0] = 80;
    f.recordAction = 0;
    f.nextTarget = kTargetMain;
    session.engine().clearRecords();

    command(IDM_COLLECTED_DATA);
    HWND window = collectedDataWindow(terminal);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(windowText(window), "Collected data");
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, kTerminalX + kTerminalWidth + 8);
    HWND list = GetDlgItem(window, IDC_COLLECTED_LIST);
    HWND saveAs = GetDlgItem(window, IDC_COLLECTED_SAVEAS);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(saveAs));

    for (int key : {1, 4, 2, 19, 1, 7}) clickKey(key);
    for (int i = 0; i < 40 && SendMessageA(list, LB_GETCOUNT, 0, 0) < 1; ++i) {
        Sleep(50);
        pumpMessages();
    }
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    char line[512] = {};
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_EQ(std::string(line), collectedDataLine(session.engine().records().all().front()));
    EXPECT_TRUE(IsWindowEnabled(saveAs));
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_COLLECTED_SUMMARY)), "1 record, 1 saved");
    UpdateWindow(window);
    UpdateWindow(terminal);
    pumpMessages();
    saveWindowPicture(GetDesktopWindow(), screenshotFolder() + "\\collected_data.bmp");

    const std::string file = folder + "\\data.txt";
    onDialog("Save As", [file](HWND dialog) { chooseFileInDialog(dialog, file); });
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COLLECTED_SAVEAS, BN_CLICKED), reinterpret_cast<LPARAM>(saveAs));
    EXPECT_EQ(pendingDialogActions(), 0);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "42\r\n");

    HWND clear = GetDlgItem(window, IDC_COLLECTED_CLEAR);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COLLECTED_CLEAR, BN_CLICKED), reinterpret_cast<LPARAM>(clear));
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(session.engine().recordCount(), 0);

    // The command again brings the same window; Close ends it.
    command(IDM_COLLECTED_DATA);
    EXPECT_EQ(collectedDataWindow(terminal), window);
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(collectedDataWindow(terminal), nullptr);
}

}  // namespace
}  // namespace fw::win
