// The Preferences dialog: a PreferencesDialogState bound to "PreferencesDlg"
// by a control table. The cradle search runs on a worker thread so that the
// dialog keeps answering (about two seconds a port); its end comes back as
// a posted message.
#include <windows.h>

#include <string>
#include <thread>

#include "comm/win/serial_port_win.h"
#include "ui/win/bound_dialog.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "shell/language.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

using State = PreferencesDialogState;
using Dialog = BoundDialog<State>;

// The worker's notice to the dialog: the search has ended.
constexpr UINT kCradleSearchDone = WM_APP + 40;

// The search beside the dialog. It outlives the dialog's window: the
// thread is joined when its notice arrives, and at the latest when the
// dialog has returned.
struct CradleSearch {
    std::thread worker;
    CradlePort found;
};

std::vector<Control<State>> preferencesControls() {
    return {
        {IDC_PREF_DOWNLOAD_VIA, ControlKind::List, 0,
         [](const State& s, int) { return selectedState(s.downloadVia()); },
         [](State& s, int, const ControlInput& in) {
             s.selectDownloadVia(in.selection);
             return ControlReply::states();
         },
         [](const State&, int) { return linkEntries(); }},
        {IDC_PREF_RECEIVE_VIA, ControlKind::List, 0,
         [](const State& s, int) { return selectedState(s.receiveVia()); },
         [](State& s, int, const ControlInput& in) {
             s.selectReceiveVia(in.selection);
             return ControlReply::states();
         },
         [](const State&, int) { return linkEntries(); }},
        {IDC_PREF_PORT, ControlKind::List, 0,
         [](const State& s, int) { return selectedState(s.portSelection(), s.portListEnabled()); },
         [](State& s, int, const ControlInput& in) {
             s.selectPort(in.selection);
             return ControlReply::states();
         },
         [](const State& s, int) { return s.portEntries(); }},
        {IDC_PREF_BAUD, ControlKind::List, 0, [](const State& s, int) { return selectedState(s.baudRate()); },
         [](State& s, int, const ControlInput& in) {
             s.selectBaudRate(in.selection);
             return ControlReply::states();
         },
         [](const State&, int) { return baudRateEntries(); }},
        {IDC_PREF_AUTO_PRELOAD, ControlKind::Check, 0, [](const State& s, int) { return checkedState(s.autoPreload()); },
         [](State& s, int, const ControlInput& in) {
             s.setAutoPreload(in.checked);
             return ControlReply::states();
         }},
        {IDC_PREF_ALWAYS_ON_TOP, ControlKind::Check, 0,
         [](const State& s, int) { return checkedState(s.alwaysOnTop()); },
         [](State& s, int, const ControlInput& in) {
             s.setAlwaysOnTop(in.checked);
             return ControlReply::states();
         }},
        {IDC_PREF_LANGUAGE, ControlKind::List, 0,
         [](const State& s, int) { return selectedState(s.languageSelection(), s.languageListEnabled()); },
         [](State& s, int, const ControlInput& in) {
             s.selectLanguage(in.selection);
             return ControlReply::states();
         },
         [](const State& s, int) { return s.languageEntries(); }},
        {IDC_PREF_LANGUAGE_LABEL, ControlKind::Label, 0,
         [](const State& s, int) { return enabledState(s.languageListEnabled()); }},
        {IDC_PREF_DETECT_CRADLE, ControlKind::Button, 0,
         [](const State& s, int) { return enabledState(s.detectCradleEnabled()); }},
        {IDOK, ControlKind::Button, 0, [](const State& s, int) { return enabledState(s.okEnabled()); }},
    };
}

void initPreferences(HWND dlg, State&) {
    applyLanguage(dlg, preferencestext::kTitle,
                  {{IDC_PREF_DOWNLOAD_LABEL, preferencestext::kDownloadVia},
                   {IDC_PREF_RECEIVE_LABEL, preferencestext::kReceiveVia},
                   {IDC_PREF_PORT_LABEL, preferencestext::kComPort},
                   {IDC_PREF_BAUD_LABEL, preferencestext::kBaudRate},
                   {IDC_PREF_AUTO_PRELOAD, preferencestext::kAutoPreload},
                   {IDC_PREF_ALWAYS_ON_TOP, preferencestext::kAlwaysOnTop},
                   {IDC_PREF_LANGUAGE_LABEL, preferencestext::kLanguage},
                   {IDC_PREF_DETECT_CRADLE, preferencestext::kDetectCradle}});
}

void startCradleSearch(HWND dlg, Dialog& d) {
    auto& search = *static_cast<CradleSearch*>(d.extra);
    if (search.worker.joinable()) return;
    d.binding.core().cradleSearchStarted();
    d.binding.show(dlg, false);
    search.worker = std::thread([dlg, &search] {
        WinSerialSystem system;
        search.found = searchCradle(system);
        PostMessageW(dlg, kCradleSearchDone, 0, 0);
    });
}

void cradleSearchDone(HWND dlg, Dialog& d) {
    auto& search = *static_cast<CradleSearch*>(d.extra);
    if (search.worker.joinable()) search.worker.join();
    State& s = d.binding.core();
    const CradleSearchReport report = s.cradleSearchEnded(search.found.index, search.found.name);
    if (report.closeDialog) {
        EndDialog(dlg, IDCANCEL);
        return;
    }
    // The box first, over the controls as they were during the search.
    textBox(dlg, report.text, kDetectingResultCaption, MB_OK | (report.found ? MB_ICONINFORMATION : MB_ICONWARNING));
    d.binding.show(dlg, false);
}

bool preferencesMessage(HWND dlg, UINT msg, WPARAM wParam, LPARAM, Dialog& d, INT_PTR& result) {
    State& s = d.binding.core();
    switch (msg) {
        case kCradleSearchDone:
            cradleSearchDone(dlg, d);
            result = TRUE;
            return true;
        case WM_SETCURSOR:
            // Busy, yet everything answers.
            if (!s.searching()) return false;
            SetCursor(LoadCursor(nullptr, IDC_APPSTARTING));
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, TRUE);
            result = TRUE;
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDC_PREF_DETECT_CRADLE && HIWORD(wParam) == BN_CLICKED) {
                if (s.detectCradleEnabled()) startCradleSearch(dlg, d);
                result = TRUE;
                return true;
            }
            if ((id == IDOK || id == IDCANCEL) && !s.mayEnd(id == IDCANCEL)) {
                result = TRUE;
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace

bool runPreferencesDialog(HWND owner, HINSTANCE instance, PreferencesDialogState& state) {
    CradleSearch search;
    Dialog dialog{Binding<State>(state, preferencesControls()), initPreferences, preferencesMessage, &search};
    const INT_PTR answer = runBoundDialog(owner, instance, "PreferencesDlg", dialog);
    if (search.worker.joinable()) search.worker.join();
    return answer == IDOK;
}

}  // namespace fw::win
