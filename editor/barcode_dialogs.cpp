#include "editor/barcode_dialogs.h"

#include <algorithm>
#include <utility>

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

namespace {

using F = BarcodeFieldId;

constexpr RadioGroupLayout kNoGroup = {nullptr, {}, 0, RadioStore::Index, F::code39On};

constexpr RadioGroupLayout startStopGroup(F field) {
    return {"Start/Stop Selection", {"Industrial 25", "Interleave 25", "Matrix 25"}, 3, RadioStore::Index, field};
}

constexpr SymbologyDialogLayout twoOfFive(const char* templateName, const char* title, unsigned base, int pageCheck,
                                        F startStop, F verify, F send, LengthLayout length) {
    return {templateName, title, base, pageCheck,
            1, {startStopGroup(startStop), kNoGroup},
            2, {{"Verify Checksum", verify}, {"Transmit Checksum", send}},
            true, length};
}

constexpr SymbologyDialogLayout checksOnly(const char* templateName, const char* title, unsigned base, int pageCheck,
                                         int count, std::initializer_list<SymbologyCheckLayout> checks) {
    SymbologyDialogLayout s{templateName, title, base, pageCheck, 0, {kNoGroup, kNoGroup}, count, {}, false, {}};
    int k = 0;
    for (const SymbologyCheckLayout& c : checks) s.checks[k++] = c;
    return s;
}

constexpr LengthLayout kNoLength = {F::code39On, F::code39On, F::code39On, true};

}  // namespace

const SymbologyDialogLayout kSymbologyDialogs[kSymbologyDialogCount] = {
    checksOnly("Code39Dlg", "Code 39 Parameters", barcodetext::kCode39Base, 0, 4,
               {{"Transmit Start/Stop", F::code39SendStartStop},
                {"Verify Checksum", F::code39VerifyChecksum},
                {"Transmit Checksum", F::code39SendChecksum},
                {"Code 39 Full ASCII", F::code39FullAscii}}),
    checksOnly("ItalyPharmaDlg", "Italian Pharmacode Parameters", barcodetext::kItalianPharmacodeBase, 1, 1,
               {{"Transmit Checksum", F::italianPharmaSendChecksum}}),
    checksOnly("FrenchPharmaDlg", "French Pharmacode Parameters", barcodetext::kFrenchPharmacodeBase, 2, 1,
               {{"Transmit Checksum", F::frenchPharmaSendChecksum}}),
    twoOfFive("Industrial25Dlg", "Industrial 25 Parameters", barcodetext::kIndustrial25Base, 3,
              F::industrial25StartStop, F::industrial25VerifyChecksum, F::industrial25SendChecksum,
              {F::industrial25LengthRangeMode, F::industrial25LengthFirst, F::industrial25LengthSecond, true}),
    twoOfFive("Interleave25Dlg", "Interleave 25 Parameters", barcodetext::kInterleave25Base, 4,
              F::interleave25StartStop, F::interleave25VerifyChecksum, F::interleave25SendChecksum,
              {F::interleave25LengthRangeMode, F::interleave25LengthFirst, F::interleave25LengthSecond, true}),
    twoOfFive("Matrix25Dlg", "Matrix 25 Parameters", barcodetext::kMatrix25Base, 5, F::matrix25StartStop,
              F::matrix25VerifyChecksum, F::matrix25SendChecksum,
              {F::matrix25LengthRangeMode, F::matrix25LengthFirst, F::matrix25LengthSecond, true}),
    {"CodabarDlg", "Codabar Parameters", barcodetext::kCodabarBase, 6,
     1, {{"Start/Stop Character", {"None", "abcd / abcd", "abcd / tn*e", "ABCD / ABCD", "ABCD / TN*E"}, 5,
          RadioStore::CodabarStartStop, F::codabarStartStopKind},
         kNoGroup},
     0, {}, false, kNoLength},
    {"MSIDlg", "MSI Parameters", barcodetext::kMsiBase, 7,
     2, {{"Checksum Verification", {"Single Modulo 10", "Double Modulo 10", "Modulo 11 && 10"}, 3,
          RadioStore::Index, F::msiCheckMode},
         {"Checksum Transmission", {"Last digit not transmitted", "Transmitted", "Last 2 digits not transmitted"},
          3, RadioStore::Index, F::msiCheckSend}},
     0, {}, true, {F::msiLengthRangeMode, F::msiLengthFirst, F::msiLengthSecond, false}},
    checksOnly("PlesseyDlg", "Plessey Parameters", barcodetext::kPlesseyBase, 8, 2,
               {{"Convert to UK Plessey", F::plesseyToUk}, {"Transmit Checksum", F::plesseySendChecksum}}),
    checksOnly("UPCEDlg", "UPCE Parameters", barcodetext::kUpceBase, 9, 3,
               {{"Convert to UPCA", F::upceToUpca},
                {"Transmit System Number", F::upceSendSystemNumber},
                {"Transmit Checksum", F::upceSendChecksum}}),
    checksOnly("EAN8Dlg", "EAN 8 Parameters", barcodetext::kEan8Base, 12, 2,
               {{"Convert to EAN13", F::ean8ToEan13}, {"Transmit Checksum", F::ean8SendChecksum}}),
    checksOnly("EAN13Dlg", "EAN 13 and UPCA Parameters", barcodetext::kEan13Base, 15, 6,
               {{"ISBN Conversion", F::ean13Isbn},
                {"ISSN Conversion", F::ean13Issn},
                {"Transmit Checksum", F::ean13SendChecksum},
                {"Transmit UPCA System Number", F::upcaSendSystemNumber},
                {"Transmit UPCA Checksum", F::upcaSendChecksum},
                {"Convert UPCA to EAN 13", F::upcaToEan13}}),
    {"TelepenDlg", "Telepen Parameters", barcodetext::kTelepenBase, 18,
     1, {{nullptr, {"Original Telepen  (Numeric)", "AIM Telepen  (Full ASCII)"}, 2, RadioStore::TelepenNumeric,
          F::telepenNumeric},
         kNoGroup},
     0, {}, false, kNoLength},
    checksOnly("RSS14Dlg", "RSS14 Parameters", barcodetext::kRss14Base, 19, 3,
               {{"Transmit Code ID", F::rss14SendCodeId},
                {"Transmit Application ID", F::rss14SendAppId},
                {"Transmit Check Digit", F::rss14SendCheckDigit}}),
    checksOnly("RSS14LimitedDlg", "RSS14 Limited Parameters", barcodetext::kRss14LimitedBase, 20, 3,
               {{"Transmit Code ID", F::rss14LimitedSendCodeId},
                {"Transmit Application ID", F::rss14LimitedSendAppId},
                {"Transmit Check Digit", F::rss14LimitedSendCheckDigit}}),
    checksOnly("RSS14ExpandedDlg", "RSS14 Expanded Parameters", barcodetext::kRss14ExpandedBase, 21, 1,
               {{"Transmit Code ID", F::rss14ExpandedSendCodeId}}),
    checksOnly("EAN128Dlg", "EAN128 Parameters", barcodetext::kEan128Base, 24, 1,
               {{"Transmit Code ID", F::ean128SendCodeId}}),
};

