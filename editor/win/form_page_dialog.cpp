// The Form page ("FORMDLG") of the editor sheet: a table that binds its
// controls to the sheet's FormPage.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "editor/form_lists.h"
#include "resources/text_ids.h"
#include "ui/win/accessible_name.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "editor/win/form_dialog_ids.h"
#include "editor/win/form_dialogs.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"
#include "texts/language_texts.h"

namespace fw::win {

namespace {

using C = Control<FormPage>;

std::vector<C> formPageControls() {
    std::vector<C> t = {
        {IDC_FORM_NAME, ControlKind::List, 0, [](const FormPage& p, int) { return selectedState(p.currentForm()); },
         [](FormPage& p, int, const ControlInput& in) {
             return p.chooseForm(in.selection) ? ControlReply::everything() : ControlReply::states();
         },
         [](const FormPage&, int) { return formNameList(); }},
        // The prompt boxes' width follows the font: their limits and texts
        // are put in again.
        {IDC_FORM_FONT, ControlKind::List, 0, [](const FormPage& p, int) { return selectedState(p.form().font); },
         [](FormPage& p, int, const ControlInput& in) {
             p.setFont(in.selection);
             return ControlReply::everything();
         },
         [](const FormPage&, int) { return fontList(); }},
        {IDC_FORM_ESC, ControlKind::List, 0, [](const FormPage& p, int) { return selectedState(p.form().escTarget); },
         [](FormPage& p, int, const ControlInput& in) {
             p.setEscTarget(in.selection);
             return ControlReply::states();
         },
         [](const FormPage&, int) { return targetList(); }},
        {IDC_FORM_NEXT, ControlKind::List, 0, [](const FormPage& p, int) { return selectedState(p.form().nextTarget); },
         [](FormPage& p, int, const ControlInput& in) {
             p.setNextTarget(in.selection);
             return ControlReply::states();
         },
         [](const FormPage&, int) { return targetList(); }},
        {IDC_FORM_LOOKUP, ControlKind::List, 0, [](const FormPage& p, int) { return selectedState(p.form().lookupFile); },
         [](FormPage& p, int, const ControlInput& in) {
             p.setLookupFile(in.selection);
             return ControlReply::states();
         },
         [](const FormPage&, int) { return lookupFileList(); }},
        {IDC_FORM_RECORD, ControlKind::List, 0,
         [](const FormPage& p, int) { return selectedState(p.form().recordAction); },
         [](FormPage& p, int, const ControlInput& in) {
             p.setRecordAction(in.selection);
             return ControlReply::states();
         },
         [](const FormPage&, int) { return recordActionList(); }},
        {IDC_FORM_HEAD_LINK, ControlKind::Label, 0,
         [](const FormPage& p, int) {
             ControlState s;
             s.text = p.linkHeading() == LinkHeading::Lookup ? captionText(formtext::kLinkLookup, "Lookup")
                                                               : captionText(formtext::kLinkVariables, "Variables");
             return s;
         }},
    };
    addRows(t, C{IDC_FORM_ROW_LABEL, ControlKind::Label, 0,
                 [](const FormPage& p, int i) { return enabledState(p.rowState(i).dataType); }},
            kLinesPerForm);
    // A type change may fold the row's link, give a boolean its lengths
    // and change which controls work: the row is shown again.
    addRows(t, C{IDC_FORM_TYPE, ControlKind::List, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).dataType);
                     s.selection = p.form().dataType[i];
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) {
                     p.setDataType(i, in.selection);
                     return ControlReply::everything();
                 },
                 [](const FormPage&, int) { return dataTypeList(); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_PROMPT, ControlKind::Box, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).prompt);
                     s.text = p.promptText(i);
                     s.limit = p.promptWidth();
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) { return replyTo(p.typePrompt(i, in.text)); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_SOURCE, ControlKind::List, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).inputSource);
                     s.selection = p.form().inputSource[i];
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) {
                     p.setInputSource(i, in.selection);
                     return ControlReply::states();
                 },
                 [](const FormPage&, int) { return inputSourceList(); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_MIN, ControlKind::Box, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).lengths);
                     s.text = std::to_string(p.form().minLength[i]);
                     s.limit = kLengthBoxChars;
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) { return replyTo(p.typeMinLength(i, in.text)); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_MAX, ControlKind::Box, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).lengths);
                     s.text = std::to_string(p.form().maxLength[i]);
                     s.limit = kLengthBoxChars;
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) { return replyTo(p.typeMaxLength(i, in.text)); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_LINK, ControlKind::List, 0,
                 [](const FormPage& p, int i) {
                     ControlState s = enabledState(p.rowState(i).link);
                     s.selection = p.linkSelection(i);
                     return s;
                 },
                 [](FormPage& p, int i, const ControlInput& in) {
                     if (in.selection >= 0) p.setLink(i, in.selection);
                     return ControlReply::states();
                 },
                 [](const FormPage& p, int i) { return p.linkEntries(i); }},
            kLinesPerForm);
    addRows(t, C{IDC_FORM_MORE, ControlKind::Button, 0,
                 [](const FormPage& p, int i) { return enabledState(p.rowState(i).more); }},
            kLinesPerForm);
    return t;
}

