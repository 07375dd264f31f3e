// The designer's windows: the terminal window, its popup menu and the
// services its commands use. What the commands do is decided by the core
// DesignerSession; this side shows what it asks for.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "shell/designer_session.h"
#include "simulator/win/client_window.h"
#include "simulator/win/collected_data_window.h"

namespace fw::win {

// Where the terminal window is made; the session places it (TerminalPlacement).
constexpr int kTerminalX = TerminalPlacement{}.x;
constexpr int kTerminalY = TerminalPlacement{}.y;
constexpr int kTerminalWidth = TerminalPlacement{}.width;
constexpr int kTerminalHeight = TerminalPlacement{}.height;
// A popup without caption or border, cut to the terminal's outline; the
// system menu and the minimise box let the taskbar button minimise and
// restore it (neither shows without a caption).
constexpr DWORD kTerminalStyle = WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU;

// The designer's windows as made: handles only. What the commands work on is
// the DesignerSession the terminal window was made over (TerminalCreation),
// which its procedure finds again in the window (GWLP_USERDATA).
struct Designer {
    HINSTANCE instance = nullptr;
    HWND terminal = nullptr;        // the "FWK400" window
    HWND client = nullptr;          // the "Client" window that paints the face
    HMENU popupRoot = nullptr;      // "PopMenuK400" as loaded
    HMENU popupMenu = nullptr;      // its first submenu, the one shown
    int recentEntries = 0;          // recent-file items now in the popup menu
    ClientContext face;             // what the Client window is given
    CollectedDataContext collected; // what the "Collected data..." window is given
    std::wstring lockName;          // the one-designer lock this designer holds; empty: none
};

// The folder of the running program, in the system's wide form.
std::filesystem::path wideFolderOfProgram();

Designer& designer();

// A second start of the designer hands its program file to the running one
// with WM_COPYDATA: `dwData` kHandOverFile, the name in UTF-8.
constexpr ULONG_PTR kHandOverFile = 0x46574B31;   // "FWK1"
constexpr DWORD kMaxHandedOverBytes = 32768 * 3;
// Posted by the terminal window to itself with the handed-over name.
constexpr UINT kOpenHandedOverFile = WM_APP + 0x51;

// What the terminal window is made with (CreateWindow's parameter). The
// session must outlive the window; `file`, when not empty, is opened
// instead of the preloaded last file.
struct TerminalCreation {
    DesignerSession* session = nullptr;
    std::string file;
};

// Start-up: registers the two window classes, creates the terminal window
// over `session` and runs the message loop. Returns the process exit code.
int runDesigner(HINSTANCE instance, int showCommand, DesignerSession& session, const std::string& file = {});
bool registerDesignerClasses(HINSTANCE instance);

// The terminal window over `session` (the classes registered), not yet
// shown; null when it cannot be made. runDesigner's own, and the way tests
// and benchmarks drive the designer's real windows over a session they own.
// A terminal window made without a session (no TerminalCreation) is refused.
HWND createTerminalWindow(HINSTANCE instance, DesignerSession& session, DWORD style = kTerminalStyle,
                          const std::string& file = {});
// What the terminal window `terminal` shows: its face, its popup menu as
// shown, and the open "Collected data" window; null when there is none.
HWND terminalClient(HWND terminal);
HMENU terminalPopupMenu(HWND terminal);
HWND collectedDataWindow(HWND terminal);

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

// The popup menu and its recent-file entries (the session's), in the
// active language.
void buildPopupMenu(const DesignerSession& session);
void refreshRecentFiles(const DesignerSession& session);

// The terminal window shown at the session's placement.
void placeTerminalWindow(const TerminalPlacement& place);

// The About box ("AboutBox"): only OK closes it.
INT_PTR CALLBACK aboutBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The editor's modal property sheet over `sheet`; true when confirmed.
bool runEditorSheet(HWND owner, HINSTANCE instance, EditorSheet& sheet, const std::string& caption);

// File dialogs. They only choose: they start at the name in `path` (empty:
// none) and the chosen name comes back in it. A Save As dialog is for a
// program or a text file, and starts in `folder` when one is given. Names
// are UTF-8.
enum FileKind { kProgramFile = 0, kTextFile = 1, kMessageImportFile = 2, kReportFile = 3 };
bool chooseOpenFile(HWND owner, int kind, std::string& path);
bool chooseSaveFile(HWND owner, int kind, std::string& path, const std::string& folder = {});

// The session's Preferences command over `owner`; true for OK. The window
// is back at its place afterwards.
bool openPreferences(HWND owner, DesignerSession& session);
// The modal Preferences dialog ("PreferencesDlg") bound to `state`, with
// Detect Cradle's search on a worker thread; true for OK.
bool runPreferencesDialog(HWND owner, HINSTANCE instance, PreferencesDialogState& state);

// The transfers' own dialogs: the file a data receive creates (a Save
// dialog in the folder of the last one, `path`, else in Documents), the
// question after a receive with records (true for Yes), and the received
// file in Notepad.
bool chooseReceiveFile(HWND owner, std::string& path);
bool askViewReceivedData(HWND owner, int records);
void showInNotepad(const std::string& path);

// "Check program...": the findings in a modal list over `owner`; the index
// of the finding the user chose to open, or -1 when the list was closed.
int runCheckDialog(HWND owner, HINSTANCE instance, const std::vector<Finding>& findings);
// A page in the default browser, not waited for.
void showInBrowser(HWND owner, const std::string& path);

// The session's questions and dialogs, shown over `owner`. The menus it
// rebuilds list the recent files of `session`.
class WinDesignerUi : public DesignerUi {
public:
    WinDesignerUi(HWND owner, const DesignerSession& session) : owner_(owner), session_(session) {}
    Answer askSaveChanges() override;
    bool chooseProgramFile(std::string& path) override;
    bool chooseSaveName(std::string& path) override;
    void showMessage(unsigned captionId, unsigned textId) override;
    void showText(unsigned captionId, const std::string& text) override;
    bool askYesNo(unsigned captionId, const std::string& question) override;
    void showInformation(unsigned captionId, unsigned textId) override;
    bool runEditor(EditorSheet& sheet, const std::string& caption) override;
    bool runPreferences(PreferencesDialogState& state) override;
    void languageChanged() override;
    void placeWindow(const TerminalPlacement& place) override;
    void recentFilesChanged() override;
    void displayChanged() override;
    std::vector<SerialPortInfo> serialPorts() override;
    bool chooseLookupFile(std::string& path) override;
    bool chooseReceiveFile(std::string& path) override;
    TransferOutcome runTransfer(const PreparedTransfer& transfer) override;
    Answer askRetry() override;
    bool askViewReceivedData(int records) override;
    void viewReceivedData(const std::string& path) override;
    bool chooseDataFileName(std::string& path) override;
    int showFindings(const std::vector<Finding>& findings) override;
    bool chooseReportFile(std::string& path) override;
    void openInBrowser(const std::string& path) override;
    SystemCodePageReader systemCodePage() const override;

private:
    HWND owner_;
    const DesignerSession& session_;
};

}  // namespace fw::win
