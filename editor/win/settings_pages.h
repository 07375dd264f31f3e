// The Settings and Startup pages of the editor sheet and the Settings
// page's three dialogs.
#pragma once

#include <windows.h>

#include "editor/editor_sheet.h"
#include "editor/settings_page.h"

namespace fw::win {

INT_PTR CALLBACK settingsPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK startupPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The dialogs work on a copy of the page's working copy and give it back
// at their OK. Each returns IDOK or IDCANCEL.
INT_PTR showSecurityDialog(HWND owner, HINSTANCE instance, SettingsPage& page);
INT_PTR showFunctionKeyDialog(HWND owner, HINSTANCE instance, SettingsPage& page);
INT_PTR showAcousticDialog(HWND owner, HINSTANCE instance, SettingsPage& page);

}  // namespace fw::win
