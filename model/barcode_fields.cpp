#include "model/barcode_fields.h"

namespace fw {

namespace {

constexpr bool rowsAreSound() {
    for (const BarcodeField& f : kBarcodeFields) {
        if (f.byte >= sizeof(BarcodeSettings{}.bytes) || f.width == 0 || f.bit + f.width > 8)
            return false;
    }
    // No two rows share a bit.
    for (std::size_t i = 0; i < kBarcodeFieldCount; ++i)
        for (std::size_t j = i + 1; j < kBarcodeFieldCount; ++j)
            if (kBarcodeFields[i].byte == kBarcodeFields[j].byte &&
                (kBarcodeFields[i].mask() & kBarcodeFields[j].mask()) != 0)
                return false;
    return true;
}
static_assert(rowsAreSound(), "a barcode field leaves its byte or overlaps another");

}  // namespace

unsigned readBarcodeField(const BarcodeSettings& b, const BarcodeField& f) {
    return static_cast<unsigned>((b.bytes[f.byte] & f.mask()) >> f.bit);
}

unsigned readBarcodeField(const BarcodeSettings& b, BarcodeFieldId id) {
    return readBarcodeField(b, barcodeField(id));
}

void writeBarcodeField(BarcodeSettings& b, const BarcodeField& f, unsigned value) {
    const uint8_t mask = f.mask();
    const uint8_t bits = static_cast<uint8_t>((value << f.bit) & mask);
    b.bytes[f.byte] = static_cast<uint8_t>((b.bytes[f.byte] & ~mask) | bits);
}

void writeBarcodeField(BarcodeSettings& b, BarcodeFieldId id, unsigned value) {
    writeBarcodeField(b, barcodeField(id), value);
}

const BarcodeField* findBarcodeField(std::string_view name) {
    for (const BarcodeField& f : kBarcodeFields)
        if (name == f.name) return &f;
    return nullptr;
}

uint8_t barcodeOwnedBits(std::size_t byteIndex) {
    uint8_t owned = 0;
    for (const BarcodeField& f : kBarcodeFields)
        if (f.byte == byteIndex) owned = static_cast<uint8_t>(owned | f.mask());
    return owned;
}

}  // namespace fw
