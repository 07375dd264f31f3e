#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/barcode_dialogs.h"
#include "editor/barcode_page.h"
#include "editor/code_id_dialog.h"
#include "editor/editor_sheet.h"
#include "model/barcode_fields.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

using F = BarcodeFieldId;

unsigned get(const BarcodeSettings& b, F f) { return readBarcodeField(b, f); }

BarcodeSettings filled(uint8_t v) {
    BarcodeSettings b;
    std::memset(b.bytes, v, sizeof b.bytes);
    return b;
}

// ---- box filters ----

TEST(BarcodeBoxFilter, TimeoutAndLengthCorrections) {
    struct Case {
        const char* typed;
        int maximum;
        const char* shown;
        bool putBack;
    };
    const Case cases[] = {
        {"0", 255, "1", true},     {"", 255, "1", true},      {"300", 255, "255", true},
        {"007", 255, "7", true},   {"00", 127, "1", true},    {"128", 127, "127", true},
        {"abc", 127, "1", true},   {"5x", 127, "1", true},    {"-3", 127, "1", true},
        {"42", 127, "42", false},  {"255", 255, "255", false},
        {"99999999999999999999", 127, "127", true},
    };
    for (const Case& c : cases) {
        const NumberEntry e = filterLengthText(c.typed, c.maximum);
        EXPECT_EQ(e.text, c.shown) << c.typed;
        EXPECT_EQ(e.value, std::stoi(c.shown)) << c.typed;
        EXPECT_EQ(e.putBack, c.putBack) << c.typed;
    }
}

// ---- the page ----

TEST(BarcodePage, StoresOnlyItsOwnBitsAndKeepsALoadedZeroTimeout) {
    for (uint8_t background : {uint8_t{0xFF}, uint8_t{0x00}}) {
        BarcodeSettings b = filled(background);
        writeBarcodeField(b, F::scanMode, 6);
        writeBarcodeField(b, F::readTimeout, 0);
        BarcodeSettings out = b;
        BarcodePage page(b);
        EXPECT_EQ(page.timeoutState().text, "0");
        EXPECT_EQ(page.scanModeState().selection, 6);
        page.store(out);
        // Untouched, the page writes back what it read, EAN128 aside: 11
        // reads unticked and is stored 10, 00 reads ticked and is stored 01.
        const bool ticked = background == 0x00;
        writeBarcodeField(b, F::ean128Off, ticked ? 0 : 1);
        writeBarcodeField(b, F::ean128On, ticked ? 1 : 0);
        EXPECT_EQ(0, std::memcmp(out.bytes, b.bytes, sizeof b.bytes)) << int(background);
    }
}

TEST(BarcodePage, ControlsReachTheirFields) {
    BarcodeSettings b = filled(0xFF);
    BarcodePage page(b);
    page.chooseScanMode(2);
    page.chooseRedundancy(3);
    EXPECT_TRUE(page.typeTimeout("300").putBack);
    EXPECT_EQ(page.timeoutState().text, "255");
    page.typeTimeout("45");
    page.setCheck(0, false);    // Code 39
    page.setCheck(7, false);    // MSI
    page.setCheck(25, false);   // Negative Barcode
    page.store(b);
    EXPECT_EQ(get(b, F::scanMode), 2u);
    EXPECT_EQ(get(b, F::readRedundancy), 3u);
    EXPECT_EQ(get(b, F::readTimeout), 45u);
    EXPECT_EQ(get(b, F::code39On), 0u);
    EXPECT_EQ(get(b, F::msiOn), 0u);
    EXPECT_EQ(get(b, F::negativeBarcode), 0u);
    EXPECT_EQ(b.bytes[20] & 0x0F, 0x0F);   // reserved half of the scan mode byte
}

