// Fuzzing the lookup line reader over any file. Beyond "no crash": every
// frame holds 1..255 line bytes with no CR or LF, its two sum bytes (high
// first, never CR) and a closing CR; and every byte of the file is counted
// once, as the progress bar counts it: the lines and their CRs plus what was
// skipped add up to the file's size, or one more when the last line has no
// CR.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "comm/lookup_file.h"

namespace {

class Bytes final : public fw::ByteSource {
public:
    Bytes(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    int next() override { return pos_ < size_ ? data_[pos_++] : -1; }
    std::size_t pos() const { return pos_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Bytes file(data, size);
    uint64_t progress = 0;
    fw::LookupLine line;
    while (fw::readLookupLine(file, progress, line)) {
        const std::size_t n = line.dataSize;
        check(n >= 1 && n <= fw::kLookupLineMax && line.size == n + 3);
        unsigned sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            check(line.bytes[i] != '\r' && line.bytes[i] != '\n');
            sum += line.bytes[i];
        }
        check(line.bytes[n] == fw::avoidCr(uint8_t(sum >> 8)));
        check(line.bytes[n + 1] == fw::avoidCr(uint8_t(sum & 0xFF)));
        check(line.bytes[n] != '\r' && line.bytes[n + 1] != '\r' && line.bytes[n + 2] == '\r');
        progress += n + 1;   // the line and its CR, as the download counts them
        check(progress <= file.pos() + 1);
    }
    check(line.size == 0 && file.pos() == size);
    const bool lastLineWithoutCr = progress == size + 1;
    check(progress == size || lastLineWithoutCr);
    return 0;
}
