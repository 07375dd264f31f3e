// The Settings page ("SETTINGSDLG"): a table that binds its controls to the
// sheet's SettingsPage.
#include <windows.h>
#include <commctrl.h>

#include "resources/text_ids.h"
#include "ui/win/dialog_support.h"
#include "editor/win/settings_dialog_ids.h"
#include "editor/win/settings_dialogs.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"

#include <utility>

namespace fw::win {

namespace {

using C = Control<SettingsPage>;
using P = SettingsPage;

ListEntries entriesOf(const P&, int field) {
    switch (field) {
    case P::ModemSpeed:
    case P::BaudRate: return speedList();
    case P::Backlight: return backlightList();
    case P::DataDeletion: return dataDeletionList();
    case P::EntryOption: return entryOptionList();
    case P::KeyClick: return keyClickList();
    default: return beepList();
    }
}

std::vector<C> settingsControls() {
    std::vector<C> t = {
        {IDC_SET_UPLOAD, ControlKind::List, 0, [](const P& p, int) { return p.uploadPortState(); },
         [](P& p, int, const ControlInput& in) { return p.chooseUploadPort(in.selection); },
         [](const P&, int) { return uploadPortList(); }},
        {IDC_SET_DOWNLOAD, ControlKind::List, 0, [](const P& p, int) { return p.downloadPortState(); },
         [](P& p, int, const ControlInput& in) { return p.chooseDownloadPort(in.selection); },
         [](const P&, int) { return downloadPortList(); }},
        {IDC_SET_UPLOAD_PHONE, ControlKind::Box, 0, [](const P& p, int) { return p.uploadPhoneState(); },
         [](P& p, int, const ControlInput& in) { return p.typeUploadPhone(in.text); }},
        {IDC_SET_UPLOAD_ICON, ControlKind::Label, 0,
         [](const P& p, int) {
             ControlState s;
             s.enabled = p.uploadPhoneState().enabled;
             return s;
         }},
        {IDC_SET_DOWNLOAD_PHONE, ControlKind::Box, 0, [](const P& p, int) { return p.downloadPhoneState(); },
         [](P& p, int, const ControlInput& in) { return p.typeDownloadPhone(in.text); }},
        {IDC_SET_DOWNLOAD_ICON, ControlKind::Label, 0,
         [](const P& p, int) {
             ControlState s;
             s.enabled = p.downloadPhoneState().enabled;
             return s;
         }},
        {IDC_SET_IDLE, ControlKind::Box, 0, [](const P& p, int) { return p.idleState(); },
         [](P& p, int, const ControlInput& in) { return p.typeIdle(in.text); }},
        {IDC_SET_STAY, ControlKind::Check, 0, [](const P& p, int) { return p.stayState(); },
         [](P& p, int, const ControlInput& in) { return in.checked ? p.chooseStay() : ControlReply::states(); }},
        {IDC_SET_PRESS_KEY, ControlKind::Check, 0, [](const P& p, int) { return p.pressAnyKeyState(); },
         [](P& p, int, const ControlInput& in) {
             return in.checked ? p.choosePressAnyKey() : ControlReply::states();
         }},
        {IDC_SET_DURATION, ControlKind::Box, 0, [](const P& p, int) { return p.durationState(); },
         [](P& p, int, const ControlInput& in) { return p.typeDuration(in.text); }},
    };
    // The other lists store their index; the field is the row's index.
    const std::pair<int, int> lists[] = {
        {IDC_SET_MODEM, P::ModemSpeed},     {IDC_SET_BAUD, P::BaudRate},     {IDC_SET_BACKLIGHT, P::Backlight},
        {IDC_SET_DELETION, P::DataDeletion}, {IDC_SET_ENTRY, P::EntryOption}, {IDC_SET_CLICK, P::KeyClick},
        {IDC_SET_GOODREAD, P::GoodReadBeep}, {IDC_SET_WARNING, P::WarningBeep},
    };
    for (const auto& [id, field] : lists)
        t.push_back({id, ControlKind::List, field, [](const P& p, int f) { return p.listState(f); },
                     [](P& p, int f, const ControlInput& in) { return p.chooseList(f, in.selection); }, entriesOf});
    return t;
}

void applyPageLanguage(HWND dlg) {
    using namespace settingstext;
    applyLanguage(dlg, 0,
                  {{IDC_SET_GROUP, kGroup},
                   {IDC_SET_UPLOAD_LABEL, kUpload},
                   {IDC_SET_DOWNLOAD_LABEL, kDownload},
                   {IDC_SET_MODEM_LABEL, kModemSpeed},
                   {IDC_SET_BAUD_LABEL, kBaudRate},
                   {IDC_SET_BACKLIGHT_LABEL, kBacklight},
                   {IDC_SET_IDLE_LABEL, kIdle},
                   {IDC_SET_IDLE_UNIT, kIdleUnit},
                   {IDC_SET_DELETION_LABEL, kDeletion},
                   {IDC_SET_ENTRY_LABEL, kEntry},
                   {IDC_SET_STAY, kStay},
                   {IDC_SET_PRESS_KEY, kPressKey},
                   {IDC_SET_DURATION_UNIT, kDurationUnit},
                   {IDC_SET_CLICK_LABEL, kKeyClick},
                   {IDC_SET_GOODREAD_LABEL, kGoodRead},
                   {IDC_SET_WARNING_LABEL, kWarningBeep},
                   {IDC_SET_SECURITY, kSecurity},
                   {IDC_SET_ACOUSTIC, kAcoustic},
                   {IDC_SET_FUNCTION, kFunctionKey},
                   {IDC_SET_RESET, kReset}});
}

void initSettings(HWND dlg, PageWindow<SettingsPage>& w) {
    w.binding.core().setWarningBox([dlg](unsigned id, bool okCancel) { return showWarning(dlg, id, okCancel); });
    applyPageLanguage(dlg);
}

// The dialogs are modal over the sheet, the page's parent; each hands its
// copy back to the page at its own OK. Reset asks nothing.
bool settingsClicked(HWND dlg, PageWindow<SettingsPage>& w, int id) {
    SettingsPage& page = w.binding.core();
    HWND sheet = GetParent(dlg);
    switch (id) {
        case IDC_SET_SECURITY: showSecurityDialog(sheet, w.context.instance, page); return true;
        case IDC_SET_ACOUSTIC: showAcousticDialog(sheet, w.context.instance, page); return true;
        case IDC_SET_FUNCTION: showFunctionKeyDialog(sheet, w.context.instance, page); return true;
        case IDC_SET_RESET: page.reset(); return true;
        default: return false;
    }
}

const PageProcedure<SettingsPage> kSettingsPage{settingsControls, initSettings, settingsClicked, nullptr};

}  // namespace

INT_PTR CALLBACK settingsPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kSettingsPage);
}

}  // namespace fw::win