// The page's check boxes, in page order, with the byte and bit each owns in
// the block: written out here rather than taken from the page's own table,
// so that two rows swapped there show.
struct CheckBit {
    const char* text;
    int byte;
    int bit;
};
constexpr CheckBit kPageChecks[kBarcodeCheckCount] = {
    {"Code 39", 0, 7},           {"Italian  Pharmacode", 0, 6}, {"French  Pharmacode", 0, 5},
    {"Industrial 25", 0, 4},     {"Interleave 25", 0, 3},       {"Matrix 25", 0, 2},
    {"Codabar", 0, 1},           {"MSI", 2, 5},                 {"Plessey", 2, 4},
    {"UPCE", 1, 6},              {"UPCE  Addon 2", 1, 5},       {"UPCE  Addon 5", 1, 4},
    {"EAN8", 1, 3},              {"EAN8  Addon 2", 1, 2},       {"EAN8  Addon 5", 1, 1},
    {"EAN13  &&  UPCA", 1, 0},   {"EAN13  Addon 2", 2, 7},      {"EAN13  Addon 5", 2, 6},
    {"Telepen", 2, 2},           {"RSS14", 3, 6},               {"RSS14 Limited", 2, 0},
    {"RSS14 Expanded", 3, 7},    {"Code 93", 0, 0},             {"Code 128", 1, 7},
    {"EAN128", 22, 6},           {"Negative Barcode", 11, 4},
};
constexpr int kEan128Row = 24;

TEST(BarcodePage, EachCheckBoxReadsAndWritesItsOwnBit) {
    for (int k = 0; k < kBarcodeCheckCount; ++k) {
        const CheckBit& c = kPageChecks[k];
        EXPECT_STREQ(kBarcodeChecks[k].text, c.text) << k;

        // Written: only this box ticked (EAN128 unticked is its off bit).
        BarcodeSettings z = filled(0x00);
        BarcodePage page(z);
        for (int j = 0; j < kBarcodeCheckCount; ++j) page.setCheck(j, j == k);
        page.store(z);
        BarcodeSettings expected = filled(0x00);
        expected.bytes[c.byte] = static_cast<uint8_t>(expected.bytes[c.byte] | (1u << c.bit));
        if (k != kEan128Row) expected.bytes[22] |= 0x80;
        for (std::size_t i = 0; i < sizeof z.bytes; ++i)
            EXPECT_EQ(z.bytes[i], expected.bytes[i]) << c.text << ": byte " << i;

        // Read: a block with only this bit set ticks only this box (EAN128
        // aside, which reads ticked while its off bit is clear).
        BarcodeSettings one = filled(0x00);
        if (k == kEan128Row) one.bytes[22] = 0x80;   // EAN128 off: nothing ticked
        else one.bytes[c.byte] = static_cast<uint8_t>(1u << c.bit);
        const BarcodePage read(one);
        for (int j = 0; j < kBarcodeCheckCount; ++j) {
            const bool ticked = k == kEan128Row ? false : (j == k || j == kEan128Row);
            EXPECT_EQ(read.checkState(j).checked, ticked) << c.text << " set, box " << kPageChecks[j].text;
        }
    }
}

TEST(BarcodePage, Ean128TwoBits) {
    BarcodeSettings b = filled(0x00);   // 00: never written
    BarcodePage page(b);
    const int ean128 = 24;
    EXPECT_TRUE(page.checkState(ean128).checked);
    page.store(b);
    EXPECT_EQ(get(b, F::ean128Off), 0u);
    EXPECT_EQ(get(b, F::ean128On), 1u);
    page.setCheck(ean128, false);
    page.store(b);
    EXPECT_EQ(get(b, F::ean128Off), 1u);
    EXPECT_EQ(get(b, F::ean128On), 0u);
    EXPECT_FALSE(BarcodePage(b).checkState(ean128).checked);
}

TEST(BarcodePage, ButtonsOpenTheDialogBesideTheirBox) {
    EXPECT_EQ(BarcodePage::dialogBeside(3), SymbologyDialogId::Industrial25);
    EXPECT_EQ(BarcodePage::dialogBeside(15), SymbologyDialogId::Ean13);
    EXPECT_EQ(BarcodePage::dialogBeside(24), SymbologyDialogId::Ean128);
    EXPECT_FALSE(BarcodePage::dialogBeside(10).has_value());   // UPCE Addon 2
    EXPECT_FALSE(BarcodePage::dialogBeside(22).has_value());   // Code 93
    EXPECT_FALSE(BarcodePage::dialogBeside(25).has_value());   // Negative Barcode
    int withDialog = 0;
    for (int k = 0; k < kBarcodeCheckCount; ++k) withDialog += BarcodePage::dialogBeside(k).has_value();
    EXPECT_EQ(withDialog, kSymbologyDialogCount);
}

// ---- page, dialogs and the sheet ----

class BarcodeSheet : public test::NewProgramTest {
protected:
};

