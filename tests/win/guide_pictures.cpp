// guide_pictures PROGRAM.FWX: the pictures of the user guide, taken of the
// designer's real windows with the guide's own example program open, so that
// a reader sees on the pages the values the guide's text gives.
//
// scripts/screenshots builds the example from docs/example/stock-count.json
// and runs this program with FW_SCREENSHOT_DIR set; each picture is kept
// there as a BMP file named as its PNG in docs/images/.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "editor/win/form_dialog_ids.h"
#include "editor/win/lookup_dialog_ids.h"
#include "editor/win/menu_dialog_ids.h"
#include "editor/win/settings_dialog_ids.h"
#include "model/message_tables.h"
#include "resources/resource_ids.h"
#include "shell/captions.h"
#include "shell/designer_session.h"
#include "shell/document.h"
#include "shell/win/designer.h"
#include "window_test_support.h"

namespace {

using namespace fw;
using namespace fw::wintest;

enum Tab { kFormTab, kMenuTab, kLookupTab, kBarcodeTab, kSettingsTab, kStartupTab };

HWND showTab(HWND sheet, int tab) {
    PropSheet_SetCurSel(sheet, nullptr, tab);
    pumpMessages();
    return PropSheet_GetCurrentPageHwnd(sheet);
}

// Opens the editor sheet on the terminal window and runs `drive` on it;
// the sheet is cancelled after, so the program stays as it was loaded.
template <typename Drive>
bool withSheet(HWND terminal, const std::string& caption, Drive drive) {
    onDialog(caption, [drive](HWND sheet) {
        drive(sheet);
        clickButton(sheet, IDCANCEL);
    });
    SendMessageA(terminal, WM_COMMAND, IDM_EDIT, 0);
    return pendingDialogActions() == 0;
}

// Opens the Properties of line `line` (0-based) of the Form page.
void pictureOfProperties(HWND page, int line, const char* name) {
    onDialog("Properties", [name](HWND dlg) {
        picture(dlg, name);
        clickButton(dlg, IDCANCEL);
    });
    press(page, IDC_FORM_MORE + line);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: guide_pictures PROGRAM.FWX\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (!win::registerDesignerClasses(instance)) return 1;

    // The window starts its session with a new program: the example is
    // opened into it after.
    DesignerSession session;
    forgetRecoveryCopy();
    HWND terminal = win::createTerminalWindow(instance, session, WS_POPUP);
    if (!IsWindow(terminal)) return 1;
    const std::string program = argv[1];
    if (!openDocument(session.document(), program).ok()) {
        std::fprintf(stderr, "guide_pictures: cannot open %s\n", program.c_str());
        return 1;
    }
    session.restartSimulation();
    ShowWindow(terminal, SW_SHOWNORMAL);
    UpdateWindow(terminal);
    pumpMessages();
    picture(terminal, "designer.bmp");

    const bool shown = withSheet(terminal, editorCaption(session.document().currentFile), [](HWND sheet) {
        HWND form = showTab(sheet, kFormTab);
        picture(sheet, "form-page.bmp");
        pictureOfProperties(form, 0, "field-properties.bmp");
        pictureOfProperties(form, 1, "lookup-field-properties.bmp");
        showTab(sheet, kMenuTab);
        picture(sheet, "menu-page.bmp");
        showTab(sheet, kLookupTab);
        picture(sheet, "lookup-page.bmp");
        showTab(sheet, kBarcodeTab);
        picture(sheet, "barcode-page.bmp");
        showTab(sheet, kSettingsTab);
        picture(sheet, "settings-page.bmp");
        HWND startup = showTab(sheet, kStartupTab);
        choose(startup, IDC_ST_SCREEN, kMsgMainMenu);
        picture(sheet, "startup-page.bmp");
    });
    session.document().model.modified = false;
    DestroyWindow(terminal);
    pumpMessages();
    if (!shown) {
        std::fprintf(stderr, "guide_pictures: the editor did not open\n");
        return 1;
    }
    return 0;
}
