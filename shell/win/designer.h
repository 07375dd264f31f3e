// The designer's windows: the terminal window, its popup menu and the
// services its commands use. What the commands do is decided by the core
// DesignerSession; this side shows what it asks for.
#pragma once

#include <windows.h>

#include <string>

#include "shell/designer_session.h"
#include "simulator/win/client_window.h"
#include "simulator/win/collected_data_window.h"

namespace fw::win {

constexpr int kTerminalX = 300;
constexpr int kTerminalY = 50;
constexpr int kTerminalWidth = 210;
constexpr int kTerminalHeight = 464;
// A popup without caption or border, cut to the terminal's outline; the
// system menu and the minimise box let the taskbar button minimise and
// restore it (neither shows without a caption).
constexpr DWORD kTerminalStyle = WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU;

struct Designer {
    HINSTANCE instance = nullptr;
    HWND terminal = nullptr;        // the "FWK400" window
    HWND client = nullptr;          // the "Client" window that paints the face
    HMENU popupRoot = nullptr;      // "PopMenuK400" as loaded
    HMENU popupMenu = nullptr;      // its first submenu, the one shown
    int recentEntries = 0;          // recent-file items now in the popup menu
    std::string programFolder;      // ends with a backslash
    DesignerSession session;
    Document& doc = session.document();
    SimulationEngine* engine = &session.engine();
    ClientContext face;             // what the Client window is given
    CollectedDataContext collected; // what the "Collected data..." window is given
};

Designer& designer();

// Start-up: registers the two window classes, creates the terminal window and
// runs the message loop. Returns the process exit code. `file`, when not
// empty, is opened instead of the preloaded last file.
int runDesigner(HINSTANCE instance, int showCommand, const std::string& file = {});
bool registerDesignerClasses(HINSTANCE instance);

// One message of the designer's loop: the accelerators of the terminal
// window first, then the Collected data window's keys, then translate and
// dispatch.
void dispatchDesignerMessage(HWND terminal, HACCEL accelerators, MSG& msg);

LRESULT CALLBACK terminalWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Text and message-box services.
std::string text(unsigned id);
// A box owned by `owner`, so that it opens in front of it and keeps it
// disabled while it is shown. Without an owner the box would open behind
// other programs with the terminal still usable (after a long transfer the
// designer is often in the background and has no active window).
int messageBoxById(HWND owner, unsigned captionId, unsigned textId, UINT style);
// The same over this thread's active window: only for a box raised inside
// a dialog that is itself active (an editor page).
int messageBoxById(unsigned captionId, unsigned textId, UINT style);
// "Save current program ?": only the question; the session saves.
int askSaveChanges(HWND owner);

// The popup menu and its recent-file entries, in the active language.
void buildPopupMenu();
void refreshRecentFiles();

// Window placement: 300, 50, 210 x 464, shown, top-most by the preferences.
void placeTerminalWindow();

// The simulation back on its start screen, display repainted.
void restartSimulation();

// The About box ("AboutBox"): only OK closes it.
INT_PTR CALLBACK aboutBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The editor's modal property sheet over `sheet`; true when confirmed.
bool runEditorSheet(HWND owner, HINSTANCE instance, EditorSheet& sheet, const std::string& caption);

// File dialogs. They only choose: they start at the name in `path` (empty:
// none) and the chosen name comes back in it. A Save As dialog is for a
// program or a text file, and starts in `folder` when one is given.
enum FileKind { kProgramFile = 0, kTextFile = 1, kMessageImportFile = 2 };
bool chooseOpenFile(HWND owner, int kind, std::string& path);
bool chooseSaveFile(HWND owner, int kind, std::string& path, const char* folder = nullptr);

// The modal Preferences dialog ("PreferencesDlg"). Returns true for OK, after
// the preferences are stored and written and the language, the default
// terminal texts and the popup menu are reloaded; false for Cancel or when
// the system has no serial port. The caller places the window afterwards.
bool openPreferences(HWND owner);

// The first port of the system's list on which a cradle answers, through the
// Win32 serial driver: its index and name, or -1.
int searchCradlePort(std::string& name);

// One attempt of a program download, or with `lookupFile` of a lookup
// download of a file the user picks (the previous one offered). 0
// cancelled, 1 done, else the number of the failure's text.
int downloadOnce(HWND owner, int linkType, bool lookupFile);
// The data receive into a file the user names; after success the closing
// boxes (the count with the offer to open the file, or "No data
// received!") have been shown. Failures are returned for the caller to show.
int receiveFromTerminal(HWND owner, int linkType);

// The session's questions and dialogs, shown over the terminal window.
class WinDesignerUi : public DesignerUi {
public:
    explicit WinDesignerUi(HWND owner) : owner_(owner) {}
    Answer askSaveChanges() override;
    bool chooseProgramFile(std::string& path) override;
    bool chooseSaveName(std::string& path) override;
    void showMessage(unsigned captionId, unsigned textId) override;
    void showText(unsigned captionId, const std::string& text) override;
    void showInformation(unsigned captionId, unsigned textId) override;
    bool runEditor(EditorSheet& sheet, const std::string& caption) override;
    bool openPreferences() override;
    void placeWindow() override;
    void recentFilesChanged() override;
    void displayChanged() override;
    std::vector<std::string> serialPortNames() override;
    int runDownload(int linkType, bool lookupFile) override;
    int runReceive(int linkType) override;
    Answer askRetry() override;
    bool chooseDataFileName(std::string& path) override;

private:
    HWND owner_;
};

}  // namespace fw::win