TEST_F(BarcodeSheet, DialogChangeSurvivesSheetCancelButAPageTickDoesNot) {
    {
        EditorSheet sheet(*model, *texts);
        sheet.page<BarcodePage>().setCheck(0, false);   // Code 39 off, on the page only
        SymbologyDialog d(SymbologyDialogId::Code39, sheet.model().barcode);
        d.setCheck(3, true);                            // Code 39 Full ASCII
        d.commit(sheet.model());
    }   // Cancel
    EXPECT_EQ(get(model->barcode, F::code39On), 1u);
    EXPECT_EQ(get(model->barcode, F::code39FullAscii), 1u);
    EXPECT_TRUE(model->modified);
}

TEST_F(BarcodeSheet, PageCommitKeepsADialogChangeToSharedBytes) {
    EditorSheet sheet(*model, *texts);
    BarcodePage& page = sheet.page<BarcodePage>();   // read before the dialogs
    page.setCheck(18, true);                          // Telepen on (byte 2)
    SymbologyDialog telepen(SymbologyDialogId::Telepen, sheet.model().barcode);
    telepen.chooseRadio(0, 0);                        // numeric (byte 2 too)
    telepen.commit(sheet.model());
    SymbologyDialog ean128(SymbologyDialogId::Ean128, sheet.model().barcode);
    ean128.setCheck(0, true);                         // byte 22, beside EAN128's own bits
    ean128.commit(sheet.model());
    sheet.commit();
    EXPECT_EQ(get(model->barcode, F::telepenOn), 1u);
    EXPECT_EQ(get(model->barcode, F::telepenNumeric), 1u);
    EXPECT_EQ(get(model->barcode, F::ean128SendCodeId), 1u);
}

TEST_F(BarcodeSheet, APageNeverShownWritesNothing) {
    model->barcode = filled(0xA5);
    EditorSheet sheet(*model, *texts);
    sheet.commit();
    EXPECT_EQ(0, std::memcmp(model->barcode.bytes, filled(0xA5).bytes, 23));
}

TEST_F(BarcodeSheet, CodeIdChangeLandsInTheModelThroughTheSheetsOk) {
    EditorSheet sheet(*model, *texts);
    sheet.page<BarcodePage>();
    const TerminalSettings before = model->settings;
    CodeIdDialog d(sheet.model().settings);
    d.setEnabled(true);
    d.loadPreset(3);
    d.commit(sheet.model());
    sheet.commit();
    EXPECT_EQ(model->settings.codeIdOn, 1);
    EXPECT_EQ(model->settings.codeId[10][0], 'F');
    EXPECT_EQ(model->settings.codeId[10][1], 'F');
    // Nothing else of the record moved.
    TerminalSettings expected = before;
    d.store(expected);
    EXPECT_EQ(0, std::memcmp(&expected, &model->settings, sizeof expected));
}

// ---- the symbology dialogs ----

// What each dialog's check boxes say and write, in order.
struct ExpectedChecks {
    SymbologyDialogId id;
    std::vector<std::pair<std::string, std::string>> checks;
};

