// The editor: a modal property sheet of six pages.
#include <windows.h>
#include <commctrl.h>

#include "editor/win/sheet_context.h"
#include "shell/captions.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

struct PageTemplate {
    const char* dialog;
    const char* title;
    unsigned titleId;   // the title under a language
    DLGPROC procedure;
};

// Tab order, which is also the order of the commit.
const PageTemplate kPages[] = {
    {"FORMDLG", "Form", kTextFormPageTitle, formPageProc},
    {"MENUDLG", "Menu", kTextMenuPageTitle, menuPageProc},
    {"LOOKUPDLG", "Lookup", kTextLookupPageTitle, lookupPageProc},
    {"BARCODESETTINGDLG", "Barcode", kTextBarcodePageTitle, barcodePageProc},
    {"SETTINGSDLG", "Settings", kTextSettingsPageTitle, settingsPageProc},
    {"STARTUPDLG", "Startup", kTextStartupPageTitle, startupPageProc},
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

bool runEditorSheet(HWND owner, HINSTANCE instance, EditorSheet& sheet, const std::string& caption) {
    SheetContext context{sheet, instance,
                         [](HWND owner, std::string& path) { return chooseOpenFile(owner, kMessageImportFile, path); }};
    PROPSHEETPAGEA pages[kSheetPageCount] = {};
    std::string titles[kSheetPageCount];
    for (int i = 0; i < kSheetPageCount; ++i) {
        titles[i] = captionText(kPages[i].titleId, kPages[i].title);
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = kPages[i].dialog;
        pages[i].pszTitle = titles[i].c_str();
        pages[i].pfnDlgProc = kPages[i].procedure;
        pages[i].lParam = reinterpret_cast<LPARAM>(&context);
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = sheetCallback;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszIcon = "FWPRG";
    header.pszCaption = caption.c_str();
    header.nPages = kSheetPageCount;
    header.nStartPage = 0;
    header.ppsp = pages;
    PropertySheetA(&header);
    return context.confirmed;
}

}  // namespace fw::win