const SymbologyDialogLayout& symbologyDialogLayout(SymbologyDialogId id) {
    return kSymbologyDialogs[static_cast<int>(id)];
}

unsigned symbologyCaptionId(const SymbologyDialogLayout& layout, SymbologyPart part, int group, int index) {
    // The language numbers run through the controls in template order.
    unsigned id = layout.captionBase;
    if (part == SymbologyPart::Title) return id;
    ++id;
    for (int g = 0; g < layout.groupCount; ++g) {
        const RadioGroupLayout& rg = layout.groups[g];
        if (rg.caption) {
            if (part == SymbologyPart::GroupCaption && g == group) return id;
            ++id;
        }
        if (part == SymbologyPart::Radio && g == group) return index < rg.count ? id + index : 0;
        id += static_cast<unsigned>(rg.count);
    }
    if (part == SymbologyPart::Check) return index < layout.checkCount ? id + index : 0;
    id += static_cast<unsigned>(layout.checkCount);
    if (!layout.hasLength) return 0;
    switch (part) {
        case SymbologyPart::LengthGroup: return id;
        case SymbologyPart::FixedRadio: return id + 1;
        case SymbologyPart::RangeRadio: return id + 2;
        case SymbologyPart::MaxLabel: return id + 3;
        case SymbologyPart::MinLabel: return id + 4;
        case SymbologyPart::Fixed1Label: return id + 5;
        case SymbologyPart::Fixed2Label: return id + 6;
        default: return 0;
    }
}

NumberEntry filterLengthText(std::string_view typed, int maximum) {
    NumberEntry e;
    bool number = !typed.empty();
    long value = 0;
    for (char c : typed) {
        if (c < '0' || c > '9') {
            number = false;
            break;
        }
        value = std::min<long>(value * 10 + (c - '0'), 1000000L);
    }
    if (!number || value < 1) value = 1;
    if (value > maximum) value = maximum;
    e.value = static_cast<int>(value);
    e.text = std::to_string(e.value);
    e.putBack = e.text != typed;
    return e;
}

SymbologyDialog::SymbologyDialog(SymbologyDialogId id, const BarcodeSettings& b) : id_(id) {
    const SymbologyDialogLayout& s = layout();
    for (int g = 0; g < s.groupCount; ++g) {
        const RadioGroupLayout& rg = s.groups[g];
        const int value = static_cast<int>(readBarcodeField(b, rg.field));
        switch (rg.store) {
            case RadioStore::Index: radio_[g] = value < rg.count ? value : -1; break;
            case RadioStore::CodabarStartStop:
                radio_[g] = readBarcodeField(b, F::codabarSendStartStop) ? value + 1 : 0;
                break;
            case RadioStore::TelepenNumeric: radio_[g] = value ? 0 : 1; break;
        }
    }
    for (int k = 0; k < s.checkCount; ++k) check_[k] = readBarcodeField(b, s.checks[k].field) != 0;
    if (s.hasLength) {
        range_ = readBarcodeField(b, s.length.rangeMode) != 0;
        length_[0] = static_cast<int>(readBarcodeField(b, s.length.first));
        length_[1] = static_cast<int>(readBarcodeField(b, s.length.second));
        // Shown as loaded, unfiltered: the filter applies to typing only.
        for (int i = 0; i < 2; ++i) lengthText_[i] = std::to_string(length_[i]);
    }
}

