#include "simulator/face_geometry.h"

#include <cstdio>

namespace fw {

namespace {

// The hit test tries these bands in order; the first whose area holds the
// point decides, and within it only a key's own hit area counts. The middle
// band (up and down) comes before the ESC/backspace row because its top part
// lies in that row's y range.
struct HitBand {
    int left;
    int right;
    int top;
    int bottom;
    int keys[3];  // 0 = unused slot
};

constexpr int kAnyX0 = 0;
constexpr int kAnyX1 = kFaceWidth - 1;

constexpr HitBand kHitBands[] = {
    {kAnyX0, kAnyX1, 201, 236, {19, 20, 0}},
    {82, 125, 254, 303, {14, 15, 0}},
    {kAnyX0, kAnyX1, 283, 306, {13, 16, 0}},
    {kAnyX0, kAnyX1, 245, 277, {17, 18, 0}},
    {kAnyX0, kAnyX1, 311, 335, {1, 2, 3}},
    {kAnyX0, kAnyX1, 342, 366, {4, 5, 6}},
    {kAnyX0, kAnyX1, 373, 396, {7, 8, 9}},
    {kAnyX0, kAnyX1, 404, 427, {10, 11, 12}},
};

const char* const kMonthNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Two digits whatever the value, so the line keeps its width.
int twoDigits(int v) { return v < 0 ? 0 : v % 100; }

}  // namespace

const FaceKey* faceKey(int key) {
    if (key < 1 || key > kFaceKeyCount) return nullptr;
    return &kFaceKeys[static_cast<std::size_t>(key - 1)];
}

int hitTest(int x, int y) {
    for (const HitBand& band : kHitBands) {
        if (x < band.left || x > band.right || y < band.top || y > band.bottom) continue;
        for (int key : band.keys) {
            if (key != 0 && faceKey(key)->hits(x, y)) return key;
        }
        return 0;
    }
    return 0;
}

std::string clockLine(int month, int day, int hour, int minute, int tick,
                      int separateDataFiles, int recordCount) {
    const char* name = month >= 1 && month <= 12 ? kMonthNames[month - 1] : "???";
    const bool colon = ((tick % 10) + 10) % 10 < 5;
    char buf[48];
    std::snprintf(buf, sizeof buf, colon ? "%s%02d %02d:%02d " : "%s%02d %02d %02d ", name,
                  twoDigits(day), twoDigits(hour), twoDigits(minute));
    std::string line = buf;
    if (separateDataFiles == 0) line += recordCountDigits(recordCount);
    return line;
}

std::string recordCountDigits(int recordCount) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", recordCount < 0 ? 0 : recordCount % 10000);
    return digits;
}

}  // namespace fw
