// The symbology parameter dialogs ("Code39Dlg" .. "EAN128Dlg") and the Code
// ID dialog ("CODEIDDLG").
#include "editor/win/barcode_dialogs.h"

#include <string>
#include <vector>

#include "resources/text_ids.h"
#include "editor/code_id_dialog.h"
#include "editor/win/barcode_dialog_ids.h"
#include "ui/win/binding.h"
#include "ui/win/bound_dialog.h"
#include "ui/win/dialog_support.h"
#include "editor/win/grid_dialogs.h"
#include "texts/texts.h"
#include "texts/language_texts.h"

namespace fw::win {

namespace {

// ---- symbology dialogs ----

using S = Control<SymbologyDialog>;

// Every part any symbology dialog has; a template holds only its own, and
// the binding passes over ids a template lacks.
std::vector<S> symbologyControls() {
    std::vector<S> t;
    for (int g = 0; g < kMaxRadioGroups; ++g)
        for (int r = 0; r < kMaxRadios; ++r)
            t.push_back({IDC_SYM_RADIO + 10 * g + r, ControlKind::Check, 10 * g + r,
                         [](const SymbologyDialog& d, int i) { return d.radioState(i / 10, i % 10); },
                         [](SymbologyDialog& d, int i, const ControlInput& in) {
                             return in.checked ? d.chooseRadio(i / 10, i % 10) : ControlReply::states();
                         }});
    addRows(t,
            S{IDC_SYM_CHECK, ControlKind::Check, 0, [](const SymbologyDialog& d, int k) { return d.checkState(k); },
              [](SymbologyDialog& d, int k, const ControlInput& in) { return d.setCheck(k, in.checked); }},
            kMaxSymbologyChecks);
    t.push_back({IDC_SYM_FIXED, ControlKind::Check, 0,
                 [](const SymbologyDialog& d, int) { return d.rangeRadioState(false); },
                 [](SymbologyDialog& d, int, const ControlInput& in) {
                     return in.checked ? d.chooseRangeMode(false) : ControlReply::states();
                 }});
    t.push_back({IDC_SYM_RANGE, ControlKind::Check, 0,
                 [](const SymbologyDialog& d, int) { return d.rangeRadioState(true); },
                 [](SymbologyDialog& d, int, const ControlInput& in) {
                     return in.checked ? d.chooseRangeMode(true) : ControlReply::states();
                 }});
    addRows(t,
            S{IDC_SYM_LENGTH_LABEL, ControlKind::Label, 0,
              [](const SymbologyDialog& d, int box) { return d.lengthLabelState(box); }},
            2);
    addRows(t,
            S{IDC_SYM_LENGTH_BOX, ControlKind::Box, 0,
              [](const SymbologyDialog& d, int box) { return d.lengthBoxState(box); },
              [](SymbologyDialog& d, int box, const ControlInput& in) { return d.typeLength(box, in.text); }},
            2);
    return t;
}

void replaceCaption(HWND dlg, int control, unsigned textId) {
    if (textId == 0 || !GetDlgItem(dlg, control)) return;
    applyCaption(GetDlgItem(dlg, control), textId);
}

void applySymbologyLanguage(HWND dlg, const SymbologyDialogLayout& layout) {
    applyLanguage(dlg, symbologyCaptionId(layout, SymbologyPart::Title), {});
    if (!languageActive()) return;
    for (int g = 0; g < layout.groupCount; ++g) {
        replaceCaption(dlg, IDC_SYM_GROUP + g, symbologyCaptionId(layout, SymbologyPart::GroupCaption, g));
        for (int r = 0; r < layout.groups[g].count; ++r)
            replaceCaption(dlg, IDC_SYM_RADIO + 10 * g + r, symbologyCaptionId(layout, SymbologyPart::Radio, g, r));
    }
    for (int k = 0; k < layout.checkCount; ++k)
        replaceCaption(dlg, IDC_SYM_CHECK + k, symbologyCaptionId(layout, SymbologyPart::Check, 0, k));
    replaceCaption(dlg, IDC_SYM_LENGTH_GROUP, symbologyCaptionId(layout, SymbologyPart::LengthGroup));
    replaceCaption(dlg, IDC_SYM_FIXED, symbologyCaptionId(layout, SymbologyPart::FixedRadio));
    replaceCaption(dlg, IDC_SYM_RANGE, symbologyCaptionId(layout, SymbologyPart::RangeRadio));
    // The length labels follow the mode: the binding shows them.
}

// ---- Code ID ----

using K = Control<CodeIdDialog>;

std::vector<K> codeIdControls() {
    std::vector<K> t = {
        {IDC_CODEID_ENABLE, ControlKind::Check, 0, [](const CodeIdDialog& d, int) { return d.enableState(); },
         [](CodeIdDialog& d, int, const ControlInput& in) { return d.setEnabled(in.checked); }},
        {IDC_CODEID_CLEAR, ControlKind::Button, 0, [](const CodeIdDialog& d, int) { return d.buttonState(); },
         [](CodeIdDialog& d, int, const ControlInput&) { return d.clear(); }},
    };
    addRows(t, K{IDC_CODEID_LABEL, ControlKind::Label, 0, [](const CodeIdDialog& d, int k) { return d.labelState(k); }},
            kCodeIdCount);
    addRows(t, K{IDC_CODEID_BOX, ControlKind::Grid, 0, [](const CodeIdDialog& d, int k) { return d.boxState(k); }},
            kCodeIdCount);
    addRows(t,
            K{IDC_CODEID_SET, ControlKind::Button, 0, [](const CodeIdDialog& d, int) { return d.buttonState(); },
              [](CodeIdDialog& d, int set, const ControlInput&) { return d.loadPreset(set); }},
            kCodeIdPresetCount);
    return t;
}

void applyCodeIdLanguage(HWND dlg) {
    using namespace barcodetext;
    applyLanguage(dlg, kCodeIdTitle, {{IDC_CODEID_ENABLE, kCodeIdEnable}, {IDC_CODEID_CLEAR, kCodeIdClear}});
    if (!languageActive()) return;
    for (int k = 0; k < kCodeIdCount; ++k) replaceCaption(dlg, IDC_CODEID_LABEL + k, kCodeIdFirstLabel + k);
    for (int s = 0; s < kCodeIdPresetCount; ++s) replaceCaption(dlg, IDC_CODEID_SET + s, kCodeIdFirstSet + s);
}

void initCodeId(HWND dlg, CodeIdDialog& d) {
    applyCodeIdLanguage(dlg);
    for (int k = 0; k < kCodeIdCount; ++k) attachGridBox(GetDlgItem(dlg, IDC_CODEID_BOX + k), &d.box(k));
}

}  // namespace

INT_PTR runSymbologyDialog(HWND owner, HINSTANCE instance, ProgramModel& model, SymbologyDialogId id) {
    SymbologyDialog dialog(id, model.barcode);
    const INT_PTR result =
        runBoundDialog(owner, instance, symbologyDialogLayout(id).templateName, dialog, symbologyControls(),
                       +[](HWND dlg, SymbologyDialog& d) { applySymbologyLanguage(dlg, d.layout()); });
    if (result != IDOK) return IDCANCEL;
    dialog.commit(model);
    return IDOK;
}

INT_PTR runCodeIdDialog(HWND owner, HINSTANCE instance, ProgramModel& model) {
    CodeIdDialog dialog(model.settings);
    const INT_PTR result = runBoundDialog(owner, instance, "CODEIDDLG", dialog, codeIdControls(), initCodeId);
    if (result != IDOK) return IDCANCEL;
    dialog.commit(model);
    return IDOK;
}

}  // namespace fw::win
