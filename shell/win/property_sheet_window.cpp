// The editor: a modal property sheet of six pages.
#include <windows.h>
#include <commctrl.h>

#include "editor/win/sheet_context.h"
#include "shell/captions.h"
#include "shell/win/designer.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

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
        applyCaption(GetDlgItem(sheet, IDOK), kTextOkButton);
        applyCaption(GetDlgItem(sheet, IDCANCEL), kTextCancelButton);
    }
    return 0;
}

}  // namespace

bool runEditorSheet(HWND owner, HINSTANCE instance, EditorSheet& sheet, const std::string& caption) {
    SheetContext context{sheet, instance,
                         [](HWND owner, std::string& path) { return chooseOpenFile(owner, kMessageImportFile, path); }};
    PROPSHEETPAGEW pages[kSheetPageCount] = {};
    std::wstring titles[kSheetPageCount];
    std::wstring templates[kSheetPageCount];
    for (int i = 0; i < kSheetPageCount; ++i) {
        titles[i] = wideFromText(captionText(kPages[i].titleId, kPages[i].title));
        templates[i] = resourceName(kPages[i].dialog);
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = templates[i].c_str();
        pages[i].pszTitle = titles[i].c_str();
        pages[i].pfnDlgProc = kPages[i].procedure;
        pages[i].lParam = reinterpret_cast<LPARAM>(&context);
    }
    PROPSHEETHEADERW header{};
    const std::wstring shownCaption = wideFromUtf8(caption);
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = sheetCallback;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszIcon = L"FWPRG";
    header.pszCaption = shownCaption.c_str();
    header.nPages = kSheetPageCount;
    header.nStartPage = static_cast<UINT>(sheet.startPage());
    header.ppsp = pages;
    PropertySheetW(&header);
    return context.confirmed;
}

}  // namespace fw::win
