// The editor: a modal property sheet of six pages.
#include <windows.h>
#include <commctrl.h>

#include "editor/editor_sheet.h"
#include "editor/win/form_dialogs.h"
#include "editor/win/settings_pages.h"
#include "shell/captions.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

struct PageTemplate {
    const char* dialog;
    const char* title;
    unsigned titleId;   // the title under a language
};

const PageTemplate kPages[] = {
    {"FORMDLG", "Form", 51},         {"MENUDLG", "Menu", 201},         {"LOOKUPDLG", "Lookup", 251},
    {"BARCODESETTINGDLG", "Barcode", 301}, {"SETTINGSDLG", "Settings", 601}, {"STARTUPDLG", "Startup", 701},
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

INT_PTR CALLBACK emptyPageProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// Pages bound to the sheet session, by their place in kPages.
DLGPROC sessionPageProc(int page) {
    switch (page) {
        case 4: return settingsPageProc;
        case 5: return startupPageProc;
        default: return nullptr;
    }
}

}  // namespace

void openEditor(HWND owner) {
    Designer& d = designer();
    // The session of the pages bound to it; committed once, after the sheet
    // closed with OK.
    EditorSheet session(d.doc.model, d.doc.defaults);
    SheetSession context{&session, false};
    PROPSHEETPAGEA pages[6] = {};
    std::string titles[6];
    for (int i = 0; i < 6; ++i) {
        titles[i] = captionText(kPages[i].titleId, kPages[i].title);
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = d.instance;
        pages[i].pszTemplate = kPages[i].dialog;
        pages[i].pszTitle = titles[i].c_str();
        pages[i].pfnDlgProc = i == 0 ? formPageProc : emptyPageProc;
        if (DLGPROC proc = sessionPageProc(i)) {
            pages[i].pfnDlgProc = proc;
            pages[i].lParam = reinterpret_cast<LPARAM>(&context);
        }
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
    PropertySheetA(&header);
    if (context.confirmed) {
        session.commit();
        restartSimulation();
    }
}

}  // namespace fw::win
