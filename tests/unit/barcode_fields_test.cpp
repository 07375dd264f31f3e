#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "model/barcode_fields.h"
#include "model/program_defaults.h"

namespace fw {
namespace {

struct Expected {
    const char* name;
    int byte, bit, width;
};

// The bit map written out once more, independently of the X table, so a
// slipped row (wrong byte, shifted bit) in either shows up.
constexpr Expected kMap[] = {
    {"code39On", 0, 7, 1}, {"italianPharmaOn", 0, 6, 1}, {"frenchPharmaOn", 0, 5, 1},
    {"industrial25On", 0, 4, 1}, {"interleave25On", 0, 3, 1}, {"matrix25On", 0, 2, 1},
    {"codabarOn", 0, 1, 1}, {"code93On", 0, 0, 1},
    {"code128On", 1, 7, 1}, {"upceOn", 1, 6, 1}, {"upceAddon2On", 1, 5, 1},
    {"upceAddon5On", 1, 4, 1}, {"ean8On", 1, 3, 1}, {"ean8Addon2On", 1, 2, 1},
    {"ean8Addon5On", 1, 1, 1}, {"ean13UpcaOn", 1, 0, 1},
    {"ean13Addon2On", 2, 7, 1}, {"ean13Addon5On", 2, 6, 1}, {"msiOn", 2, 5, 1},
    {"plesseyOn", 2, 4, 1}, {"telepenOn", 2, 2, 1}, {"telepenNumeric", 2, 1, 1},
    {"rss14LimitedOn", 2, 0, 1},
    {"rss14ExpandedOn", 3, 7, 1}, {"rss14On", 3, 6, 1}, {"rss14SendCodeId", 3, 5, 1},
    {"rss14SendAppId", 3, 4, 1}, {"rss14SendCheckDigit", 3, 3, 1},
    {"rss14LimitedSendCodeId", 3, 2, 1}, {"rss14LimitedSendAppId", 3, 1, 1},
    {"rss14LimitedSendCheckDigit", 3, 0, 1},
    {"rss14ExpandedSendCodeId", 4, 7, 1},
    {"code39SendStartStop", 5, 7, 1}, {"code39VerifyChecksum", 5, 6, 1},
    {"code39SendChecksum", 5, 5, 1}, {"code39FullAscii", 5, 4, 1},
    {"italianPharmaSendChecksum", 5, 3, 1}, {"frenchPharmaSendChecksum", 5, 2, 1},
    {"interleave25VerifyChecksum", 5, 1, 1}, {"interleave25SendChecksum", 5, 0, 1},
    {"industrial25VerifyChecksum", 6, 7, 1}, {"industrial25SendChecksum", 6, 6, 1},
    {"matrix25VerifyChecksum", 6, 5, 1}, {"matrix25SendChecksum", 6, 4, 1},
    {"interleave25StartStop", 6, 2, 2}, {"industrial25StartStop", 6, 0, 2},
    {"matrix25StartStop", 7, 6, 2}, {"codabarStartStopKind", 7, 4, 2},
    {"codabarSendStartStop", 7, 3, 1},
    {"msiCheckMode", 9, 6, 2}, {"msiCheckSend", 9, 4, 2}, {"plesseySendChecksum", 9, 3, 1},
    {"plesseyToUk", 9, 2, 1}, {"upceToUpca", 9, 1, 1}, {"upcaToEan13", 9, 0, 1},
    {"ean13Isbn", 10, 7, 1}, {"ean13Issn", 10, 6, 1}, {"upceSendChecksum", 10, 5, 1},
    {"upcaSendChecksum", 10, 4, 1}, {"ean8SendChecksum", 10, 3, 1},
    {"ean13SendChecksum", 10, 2, 1}, {"upceSendSystemNumber", 10, 1, 1},
    {"upcaSendSystemNumber", 10, 0, 1},
    {"ean8ToEan13", 11, 7, 1}, {"negativeBarcode", 11, 4, 1}, {"readRedundancy", 11, 2, 2},
    {"industrial25LengthRangeMode", 12, 7, 1}, {"industrial25LengthFirst", 12, 0, 7},
    {"industrial25LengthSecond", 13, 0, 8},
    {"interleave25LengthRangeMode", 14, 7, 1}, {"interleave25LengthFirst", 14, 0, 7},
    {"interleave25LengthSecond", 15, 0, 8},
    {"matrix25LengthRangeMode", 16, 7, 1}, {"matrix25LengthFirst", 16, 0, 7},
    {"matrix25LengthSecond", 17, 0, 8},
    {"msiLengthRangeMode", 18, 7, 1}, {"msiLengthFirst", 18, 0, 7},
    {"msiLengthSecond", 19, 0, 8},
    {"scanMode", 20, 4, 4}, {"readTimeout", 21, 0, 8},
    {"ean128Off", 22, 7, 1}, {"ean128On", 22, 6, 1}, {"ean128SendCodeId", 22, 5, 1},
};

TEST(BarcodeFields, TableMatchesTheBitMapAndNamesAreUnique) {
    ASSERT_EQ(kBarcodeFieldCount, std::size(kMap));
    std::set<std::string> names;
    for (const Expected& e : kMap) {
        const BarcodeField* f = findBarcodeField(e.name);
        ASSERT_NE(f, nullptr) << e.name;
        EXPECT_EQ(f->byte, e.byte) << e.name;
        EXPECT_EQ(f->bit, e.bit) << e.name;
        EXPECT_EQ(f->width, e.width) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
    }
    EXPECT_EQ(findBarcodeField("nonsense"), nullptr);
    EXPECT_EQ(findBarcodeField(""), nullptr);
}

// Each field is written with every value its width holds (a few for the wide
// ones) into a block whose every other bit is set, and into one that is all
// zero: the field reads back what was written and not one other bit moves.
TEST(BarcodeFields, EveryFieldRoundTripsAndLeavesEveryOtherBitAlone) {
    for (const BarcodeField& f : kBarcodeFields) {
        const unsigned top = (1u << f.width) - 1u;
        const unsigned values[] = {0u, 1u, top / 2u, top - 1u, top};
        for (uint8_t background : {uint8_t{0xFF}, uint8_t{0x00}}) {
            for (unsigned v : values) {
                BarcodeSettings b;
                std::memset(b.bytes, background, sizeof b.bytes);
                writeBarcodeField(b, f, v);
                EXPECT_EQ(readBarcodeField(b, f), v) << f.name;
                for (std::size_t i = 0; i < sizeof b.bytes; ++i) {
                    const uint8_t others = i == f.byte ? static_cast<uint8_t>(~f.mask()) : 0xFF;
                    EXPECT_EQ(b.bytes[i] & others, background & others)
                        << f.name << " moved a bit of byte " << i;
                }
            }
        }
    }
}

TEST(BarcodeFields, WideValuesAreCutToTheFieldAndIdsReachTheirRows) {
    BarcodeSettings b{};
    writeBarcodeField(b, BarcodeFieldId::industrial25LengthFirst, 200);  // 7 bits: 200 & 127
    EXPECT_EQ(readBarcodeField(b, BarcodeFieldId::industrial25LengthFirst), 200u & 0x7Fu);
    EXPECT_EQ(readBarcodeField(b, BarcodeFieldId::industrial25LengthRangeMode), 0u);
    writeBarcodeField(b, BarcodeFieldId::scanMode, 6);
    EXPECT_EQ(b.bytes[20], 0x60);
    EXPECT_STREQ(barcodeField(BarcodeFieldId::ean128SendCodeId).name, "ean128SendCodeId");
}

TEST(BarcodeFields, ReservedBitsAreExactlyTheUnnamedOnes) {
    // Byte 4 bits 6-0, byte 7 bits 2-0, byte 8, byte 11 bits 6, 5, 1, 0,
    // byte 20 bits 3-0, byte 22 bits 4-0 and byte 2 bit 3 belong to no field.
    const uint8_t owned[23] = {0xFF, 0xFF, 0xF7, 0xFF, 0x80, 0xFF, 0xFF, 0xF8,
                               0x00, 0xFF, 0xFF, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xE0};
    for (std::size_t i = 0; i < 23; ++i) EXPECT_EQ(barcodeOwnedBits(i), owned[i]) << i;
}

// The multi-bit fields read the values a new program is documented to get.
TEST(BarcodeFields, NewProgramValuesReadBackByName) {
    ProgramModel m{};
    resetBarcodeDefaults(m);
    const std::pair<const char*, unsigned> expected[] = {
        {"interleave25StartStop", 1}, {"industrial25StartStop", 0}, {"matrix25StartStop", 2},
        {"codabarStartStopKind", 0}, {"msiCheckMode", 0}, {"msiCheckSend", 1},
        {"readRedundancy", 0}, {"scanMode", 6}, {"readTimeout", 3},
        {"industrial25LengthRangeMode", 1}, {"industrial25LengthFirst", 127}, {"industrial25LengthSecond", 1},
        {"interleave25LengthRangeMode", 1}, {"interleave25LengthFirst", 126}, {"interleave25LengthSecond", 1},
        {"matrix25LengthFirst", 127}, {"msiLengthFirst", 127}, {"msiLengthSecond", 1},
        {"code39On", 1}, {"code39SendChecksum", 1}, {"upcaToEan13", 1}, {"rss14ExpandedSendCodeId", 1},
        {"ean128Off", 0}, {"ean128On", 0},
    };
    for (const auto& [name, value] : expected) {
        const BarcodeField* f = findBarcodeField(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(readBarcodeField(m.barcode, *f), value) << name;
    }
}

}  // namespace
}  // namespace fw
