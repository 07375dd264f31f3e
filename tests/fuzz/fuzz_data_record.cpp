// Fuzzing the data-record checks of a data receive: one reply against an
// expected serial and the record accepted last. Beyond "no crash": a record
// is accepted only with the expected serial, both sum bytes right (low
// first, CR sent as 0x0E) and at least serial, sums and CR; only an exact
// copy of the last accepted record is a repeat; and the line written for an
// accepted record is its data bytes and CR LF, nothing more.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "comm/data_receive.h"
#include "comm/lookup_file.h"

namespace {

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int expected = data[0] % 10;
    const std::size_t split = std::min<std::size_t>(data[1], size - 2);
    const std::span<const uint8_t> previous(data + 2, split);
    const std::span<const uint8_t> reply(data + 2 + split, size - 2 - split);
    const bool havePrevious = (data[0] & 0x80) != 0;

    const fw::RecordCheck verdict = fw::checkDataRecord(reply, expected, previous, havePrevious);
    const std::size_t L = reply.size();
    const bool copy = havePrevious && L >= 1 && L - 1 == previous.size() &&
                      std::equal(previous.begin(), previous.end(), reply.begin());
    switch (verdict) {
    case fw::RecordCheck::tooShort:
        check(L < fw::kDataRecordMinSize);
        break;
    case fw::RecordCheck::repeat:
        check(copy && L >= fw::kDataRecordMinSize);
        break;
    case fw::RecordCheck::wrongSerial:
        check(!copy && reply[0] != expected);
        break;
    case fw::RecordCheck::badSum:
    case fw::RecordCheck::accept: {
        check(!copy && L >= fw::kDataRecordMinSize && reply[0] == expected);
        const uint16_t sum = fw::dataRecordSum(reply.first(L - 3));
        const bool sumOk = reply[L - 3] == fw::avoidCr(uint8_t(sum & 0xFF)) &&
                           reply[L - 2] == fw::avoidCr(uint8_t(sum >> 8));
        check(sumOk == (verdict == fw::RecordCheck::accept));
        if (sumOk) {
            const std::vector<uint8_t> line = fw::dataRecordLine(reply);
            check(line.size() == L - 2);
            check(std::equal(line.begin(), line.end() - 2, reply.begin() + 1));
            check(line[L - 4] == '\r' && line[L - 3] == '\n');
        }
        break;
    }
    }
    return 0;
}
