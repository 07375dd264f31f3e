// The Settings page ("SETTINGSDLG"): a table that binds its controls to the
// sheet's SettingsPage.
#include <windows.h>
#include <commctrl.h>

#include "editor/settings_texts.h"
#include "editor/win/dialog_support.h"
#include "editor/win/settings_dialog_ids.h"
#include "editor/win/settings_pages.h"
#include "editor/win/sheet_context.h"
#include "resources/text_ids.h"
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

struct SettingsWindow {
    Binding<SettingsPage> binding;
    SheetContext& context;
};

}  // namespace

bool warningBox(HWND owner, unsigned textId, bool okCancel) {
    const std::string caption = loadText(kTextWarningCaption);
    const std::string body = loadText(textId);
    return MessageBoxA(owner, body.c_str(), caption.c_str(),
                       MB_ICONEXCLAMATION | (okCancel ? MB_OKCANCEL : MB_OK)) == IDOK;
}

INT_PTR CALLBACK settingsPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    SettingsWindow* w = contextOf<SettingsWindow>(dlg);
    switch (msg) {
        case WM_INITDIALOG: {
            SheetContext& context = sheetContextOf(lParam);
            SettingsPage& page = context.sheet.page<SettingsPage>();
            page.setWarningBox([dlg](unsigned id, bool okCancel) { return warningBox(dlg, id, okCancel); });
            w = new SettingsWindow{Binding<SettingsPage>(page, settingsControls()), context};
            attachContext(dlg, w);
            applyPageLanguage(dlg);
            w->binding.show(dlg, true);
            return TRUE;
        }
        case WM_COMMAND: {
            if (!w) return FALSE;
            if (w->binding.command(dlg, wParam)) return TRUE;
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            SettingsPage& page = w->binding.core();
            // The dialogs are modal over the sheet, the page's parent.
            HWND sheet = GetParent(dlg);
            switch (LOWORD(wParam)) {
                case IDC_SET_SECURITY: showSecurityDialog(sheet, w->context.instance, page); break;
                case IDC_SET_ACOUSTIC: showAcousticDialog(sheet, w->context.instance, page); break;
                case IDC_SET_FUNCTION: showFunctionKeyDialog(sheet, w->context.instance, page); break;
                case IDC_SET_RESET: w->binding.apply(dlg, IDC_SET_RESET, page.reset()); return TRUE;
                default: return FALSE;
            }
            w->binding.show(dlg, true);
            return TRUE;
        }
        case WM_NOTIFY:
            return w && sheetNotify(dlg, lParam, w->context) ? TRUE : FALSE;
        case WM_NCDESTROY:
            delete w;
            attachContext<SettingsWindow>(dlg, nullptr);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace fw::win
