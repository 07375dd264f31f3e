// Lookup files as the lookup download sends them: text, one record per line,
// each line framed with a 16-bit sum and CR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fw {

// The bytes of a file, one at a time from where the last one ended.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The next byte (0..255), or -1 at the end of the file or when reading
    // failed; the caller tells the two apart by the count it consumed.
    virtual int next() = 0;
};

// The terminal takes at most 255 bytes per line; the rest of a longer line is
// skipped up to its CR.
constexpr std::size_t kLookupLineMax = 255;

// One line on the wire: its n bytes unchanged (bytes above 0x7F included),
// the high and the low byte of their sum, CR. Neither sum byte may be a CR,
// which would end the line early on the terminal: 0x0D goes as 0x0E.
struct LookupLine {
    uint8_t bytes[kLookupLineMax + 3] = {};
    std::size_t size = 0;        // n + 3
    std::size_t dataSize = 0;    // n, 1..255

    std::span<const uint8_t> frame() const { return {bytes, size}; }
};

// A sum byte as the terminal wants it: never CR.
constexpr uint8_t avoidCr(uint8_t b) {
    return b == 0x0D ? uint8_t(0x0E) : b;
}

// Reads the next line from `file` and frames it. Each byte that is skipped
// adds 1 to `progress`: every LF, a CR before the first data byte of a line,
// and the bytes beyond 255 up to the line's CR. The CR that ends a line is
// consumed but not counted (the caller counts it with the line's bytes). The
// end of the file, or a failed read, ends the line with what it holds.
// False, and `line` empty, when no byte of a line was left.
bool readLookupLine(ByteSource& file, uint64_t& progress, LookupLine& line);

// Frames n line bytes (1..255) as the terminal expects them.
void frameLookupLine(std::span<const uint8_t> data, LookupLine& line);

// A lookup file read whole before its download, line by line as above: the
// frames back to back, and for each the file bytes skipped before and inside
// it. The download counts its progress against `fileSize`; lines that end
// before it (a read that failed) make the download fail at that point, as
// it would have had the file been read during it.
struct LookupLines {
    struct Entry {
        std::size_t offset = 0;   // of the frame in `frames`
        std::size_t size = 0;     // the frame's bytes: n + 3
        uint64_t skipped = 0;     // file bytes skipped before and inside the line
    };
    std::vector<uint8_t> frames;
    std::vector<Entry> lines;
    uint64_t skippedAtEnd = 0;    // after the last line
    uint64_t fileSize = 0;

    std::size_t count() const { return lines.size(); }
    std::span<const uint8_t> frame(std::size_t k) const {
        return {frames.data() + lines[k].offset, lines[k].size};
    }
};

// Reads every line of `file`, whose size was taken as `fileSize`.
LookupLines readLookupLines(ByteSource& file, uint64_t fileSize);

}  // namespace fw
