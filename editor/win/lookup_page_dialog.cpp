// The Lookup page ("LOOKUPDLG") of the editor sheet: a table that binds the
// controls to LookupPage.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "editor/editor_sheet.h"
#include "editor/lookup_page.h"
#include "resources/text_ids.h"
#include "ui/win/accessible_name.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "editor/win/lookup_dialog_ids.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"

namespace fw::win {

namespace {

using LookupControl = Control<LookupPage>;

// An event whose refusal is told in a "Warning" box before the window
// shows the stored value again.
ControlReply warnAndReply(const LookupReply& r) {
    ControlReply reply = r.reply;
    reply.warning = warningTextId(r.warning);
    return reply;
}

std::vector<LookupControl> lookupControls() {
    std::vector<LookupControl> t = {
        {IDC_LOOKUP_NAME, ControlKind::List, 0, [](const LookupPage& p, int) { return p.nameState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.chooseLookup(in.selection); },
         [](const LookupPage&, int) { return ListEntries(lookupNameList()); }},
        {IDC_LOOKUP_MEMBER_LENGTH, ControlKind::Box, 0, [](const LookupPage& p, int) { return p.memberLengthState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.typeMemberLength(in.text); }},
        {IDC_LOOKUP_MEMBER_LABEL, ControlKind::Label, 0,
         [](const LookupPage& p, int) { return labelOf(p.memberLengthState()); }},
        {IDC_LOOKUP_FIELD_COUNT, ControlKind::List, 0, [](const LookupPage& p, int) { return p.fieldCountState(); },
         [](LookupPage& p, int, const ControlInput& in) { return warnAndReply(p.chooseFieldCount(in.selection)); },
         [](const LookupPage&, int) { return ListEntries(fieldCountList()); }},
        {IDC_LOOKUP_FIXED, ControlKind::Check, 0, [](const LookupPage& p, int) { return p.fixedLengthState(); },
         [](LookupPage& p, int, const ControlInput&) { return p.chooseFixedLength(); }},
        {IDC_LOOKUP_DELIMITED, ControlKind::Check, 0, [](const LookupPage& p, int) { return p.delimitedState(); },
         [](LookupPage& p, int, const ControlInput&) { return warnAndReply(p.chooseDelimited()); }},
        {IDC_LOOKUP_DELIMITER, ControlKind::Box, 0, [](const LookupPage& p, int) { return p.delimiterState(); },
         [](LookupPage& p, int, const ControlInput& in) { return warnAndReply(p.typeDelimiter(in.text)); },
         nullptr, [](LookupPage& p, int, const ControlInput&) { return warnAndReply(p.leaveDelimiter()); }},
        {IDC_LOOKUP_READ_ONCE, ControlKind::Check, 0, [](const LookupPage& p, int) { return p.readOnceState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.checkReadOnce(in.checked); }},
        {IDC_LOOKUP_UPLOADABLE, ControlKind::Check, 0, [](const LookupPage& p, int) { return p.uploadableState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.checkUploadable(in.checked); }},
        {IDC_LOOKUP_NO_MATCH, ControlKind::List, 0, [](const LookupPage& p, int) { return p.noMatchState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.chooseNoMatchAction(in.selection); },
         [](const LookupPage& p, int) { return ListEntries(p.noMatchEntries()); }},
        {IDC_LOOKUP_BAD_FORMAT, ControlKind::List, 0, [](const LookupPage& p, int) { return p.badFormatState(); },
         [](LookupPage& p, int, const ControlInput& in) { return p.chooseBadFormatAction(in.selection); },
         [](const LookupPage&, int) { return ListEntries(badFormatActionList()); }},
        {IDC_LOOKUP_HEAD_LENGTH, ControlKind::Label, 0,
         [](const LookupPage& p, int) {
             ControlState s;
             s.text = p.lengthHeading() == LengthHeading::MaxLength
                          ? captionText(lookuptext::kMaxLength, "Max Length")
                          : captionText(lookuptext::kLength, "   Length");
             return s;
         }},
        {IDC_LOOKUP_RESET, ControlKind::Button, 0, nullptr,
         [](LookupPage& p, int, const ControlInput&) { return p.reset(); }},
    };
    addRows(t,
            LookupControl{IDC_LOOKUP_ROW_LABEL, ControlKind::Label, 0,
                          [](const LookupPage& p, int k) { return labelOf(p.lengthState(k)); }},
            kFieldsPerLookup);
    addRows(t,
            LookupControl{IDC_LOOKUP_OFFSET, ControlKind::Box, 0,
                          [](const LookupPage& p, int k) { return p.offsetState(k); },
                          [](LookupPage& p, int k, const ControlInput& in) { return p.typeOffset(k, in.text); }},
            kFieldsPerLookup);
    addRows(t,
            LookupControl{IDC_LOOKUP_LENGTH, ControlKind::Box, 0,
                          [](const LookupPage& p, int k) { return p.lengthState(k); },
                          [](LookupPage& p, int k, const ControlInput& in) {
                              return warnAndReply(p.typeLength(k, in.text));
                          }},
            kFieldsPerLookup);
    addRows(t,
            LookupControl{IDC_LOOKUP_KEY, ControlKind::Check, 0,
                          [](const LookupPage& p, int k) { return p.keyFieldState(k); },
                          [](LookupPage& p, int k, const ControlInput&) { return p.chooseKeyField(k); }},
            kFieldsPerLookup);
    return t;
}

void applyLookupLanguage(HWND dlg, PageWindow<LookupPage>&) {
    using namespace lookuptext;
    applyLanguage(dlg, 0,
                  {{IDC_LOOKUP_NAME_LABEL, kName},         {IDC_LOOKUP_MEMBER_LABEL, kMemberLength},
                   {IDC_LOOKUP_COUNT_LABEL, kFieldCount},  {IDC_LOOKUP_GROUP, kFieldProperty},
                   {IDC_LOOKUP_FIXED, kFixedLength},       {IDC_LOOKUP_DELIMITED, kDelimiter},
                   {IDC_LOOKUP_READ_ONCE, kReadOnce},      {IDC_LOOKUP_UPLOADABLE, kUploadable},
                   {IDC_LOOKUP_NO_MATCH_LABEL, kNoMatch},  {IDC_LOOKUP_BAD_FORMAT_LABEL, kBadFormat},
                   {IDC_LOOKUP_HEAD_FIELD, kField},        {IDC_LOOKUP_HEAD_OFFSET, kOffset},
                   {IDC_LOOKUP_HEAD_KEY, kKeyField},       {IDC_LOOKUP_RESET, kReset}});
    // The key-field radios have no caption of their own: a screen reader
    // hears the column's heading and the field's number.
    const std::string keyField = captionText(kKeyField, "Key field");
    for (int k = 0; k < kFieldsPerLookup; ++k)
        setAccessibleName(GetDlgItem(dlg, IDC_LOOKUP_KEY + k), wideFromText(keyField + " #" + std::to_string(k + 1)));
}

const PageProcedure<LookupPage> kLookupPage{lookupControls, applyLookupLanguage, nullptr, nullptr};

}  // namespace

INT_PTR CALLBACK lookupPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kLookupPage);
}

}  // namespace fw::win
