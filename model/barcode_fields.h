// The named fields of the 23-byte BarcodeSettings block.
//
// One table names every field the designer owns: its byte, its lowest bit and
// its width in bits (bit 7 is a byte's most significant bit). The names are
// stable keys: pages, dialogs and file exports address fields by them. Bits
// that no row names are reserved: loaded from a file, they must survive every
// write, so every write here is a read-modify-write of the field's own bits.
//
// A length qualification (two bytes) appears as three fields:
//   <symbology>LengthRangeMode  first byte, bit 7: 0 fixed lengths, 1 max/min
//   <symbology>LengthFirst      first byte, bits 6-0: fixed length 1 or maximum
//   <symbology>LengthSecond     second byte: fixed length 2 or minimum
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/program_model.h"

namespace fw {

// X(name, byte, lowest bit, width)
#define FW_BARCODE_FIELDS(X)                          \
    X(code39On, 0, 7, 1)                              \
    X(italianPharmaOn, 0, 6, 1)                       \
    X(frenchPharmaOn, 0, 5, 1)                        \
    X(industrial25On, 0, 4, 1)                        \
    X(interleave25On, 0, 3, 1)                        \
    X(matrix25On, 0, 2, 1)                            \
    X(codabarOn, 0, 1, 1)                             \
    X(code93On, 0, 0, 1)                              \
    X(code128On, 1, 7, 1)                             \
    X(upceOn, 1, 6, 1)                                \
    X(upceAddon2On, 1, 5, 1)                          \
    X(upceAddon5On, 1, 4, 1)                          \
    X(ean8On, 1, 3, 1)                                \
    X(ean8Addon2On, 1, 2, 1)                          \
    X(ean8Addon5On, 1, 1, 1)                          \
    X(ean13UpcaOn, 1, 0, 1)                           \
    X(ean13Addon2On, 2, 7, 1)                         \
    X(ean13Addon5On, 2, 6, 1)                         \
    X(msiOn, 2, 5, 1)                                 \
    X(plesseyOn, 2, 4, 1)                             \
    X(telepenOn, 2, 2, 1)                             \
    X(telepenNumeric, 2, 1, 1)                        \
    X(rss14LimitedOn, 2, 0, 1)                        \
    X(rss14ExpandedOn, 3, 7, 1)                       \
    X(rss14On, 3, 6, 1)                               \
    X(rss14SendCodeId, 3, 5, 1)                       \
    X(rss14SendAppId, 3, 4, 1)                        \
    X(rss14SendCheckDigit, 3, 3, 1)                   \
    X(rss14LimitedSendCodeId, 3, 2, 1)                \
    X(rss14LimitedSendAppId, 3, 1, 1)                 \
    X(rss14LimitedSendCheckDigit, 3, 0, 1)            \
    X(rss14ExpandedSendCodeId, 4, 7, 1)               \
    X(code39SendStartStop, 5, 7, 1)                   \
    X(code39VerifyChecksum, 5, 6, 1)                  \
    X(code39SendChecksum, 5, 5, 1)                    \
    X(code39FullAscii, 5, 4, 1)                       \
    X(italianPharmaSendChecksum, 5, 3, 1)             \
    X(frenchPharmaSendChecksum, 5, 2, 1)              \
    X(interleave25VerifyChecksum, 5, 1, 1)            \
    X(interleave25SendChecksum, 5, 0, 1)              \
    X(industrial25VerifyChecksum, 6, 7, 1)            \
    X(industrial25SendChecksum, 6, 6, 1)              \
    X(matrix25VerifyChecksum, 6, 5, 1)                \
    X(matrix25SendChecksum, 6, 4, 1)                  \
    X(interleave25StartStop, 6, 2, 2)                 \
    X(industrial25StartStop, 6, 0, 2)                 \
    X(matrix25StartStop, 7, 6, 2)                     \
    X(codabarStartStopKind, 7, 4, 2)                  \
    X(codabarSendStartStop, 7, 3, 1)                  \
    X(msiCheckMode, 9, 6, 2)                          \
    X(msiCheckSend, 9, 4, 2)                          \
    X(plesseySendChecksum, 9, 3, 1)                   \
    X(plesseyToUk, 9, 2, 1)                           \
    X(upceToUpca, 9, 1, 1)                            \
    X(upcaToEan13, 9, 0, 1)                           \
    X(ean13Isbn, 10, 7, 1)                            \
    X(ean13Issn, 10, 6, 1)                            \
    X(upceSendChecksum, 10, 5, 1)                     \
    X(upcaSendChecksum, 10, 4, 1)                     \
    X(ean8SendChecksum, 10, 3, 1)                     \
    X(ean13SendChecksum, 10, 2, 1)                    \
    X(upceSendSystemNumber, 10, 1, 1)                 \
    X(upcaSendSystemNumber, 10, 0, 1)                 \
    X(ean8ToEan13, 11, 7, 1)                          \
    X(negativeBarcode, 11, 4, 1)                      \
    X(readRedundancy, 11, 2, 2)                       \
    X(industrial25LengthRangeMode, 12, 7, 1)          \
    X(industrial25LengthFirst, 12, 0, 7)              \
    X(industrial25LengthSecond, 13, 0, 8)             \
    X(interleave25LengthRangeMode, 14, 7, 1)          \
    X(interleave25LengthFirst, 14, 0, 7)              \
    X(interleave25LengthSecond, 15, 0, 8)             \
    X(matrix25LengthRangeMode, 16, 7, 1)              \
    X(matrix25LengthFirst, 16, 0, 7)                  \
    X(matrix25LengthSecond, 17, 0, 8)                 \
    X(msiLengthRangeMode, 18, 7, 1)                   \
    X(msiLengthFirst, 18, 0, 7)                       \
    X(msiLengthSecond, 19, 0, 8)                      \
    X(scanMode, 20, 4, 4)                             \
    X(readTimeout, 21, 0, 8)                          \
    X(ean128Off, 22, 7, 1)                            \
    X(ean128On, 22, 6, 1)                             \
    X(ean128SendCodeId, 22, 5, 1)

enum class BarcodeFieldId : uint8_t {
#define FW_BARCODE_FIELD_ENUM(name, byte, bit, width) name,
    FW_BARCODE_FIELDS(FW_BARCODE_FIELD_ENUM)
#undef FW_BARCODE_FIELD_ENUM
};

struct BarcodeField {
    const char* name;
    uint8_t byte;   // 0..22
    uint8_t bit;    // lowest bit of the field, 0..7
    uint8_t width;  // bits, 1..8; a field never crosses a byte
    constexpr uint8_t mask() const {
        return static_cast<uint8_t>(((1u << width) - 1u) << bit);
    }
};

inline constexpr BarcodeField kBarcodeFields[] = {
#define FW_BARCODE_FIELD_ROW(name, byte, bit, width) {#name, byte, bit, width},
    FW_BARCODE_FIELDS(FW_BARCODE_FIELD_ROW)
#undef FW_BARCODE_FIELD_ROW
};

inline constexpr std::size_t kBarcodeFieldCount = sizeof kBarcodeFields / sizeof kBarcodeFields[0];

constexpr const BarcodeField& barcodeField(BarcodeFieldId id) {
    return kBarcodeFields[static_cast<std::size_t>(id)];
}

// The field's value, 0 .. 2^width - 1.
unsigned readBarcodeField(const BarcodeSettings& b, BarcodeFieldId id);
unsigned readBarcodeField(const BarcodeSettings& b, const BarcodeField& f);

// Stores the low `width` bits of value; every other bit of the block stays.
void writeBarcodeField(BarcodeSettings& b, BarcodeFieldId id, unsigned value);
void writeBarcodeField(BarcodeSettings& b, const BarcodeField& f, unsigned value);

// The row of that name, or nullptr.
const BarcodeField* findBarcodeField(std::string_view name);

// The bits of byte i that some field owns; the others are reserved.
uint8_t barcodeOwnedBits(std::size_t byteIndex);

}  // namespace fw
