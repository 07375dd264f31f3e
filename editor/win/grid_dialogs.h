// The character grid dialogs ("GridDlg", multi-code; "ACGridDlg",
// single-character) and the GridBox edit controls that open them.
#pragma once

#include <windows.h>

#include "editor/character_grid.h"

namespace fw::win {

// Makes the edit control `box` a GridBox showing and editing `state`: a
// click opens the grid of its mode, modal over the box's dialog; while the
// grid is open the box is painted blue. `state` must outlive the control.
// While enabled, the box is drawn white like a box that takes input
// (inputLookColours answers its owner's WM_CTLCOLORSTATIC).
void attachGridBox(HWND box, GridBox* state);

// Runs the grid of `box`'s mode for it (what a click does). Returns IDOK or
// IDCANCEL.
INT_PTR runCharacterGrid(HWND owner, HWND boxWindow, GridBox& box);

INT_PTR CALLBACK characterGridProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
