// Texts, message boxes, the unsaved-changes question and the About box.
#include <windows.h>

#include "resources/resource_ids.h"
#include "shell/captions.h"
#include "texts/texts.h"
#include "shell/win/designer.h"
#include "simulator/key_map.h"
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
            // The simulator's own key table, a key and what it does a line.
            std::string keys;
            for (const KeyboardHelpLine& line : keyboardHelp()) {
                if (!keys.empty()) keys += "\r\n";
                keys += std::string(line.pcKey) + "\t" + line.terminalKey;
            }
            HWND box = GetDlgItem(dlg, IDC_ABOUT_KEYS);
            int tabStop = 100;   // dialog units: past the longest PC key
            SendMessageW(box, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
            setText(box, keys);
            SetFocus(GetDlgItem(dlg, IDOK));
            return FALSE;
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
