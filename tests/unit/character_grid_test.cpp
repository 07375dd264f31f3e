// The character grid and the boxes that open it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/character_grid.h"

namespace fw {
namespace {

constexpr int kWidth = 345;    // not a multiple of 17: a strip is left over
constexpr int kHeight = 172;

GridClick clickCell(CharacterGrid& grid, int column, int row) {
    CellRect r = CharacterGrid::cellRect(column, row, grid.columns(), kWidth, kHeight);
    return grid.click((r.left + r.right) / 2, (r.top + r.bottom) / 2, kWidth, kHeight);
}

GridClick clickCode(CharacterGrid& grid, int code) { return clickCell(grid, code / 16 + 1, code % 16 + 1); }

TEST(CharacterGridTest, NamesOfBothModes) {
    EXPECT_STREQ(KeyCodeNames[0x00], "");
    EXPECT_STREQ(KeyCodeNames[0x01], "Ins");
    EXPECT_STREQ(KeyCodeNames[0x0B], "Right");
    EXPECT_STREQ(KeyCodeNames[0x0D], "Enter");
    EXPECT_STREQ(KeyCodeNames[0x0F], "F1");
    EXPECT_STREQ(KeyCodeNames[0x1A], "F12");
    EXPECT_STREQ(KeyCodeNames[0x1C], "Exec");
    EXPECT_STREQ(KeyCodeNames[0x1E], "");
    EXPECT_STREQ(KeyCodeNames[0x20], "SP");
    EXPECT_STREQ(KeyCodeNames['~'], "~");
    EXPECT_STREQ(KeyCodeNames[0x7F], "DEL");
    EXPECT_STREQ(KeyCodeNames[0x80], "128");
    EXPECT_STREQ(KeyCodeNames[0xFF], "255");

    EXPECT_STREQ(AsciiNames[0], "NUL");
    EXPECT_STREQ(AsciiNames[13], "CR");
    EXPECT_STREQ(AsciiNames[31], "US");
    EXPECT_STREQ(AsciiNames[32], "SP");
    EXPECT_STREQ(AsciiNames['a'], "a");
    EXPECT_STREQ(AsciiNames[127], "DEL");
}

TEST(CharacterGridTest, CellsAndHeaders) {
    const uint8_t none[1] = {0};
    CharacterGrid grid(none, 1, kMultiCodeCapacity);
    EXPECT_EQ(grid.columns(), 17);
    EXPECT_EQ(grid.selectedCode(), 0x20);
    EXPECT_EQ(grid.cellText(1, 0), "00");
    EXPECT_EQ(grid.cellText(16, 0), "F0");
    EXPECT_EQ(grid.cellText(0, 16), "0F");
    EXPECT_EQ(grid.cellText(0, 0), "");
    EXPECT_EQ(grid.cellText(5, 2), "A");
    EXPECT_EQ(grid.codeAt(16, 16), 0xFF);
    CellRect r = CharacterGrid::cellRect(2, 3, 17, kWidth, kHeight);
    EXPECT_EQ(r.left, 40);    // 345 div 17 = 20
    EXPECT_EQ(r.top, 30);     // 172 div 17 = 10
    EXPECT_EQ(r.right, 60);

    CharacterGrid ascii(static_cast<uint8_t>(3));
    EXPECT_EQ(ascii.columns(), 9);
    EXPECT_EQ(ascii.cellText(8, 0), "70");
    EXPECT_EQ(ascii.cellText(1, 1), "NUL");
    EXPECT_EQ(ascii.codeAt(9, 1), CharacterGrid::kNoCode);   // 0x80 and above
}

TEST(CharacterGridTest, UnavailableCellsAndHeadersIgnoreClicks) {
    const uint8_t none[1] = {0};
    CharacterGrid grid(none, 1, kMultiCodeCapacity);
    EXPECT_EQ(clickCell(grid, 0, 3), GridClick::Ignored);
    EXPECT_EQ(clickCell(grid, 4, 0), GridClick::Ignored);
    for (int code : {0x00, 0x0A, 0x0D, 0x1D, 0x1E, 0x1F}) EXPECT_EQ(clickCode(grid, code), GridClick::Ignored) << code;
    // The strip right of the last column and below the last row.
    EXPECT_EQ(grid.click(kWidth - 2, 50, kWidth, kHeight), GridClick::Ignored);
    EXPECT_EQ(grid.click(100, kHeight - 1, kWidth, kHeight), GridClick::Ignored);
    EXPECT_EQ(grid.count(), 0);
    EXPECT_EQ(grid.selectedCode(), 0x20);

    EXPECT_EQ(clickCode(grid, 0x80), GridClick::Appended);
    EXPECT_EQ(grid.resultText(), " 128");
    EXPECT_EQ(grid.selectedCode(), 0x80);
}

TEST(CharacterGridTest, FullCodeIdentifierBoxRefusesAThirdCode) {
    const uint8_t pair[2] = {'A', 'B'};
    GridBox box = GridBox::multiCode(pair, 2, kCodeIdCapacity);
    EXPECT_EQ(box.text(), " A B");

    CharacterGrid grid = box.openGrid();
    EXPECT_EQ(grid.count(), 2);
    EXPECT_EQ(clickCode(grid, 'C'), GridClick::TooMany);
    EXPECT_EQ(grid.selectedCode(), 'C');
    EXPECT_EQ(grid.resultText(), " A B");

    grid.clear();
    EXPECT_EQ(grid.resultText(), "");
    EXPECT_EQ(grid.selectedCode(), 'C');
    EXPECT_EQ(clickCode(grid, 0x1B), GridClick::Appended);
    EXPECT_EQ(clickCode(grid, 'x'), GridClick::Appended);
    EXPECT_EQ(clickCode(grid, 'y'), GridClick::TooMany);
    box.closeGrid(grid, true);
    EXPECT_FALSE(box.editing());
    EXPECT_EQ(box.codes()[0], 0x1B);
    EXPECT_EQ(box.codes()[1], 'x');
    EXPECT_EQ(box.text(), " ESC x");
}

TEST(CharacterGridTest, CancelLeavesTheBoxAsItWas) {
    const uint8_t enter[10] = {0x0D};
    GridBox box = GridBox::multiCode(enter, sizeof enter, kMultiCodeCapacity);
    CharacterGrid grid = box.openGrid();
    EXPECT_TRUE(box.editing());
    EXPECT_EQ(grid.resultText(), " Enter");
    clickCode(grid, '1');
    clickCode(grid, '2');
    EXPECT_EQ(grid.resultText(), " Enter 1 2");
    EXPECT_EQ(grid.originalText(), " Enter");
    box.closeGrid(grid, false);
    EXPECT_FALSE(box.editing());
    EXPECT_EQ(box.text(), " Enter");
    EXPECT_EQ(box.codes()[1], 0);
}

TEST(CharacterGridTest, SingleCharacterMode) {
    GridBox box = GridBox::singleCharacter(0x02);
    EXPECT_EQ(box.text(), "STX");
    CharacterGrid grid = box.openGrid();
    EXPECT_EQ(grid.mode(), GridMode::SingleCharacter);
    EXPECT_EQ(grid.selectedCode(), 0x02);
    EXPECT_EQ(clickCode(grid, 0x7F), GridClick::Ignored);
    EXPECT_EQ(grid.chosenCode(), 0x02);
    EXPECT_EQ(clickCode(grid, 0x0D), GridClick::Selected);
    EXPECT_EQ(clickCode(grid, 0x17), GridClick::Selected);
    EXPECT_EQ(grid.chosenCode(), 0x17);
    EXPECT_EQ(grid.originalCode(), 0x02);

    GridBox copy = box;
    copy.closeGrid(grid, false);
    EXPECT_EQ(copy.text(), "STX");
    box.closeGrid(grid, true);
    EXPECT_EQ(box.code(), 0x17);
    EXPECT_EQ(box.text(), "ETB");
}

// The keyboard moves the selection over available codes only and never
// picks a code by moving; Home/End and PgUp/PgDn go to the row's and the
// column's last available code.
TEST(CharacterGridTest, KeysMoveTheSelectionOverAvailableCodes) {
    const uint8_t none[1] = {0};
    CharacterGrid grid(none, 1, kMultiCodeCapacity);
    EXPECT_FALSE(grid.moveSelection(GridMove::Up));   // SP heads its column
    EXPECT_EQ(grid.selectedCode(), 0x20);
    EXPECT_TRUE(grid.moveSelection(GridMove::Left));
    EXPECT_EQ(grid.selectedCode(), 0x10);
    EXPECT_FALSE(grid.moveSelection(GridMove::Left));   // 0x00 cannot be picked
    EXPECT_EQ(grid.selectedCode(), 0x10);
    EXPECT_TRUE(grid.moveSelection(GridMove::ColumnBottom));
    EXPECT_EQ(grid.selectedCode(), 0x1C);               // 0x1D to 0x1F are skipped
    EXPECT_FALSE(grid.moveSelection(GridMove::Down));
    EXPECT_TRUE(grid.moveSelection(GridMove::RowStart));
    EXPECT_EQ(grid.selectedCode(), 0x0C);
    EXPECT_TRUE(grid.moveSelection(GridMove::Down));
    EXPECT_EQ(grid.selectedCode(), 0x0E);               // over "Enter"
    EXPECT_EQ(grid.selectedName(), "PgDn");
    EXPECT_TRUE(grid.moveSelection(GridMove::RowEnd));
    EXPECT_EQ(grid.selectedCode(), 0xFE);
    EXPECT_FALSE(grid.moveSelection(GridMove::Right));
    EXPECT_TRUE(grid.moveSelection(GridMove::ColumnTop));
    EXPECT_EQ(grid.selectedCode(), 0xF0);
    EXPECT_EQ(grid.count(), 0);

    // Single-character mode: the selected code is the chosen one; DEL and
    // the codes from 0x80 on are out of reach.
    CharacterGrid ascii(static_cast<uint8_t>(0x7E));
    EXPECT_FALSE(ascii.moveSelection(GridMove::Down));
    EXPECT_FALSE(ascii.moveSelection(GridMove::Right));
    EXPECT_TRUE(ascii.moveSelection(GridMove::Left));
    EXPECT_EQ(ascii.chosenCode(), 0x6E);
    EXPECT_TRUE(ascii.moveSelection(GridMove::RowEnd));
    EXPECT_EQ(ascii.chosenCode(), 0x7E);
    // A stored code the grid has no cell for: the first key starts at NUL.
    CharacterGrid high(static_cast<uint8_t>(0xC8));
    EXPECT_EQ(high.selectedCode(), CharacterGrid::kNoCode);
    EXPECT_TRUE(high.moveSelection(GridMove::Right));
    EXPECT_EQ(high.chosenCode(), 0x00);
}

// A typed character picks its cell as a click would, the space picks the
// selected cell, Backspace takes the last code back.
TEST(CharacterGridTest, TypingPicksCodes) {
    const uint8_t none[2] = {0, 0};
    CharacterGrid grid(none, sizeof none, kCodeIdCapacity);
    EXPECT_EQ(grid.type(' '), GridClick::Appended);   // SP is selected on opening
    EXPECT_EQ(grid.type('a'), GridClick::Appended);
    EXPECT_EQ(grid.selectedCode(), 'a');
    EXPECT_EQ(grid.resultText(), " SP a");
    EXPECT_EQ(grid.type('#'), GridClick::TooMany);
    EXPECT_EQ(grid.selectedCode(), '#');
    EXPECT_EQ(grid.type(0x08), GridClick::Removed);
    EXPECT_EQ(grid.resultText(), " SP");
    EXPECT_EQ(grid.type(0xE9), GridClick::Appended);   // the byte's cell shows its number
    EXPECT_EQ(grid.resultText(), " SP 233");
    EXPECT_EQ(grid.codes()[1], 0xE9);
    EXPECT_EQ(grid.type(0x08), GridClick::Removed);
    EXPECT_EQ(grid.type(0x08), GridClick::Removed);
    EXPECT_EQ(grid.type(0x08), GridClick::Ignored);
    EXPECT_EQ(grid.codes()[0], 0);
    for (uint8_t control : {0x01, 0x0D, 0x1B, 0x7F}) EXPECT_EQ(grid.type(control), GridClick::Ignored) << +control;
    EXPECT_EQ(grid.count(), 0);

    CharacterGrid ascii(static_cast<uint8_t>(0x02));
    EXPECT_EQ(ascii.type('Z'), GridClick::Selected);
    EXPECT_EQ(ascii.type(0xE9), GridClick::Ignored);
    EXPECT_EQ(ascii.type(0x08), GridClick::Ignored);
    EXPECT_EQ(ascii.chosenCode(), 'Z');
}

}  // namespace
}  // namespace fw
