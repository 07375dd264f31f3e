// The Form page of the editor sheet and the dialogs it opens.
#pragma once

#include <windows.h>

#include "editor/form_page.h"

namespace fw::win {

// The dialogs of a line and of the current form, modal over `owner`; each
// returns IDOK or IDCANCEL.
INT_PTR showLineProperties(HWND owner, FormPage& page, int line);
INT_PTR showStampDialog(HWND owner, FormPage& page);
INT_PTR showBranchDialog(HWND owner, FormPage& page);

}  // namespace fw::win
