#include "comm/data_receive.h"

#include <algorithm>

#include "comm/lookup_file.h"

namespace fw {

uint16_t dataRecordSum(std::span<const uint8_t> serialAndData) {
    unsigned sum = 0;
    for (uint8_t b : serialAndData) sum += b;
    return uint16_t(sum & 0xFFFF);
}

RecordCheck checkDataRecord(std::span<const uint8_t> reply, int expectedSerial,
                            std::span<const uint8_t> previousRecord, bool havePrevious) {
    const std::size_t L = reply.size();
    // A lone CR, or a fragment, has no serial and no sum; taken for a record
    // it would be compared, summed and written with a negative length.
    if (L < kDataRecordMinSize) return RecordCheck::tooShort;

    // The terminal resends the record it sent last when our "ACK\r" did not
    // reach it. Only a record we accepted can be a repeat: an empty first
    // record (serial 0, sum 0) must not pass for one of a zero-filled past.
    const auto withoutCr = reply.first(L - 1);
    if (havePrevious && withoutCr.size() == previousRecord.size() &&
        std::equal(withoutCr.begin(), withoutCr.end(), previousRecord.begin())) {
        return RecordCheck::repeat;
    }

    if (reply[0] != expectedSerial) return RecordCheck::wrongSerial;

    const uint16_t sum = dataRecordSum(reply.first(L - 3));
    if (reply[L - 3] != avoidCr(uint8_t(sum & 0xFF)) || reply[L - 2] != avoidCr(uint8_t(sum >> 8))) {
        return RecordCheck::badSum;
    }
    return RecordCheck::accept;
}

std::vector<uint8_t> dataRecordLine(std::span<const uint8_t> record) {
    std::vector<uint8_t> line;
    if (record.size() < kDataRecordMinSize) return line;
    line.assign(record.begin() + 1, record.end() - 3);
    line.push_back('\r');
    line.push_back('\n');
    return line;
}

}  // namespace fw
