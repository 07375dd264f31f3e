// A modal dialog bound to a core object by a control table: every dialog
// of the designer runs through this one procedure. OK and Cancel end it; the
// caller takes the result from the core object (its ok(), commit() or
// cancel()), so nothing is decided here.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/win/binding.h"
#include "ui/win/dialog_support.h"

namespace fw::win {

template <class Core>
struct BoundDialog {
    Binding<Core> binding;
    // What the table cannot say: captions under a language, grid boxes,
    // up-down ranges, fixed texts. May be null.
    void (*init)(HWND dlg, Core& core);
    // Messages the table cannot say: a worker thread's notice, the cursor,
    // a button that starts work beside the dialog. Called first for every
    // message after WM_INITDIALOG (WM_COMMAND included, OK and Cancel too);
    // true when it handled the message, with the procedure's answer in
    // `result`. May be null.
    bool (*message)(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, BoundDialog& d, INT_PTR& result) = nullptr;
    // What `message` needs besides the core object.
    void* extra = nullptr;
};

template <class Core>
INT_PTR CALLBACK boundDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = contextOf<BoundDialog<Core>>(dlg);
    switch (msg) {
        case WM_INITDIALOG:
            d = reinterpret_cast<BoundDialog<Core>*>(lParam);
            attachContext(dlg, d);
            if (d->init) d->init(dlg, d->binding.core());
            d->binding.show(dlg);
            centreOnOwner(dlg);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return inputLookColours(wParam, lParam);
        default:
            break;
    }
    if (d && d->message) {
        INT_PTR result = FALSE;
        if (d->message(dlg, msg, wParam, lParam, *d, result)) return result;
    }
    switch (msg) {
        case WM_COMMAND:
            if (!d) return FALSE;
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dlg, LOWORD(wParam));
                return TRUE;
            }
            return d->binding.command(dlg, wParam) ? TRUE : FALSE;
        case WM_NCDESTROY:
            attachContext<BoundDialog<Core>>(dlg, nullptr);
            return FALSE;
        default:
            return FALSE;
    }
}

// Runs template `name` of `instance` modal over `owner` with `d`; IDOK or
// IDCANCEL (also when the dialog could not be shown).
template <class Core>
INT_PTR runBoundDialog(HWND owner, HINSTANCE instance, const char* name, BoundDialog<Core>& d) {
    const INT_PTR r = DialogBoxParamW(instance, resourceName(name).c_str(), owner, boundDialogProc<Core>, reinterpret_cast<LPARAM>(&d));
    return r == IDOK ? IDOK : IDCANCEL;
}

// The same for a dialog that the table and `init` say all about.
template <class Core>
INT_PTR runBoundDialog(HWND owner, HINSTANCE instance, const char* name, Core& core,
                       std::vector<Control<Core>> controls, void (*init)(HWND, Core&) = nullptr) {
    BoundDialog<Core> d{Binding<Core>(core, std::move(controls)), init};
    return runBoundDialog(owner, instance, name, d);
}

}  // namespace fw::win
