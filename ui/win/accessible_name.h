// Names and values for a screen reader where a window's own text gives none
// or the wrong one: the painted terminal, the character grids, and buttons
// whose caption ("more...") says nothing of what they open.
//
// A screen reader asks a window for its object with WM_GETOBJECT; the
// answer here is the system's standard object for the window with its name
// and value replaced, so that role, state, place and focus stay the
// system's. (The newer property route, SetHwndPropStr, does not exist under
// Wine.) The thread must have COM initialised for the answer to be
// marshalled; without it the window answers as an unnamed one.
#pragma once

#include <windows.h>

#include <string>

namespace fw::win {

struct AccessibleText {
    std::wstring name;
    std::wstring value;   // empty: the standard object's value
};

// For window procedures of our own: the answer to WM_GETOBJECT when it asks
// for the client object, else 0 (pass the message on to DefWindowProc).
LRESULT answerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleText& text);

// For a control of a system class: its accessible name from now on,
// whatever its caption says. May be called again to rename it.
void setAccessibleName(HWND control, const std::wstring& name);

}  // namespace fw::win
