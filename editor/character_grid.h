// The character grid ("The Grid Control"): a modal table of all codes,
// labelled by name, in which the user clicks the codes a box stores; and the
// GridBox, the read-only box that shows such codes by name and opens the
// grid when clicked.
//
// Multi-code mode picks a sequence of up to `capacity` codes 0..255 (prefix
// and suffix codes, code identifiers); single-character mode picks one 7-bit
// ASCII code (the acoustic coupler's control characters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

enum class GridMode { MultiCode, SingleCharacter };

// A table of short names, one per code.
template <int N>
struct CodeNameTable {
    char names[N][6];
    constexpr const char* operator[](int code) const { return names[code]; }
    static constexpr int size() { return N; }
};

namespace detail {
constexpr void setName(char (&out)[6], const char* name) {
    int i = 0;
    for (; name[i] && i < 5; ++i) out[i] = name[i];
    for (; i < 6; ++i) out[i] = '\0';
}

constexpr CodeNameTable<256> makeKeyCodeNames() {
    CodeNameTable<256> t{};
    const char* low[] = {"",     "Ins", "Del", "Home", "End",  "Up",  "Down", "Left",
                         "BS",   "HT",  "LF",  "Right", "PgUp", "Enter", "PgDn"};
    for (int c = 0; c < 15; ++c) setName(t.names[c], low[c]);
    const char* f[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int c = 0x0F; c <= 0x1A; ++c) setName(t.names[c], f[c - 0x0F]);
    setName(t.names[0x1B], "ESC");
    setName(t.names[0x1C], "Exec");
    for (int c = 0x1D; c <= 0x1F; ++c) setName(t.names[c], "");
    setName(t.names[0x20], "SP");
    for (int c = 0x21; c <= 0x7E; ++c) {
        t.names[c][0] = static_cast<char>(c);
        for (int i = 1; i < 6; ++i) t.names[c][i] = '\0';
    }
    setName(t.names[0x7F], "DEL");
    for (int c = 0x80; c <= 0xFF; ++c) {
        t.names[c][0] = static_cast<char>('0' + c / 100);
        t.names[c][1] = static_cast<char>('0' + c / 10 % 10);
        t.names[c][2] = static_cast<char>('0' + c % 10);
        for (int i = 3; i < 6; ++i) t.names[c][i] = '\0';
    }
    return t;
}

constexpr CodeNameTable<128> makeAsciiNames() {
    CodeNameTable<128> t{};
    const char* control[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
                             "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                             "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    for (int c = 0; c < 32; ++c) setName(t.names[c], control[c]);
    setName(t.names[32], "SP");
    for (int c = 33; c < 127; ++c) {
        t.names[c][0] = static_cast<char>(c);
        for (int i = 1; i < 6; ++i) t.names[c][i] = '\0';
    }
    setName(t.names[127], "DEL");
    return t;
}
}  // namespace detail

// Names of the multi-code mode: key names for the control codes, the
// character itself for 0x21..0x7E, decimal numbers from 0x80 on.
inline constexpr CodeNameTable<256> KeyCodeNames = detail::makeKeyCodeNames();
// Names of the single-character mode: ASCII mnemonics and characters.
inline constexpr CodeNameTable<128> AsciiNames = detail::makeAsciiNames();

constexpr int kMultiCodeCapacity = 10;
constexpr int kCodeIdCapacity = 2;
inline constexpr char kTooManyCharacters[] = "Too many characters !!!";
inline constexpr char kTooManyCharactersCaption[] = "Warning";

// What a click in the grid area did.
enum class GridClick {
    Ignored,    // header, outside the body or an unavailable code
    Selected,   // the selection moved (single-character mode)
    Appended,   // the selection moved and the code was added
    TooMany,    // the selection moved, the value is full: warn
    Removed,    // the last code was taken back
};

struct CellRect {
    int left, top, right, bottom;
};

// Where a key moves the grid's selection: a cell to a side, or to the end
// of its row (Home/End) or its column (PgUp/PgDn).
enum class GridMove { Left, Right, Up, Down, RowStart, RowEnd, ColumnTop, ColumnBottom };

class CharacterGrid {
public:
    static constexpr int kRows = 17;        // the header row and 16 code rows
    static constexpr int kNoCode = -1;

