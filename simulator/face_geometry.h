// The painted terminal face: where the keys, the display and the clock line
// sit in the 210 x 464 client window, the key hit test, the clock line and
// the outline that the main window is cut to. Window pixels throughout.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace fw {

constexpr int kFaceWidth = 210;
constexpr int kFaceHeight = 464;
constexpr int kFaceKeyCount = 20;

struct FacePoint {
    int x;
    int y;
    constexpr bool operator==(const FacePoint&) const = default;
};

// A rectangle as the window system takes it: right and bottom are the first
// column and row outside it.
struct FaceRect {
    int left;
    int top;
    int right;
    int bottom;
    constexpr bool operator==(const FaceRect&) const = default;
};

// ---- Bitmaps -------------------------------------------------------------

constexpr int kBitmapBody = 500;          // 210 x 464, drawn at (0, 0)
constexpr int kBitmapCursor = 541;        // 9 x 13, field-entry cursor
constexpr int kBitmapHighlight = 542;     // 144 x 13, bar under the selected line
constexpr int kBitmapBlank = 543;         // 144 x 13, erases the clock line
constexpr int kBitmapAlphaOn = 544;       // 6 x 12, alphabetic entry on
constexpr int kBitmapAlphaOff = 545;      // 6 x 12, blank
constexpr int kFirstFaceBitmap = 500;
constexpr int kLastFaceBitmap = 545;

constexpr int releasedBitmap(int key) { return 500 + key; }
constexpr int pressedBitmap(int key) { return 520 + key; }

// ---- Keys ----------------------------------------------------------------

struct FaceKey {
    int key;            // 1-20, the number the engine receives
    int x;              // where both bitmaps of the key are drawn (top-left)
    int y;
    int width;          // bitmap size
    int height;
    int hitLeft;        // hit area, inclusive pixel ranges
    int hitRight;
    int hitTop;
    int hitBottom;

    constexpr int releasedBitmapId() const { return releasedBitmap(key); }
    constexpr int pressedBitmapId() const { return pressedBitmap(key); }
    constexpr FaceRect drawn() const { return {x, y, x + width, y + height}; }
    constexpr bool hits(int px, int py) const {
        return px >= hitLeft && px <= hitRight && py >= hitTop && py <= hitBottom;
    }
};

// Indexed by key number - 1. The hit areas of ESC (17) and backspace (18)
// reach three pixels past the right edge of their bitmaps.
inline constexpr std::array<FaceKey, kFaceKeyCount> kFaceKeys{{
    {1, 29, 309, 50, 28, 31, 76, 311, 335},
    {2, 82, 309, 50, 28, 84, 128, 311, 335},
    {3, 132, 309, 50, 28, 134, 179, 311, 335},
    {4, 31, 339, 48, 29, 33, 77, 342, 366},
    {5, 82, 339, 48, 29, 84, 128, 342, 366},
    {6, 131, 339, 48, 29, 133, 177, 342, 366},
    {7, 34, 370, 46, 29, 36, 78, 373, 396},
    {8, 83, 370, 46, 29, 85, 127, 373, 396},
    {9, 131, 370, 46, 29, 133, 175, 373, 396},
    {10, 37, 401, 44, 28, 40, 79, 404, 427},
    {11, 84, 401, 44, 28, 87, 126, 404, 427},
    {12, 129, 401, 44, 28, 132, 171, 404, 427},
    {13, 27, 281, 48, 28, 28, 73, 283, 306},
    {14, 80, 251, 52, 25, 82, 125, 254, 273},
    {15, 80, 282, 52, 25, 82, 125, 284, 303},
    {16, 136, 281, 48, 28, 137, 182, 283, 306},
    {17, 24, 243, 52, 36, 26, 78, 245, 277},
    {18, 135, 243, 52, 36, 137, 189, 245, 277},
    {19, 22, 200, 45, 39, 24, 65, 201, 236},
    {20, 144, 200, 45, 39, 145, 187, 201, 236},
}};

// Key roles that the window itself acts on.
constexpr int kKeyAlpha = 10;     // flips alphabetic entry in form entry (with 17)
constexpr int kKeyEsc = 17;
constexpr int kKeyMenu = 12;      // opens the command popup menu on release

// The key's row of the table; nullptr unless key is 1-20.
const FaceKey* faceKey(int key);

// The key (1-20) whose hit area holds the window point, or 0.
int hitTest(int x, int y);

struct FaceBitmap {
    int id;
    int width;
    int height;
};

namespace detail {
constexpr std::array<FaceBitmap, 46> makeFaceBitmaps() {
    std::array<FaceBitmap, 46> b{};
    b[0] = {kBitmapBody, kFaceWidth, kFaceHeight};
    for (const FaceKey& k : kFaceKeys) {
        b[static_cast<std::size_t>(k.key)] = {releasedBitmap(k.key), k.width, k.height};
        b[static_cast<std::size_t>(20 + k.key)] = {pressedBitmap(k.key), k.width, k.height};
    }
    b[41] = {kBitmapCursor, 9, 13};
    b[42] = {kBitmapHighlight, 144, 13};
    b[43] = {kBitmapBlank, 144, 13};
    b[44] = {kBitmapAlphaOn, 6, 12};
    b[45] = {kBitmapAlphaOff, 6, 12};
    return b;
}
}  // namespace detail

// All 46 bitmaps of the face, in number order (500 to 545).
inline constexpr std::array<FaceBitmap, 46> kFaceBitmaps = detail::makeFaceBitmaps();

