// The Barcode page ("BARCODESETTINGDLG") of the editor sheet: a table that
// binds its controls to the sheet's BarcodePage; its buttons open the
// symbology dialogs and the Code ID dialog, which write the model at their
// own OK.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "editor/barcode_page.h"
#include "resources/text_ids.h"
#include "editor/win/barcode_dialog_ids.h"
#include "editor/win/barcode_dialogs.h"
#include "editor/barcode_dialogs.h"
#include "ui/win/accessible_name.h"
#include "ui/win/binding.h"
#include "ui/win/wide_text.h"
#include "ui/win/dialog_support.h"
#include "editor/win/sheet_context.h"
#include "texts/texts.h"
#include "texts/language_texts.h"

namespace fw::win {

namespace {

using C = Control<BarcodePage>;

std::vector<C> barcodePageControls() {
    std::vector<C> t = {
        {IDC_BARCODE_SCAN, ControlKind::List, 0, [](const BarcodePage& p, int) { return p.scanModeState(); },
         [](BarcodePage& p, int, const ControlInput& in) { return p.chooseScanMode(in.selection); },
         [](const BarcodePage&, int) { return scanModeList(); }},
        {IDC_BARCODE_REDUNDANCY, ControlKind::List, 0, [](const BarcodePage& p, int) { return p.redundancyState(); },
         [](BarcodePage& p, int, const ControlInput& in) { return p.chooseRedundancy(in.selection); },
         [](const BarcodePage&, int) { return redundancyList(); }},
        {IDC_BARCODE_TIMEOUT, ControlKind::Box, 0, [](const BarcodePage& p, int) { return p.timeoutState(); },
         [](BarcodePage& p, int, const ControlInput& in) { return p.typeTimeout(in.text); }},
    };
    addRows(t,
            C{IDC_BARCODE_CHECK, ControlKind::Check, 0, [](const BarcodePage& p, int k) { return p.checkState(k); },
              [](BarcodePage& p, int k, const ControlInput& in) { return p.setCheck(k, in.checked); }},
            kBarcodeCheckCount);
    return t;
}

void applyCaptions(HWND dlg, PageWindow<BarcodePage>&) {
    using namespace barcodetext;
    applyLanguage(dlg, 0,
                  {{IDC_BARCODE_READER_GROUP, kReaderSettings}, {IDC_BARCODE_SCAN_LABEL, kScanMode},
                   {IDC_BARCODE_REDUNDANCY_LABEL, kRedundancy}, {IDC_BARCODE_TIMEOUT_LABEL, kTimeout},
                   {IDC_BARCODE_SECONDS, kSeconds}, {IDC_BARCODE_PARAMS_GROUP, kParameters},
                   {IDC_BARCODE_CODE_ID, kCodeId}});
    // The "more..." buttons are named for a screen reader by the dialog
    // each one opens ("Code 39 Parameters").
    for (int d = 0; d < kSymbologyDialogCount; ++d) {
        const SymbologyDialogLayout& layout = symbologyDialogLayout(static_cast<SymbologyDialogId>(d));
        const std::string title = captionText(symbologyCaptionId(layout, SymbologyPart::Title), layout.title);
        setAccessibleName(GetDlgItem(dlg, IDC_BARCODE_MORE + d), wideFromText(title));
    }
    if (!languageActive()) return;
    for (int k = 0; k < kBarcodeCheckCount; ++k) {
        const std::string text = captionText(kFirstCheck + k, kBarcodeChecks[k].text);
        setText(GetDlgItem(dlg, IDC_BARCODE_CHECK + k), text);
    }
    const std::string more = captionText(kMore, "more...");
    for (int d = 0; d < kSymbologyDialogCount; ++d) setText(GetDlgItem(dlg, IDC_BARCODE_MORE + d), more);
}

// The dialogs are modal over the sheet, the page's parent. They write the
// model, not the page's working copy, so the page shows nothing new.
bool openDialogOf(HWND dlg, PageWindow<BarcodePage>& w, int id) {
    HWND sheet = GetParent(dlg);
    ProgramModel& model = w.context.sheet.model();
    if (id == IDC_BARCODE_CODE_ID) {
        runCodeIdDialog(sheet, w.context.instance, model);
    } else if (id >= IDC_BARCODE_MORE && id < IDC_BARCODE_MORE + kSymbologyDialogCount) {
        runSymbologyDialog(sheet, w.context.instance, model, static_cast<SymbologyDialogId>(id - IDC_BARCODE_MORE));
    } else {
        return false;
    }
    return true;
}

const PageProcedure<BarcodePage> kBarcodePage{barcodePageControls, applyCaptions, openDialogOf, nullptr};

}  // namespace

INT_PTR CALLBACK barcodePageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kBarcodePage);
}

}  // namespace fw::win
