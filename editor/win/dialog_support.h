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
