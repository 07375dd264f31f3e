#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "simulator/display_font.h"
#include "simulator/face_geometry.h"
#include "simulator/simulation_engine.h"

namespace fw {
namespace {

bool inked(const Glyph& g, int col, int row) { return (g[static_cast<std::size_t>(row)] & (0x80 >> col)) != 0; }

// Every pixel of the cell at (x, y) is the glyph's, in the given ink.
void expectGlyphAt(const DisplayInk& ink, unsigned char code, int x, int y, Ink colour) {
    const Glyph& g = displayGlyph(code);
    for (int row = 0; row < kGlyphHeight; ++row)
        for (int col = 0; col < kGlyphWidth; ++col)
            ASSERT_EQ(ink.at(x + col, y + row), inked(g, col, row) ? colour : Ink::None)
                << "'" << code << "' pixel " << col << "," << row << " at " << x << "," << y;
}

DisplayPicture oneRun(FacePoint at, std::string text, bool light = false) {
    DisplayPicture p;
    p.texts.push_back({at, std::move(text), light});
    return p;
}

TEST(DisplayFont, DrawsEveryCharacterOfTheCodePageInItsOwnCell) {
    std::set<Glyph> seen;
    for (int c = 0x21; c <= 0xFF; ++c) {
        const auto code = static_cast<unsigned char>(c);
        // DEL and the five codes the code page leaves undefined show the box.
        const bool undefined = c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        ASSERT_EQ(hasDisplayGlyph(code), !undefined) << std::hex << c;
        if (undefined) continue;
        const Glyph& g = displayGlyph(code);
        EXPECT_NE(g, kMissingGlyph) << std::hex << c;
        // No two look alike, but for the no-break space (a space) and the
        // low single quote (a comma).
        if (c != 0xA0 && c != 0x82) {
            EXPECT_TRUE(seen.insert(g).second) << std::hex << c << " looks like another";
        }
        // The first column stays clear, so that neighbouring characters
        // never touch, and only accents rise above a capital's top.
        for (int row = 0; row < kGlyphHeight; ++row) {
            EXPECT_FALSE(inked(g, 0, row)) << std::hex << c;
            if (row > 13 || (row < 3 && c < 0x80)) {
                EXPECT_EQ(g[static_cast<std::size_t>(row)], 0) << std::hex << c << " row " << row;
            }
        }
    }
    EXPECT_TRUE(hasDisplayGlyph(' '));
    EXPECT_EQ(displayGlyph(' '), Glyph{});
    EXPECT_EQ(displayGlyph(0xA0), Glyph{});
}

TEST(DisplayFont, AnUnknownCodeDrawsTheBox) {
    EXPECT_FALSE(hasDisplayGlyph(0x01));
    EXPECT_FALSE(hasDisplayGlyph(0x7F));
    EXPECT_EQ(displayGlyph(0x01), kMissingGlyph);
    EXPECT_EQ(displayGlyph(0x81), kMissingGlyph);
    expectGlyphAt(drawDisplayText(oneRun({40, 60}, "\x01")), 0x01, 40, 60, Ink::Dark);
    EXPECT_EQ(drawDisplayText(oneRun({40, 60}, "\x01")).at(41, 63), Ink::Dark);   // the box's corner
}

TEST(DisplayFont, AccentedLettersKeepTheirBaseLetter) {
    const std::pair<unsigned char, char> letters[] = {{0xE9, 'e'}, {0xFC, 'u'}, {0xC4, 'A'}, {0xD1, 'N'}, {0xF1, 'n'}};
    for (auto [accented, base] : letters) {
        ASSERT_TRUE(hasDisplayGlyph(accented)) << int(accented);
        const Glyph& a = displayGlyph(accented);
        const Glyph& b = displayGlyph(static_cast<unsigned char>(base));
        EXPECT_NE(a, b);
        for (std::size_t row = 0; row < a.size(); ++row) EXPECT_EQ(a[row] & b[row], b[row]) << base;
    }
    EXPECT_NE(displayGlyph(0xE9), displayGlyph(0xE8));   // é and è
    // The accented i loses its dot under the accent: only the stem of the i
    // stays below it.
    for (unsigned char accented : {0xEC, 0xED, 0xEE, 0xEF}) {
        const Glyph& a = displayGlyph(accented);
        const Glyph& i = displayGlyph('i');
        for (std::size_t row = 5; row < a.size(); ++row) EXPECT_EQ(a[row], i[row]) << int(accented);
        EXPECT_EQ(a[4], 0) << int(accented);   // one row clear between the accent and the stem
    }
}

// A character a column: the cursor (one column wide) and a letter drawn on
// it land on the character of the line at the cursor's column.
TEST(DisplayFont, CharactersLandAtTheRunPositionOneColumnApart) {
    const DisplayInk ink = drawDisplayText(oneRun({29, 54}, "Hg1"));
    expectGlyphAt(ink, 'H', 29, 54, Ink::Dark);
    expectGlyphAt(ink, 'g', 38, 54, Ink::Dark);
    expectGlyphAt(ink, '1', 47, 54, Ink::Dark);
    EXPECT_EQ(cursorPosition(2, 1).x, 47);
    EXPECT_EQ(cursorPosition(2, 1).y, 55);
    // The capital's stems start one pixel right of the run's position, on
    // row 3 of its cell.
    EXPECT_EQ(ink.at(30, 57), Ink::Dark);
    EXPECT_EQ(ink.at(29, 57), Ink::None);
    EXPECT_EQ(ink.at(30, 56), Ink::None);
    EXPECT_EQ(ink.at(36, 65), Ink::Dark);   // right stem, bottom row
    EXPECT_EQ(ink.at(30, 66), Ink::None);
    // Nothing is drawn outside the three cells.
    int total = 0;
    for (Ink i : ink.pixels) total += i != Ink::None;
    int expected = 0;
    for (char c : std::string("Hg1"))
        for (std::uint8_t row : displayGlyph(static_cast<unsigned char>(c))) expected += std::popcount(row);
    EXPECT_EQ(total, expected);
}

TEST(DisplayFont, LaterRunsDrawOverEarlierOnesAndTheEdgeClips) {
    DisplayPicture p = oneRun({29, 42}, "OOO");
    p.texts.push_back({{38, 42}, "I", true});   // a letter on the cursor block
    const DisplayInk ink = drawDisplayText(p);
    expectGlyphAt(ink, 'O', 29, 42, Ink::Dark);
    EXPECT_EQ(ink.at(42, 46), Ink::Light);     // the I's stem
    EXPECT_EQ(ink.at(39, 46), Ink::Dark);      // the O underneath is kept where the I has no ink

    // Runs running off the face are cut, not written past the buffer.
    const DisplayInk edge = drawDisplayText(oneRun({kFaceWidth - 4, kFaceHeight - 6}, "HHHH"));
    EXPECT_EQ(edge.pixels.size(), static_cast<std::size_t>(kFaceWidth * kFaceHeight));
    EXPECT_EQ(edge.at(kFaceWidth - 3, kFaceHeight - 3), Ink::Dark);
    EXPECT_EQ(edge.at(kFaceWidth, kFaceHeight - 3), Ink::None);
    const DisplayInk above = drawDisplayText(oneRun({-3, -8}, "H"));
    EXPECT_EQ(above.at(4, 0), Ink::Dark);   // the right stem, rows 3-11 shifted up by 8
}

// The start screen as the window paints it: the highlighted line in light
// ink inside its bar, the others and the clock dark, at their positions.
TEST(DisplayFont, StartScreenTextSitsOnTheDisplayLines) {
    DefaultTexts texts;
    loadDefaultTexts(texts);
    ProgramModel model;
    newProgram(model, texts);
    SimulationEngine engine(model, texts, [] { return LocalTime{}; });
    ASSERT_EQ(engine.mode(), EngineMode::Start);
    ASSERT_EQ(engine.highlight(), 1);
    const DisplayPicture picture = composeDisplay(engine, "DEC07 14:59 0000");
    const DisplayInk ink = drawDisplayText(picture);

    const std::string first(engine.line(0));
    const FacePoint at = linePosition(0, engine.largePitch());
    for (std::size_t i = 0; i < first.size(); ++i)
        expectGlyphAt(ink, static_cast<unsigned char>(first[i]), at.x + kDisplayColumnWidth * static_cast<int>(i), at.y, Ink::Light);
    // The light ink stays on the highlight bar (144 x 13).
    const FacePoint bar = highlightBarPosition(0, engine.largePitch());
    for (int y = 0; y < kFaceHeight; ++y)
        for (int x = 0; x < kFaceWidth; ++x)
            if (ink.at(x, y) == Ink::Light) {
                EXPECT_TRUE(x >= bar.x && x < bar.x + 144 && y >= bar.y && y < bar.y + 13) << x << "," << y;
            }

    const std::string second(engine.line(1));
    const FacePoint at2 = linePosition(1, engine.largePitch());
    for (std::size_t i = 0; i < second.size(); ++i)
        expectGlyphAt(ink, static_cast<unsigned char>(second[i]), at2.x + kDisplayColumnWidth * static_cast<int>(i), at2.y, Ink::Dark);
    expectGlyphAt(ink, 'D', kClockLinePosition.x, kClockLinePosition.y, Ink::Dark);
    expectGlyphAt(ink, ':', kClockLinePosition.x + kDisplayColumnWidth * 8, kClockLinePosition.y, Ink::Dark);
}

}  // namespace
}  // namespace fw
