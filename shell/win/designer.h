// The designer's process-wide state and the services its windows share.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "shell/document.h"
#include "simulator/simulation_engine.h"

namespace fw::win {

constexpr int kTerminalX = 300;
constexpr int kTerminalY = 50;
constexpr int kTerminalWidth = 210;
constexpr int kTerminalHeight = 464;

struct Designer {
    HINSTANCE instance = nullptr;
    HWND terminal = nullptr;        // the "FWK400" window
    HWND client = nullptr;          // the "Client" window that paints the face
    HMENU popupRoot = nullptr;      // "PopMenuK400" as loaded
    HMENU popupMenu = nullptr;      // its first submenu, the one shown
    int recentEntries = 0;          // recent-file items now in the popup menu
    std::string programFolder;      // ends with a backslash
    Document doc;
    std::unique_ptr<SimulationEngine> engine;
};

Designer& designer();

// Start-up: registers the two window classes, creates the terminal window and
// runs the message loop. Returns the process exit code.
int runDesigner(HINSTANCE instance, int showCommand);
bool registerDesignerClasses(HINSTANCE instance);

LRESULT CALLBACK terminalWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK clientWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Text and message-box services.
std::string text(unsigned id);
int messageBoxById(unsigned captionId, unsigned textId, UINT style);
int askSaveChanges(HWND owner);

// The popup menu and its recent-file entries.
void buildPopupMenu();
void refreshRecentFiles();

// Window placement: 300, 50, 210 x 464, shown, top-most by the preferences.
void placeTerminalWindow();

// The simulation back on its start screen, display repainted.
void restartSimulation();

// The About box ("AboutBox"): only OK closes it.
INT_PTR CALLBACK aboutBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The editor's modal property sheet.
void openEditor(HWND owner);

// File dialogs. `kind`: 0 program (then loaded), 1 lookup or data text,
// 2 message import (handled by the Startup page).
enum OpenKind { kOpenProgram = 0, kOpenTextFile = 1, kOpenImport = 2 };
bool chooseOpenFile(HWND owner, int kind, std::string& path);
bool chooseSaveFile(HWND owner, std::string& path);
bool saveCurrent(HWND owner, std::string& path);

// Loads a program file into the document, showing "Format mismatch !!!" for a
// file of another kind. Returns whether it was loaded.
bool loadProgramFile(const std::string& path);

// The modal Preferences dialog ("PreferencesDlg"). Returns true for OK, after
// the preferences are stored and written and the language, the default
// terminal texts and the popup menu are reloaded; false for Cancel or when
// the system has no serial port. The caller places the window afterwards.
bool openPreferences(HWND owner);
INT_PTR CALLBACK preferencesDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The first port of the system's list on which a cradle answers, through the
// Win32 serial driver: its index and name, or -1.
int searchCradlePort(std::string& name);

// Download Application (3020), Download Lookup File (3040) and Receive Data
// (3030): the port check (Preferences first when the configured port is
// unset or gone; Cancel there ends the command), the link type of the
// preferences (a value outside 0..2 ends the command silently), then the
// transfer and its result.
void transferCommand(HWND owner, int command);

// The transfers themselves, given the checked link type. Each returns 0
// (cancelled), 1 (done) or the number of the text that says what failed.
int runProgramDownload(HWND owner, int linkType);
int runLookupDownload(HWND owner, int linkType);
int runDataReceive(HWND owner, int linkType);

// The program download, or with `lookupFile` the lookup download of a file
// the user picks (the previous one offered). A failure is shown in an
// "Error" box and followed by the retry question; Yes starts again, and the
// last failure is returned after No.
int downloadToTerminal(HWND owner, int linkType, bool lookupFile);
// The data receive into a file the user names; after success the closing
// boxes (the count with the offer to open the file, or "No data
// received!") have been shown. Failures are returned for the caller to show.
int receiveFromTerminal(HWND owner, int linkType);

}  // namespace fw::win
