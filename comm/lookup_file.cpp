#include "comm/lookup_file.h"

#include <algorithm>
#include <cstring>

namespace fw {

void frameLookupLine(std::span<const uint8_t> data, LookupLine& line) {
    const std::size_t n = std::min(data.size(), kLookupLineMax);
    unsigned sum = 0;   // at most 255 x 255 = 65,025: fits 16 bits
    for (std::size_t i = 0; i < n; ++i) sum += data[i];
    if (n > 0) std::memcpy(line.bytes, data.data(), n);
    // High byte first here; the data receive carries its sum the other way.
    line.bytes[n] = avoidCr(uint8_t(sum >> 8));
    line.bytes[n + 1] = avoidCr(uint8_t(sum & 0xFF));
    line.bytes[n + 2] = '\r';
    line.dataSize = n;
    line.size = n + 3;
}

bool readLookupLine(ByteSource& file, uint64_t& progress, LookupLine& line) {
    uint8_t data[kLookupLineMax];
    std::size_t n = 0;
    for (;;) {
        const int c = file.next();
        if (c < 0) break;
        if (c == '\n') {
            ++progress;
        } else if (c == '\r') {
            if (n > 0) break;
            ++progress;   // no data yet: an empty line
        } else if (n < kLookupLineMax) {
            data[n++] = uint8_t(c);
        } else {
            ++progress;
        }
    }
    if (n == 0) {
        line = LookupLine{};
        return false;
    }
    frameLookupLine(std::span<const uint8_t>(data, n), line);
    return true;
}

LookupLines readLookupLines(ByteSource& file, uint64_t fileSize) {
    LookupLines all;
    all.fileSize = fileSize;
    LookupLine line;
    for (;;) {
        uint64_t skipped = 0;
        if (!readLookupLine(file, skipped, line)) {
            all.skippedAtEnd = skipped;
            return all;
        }
        all.lines.push_back({all.frames.size(), line.size, skipped});
        all.frames.insert(all.frames.end(), line.bytes, line.bytes + line.size);
    }
}

}  // namespace fw
