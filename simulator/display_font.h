// The display's own bitmap font and the text of a DisplayPicture drawn with
// it. The font is ours (tools/artwork/display_font.txt) so that the display
// looks the same on every system: a font asked for by name is substituted
// differently from one Windows to the next, and the text then no longer
// fits the display's columns.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simulator/display_picture.h"
#include "simulator/face_geometry.h"

namespace fw {

constexpr int kGlyphWidth = kDisplayFontWidth;
constexpr int kGlyphHeight = kDisplayFontHeight;

// One cell: 16 rows, the leftmost pixel in the high bit.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of a Windows-1252 code; a code the font does not draw gives
// kMissingGlyph, a box, so that an unexpected character is seen, never lost.
const Glyph& displayGlyph(unsigned char code);
bool hasDisplayGlyph(unsigned char code);
extern const Glyph kMissingGlyph;

enum class Ink : std::uint8_t { None, Dark, Light };

// The texts of a picture as pixels of the face (kFaceWidth x kFaceHeight),
// one Ink a pixel: each character's cell at the run's position plus one
// column (kDisplayColumnWidth) a character, dark or light as the run says.
// Later runs draw over earlier ones; pixels off the face are dropped.
struct DisplayInk {
    std::vector<Ink> pixels;
    Ink at(int x, int y) const;
};
DisplayInk drawDisplayText(const DisplayPicture& picture);

}  // namespace fw
