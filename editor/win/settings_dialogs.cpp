// The Settings page's dialogs: "SECURITYDLG", "FUNCTIONKEYDLG" and
// "ACSETTINGSDLG", each bound to its core object.
#include <windows.h>
#include <commctrl.h>

#include "editor/acoustic_dialog.h"
#include "editor/function_key_dialog.h"
#include "editor/security_dialog.h"
#include "resources/text_ids.h"
#include "ui/win/bound_dialog.h"
#include "ui/win/dialog_support.h"
#include "editor/win/grid_dialogs.h"
#include "editor/win/settings_dialog_ids.h"
#include "editor/win/settings_dialogs.h"

namespace fw::win {

namespace {

// ---- Security ----

std::vector<Control<SecurityDialog>> securityControls() {
    using S = SecurityDialog;
    std::vector<Control<S>> t = {
        {IDC_SEC_PASSWORD, ControlKind::Box, 0, [](const S& d, int) { return d.passwordState(); },
         [](S& d, int, const ControlInput& in) { return d.typePassword(in.text); }},
    };
    addRows(t,
            Control<S>{IDC_SEC_ITEM, ControlKind::Check, 0, [](const S& d, int i) { return d.itemState(i); },
                       [](S& d, int i, const ControlInput& in) { return d.tick(i, in.checked); }},
            kSecurityItemCount);
    return t;
}

void initSecurity(HWND dlg, SecurityDialog& d) {
    using namespace settingstext;
    d.setWarningBox([dlg](unsigned id, bool okCancel) { return showWarning(dlg, id, okCancel); });
    applyLanguage(dlg, kSecurityTitle,
                  {{IDC_SEC_GROUP, kSecurityGroup},   {IDC_SEC_PASSWORD_LABEL, kPassword},
                   {IDC_SEC_ITEM + 0, kItemFirst + 0}, {IDC_SEC_ITEM + 1, kItemFirst + 1},
                   {IDC_SEC_ITEM + 2, kItemFirst + 2}, {IDC_SEC_ITEM + 3, kItemFirst + 3},
                   {IDC_SEC_ITEM + 4, kItemFirst + 4}, {IDC_SEC_ITEM + 5, kItemFirst + 5},
                   {IDC_SEC_ITEM + 6, kItemFirst + 6}, {IDC_SEC_ITEM + 7, kItemFirst + 7},
                   {IDC_SEC_ITEM + 8, kItemFirst + 8}, {IDC_SEC_ITEM + 9, kItemFirst + 9},
                   {IDC_SEC_ITEM + 10, kItemFirst + 10}, {IDC_SEC_ITEM + 11, kItemFirst + 11},
                   {IDC_SEC_ITEM + 12, kBeepFirst + 0}, {IDC_SEC_ITEM + 13, kBeepFirst + 1},
                   {IDC_SEC_ITEM + 14, kBeepFirst + 2}});
}

// ---- Function keys ----

std::vector<Control<FunctionKeyDialog>> functionKeyControls() {
    using F = FunctionKeyDialog;
    std::vector<Control<F>> t = {
        {IDC_FK_ENABLE, ControlKind::Check, 0, [](const F& d, int) { return d.enableState(); },
         [](F& d, int, const ControlInput& in) { return d.toggle(in.checked); }},
    };
    addRows(t,
            Control<F>{IDC_FK_KEY, ControlKind::List, 0, [](const F& d, int k) { return d.keyState(k); },
                       [](F& d, int k, const ControlInput& in) { return d.chooseKey(k, in.selection); },
                       [](const F&, int) { return functionActionList(); }},
            kFunctionKeys);
    addRows(t,
            Control<F>{IDC_FK_LABEL, ControlKind::Label, 0, [](const F& d, int k) {
                           ControlState s;
                           s.enabled = d.keyState(k).enabled;
                           return s;
                       }},
            kFunctionKeys);
    return t;
}

void initFunctionKeys(HWND dlg, FunctionKeyDialog&) {
    using namespace settingstext;
    applyLanguage(dlg, kFkTitle,
                  {{IDC_FK_ENABLE, kFkEnable},
                   {IDC_FK_LABEL + 0, kFkLabelFirst + 0},
                   {IDC_FK_LABEL + 1, kFkLabelFirst + 1},
                   {IDC_FK_LABEL + 2, kFkLabelFirst + 2},
                   {IDC_FK_LABEL + 3, kFkLabelFirst + 3},
                   {IDC_FK_LABEL + 4, kFkLabelFirst + 4},
                   {IDC_FK_LABEL + 5, kFkLabelFirst + 5},
                   {IDC_FK_LABEL + 6, kFkLabelFirst + 6}});
}

// ---- Acoustic coupler ----

std::vector<Control<AcousticDialog>> acousticControls() {
    using A = AcousticDialog;
    std::vector<Control<A>> t = {
        {IDC_AC_TONE, ControlKind::Box, 0, [](const A& d, int) { return d.toneState(); },
         [](A& d, int, const ControlInput& in) { return d.typeTone(in.text); }},
        {IDC_AC_CONTROL, ControlKind::Check, 0, [](const A& d, int) { return d.controlCharsState(); },
         [](A& d, int, const ControlInput& in) { return d.toggleControlChars(in.checked); }},
        {IDC_AC_BLOCK, ControlKind::Check, 0, [](const A& d, int) { return d.blockModeState(); },
         [](A& d, int, const ControlInput& in) { return d.toggleBlockMode(in.checked); }},
        {IDC_AC_CHECK, ControlKind::Check, 0, [](const A& d, int) { return d.blockCheckState(); },
         [](A& d, int, const ControlInput& in) { return d.toggleBlockCheck(in.checked); }},
    };
    const std::pair<int, int> lists[] = {
        {IDC_AC_DATABITS, A::DataBits}, {IDC_AC_STOPBITS, A::StopBits}, {IDC_AC_PARITY, A::Parity},
        {IDC_AC_VOLUME, A::Volume},     {IDC_AC_SIZE, A::BlockSize},    {IDC_AC_DELAY, A::BlockDelay},
    };
    for (const auto& [id, field] : lists)
        t.push_back({id, ControlKind::List, field, [](const A& d, int f) { return d.listState(f); },
                     [](A& d, int f, const ControlInput& in) { return d.chooseList(f, in.selection); },
                     [](const A&, int f) { return A::entries(f); }});
    const std::pair<int, int> boxes[] = {
        {IDC_AC_STX, A::StartOfText}, {IDC_AC_ETX, A::EndOfText}, {IDC_AC_PAD, A::PadChar}, {IDC_AC_EOB, A::EndOfBlock}};
    for (const auto& [id, box] : boxes)
        t.push_back({id, ControlKind::Grid, box, [](const A& d, int b) { return d.charBoxState(b); }});
    const std::pair<int, int> labels[] = {{IDC_AC_STX_LABEL, A::StartOfText},
                                          {IDC_AC_ETX_LABEL, A::EndOfText},
                                          {IDC_AC_PAD_LABEL, A::PadChar},
                                          {IDC_AC_EOB_LABEL, A::EndOfBlock},
                                          {IDC_AC_SIZE_LABEL, A::PadChar},
                                          {IDC_AC_DELAY_LABEL, A::PadChar}};
    for (const auto& [id, box] : labels)
        t.push_back({id, ControlKind::Label, box, [](const A& d, int b) {
                         ControlState s;
                         s.enabled = d.charBoxState(b).enabled;
                         return s;
                     }});
    return t;
}

void initAcoustic(HWND dlg, AcousticDialog& d) {
    using namespace settingstext;
    applyLanguage(dlg, kAcTitle,
                  {{IDC_AC_DATABITS_LABEL, kAcDataBits}, {IDC_AC_STOPBITS_LABEL, kAcStopBits},
                   {IDC_AC_PARITY_LABEL, kAcParity},     {IDC_AC_TONE_LABEL, kAcTone},
                   {IDC_AC_TONE_UNIT, kAcToneUnit},      {IDC_AC_CONTROL, kAcControl},
                   {IDC_AC_STX_LABEL, kAcStx},           {IDC_AC_ETX_LABEL, kAcEtx},
                   {IDC_AC_BLOCK_GROUP, kAcBlockGroup},  {IDC_AC_BLOCK, kAcBlock},
                   {IDC_AC_SIZE_LABEL, kAcSize},         {IDC_AC_DELAY_LABEL, kAcDelay},
                   {IDC_AC_PAD_LABEL, kAcPad},           {IDC_AC_EOB_LABEL, kAcEob},
                   {IDC_AC_CHECK, kAcCheck},             {IDC_AC_VOLUME_LABEL, kAcVolume}});
    SendDlgItemMessageW(dlg, IDC_AC_TONE_SPIN, UDM_SETRANGE32, kMinToneLength, kMaxToneLength);
    attachGridBox(GetDlgItem(dlg, IDC_AC_STX), &d.charBox(AcousticDialog::StartOfText));
    attachGridBox(GetDlgItem(dlg, IDC_AC_ETX), &d.charBox(AcousticDialog::EndOfText));
    attachGridBox(GetDlgItem(dlg, IDC_AC_PAD), &d.charBox(AcousticDialog::PadChar));
    attachGridBox(GetDlgItem(dlg, IDC_AC_EOB), &d.charBox(AcousticDialog::EndOfBlock));
}

}  // namespace

INT_PTR showSecurityDialog(HWND owner, HINSTANCE instance, SettingsPage& page) {
    SecurityDialog d(page.settings());
    const INT_PTR r = runBoundDialog(owner, instance, "SECURITYDLG", d, securityControls(), initSecurity);
    if (r == IDOK) page.takeFromDialog(d.ok());
    return r;
}

INT_PTR showFunctionKeyDialog(HWND owner, HINSTANCE instance, SettingsPage& page) {
    FunctionKeyDialog d(page.settings());
    const INT_PTR r = runBoundDialog(owner, instance, "FUNCTIONKEYDLG", d, functionKeyControls(), initFunctionKeys);
    if (r == IDOK) page.takeFromDialog(d.ok());
    return r;
}

INT_PTR showAcousticDialog(HWND owner, HINSTANCE instance, SettingsPage& page) {
    AcousticDialog d(page.settings());
    const INT_PTR r = runBoundDialog(owner, instance, "ACSETTINGSDLG", d, acousticControls(), initAcoustic);
    if (r == IDOK) page.takeFromDialog(d.ok());
    return r;
}

}  // namespace fw::win