    // Multi-code: starts from the box's codes (up to the capacity, ended by
    // the first 0), with "SP" selected.
    CharacterGrid(const uint8_t* codes, std::size_t size, int capacity);
    // Single-character: starts with `code` chosen and selected.
    explicit CharacterGrid(uint8_t code);

    GridMode mode() const { return mode_; }
    int columns() const { return codeColumns() + 1; }
    int rows() const { return kRows; }
    int codeColumns() const { return mode_ == GridMode::MultiCode ? 16 : 8; }

    // Cells count from the top left, header row 0 and header column 0; the
    // body cell (c, r) stands for code 16 x (c - 1) + (r - 1).
    int codeAt(int column, int row) const;
    // The text of a cell: header labels ("00".."F0" across, "00".."0F" down)
    // or the code's name.
    std::string cellText(int column, int row) const;
    bool available(int code) const;
    static CellRect cellRect(int column, int row, int columns, int width, int height);

    // The selected code (its cell is painted blue); kNoCode when it lies
    // outside the grid.
    int selectedCode() const { return selected_; }
    // The selected code's name as its cell shows it; empty for none.
    std::string selectedName() const;

    // A click at (x, y) in a grid area of width x height pixels.
    GridClick click(int x, int y, int width, int height);
    // Multi-code "Clear": no codes picked; the selection stays.
    void clear();

    // The keyboard. The selection steps over unavailable codes and stays
    // where it is when no available code lies that way; in single-character
    // mode the selected code is the chosen one. Returns whether it moved.
    bool moveSelection(GridMove move);
    // A typed character (a Windows-1252 byte): the space picks the
    // selected cell as a click on it does; a character the grid has a cell
    // for picks that cell; Backspace takes the last picked code back
    // (multi-code). Other control characters do nothing.
    GridClick type(uint8_t character);

    // Multi-code result.
    const uint8_t* codes() const { return codes_; }
    int count() const { return count_; }
    int capacity() const { return capacity_; }
    const std::string& resultText() const { return result_; }
    const std::string& originalText() const { return original_; }

    // Single-character result.
    uint8_t chosenCode() const { return chosen_; }
    uint8_t originalCode() const { return originalCode_; }

private:
    void select(int code);
    GridClick choose(int code);
    int lastCode() const { return 16 * codeColumns() - 1; }

    GridMode mode_;
    int capacity_ = 1;
    uint8_t codes_[kMultiCodeCapacity] = {};
    int count_ = 0;
    std::string result_;
    std::string original_;
    int selected_ = 0x20;
    uint8_t chosen_ = 0;
    uint8_t originalCode_ = 0;
};

// The text a box shows for multi-code bytes: a blank and the name of each
// code up to the first 0 or `capacity` codes.
std::string multiCodeText(const uint8_t* codes, std::size_t size, int capacity);

// A box that shows codes by name and opens the grid when clicked. It cannot
// be typed into. Its owner reads codes() / code() when it stores.
class GridBox {
public:
    GridBox() = default;
    static GridBox multiCode(const uint8_t* codes, std::size_t size, int capacity);
    static GridBox singleCharacter(uint8_t code);

    GridMode mode() const { return mode_; }
    int capacity() const { return capacity_; }
    std::string text() const;
    // Multi-code: kMultiCodeCapacity bytes, 0 after the last code.
    const uint8_t* codes() const { return codes_; }
    // Single-character.
    uint8_t code() const { return codes_[0]; }

    // While the grid is open the box paints itself as a blue rectangle.
    bool editing() const { return editing_; }
    CharacterGrid openGrid();
    // OK takes the grid's codes; Cancel leaves the box as it was.
    void closeGrid(const CharacterGrid& grid, bool ok);

private:
    GridMode mode_ = GridMode::MultiCode;
    int capacity_ = kMultiCodeCapacity;
    uint8_t codes_[kMultiCodeCapacity] = {};
    bool editing_ = false;
};

}  // namespace fw
