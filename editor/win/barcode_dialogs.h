// The Barcode page's modal dialogs: the seventeen symbology dialogs (one
// procedure, one control table) and the Code ID dialog. Each writes the
// model at its own OK through its core object.
#pragma once

#include <windows.h>

#include "editor/barcode_dialogs.h"
#include "model/program_model.h"

namespace fw::win {

// IDOK when the dialog was confirmed and the model written.
INT_PTR runSymbologyDialog(HWND owner, HINSTANCE instance, ProgramModel& model, SymbologyDialogId id);
INT_PTR runCodeIdDialog(HWND owner, HINSTANCE instance, ProgramModel& model);

}  // namespace fw::win
