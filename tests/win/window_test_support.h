// Helpers for driving real windows and modal dialogs from a test, the way
// Wine's own conformance tests do: messages to controls, and a timer that
// acts on a modal dialog once it has appeared.
#pragma once

#include <windows.h>

#include <functional>
#include <filesystem>
#include <string>

#include "model/settings_place.h"
#include "shell/recovery.h"
#include "shell/settings_file.h"

namespace fw::wintest {

// Dispatches every queued message of this thread (WM_QUIT included and
// dropped: closing the designer's window posts one).
void pumpMessages();

// Arms a one-shot action on the next dialog box of this thread (class
// "#32770") whose caption is `caption` (any caption when empty). The action
// runs from a timer inside the dialog's own modal loop. Several actions
// queue up in order.
void onDialog(const std::string& caption, std::function<void(HWND)> action);

// Actions still waiting for their dialog (0 when everything ran).
int pendingDialogActions();
void clearDialogActions();

// Clicks a button of a dialog or message box by its id.
void clickButton(HWND dialog, int id);

// Types a full path (UTF-8, any characters) into a common file dialog and
// confirms it.
void chooseFileInDialog(HWND dialog, const std::string& path);

std::string windowText(HWND hwnd);
// A window's text read through the wide API, as UTF-8.
std::string utf8WindowText(HWND hwnd);
// The text of a message box (UTF-8): its static control that has one.
std::string messageBoxText(HWND box);
// A UTF-8 name as the system's path.
std::filesystem::path pathOf(const std::string& utf8);

// Saves what the screen shows of `hwnd` as a 24-bit BMP file.
bool saveWindowPicture(HWND hwnd, const std::string& path);

// A folder for pictures kept as build artifacts: $FW_SCREENSHOT_DIR, or the
// temp folder.
std::string screenshotFolder();

// Driving a dialog's controls the way a user's clicks and typing reach
// them: the control changes and its owner gets the notification.
void choose(HWND dlg, int id, int index);          // CB_SETCURSEL + CBN_SELCHANGE
void type(HWND dlg, int id, const char* text);     // WM_SETTEXT + EN_CHANGE
void typeWide(HWND dlg, int id, const wchar_t* text);
void press(HWND dlg, int id);                      // BM_CLICK
void clickBox(HWND dlg, int id);                   // a click on a read-only box
std::string textOf(HWND dlg, int id);
bool enabled(HWND dlg, int id);
bool checked(HWND dlg, int id);
int selection(HWND dlg, int id);

// What a screen reader is told of a window: the name and the value of its
// client object (AccessibleObjectFromWindow), UTF-8; "(none)" when the
// window gives no object.
std::string accessibleName(HWND hwnd);
std::string accessibleValue(HWND hwnd);

// Repaints `hwnd` and keeps a picture of it as `name` in screenshotFolder().
void picture(HWND hwnd, const char* name);

// A fresh temporary folder whose name contains a space.
std::string makeTempFolder(const std::string& tag);
// Removes the recovery copy that an earlier case's unsaved program left
// beside the settings, so that no start-up asks to restore it.
// Inline: only the designer's tests link the shell.
inline void forgetRecoveryCopy() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    const std::filesystem::path folder = std::filesystem::path(std::wstring(path, n)).parent_path();
    removeRecovery(recoveryFilesFor(locateSettings(folder, kSettingsFileName)));
}

}  // namespace fw::wintest