const std::vector<ExpectedChecks>& expectedChecks() {
    static const std::vector<ExpectedChecks> v = {
        {SymbologyDialogId::Code39,
         {{"Transmit Start/Stop", "code39SendStartStop"}, {"Verify Checksum", "code39VerifyChecksum"},
          {"Transmit Checksum", "code39SendChecksum"}, {"Code 39 Full ASCII", "code39FullAscii"}}},
        {SymbologyDialogId::ItalianPharma, {{"Transmit Checksum", "italianPharmaSendChecksum"}}},
        {SymbologyDialogId::FrenchPharma, {{"Transmit Checksum", "frenchPharmaSendChecksum"}}},
        {SymbologyDialogId::Industrial25,
         {{"Verify Checksum", "industrial25VerifyChecksum"}, {"Transmit Checksum", "industrial25SendChecksum"}}},
        {SymbologyDialogId::Interleave25,
         {{"Verify Checksum", "interleave25VerifyChecksum"}, {"Transmit Checksum", "interleave25SendChecksum"}}},
        {SymbologyDialogId::Matrix25,
         {{"Verify Checksum", "matrix25VerifyChecksum"}, {"Transmit Checksum", "matrix25SendChecksum"}}},
        {SymbologyDialogId::Codabar, {}},
        {SymbologyDialogId::Msi, {}},
        {SymbologyDialogId::Plessey,
         {{"Convert to UK Plessey", "plesseyToUk"}, {"Transmit Checksum", "plesseySendChecksum"}}},
        {SymbologyDialogId::Upce,
         {{"Convert to UPCA", "upceToUpca"}, {"Transmit System Number", "upceSendSystemNumber"},
          {"Transmit Checksum", "upceSendChecksum"}}},
        {SymbologyDialogId::Ean8, {{"Convert to EAN13", "ean8ToEan13"}, {"Transmit Checksum", "ean8SendChecksum"}}},
        {SymbologyDialogId::Ean13,
         {{"ISBN Conversion", "ean13Isbn"}, {"ISSN Conversion", "ean13Issn"},
          {"Transmit Checksum", "ean13SendChecksum"}, {"Transmit UPCA System Number", "upcaSendSystemNumber"},
          {"Transmit UPCA Checksum", "upcaSendChecksum"}, {"Convert UPCA to EAN 13", "upcaToEan13"}}},
        {SymbologyDialogId::Telepen, {}},
        {SymbologyDialogId::Rss14,
         {{"Transmit Code ID", "rss14SendCodeId"}, {"Transmit Application ID", "rss14SendAppId"},
          {"Transmit Check Digit", "rss14SendCheckDigit"}}},
        {SymbologyDialogId::Rss14Limited,
         {{"Transmit Code ID", "rss14LimitedSendCodeId"}, {"Transmit Application ID", "rss14LimitedSendAppId"},
          {"Transmit Check Digit", "rss14LimitedSendCheckDigit"}}},
        {SymbologyDialogId::Rss14Expanded, {{"Transmit Code ID", "rss14ExpandedSendCodeId"}}},
        {SymbologyDialogId::Ean128, {{"Transmit Code ID", "ean128SendCodeId"}}},
    };
    return v;
}

// A block with every bit set except the four second length bytes, which a
// maximum of 127 could not hold in range mode.
BarcodeSettings allSet() {
    BarcodeSettings b = filled(0xFF);
    for (int i : {13, 15, 17, 19}) b.bytes[i] = 0x05;
    return b;
}

TEST(SymbologyDialogs, EveryDialogRoundTripsAndEachCheckMovesOnlyItsBit) {
    ASSERT_EQ(expectedChecks().size(), std::size_t(kSymbologyDialogCount));
    for (const ExpectedChecks& e : expectedChecks()) {
        const SymbologyDialogLayout& layout = symbologyDialogLayout(e.id);
        ASSERT_EQ(layout.checkCount, int(e.checks.size())) << layout.title;
        for (const BarcodeSettings& start : {allSet(), filled(0x00)}) {
            BarcodeSettings out = start;
            SymbologyDialog(e.id, start).store(out);
            EXPECT_EQ(0, std::memcmp(out.bytes, start.bytes, 23)) << layout.title << " moved a bit it did not change";
            for (int k = 0; k < layout.checkCount; ++k) {
                EXPECT_EQ(layout.checks[k].text, e.checks[k].first) << layout.title;
                const BarcodeField* f = findBarcodeField(e.checks[k].second);
                ASSERT_NE(f, nullptr);
                SymbologyDialog d(e.id, start);
                const bool was = d.checkState(k).checked;
                d.setCheck(k, !was);
                BarcodeSettings changed = start;
                d.store(changed);
                BarcodeSettings expected = start;
                writeBarcodeField(expected, *f, was ? 0u : 1u);
                EXPECT_EQ(0, std::memcmp(changed.bytes, expected.bytes, 23)) << layout.title << " " << f->name;
            }
        }
    }
}

TEST(SymbologyDialogs, StartStopRadiosAndAStoredThreeKept) {
    for (auto [id, field] : {std::pair{SymbologyDialogId::Industrial25, F::industrial25StartStop},
                             std::pair{SymbologyDialogId::Interleave25, F::interleave25StartStop},
                             std::pair{SymbologyDialogId::Matrix25, F::matrix25StartStop}}) {
        BarcodeSettings b = allSet();
        writeBarcodeField(b, field, 3);
        SymbologyDialog d(id, b);
        for (int r = 0; r < 3; ++r) EXPECT_FALSE(d.radioState(0, r).checked);
        d.store(b);
        EXPECT_EQ(get(b, field), 3u);
        d.chooseRadio(0, 2);
        d.store(b);
        EXPECT_EQ(get(b, field), 2u);
        d.chooseRadio(0, 0);
        d.store(b);
        EXPECT_EQ(get(b, field), 0u);
        EXPECT_TRUE(SymbologyDialog(id, b).radioState(0, 0).checked);
    }
}

