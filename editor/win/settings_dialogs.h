// The Settings page's three dialogs.
#pragma once

#include <windows.h>

#include "editor/settings_page.h"

namespace fw::win {

// The dialogs work on a copy of the page's working copy and give it back
// at their OK. Each returns IDOK or IDCANCEL.
INT_PTR showSecurityDialog(HWND owner, HINSTANCE instance, SettingsPage& page);
INT_PTR showFunctionKeyDialog(HWND owner, HINSTANCE instance, SettingsPage& page);
INT_PTR showAcousticDialog(HWND owner, HINSTANCE instance, SettingsPage& page);

}  // namespace fw::win
