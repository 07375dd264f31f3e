// The Form page of the editor sheet and the dialogs it opens.
#pragma once

#include <windows.h>

#include "editor/form_page.h"

namespace fw::win {

// The page procedure of "FORMDLG": loads the working copy when the page is
// created, commits it on the sheet's OK and drops it on Cancel.
INT_PTR CALLBACK formPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// The working copy of the open sheet's Form page, for the other pages'
// dialogs that write into it; nullptr while no Form page exists.
FormPage* activeFormPage();

// The dialogs of a line and of the current form, modal over `owner`; each
// returns IDOK or IDCANCEL.
INT_PTR showLineProperties(HWND owner, FormPage& page, int line);
INT_PTR showStampDialog(HWND owner, FormPage& page);
INT_PTR showBranchDialog(HWND owner, FormPage& page);

}  // namespace fw::win
