// The Menu page's dialog "Edit file name for each Form".
#pragma once

#include <windows.h>

#include <span>

#include "model/program_model.h"

namespace fw::win {

// "Edit file name for each Form" (template in `instance`), modal over
// `owner`; writes the file names of `forms` (the sheet's working copy of
// the forms) only at its OK. Returns IDOK or IDCANCEL.
INT_PTR showFileNameDialog(HWND owner, HINSTANCE instance, std::span<FormDef, kFormCount> forms);

}  // namespace fw::win