// ---- Display -------------------------------------------------------------

constexpr int kDisplayLineCount = 8;
constexpr int kLineX = 29;
constexpr int kLineTop = 42;
constexpr int kLargePitch = 17;   // start and upload screens: 4 lines of 12
constexpr int kSmallPitch = 12;   // everything else: up to 8 lines of 16

// The display font: 16 high, 8 wide, fixed pitch (simulator/display_font.h).
constexpr int kDisplayFontHeight = 16;
constexpr int kDisplayFontWidth = 8;
// One character's column: the glyph's 8 pixels and one between, so that a
// line's characters, the entry cursor (9 wide) and the highlight bar (16
// columns, 144 wide) line up, and the 17 characters of the clock line end
// at the text area's right edge.
constexpr int kDisplayColumnWidth = 9;

// Text area, x 28 to 182 and y 42 to 141.
constexpr FaceRect kTextArea{28, 42, 182, 141};
// The part of the text area above the clock line.
constexpr FaceRect kTextAboveClock{28, 42, 182, 124};
// One small-font line r (0-based) of a form.
constexpr FaceRect smallLineRect(int r) { return {28, 42 + 12 * r, 182, 59 + 12 * r}; }

// Where display line i (0-based) is drawn.
constexpr FacePoint linePosition(int i, bool largePitch) {
    return {kLineX, kLineTop + i * (largePitch ? kLargePitch : kSmallPitch)};
}

// The highlight bar of line i goes two pixels below the line's origin.
constexpr FacePoint highlightBarPosition(int i, bool largePitch) {
    FacePoint p = linePosition(i, largePitch);
    return {p.x, p.y + 2};
}

// Field-entry cursor at a column and row of the small-font screen.
constexpr FacePoint cursorPosition(int column, int row) {
    return {kLineX + kDisplayColumnWidth * column, kLineTop + 1 + kSmallPitch * row};
}

constexpr FacePoint kIndicatorPosition{176, 117};
constexpr FacePoint kClockLinePosition{29, 124};
constexpr FacePoint kClockBarPosition{29, 126};

// The main menu's clock line: month abbreviation, day, hour and minute, the
// colon shown during ticks 0-4 and a space during ticks 5-9 of each second,
// then - unless collected data go to separate files - the record count as
// four digits. month is 1-12 (1 = "JAN"); another value shows "???".
// The count's four digits are recordCountDigits'.
std::string clockLine(int month, int day, int hour, int minute, int tick,
                      int separateDataFiles, int recordCount);

// The record count as the terminal shows it, on the clock line and in a
// counter field alike: its thousands, hundreds, tens and units digits
// (10000 shows "0000"); a negative count shows "0000".
std::string recordCountDigits(int recordCount);

// ---- Window outline ------------------------------------------------------

// The terminal's outline in window coordinates, the main window's region
// (winding fill). A staircase: every edge is horizontal or vertical.
inline constexpr std::array<FacePoint, 141> kTerminalOutline{{
    {0, 8}, {0, 188}, {1, 188}, {1, 204}, {2, 204}, {2, 220}, {3, 220}, {3, 235}, {4, 235},
    {4, 251}, {5, 251}, {5, 266}, {6, 266}, {6, 282}, {7, 282}, {7, 297}, {8, 297}, {8, 315},
    {9, 315}, {9, 325}, {10, 325}, {10, 335}, {11, 335}, {11, 344}, {12, 344}, {12, 354},
    {13, 354}, {13, 363}, {14, 363}, {14, 373}, {15, 373}, {15, 383}, {16, 383}, {16, 401},
    {17, 401}, {17, 411}, {18, 411}, {18, 421}, {19, 421}, {19, 430}, {20, 430}, {20, 439},
    {21, 439}, {21, 449}, {22, 449}, {22, 458}, {23, 458}, {23, 460}, {24, 460}, {24, 461},
    {27, 461}, {27, 462}, {44, 462}, {44, 463}, {72, 463}, {72, 464}, {138, 464}, {138, 463},
    {166, 463}, {166, 462}, {183, 462}, {183, 461}, {186, 461}, {186, 460}, {187, 460}, {187, 458},
    {188, 458}, {188, 450}, {189, 450}, {189, 440}, {190, 440}, {190, 431}, {191, 431}, {191, 421},
    {192, 421}, {192, 411}, {193, 411}, {193, 401}, {194, 401}, {194, 384}, {195, 384}, {195, 374},
    {196, 374}, {196, 364}, {197, 364}, {197, 354}, {198, 354}, {198, 344}, {199, 344}, {199, 335},
    {200, 335}, {200, 326}, {201, 326}, {201, 316}, {202, 316}, {202, 297}, {203, 297}, {203, 283},
    {204, 283}, {204, 267}, {205, 267}, {205, 251}, {206, 251}, {206, 236}, {207, 236}, {207, 220},
    {208, 220}, {208, 204}, {209, 204}, {209, 188}, {210, 188}, {210, 8}, {209, 8}, {209, 7},
    {208, 7}, {208, 6}, {198, 6}, {198, 5}, {188, 5}, {188, 4}, {177, 4}, {177, 3}, {164, 3},
    {164, 2}, {152, 2}, {152, 1}, {58, 1}, {58, 2}, {46, 2}, {46, 3}, {33, 3}, {33, 4}, {22, 4},
    {22, 5}, {12, 5}, {12, 6}, {2, 6}, {2, 7}, {1, 7}, {1, 8}, {0, 8}
}};

}  // namespace fw