TEST(SymbologyDialogs, LengthQualification) {
    BarcodeSettings b = allSet();
    writeBarcodeField(b, F::industrial25LengthRangeMode, 0);
    writeBarcodeField(b, F::industrial25LengthFirst, 0);
    writeBarcodeField(b, F::industrial25LengthSecond, 0);

    // Fixed mode stores a loaded 0 as it is.
    SymbologyDialog fixed(SymbologyDialogId::Industrial25, b);
    EXPECT_EQ(fixed.lengthBoxState(0).text, "0");
    EXPECT_EQ(fixed.lengthLabelState(0).text, "Fixed Length 1:");
    EXPECT_EQ(fixed.lengthLabelState(1).text, "Fixed Length 2:");
    BarcodeSettings out = b;
    fixed.store(out);
    EXPECT_EQ(out.bytes[12], 0x00);
    EXPECT_EQ(out.bytes[13], 0x00);

    // Switching to range mode relabels, keeps the numbers, and a 0/0 is stored as 1/1.
    fixed.chooseRangeMode(true);
    EXPECT_EQ(fixed.lengthLabelState(0).text, "Max Length :");
    EXPECT_EQ(fixed.lengthLabelState(1).text, "Min Length :");
    EXPECT_EQ(fixed.lengthBoxState(0).text, "0");
    EXPECT_TRUE(fixed.rangeRadioState(true).checked);
    fixed.store(out);
    EXPECT_EQ(out.bytes[12], 0x81);
    EXPECT_EQ(out.bytes[13], 0x01);

    // Max 5 and min 9 are exchanged.
    SymbologyDialog range(SymbologyDialogId::Industrial25, out);
    range.typeLength(0, "5");
    range.typeLength(1, "9");
    range.store(out);
    EXPECT_EQ(get(out, F::industrial25LengthFirst), 9u);
    EXPECT_EQ(get(out, F::industrial25LengthSecond), 5u);
    EXPECT_EQ(get(out, F::industrial25LengthRangeMode), 1u);

    // A minimum above 127 from a file would not fit the maximum's 7 bits after
    // the exchange: it is cut to 127 rather than wrapped.
    writeBarcodeField(out, F::industrial25LengthSecond, 200);
    SymbologyDialog(SymbologyDialogId::Industrial25, out).store(out);
    EXPECT_EQ(get(out, F::industrial25LengthFirst), 127u);
    EXPECT_EQ(get(out, F::industrial25LengthSecond), 9u);

    // The MSI boxes take any character; the filter makes it 1.
    SymbologyDialog msi(SymbologyDialogId::Msi, allSet());
    EXPECT_TRUE(msi.typeLength(1, "x").putBack);
    EXPECT_EQ(msi.lengthBoxState(1).text, "1");
    EXPECT_FALSE(symbologyDialogLayout(SymbologyDialogId::Msi).length.digitsOnly);
}

TEST(SymbologyDialogs, CodabarTelepenAndMsiRadios) {
    BarcodeSettings b = allSet();
    writeBarcodeField(b, F::codabarSendStartStop, 1);
    writeBarcodeField(b, F::codabarStartStopKind, 3);
    SymbologyDialog codabar(SymbologyDialogId::Codabar, b);
    EXPECT_TRUE(codabar.radioState(0, 4).checked);   // "ABCD / TN*E"
    codabar.chooseRadio(0, 0);                        // "None"
    codabar.store(b);
    EXPECT_EQ(get(b, F::codabarSendStartStop), 0u);
    EXPECT_EQ(get(b, F::codabarStartStopKind), 0u);
    EXPECT_TRUE(SymbologyDialog(SymbologyDialogId::Codabar, b).radioState(0, 0).checked);
    codabar.chooseRadio(0, 2);                        // "abcd / tn*e"
    codabar.store(b);
    EXPECT_EQ(get(b, F::codabarSendStartStop), 1u);
    EXPECT_EQ(get(b, F::codabarStartStopKind), 1u);

    SymbologyDialog telepen(SymbologyDialogId::Telepen, b);   // telepenNumeric set
    EXPECT_TRUE(telepen.radioState(0, 0).checked);
    telepen.chooseRadio(0, 1);
    telepen.store(b);
    EXPECT_EQ(get(b, F::telepenNumeric), 0u);

    SymbologyDialog msi(SymbologyDialogId::Msi, b);   // both modes 3 in an all-set block
    EXPECT_EQ(msi.selectedRadio(0), -1);
    msi.chooseRadio(1, 2);
    msi.store(b);
    EXPECT_EQ(get(b, F::msiCheckMode), 3u);
    EXPECT_EQ(get(b, F::msiCheckSend), 2u);
}

