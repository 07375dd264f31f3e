#include "simulator/display_font.h"

#include "simulator/face_geometry.h"

namespace fw {

namespace {

struct GlyphEntry {
    unsigned char code;
    Glyph rows;
};

constexpr GlyphEntry kGlyphs[] = {
#include "simulator/display_font_glyphs.inc"
};

struct GlyphTable {
    std::array<const Glyph*, 256> byCode{};
    GlyphTable() {
        for (const GlyphEntry& g : kGlyphs) byCode[g.code] = &g.rows;
    }
};

const GlyphTable& table() {
    static const GlyphTable t;
    return t;
}

}  // namespace

// A box the height of a capital: rows 3 to 11, columns 1 to 7.
const Glyph kMissingGlyph{0, 0, 0, 0x7F, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x7F, 0, 0, 0, 0};

const Glyph& displayGlyph(unsigned char code) {
    const Glyph* g = table().byCode[code];
    return g ? *g : kMissingGlyph;
}

bool hasDisplayGlyph(unsigned char code) { return table().byCode[code] != nullptr; }

Ink DisplayInk::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= kFaceWidth || y >= kFaceHeight) return Ink::None;
    return pixels[static_cast<std::size_t>(y * kFaceWidth + x)];
}

DisplayInk drawDisplayText(const DisplayPicture& picture) {
    DisplayInk ink;
    ink.pixels.assign(static_cast<std::size_t>(kFaceWidth * kFaceHeight), Ink::None);
    for (const DisplayText& t : picture.texts) {
        const Ink colour = t.light ? Ink::Light : Ink::Dark;
        int left = t.at.x;
        for (char c : t.text) {
            const Glyph& g = displayGlyph(static_cast<unsigned char>(c));
            for (int row = 0; row < kGlyphHeight; ++row) {
                const int y = t.at.y + row;
                if (y < 0 || y >= kFaceHeight) continue;
                for (int col = 0; col < kGlyphWidth; ++col) {
                    const int x = left + col;
                    if (x < 0 || x >= kFaceWidth || !(g[static_cast<std::size_t>(row)] & (0x80 >> col))) continue;
                    ink.pixels[static_cast<std::size_t>(y * kFaceWidth + x)] = colour;
                }
            }
            left += kDisplayColumnWidth;
        }
    }
    return ink;
}

}  // namespace fw
