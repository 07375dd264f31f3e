// Small helpers shared by the dialog procedures of every window: they copy
// values between controls and the core objects, nothing more.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/window_placement.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/win/binding.h"

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
// A window's text (a program text, Windows-1252) through the wide API.
void setText(HWND window, const std::string& text);
// Replaces a window's text by the active language's text `textId`, if any.
void applyCaption(HWND window, unsigned textId);
// The user's Documents folder (UTF-8); empty when the system names none.
std::string documentsFolder();
// A resource's name (a dialog template, an icon) for the wide API.
std::wstring resourceName(const char* name);

// Centres a modal dialog over its owner.
void centreOnOwner(HWND dlg);

// The work area (the screen less the taskbar) of the monitor that shows
// most of `hwnd`, or the nearest one.
ScreenRect workAreaOf(HWND hwnd);
// The work areas of every monitor, the main one first.
std::vector<ScreenRect> monitorWorkAreas();

// A read-only box that opens something to edit its value (a character
// grid, say) is drawn white like a box that takes input, although it cannot
// be typed into, while it is enabled. markInputLook marks such a box (before
// it is destroyed, clear it with `on` false); inputLookColours answers the
// owner's WM_CTLCOLORSTATIC for it, and 0 (the dialog decides) for any other.
void markInputLook(HWND box, bool on = true);
INT_PTR inputLookColours(WPARAM dc, LPARAM control);

}  // namespace fw::win
