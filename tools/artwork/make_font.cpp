// make_font: turns the hand-drawn glyphs of tools/artwork/display_font.txt
// into the table the core draws the display from.
//
//   make_font <display_font.txt> <output .inc>   (normally simulator/display_font_glyphs.inc)
//
// Every glyph becomes 16 bytes, one per cell row, the leftmost pixel in the
// high bit. Errors in the description stop the tool with the line number, so
// a malformed drawing never reaches the table.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kFirstRow = 3;     // the description's first row is cell row 3
constexpr int kRows = 11;
constexpr int kColumns = 7;
constexpr int kAccentRows = 2;

using Cell = std::array<std::uint8_t, 16>;

[[noreturn]] void fail(int line, const std::string& what) {
    std::fprintf(stderr, "display font, line %d: %s\n", line, what.c_str());
    std::exit(1);
}

int parseCode(const std::string& s, int line) {
    if (s.size() == 1) return static_cast<unsigned char>(s[0]);
    if (s.size() == 4 && s[0] == '0' && s[1] == 'x') return std::stoi(s.substr(2), nullptr, 16);
    fail(line, "a character or 0xNN expected, not \"" + s + "\"");
}

// A base drawn for composing only is named by a word; a glyph of the table
// by its character or its code.
bool isBaseName(const std::string& s) {
    return s.size() > 1 && !(s.size() == 4 && s[0] == '0' && s[1] == 'x');
}

std::uint8_t parseRow(const std::string& s, int line) {
    if (static_cast<int>(s.size()) != kColumns) fail(line, "a row has 7 columns");
    std::uint8_t bits = 0;
    for (int c = 0; c < kColumns; ++c) {
        if (s[static_cast<std::size_t>(c)] == '#') bits |= static_cast<std::uint8_t>(0x40 >> c);   // cell column c + 1
        else if (s[static_cast<std::size_t>(c)] != '.') fail(line, "rows are drawn with '#' and '.'");
    }
    return bits;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> w;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ') ++j;
        if (j > i) w.push_back(s.substr(i, j - i));
        i = j;
    }
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_font <display_font.txt> <output .inc>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::map<int, Cell> glyphs;
    std::map<std::string, Cell> bases;   // drawn for composing only
    std::map<std::string, std::array<std::uint8_t, kAccentRows>> accents;
    struct Composed { int code; std::string base, accent; int line; };
    std::vector<Composed> composed;

    std::string text;
    int lineNo = 0;
    Cell* glyph = nullptr;
    std::uint8_t* accent = nullptr;
    int rowsLeft = 0;
    int row = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (rowsLeft > 0) {
            const std::uint8_t bits = parseRow(text, lineNo);
            if (glyph) (*glyph)[static_cast<std::size_t>(kFirstRow + row)] = bits;
            else accent[row] = bits;
            ++row;
            --rowsLeft;
            continue;
        }
        if (text.empty() || text[0] == '#') continue;
        if (text.size() > 2 && text[0] == '=' && text[1] == ' ') {
            const std::string name = text.substr(2);
            if (isBaseName(name)) {
                if (bases.count(name)) fail(lineNo, "drawn twice");
                glyph = &bases[name];
            } else {
                const int code = parseCode(name, lineNo);
                if (glyphs.count(code)) fail(lineNo, "drawn twice");
                glyph = &glyphs[code];
            }
            glyph->fill(0);
            accent = nullptr;
            rowsLeft = kRows;
            row = 0;
        } else if (text.size() > 2 && text[0] == '^' && text[1] == ' ') {
            accent = accents[text.substr(2)].data();
            glyph = nullptr;
            rowsLeft = kAccentRows;
            row = 0;
        } else if (text[0] == '~') {
            const std::vector<std::string> w = words(text.substr(1));
            if (w.size() != 3) fail(lineNo, "~ 0xNN base accent");
            composed.push_back({parseCode(w[0], lineNo), w[1], w[2], lineNo});
        } else {
            fail(lineNo, "unexpected line");
        }
    }
    if (rowsLeft > 0) fail(lineNo, "the last drawing is short of rows");

    for (const Composed& c : composed) {
        Cell cell{};
        if (isBaseName(c.base)) {
            if (!bases.count(c.base)) fail(c.line, "no base glyph " + c.base);
            cell = bases[c.base];
        } else {
            const int base = parseCode(c.base, c.line);
            if (!glyphs.count(base)) fail(c.line, "no base glyph " + c.base);
            cell = glyphs[base];
        }
        if (!accents.count(c.accent)) fail(c.line, "no accent " + c.accent);
        if (glyphs.count(c.code)) fail(c.line, "drawn twice");
        int top = 0;
        while (top < 16 && cell[static_cast<std::size_t>(top)] == 0) ++top;
        const int first = top - 1 - kAccentRows;
        if (first < 0) fail(c.line, "no room for the accent above " + c.base);
        for (int r = 0; r < kAccentRows; ++r) cell[static_cast<std::size_t>(first + r)] |= accents[c.accent][static_cast<std::size_t>(r)];
        glyphs[c.code] = cell;
    }

    std::ofstream out(argv[2], std::ios::binary);
    out << "// Made by tools/artwork/make_font from tools/artwork/display_font.txt;\n"
           "// edit the drawing and run the tool again rather than editing this table.\n"
           "// { code, 16 rows, leftmost pixel in the high bit }\n";
    char buffer[16];
    for (const auto& [code, cell] : glyphs) {
        std::snprintf(buffer, sizeof buffer, "{0x%02X, {", code);
        out << buffer;
        for (std::size_t r = 0; r < cell.size(); ++r) {
            std::snprintf(buffer, sizeof buffer, "0x%02X%s", cell[r], r + 1 < cell.size() ? ", " : "");
            out << buffer;
        }
        out << "}},\n";
    }
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu glyphs\n", glyphs.size());
    return 0;
}
