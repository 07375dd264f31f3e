// Texts, message boxes, the unsaved-changes question and the About box.
#include <windows.h>

#include "resources/resource_ids.h"
#include "shell/captions.h"
#include "texts/texts.h"
#include "shell/win/designer.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

namespace fw::win {

std::string text(unsigned id) { return loadText(id); }

int messageBoxById(HWND owner, unsigned captionId, unsigned textId, UINT style) {
    char caption[81];
    char body[81];
    if (loadText(captionId, caption, sizeof caption) == 0) return 0;
    if (loadText(textId, body, sizeof body) == 0) return 0;
    return textBox(owner, body, caption, style);
}

int messageBoxById(unsigned captionId, unsigned textId, UINT style) {
    return messageBoxById(GetActiveWindow(), captionId, textId, style);
}

int askSaveChanges(HWND owner) {
    return textBox(owner, text(kTextSaveCurrentProgram), "Velmora's K400 Formwright", MB_YESNOCANCEL | MB_ICONQUESTION);
}

INT_PTR CALLBACK aboutBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: {
            applyCaption(GetDlgItem(dlg, IDOK), kTextOkButton);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dlg, IDOK);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace fw::win
