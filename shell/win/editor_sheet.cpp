// The editor: a modal property sheet of six pages.
#include <windows.h>
#include <commctrl.h>

#include "shell/win/designer.h"

namespace fw::win {

namespace {

struct PageTemplate {
    const char* dialog;
    const char* title;
};

const PageTemplate kPages[] = {
    {"FORMDLG", "Form"},         {"MENUDLG", "Menu"},         {"LOOKUPDLG", "Lookup"},
    {"BARCODESETTINGDLG", "Barcode"}, {"SETTINGSDLG", "Settings"}, {"STARTUPDLG", "Startup"},
};

INT_PTR CALLBACK emptyPageProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

void openEditor(HWND owner) {
    Designer& d = designer();
    PROPSHEETPAGEA pages[6] = {};
    for (int i = 0; i < 6; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = d.instance;
        pages[i].pszTemplate = kPages[i].dialog;
        pages[i].pszTitle = kPages[i].title;
        pages[i].pfnDlgProc = emptyPageProc;
    }
    std::string caption = editorSheetCaption(d.doc.currentFile);
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = d.instance;
    header.pszIcon = "FWPRG";
    header.pszCaption = caption.c_str();
    header.nPages = 6;
    header.nStartPage = 0;
    header.ppsp = pages;
    PropertySheetA(&header);
}

}  // namespace fw::win
