// The Startup page ("STARTUPDLG"): a table that binds its controls to the
// sheet's StartupPage.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/text_ids.h"
#include "editor/startup_page.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "editor/win/settings_dialog_ids.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"
#include "model/program_file.h"

namespace fw::win {

namespace {

using S = StartupPage;
using C = Control<StartupPage>;

std::vector<C> startupControls() {
    std::vector<C> t = {
        {IDC_ST_START, ControlKind::List, 0, [](const S& p, int) { return p.startFromState(); },
         [](S& p, int, const ControlInput& in) { return p.chooseStartFrom(in.selection); },
         [](const S&, int) { return startFromList(); }},
        {IDC_ST_COUNT, ControlKind::List, 0, [](const S& p, int) { return p.delimiterCountState(); },
         [](S& p, int, const ControlInput& in) { return p.chooseDelimiterCount(in.selection); },
         [](const S&, int) { return delimiterCountList(); }},
        {IDC_ST_LARGE, ControlKind::Check, 0, [](const S& p, int) { return p.largeFontState(); },
         [](S& p, int, const ControlInput&) { return p.switchLargeFont(); }},
        {IDC_ST_SCREEN, ControlKind::List, 0, [](const S& p, int) { return p.screenState(); },
         [](S& p, int, const ControlInput& in) { return p.chooseScreen(in.selection); },
         [](const S& p, int) { return screenList(p.largeFont()); }},
    };
    for (int pair = 0; pair < 2; ++pair) {
        t.push_back({IDC_ST_ASCII + pair, ControlKind::Box, pair, [](const S& p, int i) { return p.asciiState(i); },
                     [](S& p, int i, const ControlInput& in) { return p.typeAscii(i, in.text); }});
        t.push_back({IDC_ST_TEXT + pair, ControlKind::Box, pair, [](const S& p, int i) { return p.textState(i); },
                     [](S& p, int i, const ControlInput& in) { return p.typeText(i, in.text); }});
        t.push_back({IDC_ST_ASCII_LABEL + pair, ControlKind::Label, pair, [](const S& p, int i) {
                         ControlState s;
                         s.enabled = p.asciiState(i).enabled;
                         return s;
                     }});
        t.push_back({IDC_ST_TEXT_LABEL + pair, ControlKind::Label, pair, [](const S& p, int i) {
                         ControlState s;
                         s.enabled = p.asciiState(i).enabled;
                         return s;
                     }});
    }
    addRows(t, C{IDC_ST_ROW_LABEL, ControlKind::Label, 0, [](const S& p, int r) { return p.rowLabelState(r); }},
            kStartupScreenLines);
    addRows(t,
            C{IDC_ST_ROW, ControlKind::Box, 0, [](const S& p, int r) { return p.rowBoxState(r); },
              [](S& p, int r, const ControlInput& in) { return p.typeRow(r, in.text); }},
            kStartupScreenLines);
    return t;
}

void applyPageLanguage(HWND dlg) {
    using namespace settingstext;
    applyLanguage(dlg, 0,
                  {{IDC_ST_START_LABEL, kStartFrom},
                   {IDC_ST_DELIM_GROUP, kDelimGroup},
                   {IDC_ST_COUNT_LABEL, kDelimCount},
                   {IDC_ST_ASCII_LABEL + 0, kAscii},
                   {IDC_ST_ASCII_LABEL + 1, kAscii},
                   {IDC_ST_TEXT_LABEL + 0, kText},
                   {IDC_ST_TEXT_LABEL + 1, kText},
                   {IDC_ST_LARGE, kLargeFont},
                   {IDC_ST_RESET, kStartReset},
                   {IDC_ST_IMPORT, kImport},
                   {IDC_ST_SCREEN_LABEL, kRedefine}});
}

void initStartup(HWND dlg, PageWindow<StartupPage>& w) {
    w.binding.core().setWarningBox([dlg](unsigned id, bool okCancel) { return showWarning(dlg, id, okCancel); });
    applyPageLanguage(dlg);
}

// Import reads the texts of another program file; Reset asks nothing.
bool startupClicked(HWND dlg, PageWindow<StartupPage>& w, int id) {
    StartupPage& page = w.binding.core();
    if (id == IDC_ST_RESET) {
        page.reset();
        return true;
    }
    if (id != IDC_ST_IMPORT) return false;
    std::string path;
    if (!w.context.chooseImportFile || !w.context.chooseImportFile(GetParent(dlg), path)) return true;
    if (page.importFrom(path).status == LoadStatus::FormatMismatch)
        textBox(dlg, kFormatMismatchMessage, loadText(kTextErrorCaption), MB_OK | MB_ICONWARNING);
    return true;
}

// Another page may have changed a port line or the lookups.
void startupActivated(PageWindow<StartupPage>& w) {
    StartupPage& page = w.binding.core();
    page.chooseScreen(page.selectedScreen());
}

const PageProcedure<StartupPage> kStartupPage{startupControls, initStartup, startupClicked, startupActivated};

}  // namespace

INT_PTR CALLBACK startupPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kStartupPage);
}

}  // namespace fw::win