TEST(SymbologyDialogs, CaptionNumbersFollowTheControls) {
    const SymbologyDialogLayout& ind = symbologyDialogLayout(SymbologyDialogId::Industrial25);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::Title), 391u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::GroupCaption), 392u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::Radio, 0, 2), 395u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::Check, 0, 1), 397u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::LengthGroup), 398u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::RangeRadio), 400u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::MaxLabel), 401u);
    EXPECT_EQ(symbologyCaptionId(ind, SymbologyPart::Fixed2Label), 404u);
    const SymbologyDialogLayout& msi = symbologyDialogLayout(SymbologyDialogId::Msi);
    EXPECT_EQ(symbologyCaptionId(msi, SymbologyPart::GroupCaption, 1), 476u);
    EXPECT_EQ(symbologyCaptionId(msi, SymbologyPart::Radio, 1, 0), 477u);
    EXPECT_EQ(symbologyCaptionId(msi, SymbologyPart::LengthGroup), 480u);
    EXPECT_EQ(symbologyCaptionId(msi, SymbologyPart::FixedRadio), 481u);
    EXPECT_EQ(symbologyCaptionId(msi, SymbologyPart::MaxLabel), 483u);
    const SymbologyDialogLayout& tel = symbologyDialogLayout(SymbologyDialogId::Telepen);
    EXPECT_EQ(symbologyCaptionId(tel, SymbologyPart::Radio, 0, 1), 543u);
    EXPECT_EQ(symbologyCaptionId(tel, SymbologyPart::GroupCaption), 0u);
    const SymbologyDialogLayout& ean13 = symbologyDialogLayout(SymbologyDialogId::Ean13);
    EXPECT_EQ(symbologyCaptionId(ean13, SymbologyPart::Check, 0, 5), 527u);
}

// ---- the Code ID dialog ----

TEST(CodeIdDialog, PresetsClearAndEnabling) {
    TerminalSettings s{};
    s.codeIdOn = 0;
    s.codeId[0][0] = 'Q';
    CodeIdDialog d(s);
    EXPECT_FALSE(d.enableState().checked);
    EXPECT_FALSE(d.boxState(0).enabled);
    EXPECT_FALSE(d.buttonState().enabled);
    EXPECT_EQ(d.boxState(0).text, " Q");
    d.setEnabled(true);
    EXPECT_TRUE(d.labelState(14).enabled);
    EXPECT_TRUE(d.boxState(14).enabled);

    d.loadPreset(3);   // "Set 4"
    EXPECT_EQ(d.boxState(10).text, " F F");   // EAN8
    EXPECT_EQ(d.boxState(11).text, " F");     // EAN13
    EXPECT_EQ(d.boxState(14).text, " Q");     // Plessey
    d.loadPreset(4);
    EXPECT_EQ(d.boxState(3).text, " S");
    EXPECT_EQ(d.code(10, 1), 0);

    d.clear();
    for (int k = 0; k < kCodeIdCount; ++k) EXPECT_EQ(d.boxState(k).text, "") << k;
}

