// The Menu and Lookup pages of the editor sheet. Each page procedure takes
// the sheet's context from its PROPSHEETPAGE's lParam at WM_INITDIALOG and
// binds to the session's page object; the session commits after OK.
#pragma once

#include <windows.h>

namespace fw {
class FormPage;
}

namespace fw::win {

INT_PTR CALLBACK menuPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK lookupPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// "Edit file name for each Form" (template in `instance`), modal over
// `owner`; writes the file names of `forms` only at its OK. Returns IDOK or
// IDCANCEL.
INT_PTR showFileNameDialog(HWND owner, HINSTANCE instance, FormPage& forms);

}  // namespace fw::win
