// Small helpers shared by the Form page's dialog procedures: they copy
// values between controls and the core objects, nothing more.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editor/field_properties.h"

namespace fw::win {

// The instance that holds the dialog templates.
HINSTANCE editorInstance();

void fillList(HWND dlg, int id, const std::vector<std::string>& entries);
// Selects entry `index` (-1 selects none); sends no notification.
void selectEntry(HWND dlg, int id, int index);
int selectedEntry(HWND dlg, int id);

std::string itemText(HWND dlg, int id);
// Sets a box's text only when it differs, so that no change is reported
// for nothing.
void setItemText(HWND dlg, int id, const std::string& text);
// Writes a corrected text back into the box, caret at its end.
void putBack(HWND dlg, int id, const std::string& text);
void limitText(HWND dlg, int id, int chars);
void enableItem(HWND dlg, int id, bool enabled);

// Applies a ControlState: enabled always; checked for check boxes,
// selection for lists; `withText` also puts its text and limit into a box.
// A label only follows the enabled state of the control it names.
enum class ControlKind { Check, List, Box, Grid, Label };
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
