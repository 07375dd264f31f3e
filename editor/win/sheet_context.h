// What every page procedure of the editor sheet is given: the sheet's core
// session and the module that holds the templates. The sheet passes it in
// each page's PROPSHEETPAGE lParam.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>   // not part of <windows.h> with WIN32_LEAN_AND_MEAN

#include <functional>
#include <string>
#include <vector>

#include "editor/editor_sheet.h"
#include "ui/win/binding.h"

namespace fw::win {

struct SheetContext {
    EditorSheet& sheet;
    HINSTANCE instance;      // holds the dialog templates
    // The Open dialog of a program file whose texts a page imports.
    std::function<bool(HWND owner, std::string& path)> chooseImportFile;
    bool confirmed = false;  // OK was pressed: the caller commits the sheet
};

// The context from a page's WM_INITDIALOG lParam.
inline SheetContext& sheetContextOf(LPARAM initParam) {
    return *reinterpret_cast<SheetContext*>(reinterpret_cast<const PROPSHEETPAGEW*>(initParam)->lParam);
}

// The sheet notifications every page answers alike: OK marks the sheet
// confirmed (the commit itself happens once, after the sheet closes).
// True when `lParam` was one of them.
bool sheetNotify(HWND page, LPARAM lParam, SheetContext& context);

// A page's window: the sheet it belongs to and its binding.
template <class Page>
struct PageWindow {
    SheetContext& context;
    Binding<Page> binding;
};

// What makes one page's procedure: its control table and what the table
// cannot say. Every pointer but `controls` may be null.
template <class Page>
struct PageProcedure {
    std::vector<Control<Page>> (*controls)();
    // Captions under a language, boxes the core asks questions through.
    void (*init)(HWND page, PageWindow<Page>& window);
    // A button that opens a dialog; true when it was one.
    bool (*clicked)(HWND page, PageWindow<Page>& window, int id);
    // The page is shown again: other pages may have changed what it shows.
    void (*activated)(PageWindow<Page>& window);
};

// The one procedure of every page, given what makes the page.
template <class Page>
INT_PTR sheetPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, const PageProcedure<Page>& p) {
    auto* w = contextOf<PageWindow<Page>>(dlg);
    switch (msg) {
        case WM_INITDIALOG: {
            SheetContext& context = sheetContextOf(lParam);
            w = new PageWindow<Page>{context, Binding<Page>(context.sheet.page<Page>(), p.controls())};
            attachContext(dlg, w);
            if (p.init) p.init(dlg, *w);
            w->binding.show(dlg);
            return TRUE;
        }
        case WM_COMMAND:
            if (!w) return FALSE;
            if (w->binding.command(dlg, wParam)) return TRUE;
            if (HIWORD(wParam) != BN_CLICKED || !p.clicked || !p.clicked(dlg, *w, LOWORD(wParam))) return FALSE;
            // A dialog may have written the working copy.
            w->binding.show(dlg);
            return TRUE;
        case WM_NOTIFY:
            if (!w) return FALSE;
            if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE && p.activated) {
                p.activated(*w);
                w->binding.show(dlg);
                return FALSE;
            }
            // The page is left (another tab, or OK pressed with the Enter key
            // while a box still has the focus): its boxes are checked now.
            if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_KILLACTIVE) {
                w->binding.leave(dlg);
                SetWindowLongPtrW(dlg, DWLP_MSGRESULT, FALSE);
                return TRUE;
            }
            return sheetNotify(dlg, lParam, w->context) ? TRUE : FALSE;
        case WM_NCDESTROY:
            attachContext<PageWindow<Page>>(dlg, nullptr);
            delete w;
            return FALSE;
        default:
            return FALSE;
    }
}

// The page procedures, in tab order.
INT_PTR CALLBACK formPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK menuPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK lookupPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK barcodePageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK settingsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK startupPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
