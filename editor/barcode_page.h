// The Barcode page of the editor sheet: the reader settings (scan mode, read
// redundancy, time-out) and the 26 symbology check boxes.
//
// The page reads the barcode block once, when it is made, and writes back
// only its own fields at the sheet's OK, against the model as it is then:
// the symbology dialogs write the same bytes at their own OK, and a page
// that copied whole bytes back would undo them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/barcode_dialogs.h"
#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/barcode_fields.h"

namespace fw {

constexpr int kScanModeCount = 9;
constexpr int kRedundancyCount = 4;
constexpr int kBarcodeCheckCount = 26;
constexpr int kTimeoutBoxChars = 3;
constexpr int kMaxReadTimeout = 255;

// The page's check boxes in page order. EAN128 is two bits (see
// BarcodePage): its row names `ean128On`.
struct BarcodeCheckLayout {
    const char* text;
    BarcodeFieldId field;
};
extern const BarcodeCheckLayout kBarcodeChecks[kBarcodeCheckCount];

// "Auto Off" .. "Aiming" and "None" .. "Three times", language-aware.
ListEntries scanModeList();
ListEntries redundancyList();

class BarcodePage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Barcode;

    explicit BarcodePage(const BarcodeSettings& b);
    explicit BarcodePage(EditorSheet& sheet) : BarcodePage(sheet.model().barcode) {}

    ControlState scanModeState() const;
    ControlReply chooseScanMode(int index);
    ControlState redundancyState() const;
    ControlReply chooseRedundancy(int index);

    // "Time out :": filtered to 1..255 on every change; a 0 loaded from a
    // file is shown and written back as 0 while the box is not touched.
    ControlState timeoutState() const;
    ControlReply typeTimeout(std::string_view typed);

    ControlState checkState(int k) const;
    ControlReply setCheck(int k, bool on);

    // The dialog of a "more..." button (in SymbologyDialogId order), or of
    // none for a check box without one.
    static std::optional<SymbologyDialogId> dialogBeside(int check);

    // OK: the page's own fields into `b`, every other bit as it is there.
    void store(BarcodeSettings& b) const;
    void commit(EditorSheet& sheet) override { store(sheet.model().barcode); }

private:
    int scanMode_;
    int redundancy_;
    int timeout_;
    std::string timeoutText_;
    bool check_[kBarcodeCheckCount] = {};
};

}  // namespace fw
