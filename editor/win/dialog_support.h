// Small helpers shared by the Form page's dialog procedures: they copy
// values between controls and the core objects, nothing more.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editor/field_properties.h"
#include "editor/win/binding.h"

namespace fw::win {

// The module that holds the templates of `window`'s own dialogs: a
// dialog's sub-dialogs come from the module its owner came from.
HINSTANCE instanceOf(HWND window);

// Applies a ControlState: enabled always; checked for check boxes,
// selection for lists; `withText` also puts its text and limit into a box.
// A label only follows the enabled state of the control it names.
void applyState(HWND dlg, int id, ControlKind kind, const ControlState& state, bool withText = false);

// Replaces the title (unless `title` is 0), the captions and the OK and
// Cancel buttons by the active language's texts.
struct Caption {
    int control;
    unsigned text;
};
void applyLanguage(HWND dlg, unsigned title, std::initializer_list<Caption> captions);

// Centres a modal dialog over its owner.
void centreOnOwner(HWND dlg);

}  // namespace fw::win