void applyCaptions(HWND dlg, PageWindow<FormPage>&) {
    using namespace formtext;
    applyLanguage(dlg, 0,
                  {{IDC_FORM_NAME_LABEL, kName}, {IDC_FORM_FONT_LABEL, kFont}, {IDC_FORM_ESC_LABEL, kEsc},
                   {IDC_FORM_NEXT_LABEL, kNext}, {IDC_FORM_LOOKUP_LABEL, kLookup}, {IDC_FORM_RECORD_LABEL, kRecord},
                   {IDC_FORM_STAMP, kTimeStamp}, {IDC_FORM_BRANCH, kBranch}, {IDC_FORM_HEAD_LINE, kLine},
                   {IDC_FORM_HEAD_TYPE, kDataType}, {IDC_FORM_HEAD_PROMPT, kPrompt},
                   {IDC_FORM_HEAD_SOURCE, kInputSource}, {IDC_FORM_HEAD_MIN, kMinLength},
                   {IDC_FORM_HEAD_MAX, kMaxLength}, {IDC_FORM_HEAD_MORE, kProperties}});
    if (languageActive()) {
        const std::string more = captionText(kMore, "more...");
        for (int i = 0; i < kLinesPerForm; ++i) setText(GetDlgItem(dlg, IDC_FORM_MORE + i), more);
    }
    // Eight buttons captioned alike: a screen reader hears which line's
    // properties each one opens.
    const std::string properties = captionText(kProperties, "Properties");
    for (int i = 0; i < kLinesPerForm; ++i)
        setAccessibleName(GetDlgItem(dlg, IDC_FORM_MORE + i), wideFromText(properties + " #" + std::to_string(i + 1)));
}

// The page's buttons open dialogs modal over the sheet, the page's parent;
// they write the working copy.
bool openDialogOf(HWND dlg, PageWindow<FormPage>& w, int id) {
    FormPage& page = w.binding.core();
    HWND sheet = GetParent(dlg);
    if (id == IDC_FORM_STAMP) {
        showStampDialog(sheet, page);
    } else if (id == IDC_FORM_BRANCH) {
        showBranchDialog(sheet, page);
    } else if (id >= IDC_FORM_MORE && id < IDC_FORM_MORE + kLinesPerForm) {
        showLineProperties(sheet, page, id - IDC_FORM_MORE);
    } else {
        return false;
    }
    return true;
}

const PageProcedure<FormPage> kFormPage{formPageControls, applyCaptions, openDialogOf, nullptr};

}  // namespace

INT_PTR CALLBACK formPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kFormPage);
}

}  // namespace fw::win
