// The Startup page ("STARTUPDLG"): a table that binds its controls to the
// sheet's StartupPage.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "editor/settings_texts.h"
#include "editor/startup_page.h"
#include "editor/win/dialog_support.h"
#include "editor/win/settings_dialog_ids.h"
#include "editor/win/settings_pages.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

using S = StartupPage;
using C = Control<StartupPage>;

constexpr unsigned kErrorCaption = 1121;

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

struct StartupWindow {
    Binding<StartupPage> binding;
    SheetContext& context;
};

void importTexts(HWND dlg, StartupWindow& w) {
    std::string path;
    if (!chooseOpenFile(GetParent(dlg), kOpenImport, path)) return;
    const LoadResult r = w.binding.core().importFrom(path);
    if (r.status == LoadStatus::FormatMismatch)
        MessageBoxA(dlg, "Format mismatch !!!", loadText(kErrorCaption).c_str(), MB_OK | MB_ICONWARNING);
    if (r.ok()) w.binding.show(dlg, true);
}

}  // namespace

INT_PTR CALLBACK startupPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    StartupWindow* w = contextOf<StartupWindow>(dlg);
    switch (msg) {
        case WM_INITDIALOG: {
            SheetContext& context = sheetContextOf(lParam);
            StartupPage& page = context.sheet.page<StartupPage>();
            page.setWarningBox([dlg](unsigned id, bool okCancel) { return warningBox(dlg, id, okCancel); });
            w = new StartupWindow{Binding<StartupPage>(page, startupControls()), context};
            attachContext(dlg, w);
            applyPageLanguage(dlg);
            w->binding.show(dlg, true);
            return TRUE;
        }
        case WM_COMMAND:
            if (!w) return FALSE;
            if (w->binding.command(dlg, wParam)) return TRUE;
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == IDC_ST_RESET) {
                w->binding.apply(dlg, IDC_ST_RESET, w->binding.core().reset());
                return TRUE;
            }
            if (LOWORD(wParam) == IDC_ST_IMPORT) {
                importTexts(dlg, *w);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const auto* n = reinterpret_cast<const NMHDR*>(lParam);
            if (n->code == PSN_SETACTIVE && w) {
                // Another page may have changed a port line or the lookups.
                w->binding.core().chooseScreen(w->binding.core().selectedScreen());
                w->binding.show(dlg, true);
                return FALSE;
            }
            if (w && sheetNotify(dlg, lParam, w->context)) return TRUE;
            return FALSE;
        }
        case WM_NCDESTROY:
            delete w;
            attachContext<StartupWindow>(dlg, nullptr);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace fw::win