// The five sets, as the dialog's buttons load them: symbology by symbology
// (rows), set by set (columns). "FF" is the one pair of two characters.
TEST(CodeIdDialog, EveryPresetCellLoadsItsPair) {
    const char* const kSets[kCodeIdCount][kCodeIdPresetCount] = {
        {"A", "C", "Y", "M", "A"},    // Code 39
        {"A", "C", "Y", "M", "A"},    // Italian Pharmacode
        {"A", "C", "Y", "M", "A"},    // French Pharmacode
        {"C", "H", "H", "H", "S"},    // Industrial 25
        {"D", "I", "Z", "I", "S"},    // Interleave 25
        {"E", "G", "G", "G", "S"},    // Matrix 25
        {"F", "N", "X", "N", "F"},    // Codabar
        {"I", "L", "L", "L", "G"},    // Code 93
        {"H", "K", "K", "K", "C"},    // Code 128
        {"S", "E", "C", "E", "E"},    // UPCE
        {"P", "B", "B", "FF", "E"},   // EAN8
        {"M", "A", "A", "F", "E"},    // EAN13
        {"J", "A", "A", "A", "E"},    // UPCA
        {"V", "V", "D", "P", "M"},    // MSI
        {"W", "W", "E", "Q", "P"},    // Plessey
    };
    const char* const kLabels[kCodeIdCount] = {
        "Code 39", "Italian Pharmacode", "French Pharmacode", "Industrial 25", "Interleave 25",
        "Matrix 25", "Codabar", "Code 93", "Code 128", "UPCE", "EAN8", "EAN13", "UPCA", "MSI", "Plessey"};
    for (int k = 0; k < kCodeIdCount; ++k) EXPECT_STREQ(kCodeIdLabels[k], kLabels[k]);

    TerminalSettings s{};
    s.codeIdOn = 1;
    std::memset(s.codeId, 'Z', sizeof s.codeId);   // a second code left from before
    for (int set = 0; set < kCodeIdPresetCount; ++set) {
        CodeIdDialog d(s);
        d.loadPreset(set);
        TerminalSettings out = s;
        d.store(out);
        for (int k = 0; k < kCodeIdCount; ++k) {
            const std::string pair = kSets[k][set];
            EXPECT_EQ(out.codeId[k][0], static_cast<uint8_t>(pair[0])) << kLabels[k] << ", set " << set + 1;
            EXPECT_EQ(out.codeId[k][1], pair.size() > 1 ? static_cast<uint8_t>(pair[1]) : 0)
                << kLabels[k] << ", set " << set + 1;
        }
    }
}

TEST(CodeIdDialog, UntickingKeepsThePairsAndTheGridWritesAPair) {
    TerminalSettings s{};
    s.codeIdOn = 1;
    s.codeId[2][0] = 'X';
    s.codeId[2][1] = 'Y';
    std::memset(s.reserved256, 0x77, sizeof s.reserved256);
    ProgramModel m{};
    m.settings = s;
    CodeIdDialog d(m.settings);

    // The grid edits box 5 in place: two codes, a second 0 when one is picked.
    GridBox& box = d.box(5);
    CharacterGrid grid = box.openGrid();
    grid.clear();
    const int cellW = 20, cellH = 10;
    grid.click(cellW * (1 + 4) + 1, cellH * (1 + 1) + 1, cellW * 17, cellH * 17);   // 0x41 'A'
    box.closeGrid(grid, true);
    EXPECT_EQ(d.boxState(5).text, " A");

    d.setEnabled(false);
    d.commit(m);
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(m.settings.codeIdOn, 0);
    EXPECT_EQ(m.settings.codeId[2][0], 'X');
    EXPECT_EQ(m.settings.codeId[2][1], 'Y');
    EXPECT_EQ(m.settings.codeId[5][0], 'A');
    EXPECT_EQ(m.settings.codeId[5][1], 0);
    EXPECT_EQ(m.settings.reserved256[0], 0x77);
}

TEST(CodeIdDialog, PairsTheUserDidNotEditKeepTheirBytes) {
    TerminalSettings s{};
    s.codeIdOn = 1;
    s.codeId[0][0] = 0;      // a pair a box cannot show: the 0 ends it early
    s.codeId[0][1] = 'B';
    s.codeId[1][0] = 0;
    s.codeId[1][1] = 'C';
    CodeIdDialog d(s);
    EXPECT_EQ(d.boxState(0).text, "");

    // Box 1 edited through the grid: it holds what the user picked.
    GridBox& box = d.box(1);
    CharacterGrid grid = box.openGrid();
    const int cellW = 20, cellH = 10;
    grid.click(cellW * (1 + 4) + 1, cellH * (1 + 1) + 1, cellW * 17, cellH * 17);   // 0x41 'A'
    box.closeGrid(grid, true);

    TerminalSettings out = s;
    d.store(out);
    EXPECT_EQ(out.codeId[0][0], 0);
    EXPECT_EQ(out.codeId[0][1], 'B');
    EXPECT_EQ(out.codeId[1][0], 'A');
    EXPECT_EQ(out.codeId[1][1], 0);

    // "Clear" edits every pair.
    d.clear();
    d.store(out);
    EXPECT_EQ(out.codeId[0][1], 0);
}

}  // namespace
}  // namespace fw