ControlState SymbologyDialog::radioState(int group, int radio) const {
    ControlState st;
    const SymbologyDialogLayout& s = layout();
    st.visible = group < s.groupCount && radio < s.groups[group].count;
    st.checked = st.visible && radio_[group] == radio;
    return st;
}

ControlReply SymbologyDialog::chooseRadio(int group, int radio) {
    const SymbologyDialogLayout& s = layout();
    if (group >= 0 && group < s.groupCount && radio >= 0 && radio < s.groups[group].count) radio_[group] = radio;
    return ControlReply::states();
}

ControlState SymbologyDialog::checkState(int k) const {
    ControlState st;
    st.visible = k < layout().checkCount;
    st.checked = st.visible && check_[k];
    return st;
}

ControlReply SymbologyDialog::setCheck(int k, bool on) {
    if (k >= 0 && k < layout().checkCount) check_[k] = on;
    return ControlReply::states();
}

ControlState SymbologyDialog::rangeRadioState(bool range) const {
    ControlState st;
    st.visible = layout().hasLength;
    st.checked = st.visible && range_ == range;
    return st;
}

ControlReply SymbologyDialog::chooseRangeMode(bool range) {
    range_ = range;   // only the labels change; the numbers stay
    return ControlReply::states();
}

ControlState SymbologyDialog::lengthLabelState(int box) const {
    ControlState st;
    const SymbologyDialogLayout& s = layout();
    st.visible = s.hasLength;
    if (!st.visible) return st;
    static const char* const kBuiltIn[2][2] = {{"Fixed Length 1:", "Fixed Length 2:"},
                                               {"Max Length :", "Min Length :"}};
    const SymbologyPart part = range_ ? (box == 0 ? SymbologyPart::MaxLabel : SymbologyPart::MinLabel)
                                      : (box == 0 ? SymbologyPart::Fixed1Label : SymbologyPart::Fixed2Label);
    st.text = captionText(symbologyCaptionId(s, part), kBuiltIn[range_ ? 1 : 0][box]);
    return st;
}

ControlState SymbologyDialog::lengthBoxState(int box) const {
    ControlState st;
    st.visible = layout().hasLength;
    st.text = lengthText_[box];
    st.limit = kQualifiedLengthChars;
    return st;
}

ControlReply SymbologyDialog::typeLength(int box, std::string_view typed) {
    if (box < 0 || box > 1) return ControlReply::states();
    const NumberEntry e = filterLengthText(typed, kMaxQualifiedLength);
    length_[box] = e.value;
    lengthText_[box] = e.text;
    return replyTo(e);
}

void SymbologyDialog::store(BarcodeSettings& b) const {
    const SymbologyDialogLayout& s = layout();
    for (int g = 0; g < s.groupCount; ++g) {
        const RadioGroupLayout& rg = s.groups[g];
        const int r = radio_[g];
        if (r < 0) continue;   // a stored value no radio shows stays as it was
        switch (rg.store) {
            case RadioStore::Index: writeBarcodeField(b, rg.field, static_cast<unsigned>(r)); break;
            case RadioStore::CodabarStartStop:
                writeBarcodeField(b, F::codabarSendStartStop, r > 0 ? 1u : 0u);
                writeBarcodeField(b, rg.field, r > 0 ? static_cast<unsigned>(r - 1) : 0u);
                break;
            case RadioStore::TelepenNumeric: writeBarcodeField(b, rg.field, r == 0 ? 1u : 0u); break;
        }
    }
    for (int k = 0; k < s.checkCount; ++k) writeBarcodeField(b, s.checks[k].field, check_[k] ? 1u : 0u);
    if (s.hasLength) {
        int first = length_[0];
        int second = length_[1];
        if (range_) {
            // A maximum lives in 7 bits: a minimum above 127 loaded from a
            // file would not survive the exchange below, so it is cut first.
            first = std::clamp(first, 1, kMaxQualifiedLength);
            second = std::clamp(second, 1, kMaxQualifiedLength);
            if (second > first) std::swap(first, second);
        }
        writeBarcodeField(b, s.length.rangeMode, range_ ? 1u : 0u);
        writeBarcodeField(b, s.length.first, static_cast<unsigned>(first));
        writeBarcodeField(b, s.length.second, static_cast<unsigned>(second));
    }
}

void SymbologyDialog::commit(ProgramModel& m) const {
    store(m.barcode);
    m.modified = true;
}

}  // namespace fw
