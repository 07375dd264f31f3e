// What every page procedure of the editor sheet is given: the sheet's core
// session and the module that holds the templates. The sheet passes it in
// each page's PROPSHEETPAGE lParam.
#pragma once

#include <windows.h>

#include "editor/editor_sheet.h"

namespace fw::win {

struct SheetContext {
    EditorSheet& sheet;
    HINSTANCE instance;      // holds the dialog templates
    bool confirmed = false;  // OK was pressed: the caller commits the sheet
};

// The context from a page's WM_INITDIALOG lParam.
inline SheetContext& sheetContextOf(LPARAM initParam) {
    return *reinterpret_cast<SheetContext*>(reinterpret_cast<const PROPSHEETPAGEA*>(initParam)->lParam);
}

// The sheet notifications every page answers alike: OK marks the sheet
// confirmed (the commit itself happens once, after the sheet closes).
// True when `lParam` was one of them.
bool sheetNotify(HWND page, LPARAM lParam, SheetContext& context);

// The page procedures, in tab order.
INT_PTR CALLBACK formPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK barcodePageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
