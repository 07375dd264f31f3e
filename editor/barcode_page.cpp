#include "editor/barcode_page.h"

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

namespace {
using F = BarcodeFieldId;
constexpr int kEan128Check = 24;
}  // namespace

const BarcodeCheckLayout kBarcodeChecks[kBarcodeCheckCount] = {
    {"Code 39", F::code39On},
    {"Italian  Pharmacode", F::italianPharmaOn},
    {"French  Pharmacode", F::frenchPharmaOn},
    {"Industrial 25", F::industrial25On},
    {"Interleave 25", F::interleave25On},
    {"Matrix 25", F::matrix25On},
    {"Codabar", F::codabarOn},
    {"MSI", F::msiOn},
    {"Plessey", F::plesseyOn},
    {"UPCE", F::upceOn},
    {"UPCE  Addon 2", F::upceAddon2On},
    {"UPCE  Addon 5", F::upceAddon5On},
    {"EAN8", F::ean8On},
    {"EAN8  Addon 2", F::ean8Addon2On},
    {"EAN8  Addon 5", F::ean8Addon5On},
    {"EAN13  &&  UPCA", F::ean13UpcaOn},
    {"EAN13  Addon 2", F::ean13Addon2On},
    {"EAN13  Addon 5", F::ean13Addon5On},
    {"Telepen", F::telepenOn},
    {"RSS14", F::rss14On},
    {"RSS14 Limited", F::rss14LimitedOn},
    {"RSS14 Expanded", F::rss14ExpandedOn},
    {"Code 93", F::code93On},
    {"Code 128", F::code128On},
    {"EAN128", F::ean128On},
    {"Negative Barcode", F::negativeBarcode},
};

ListEntries scanModeList() {
    ListEntries list;
    for (unsigned i = 0; i < kScanModeCount; ++i) list.push_back(loadText(barcodetext::kFirstScanMode + i));
    return list;
}

ListEntries redundancyList() {
    ListEntries list;
    for (unsigned i = 0; i < kRedundancyCount; ++i) list.push_back(loadText(barcodetext::kFirstRedundancy + i));
    return list;
}

BarcodePage::BarcodePage(const BarcodeSettings& b)
    : scanMode_(static_cast<int>(readBarcodeField(b, F::scanMode))),
      redundancy_(static_cast<int>(readBarcodeField(b, F::readRedundancy))),
      timeout_(static_cast<int>(readBarcodeField(b, F::readTimeout))),
      timeoutText_(std::to_string(timeout_)) {
    for (int k = 0; k < kBarcodeCheckCount; ++k) {
        // EAN128 reads ticked unless it was switched off: 00, the bits of a
        // block that never had them written, counts as on.
        check_[k] = k == kEan128Check ? readBarcodeField(b, F::ean128Off) == 0
                                      : readBarcodeField(b, kBarcodeChecks[k].field) != 0;
    }
}

ControlState BarcodePage::scanModeState() const {
    return selectedState(scanMode_ < kScanModeCount ? scanMode_ : -1);
}

ControlReply BarcodePage::chooseScanMode(int index) {
    if (index >= 0 && index < kScanModeCount) scanMode_ = index;
    return ControlReply::states();
}

ControlState BarcodePage::redundancyState() const {
    return selectedState(redundancy_);
}

ControlReply BarcodePage::chooseRedundancy(int index) {
    if (index >= 0 && index < kRedundancyCount) redundancy_ = index;
    return ControlReply::states();
}

ControlState BarcodePage::timeoutState() const {
    ControlState s;
    s.text = timeoutText_;
    s.limit = kTimeoutBoxChars;
    return s;
}

ControlReply BarcodePage::typeTimeout(std::string_view typed) {
    const NumberEntry e = filterLengthText(typed, kMaxReadTimeout);
    timeout_ = e.value;
    timeoutText_ = e.text;
    return replyTo(e);
}

ControlState BarcodePage::checkState(int k) const {
    return checkedState(k >= 0 && k < kBarcodeCheckCount && check_[k]);
}

ControlReply BarcodePage::setCheck(int k, bool on) {
    if (k >= 0 && k < kBarcodeCheckCount) check_[k] = on;
    return ControlReply::states();
}

std::optional<SymbologyDialogId> BarcodePage::dialogBeside(int check) {
    for (int d = 0; d < kSymbologyDialogCount; ++d)
        if (kSymbologyDialogs[d].pageCheck == check) return static_cast<SymbologyDialogId>(d);
    return std::nullopt;
}

void BarcodePage::store(BarcodeSettings& b) const {
    // A scan mode beyond the list (from a file) selects nothing and stays.
    if (scanMode_ < kScanModeCount) writeBarcodeField(b, F::scanMode, static_cast<unsigned>(scanMode_));
    writeBarcodeField(b, F::readRedundancy, static_cast<unsigned>(redundancy_));
    writeBarcodeField(b, F::readTimeout, static_cast<unsigned>(timeout_));
    for (int k = 0; k < kBarcodeCheckCount; ++k) {
        if (k == kEan128Check) {
            writeBarcodeField(b, F::ean128On, check_[k] ? 1u : 0u);
            writeBarcodeField(b, F::ean128Off, check_[k] ? 0u : 1u);
        } else {
            writeBarcodeField(b, kBarcodeChecks[k].field, check_[k] ? 1u : 0u);
        }
    }
}

}  // namespace fw
