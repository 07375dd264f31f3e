// The Preferences dialog: copies between its controls and a
// PreferencesDialogState, which holds every rule.
#include <windows.h>

#include "comm/win/serial_port_win.h"
#include "model/program_file.h"
#include "resources/resource_ids.h"
#include "shell/captions.h"
#include "shell/language.h"
#include "shell/preferences_dialog_state.h"
#include "shell/settings_file.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

// The control that shows each label; 0 is the dialog's own caption.
struct LabelControl {
    PreferencesLabel label;
    int control;
};
const LabelControl kLabelControls[] = {
    {PreferencesLabel::title, 0},
    {PreferencesLabel::downloadVia, IDC_PREF_DOWNLOAD_LABEL},
    {PreferencesLabel::receiveVia, IDC_PREF_RECEIVE_LABEL},
    {PreferencesLabel::comPort, IDC_PREF_PORT_LABEL},
    {PreferencesLabel::baudRate, IDC_PREF_BAUD_LABEL},
    {PreferencesLabel::autoPreload, IDC_PREF_AUTO_PRELOAD},
    {PreferencesLabel::alwaysOnTop, IDC_PREF_ALWAYS_ON_TOP},
    {PreferencesLabel::language, IDC_PREF_LANGUAGE_LABEL},
    {PreferencesLabel::detectCradle, IDC_PREF_DETECT_CRADLE},
    {PreferencesLabel::ok, IDOK},
    {PreferencesLabel::cancel, IDCANCEL},
};


PreferencesDialogState* stateOf(HWND dlg) {
    return reinterpret_cast<PreferencesDialogState*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

void applyLanguage(HWND dlg) {
    for (const PreferencesLabelText& t : kPreferencesLabelTexts) {
        std::string caption = languageCaption(t.textId);
        if (caption.empty()) continue;
        for (const LabelControl& c : kLabelControls) {
            if (c.label != t.label) continue;
            SetWindowTextA(c.control ? GetDlgItem(dlg, c.control) : dlg, caption.c_str());
        }
    }
}

void fillList(HWND dlg, int control, const std::vector<std::string>& entries, int selected) {
    HWND list = GetDlgItem(dlg, control);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int selectionOf(HWND dlg, int control) {
    return static_cast<int>(SendDlgItemMessageA(dlg, control, CB_GETCURSEL, 0, 0));
}

bool checked(HWND dlg, int control) {
    return IsDlgButtonChecked(dlg, control) == BST_CHECKED;
}

void readControls(HWND dlg, PreferencesDialogState& s) {
    s.selectDownloadVia(selectionOf(dlg, IDC_PREF_DOWNLOAD_VIA));
    s.selectReceiveVia(selectionOf(dlg, IDC_PREF_RECEIVE_VIA));
    s.selectPort(selectionOf(dlg, IDC_PREF_PORT));
    s.selectBaudRate(selectionOf(dlg, IDC_PREF_BAUD));
    s.selectLanguage(selectionOf(dlg, IDC_PREF_LANGUAGE));
    s.setAutoPreload(checked(dlg, IDC_PREF_AUTO_PRELOAD));
    s.setAlwaysOnTop(checked(dlg, IDC_PREF_ALWAYS_ON_TOP));
}

void applyState(HWND dlg, const PreferencesDialogState& s) {
    EnableWindow(GetDlgItem(dlg, IDC_PREF_DETECT_CRADLE), s.detectCradleEnabled());
}

BOOL initDialog(HWND dlg, PreferencesDialogState& s) {
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&s));
    applyLanguage(dlg);
    fillList(dlg, IDC_PREF_DOWNLOAD_VIA, linkEntries(), s.downloadVia());
    fillList(dlg, IDC_PREF_RECEIVE_VIA, linkEntries(), s.receiveVia());
    if (!s.hasPorts()) {
        messageBoxById(kTextErrorCaption, static_cast<unsigned>(kNoComPortDevice), MB_OK | MB_ICONWARNING);
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    fillList(dlg, IDC_PREF_PORT, s.portEntries(), s.portSelection());
    fillList(dlg, IDC_PREF_BAUD, baudRateEntries(), s.baudRate());
    CheckDlgButton(dlg, IDC_PREF_AUTO_PRELOAD, s.autoPreload() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PREF_ALWAYS_ON_TOP, s.alwaysOnTop() ? BST_CHECKED : BST_UNCHECKED);
    fillList(dlg, IDC_PREF_LANGUAGE, s.languageEntries(), s.languageSelection());
    EnableWindow(GetDlgItem(dlg, IDC_PREF_LANGUAGE), s.languageListEnabled());
    EnableWindow(GetDlgItem(dlg, IDC_PREF_LANGUAGE_LABEL), s.languageListEnabled());
    applyState(dlg, s);
    return TRUE;
}

void detectCradle(HWND dlg, PreferencesDialogState& s) {
    HWND button = GetDlgItem(dlg, IDC_PREF_DETECT_CRADLE);
    EnableWindow(button, FALSE);
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    std::string name;
    int index = searchCradlePort(name);
    CradleSearchReport report = s.cradleSearchEnded(index, name);
    MessageBoxA(dlg, report.text.c_str(), kDetectingResultCaption,
                MB_OK | (report.found ? MB_ICONINFORMATION : MB_ICONWARNING));
    if (report.found) SendDlgItemMessageA(dlg, IDC_PREF_PORT, CB_SETCURSEL, static_cast<WPARAM>(s.portSelection()), 0);
    SetCursor(previous);
    applyState(dlg, s);
}

}  // namespace

INT_PTR CALLBACK preferencesDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return initDialog(dlg, *reinterpret_cast<PreferencesDialogState*>(lParam));
    if (msg != WM_COMMAND) return FALSE;
    PreferencesDialogState* s = stateOf(dlg);
    if (!s) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
        case IDC_PREF_DOWNLOAD_VIA:
        case IDC_PREF_RECEIVE_VIA:
        case IDC_PREF_PORT:
        case IDC_PREF_BAUD:
        case IDC_PREF_LANGUAGE:
            if (code != CBN_SELCHANGE) return FALSE;
            readControls(dlg, *s);
            applyState(dlg, *s);
            return TRUE;
        case IDC_PREF_AUTO_PRELOAD:
        case IDC_PREF_ALWAYS_ON_TOP:
            readControls(dlg, *s);
            return TRUE;
        case IDC_PREF_DETECT_CRADLE:
            if (code == BN_CLICKED) detectCradle(dlg, *s);
            return TRUE;
        case IDOK:
            readControls(dlg, *s);
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

bool openPreferences(HWND owner) {
    Designer& d = designer();
    // Another instance may have changed the settings since they were read.
    readSettings(d.doc.settingsFile, d.doc.prefs);
    refreshRecentFiles();
    WinSerialSystem system;
    PreferencesDialogState state(d.doc.prefs, listSerialPorts(system), languageList());
    if (DialogBoxParamA(d.instance, "PreferencesDlg", owner, preferencesDialogProc,
                        reinterpret_cast<LPARAM>(&state)) != IDOK) {
        return false;
    }
    d.doc.prefs = state.accepted();
    writeSettings(d.doc.settingsFile, d.doc.prefs);
    loadLanguage(d.doc.prefs.language);
    loadDefaultTexts(d.doc.defaults);
    buildPopupMenu();
    return true;
}

}  // namespace fw::win
