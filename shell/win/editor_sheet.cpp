// The editor: a modal property sheet of six pages.
#include <windows.h>
#include <commctrl.h>

#include "editor/editor_sheet.h"
#include "editor/win/form_dialogs.h"
#include "editor/win/menu_pages.h"
#include "shell/captions.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

INT_PTR CALLBACK emptyPageProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

struct PageTemplate {
    const char* dialog;
    const char* title;
    unsigned titleId;   // the title under a language
    DLGPROC proc;
};

const PageTemplate kPages[] = {
    {"FORMDLG", "Form", 51, formPageProc},
    {"MENUDLG", "Menu", 201, menuPageProc},
    {"LOOKUPDLG", "Lookup", 251, lookupPageProc},
    {"BARCODESETTINGDLG", "Barcode", 301, emptyPageProc},
    {"SETTINGSDLG", "Settings", 601, emptyPageProc},
    {"STARTUPDLG", "Startup", 701, emptyPageProc},
};

// The sheet's "OK" and "Cancel" under a language.
int CALLBACK sheetCallback(HWND sheet, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED) {
        std::string ok = languageCaption(kTextOkButton);
        std::string cancel = languageCaption(kTextCancelButton);
        if (!ok.empty()) SetDlgItemTextA(sheet, IDOK, ok.c_str());
        if (!cancel.empty()) SetDlgItemTextA(sheet, IDCANCEL, cancel.c_str());
    }
    return 0;
}

}  // namespace

void openEditor(HWND owner) {
    Designer& d = designer();
    // The session of this showing: every page reaches it through its
    // PROPSHEETPAGE's lParam; OK commits it, Cancel drops it.
    EditorSheet sheet(d.doc.model, d.doc.defaults);
    PROPSHEETPAGEA pages[6] = {};
    std::string titles[6];
    for (int i = 0; i < 6; ++i) {
        titles[i] = captionText(kPages[i].titleId, kPages[i].title);
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = d.instance;
        pages[i].pszTemplate = kPages[i].dialog;
        pages[i].pszTitle = titles[i].c_str();
        pages[i].pfnDlgProc = kPages[i].proc;
        pages[i].lParam = reinterpret_cast<LPARAM>(&sheet);
    }
    std::string caption = editorCaption(d.doc.currentFile);
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = sheetCallback;
    header.hwndParent = owner;
    header.hInstance = d.instance;
    header.pszIcon = "FWPRG";
    header.pszCaption = caption.c_str();
    header.nPages = 6;
    header.nStartPage = 0;
    header.ppsp = pages;
    if (PropertySheetA(&header) > 0) sheet.commit();
}

}  // namespace fw::win
