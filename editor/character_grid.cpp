#include "editor/character_grid.h"

#include <algorithm>
#include <cstring>

namespace fw {

namespace {

constexpr int kCodeRows = 16;

char hexDigit(int v) { return "0123456789ABCDEF"[v & 15]; }

// Copies up to `limit` codes, stopping at the first 0; returns how many.
int copyCodes(uint8_t* out, const uint8_t* codes, std::size_t size, int limit) {
    int n = 0;
    while (n < limit && static_cast<std::size_t>(n) < size && codes[n] != 0) {
        out[n] = codes[n];
        ++n;
    }
    return n;
}

}  // namespace

std::string multiCodeText(const uint8_t* codes, std::size_t size, int capacity) {
    std::string text;
    for (int i = 0; i < capacity && static_cast<std::size_t>(i) < size && codes[i] != 0; ++i) {
        text += ' ';
        text += KeyCodeNames[codes[i]];
    }
    return text;
}

CharacterGrid::CharacterGrid(const uint8_t* codes, std::size_t size, int capacity)
    : mode_(GridMode::MultiCode), capacity_(std::clamp(capacity, 1, kMultiCodeCapacity)) {
    count_ = copyCodes(codes_, codes, size, capacity_);
    result_ = multiCodeText(codes_, sizeof codes_, capacity_);
    original_ = result_;
}

CharacterGrid::CharacterGrid(uint8_t code)
    : mode_(GridMode::SingleCharacter),
      selected_(code < 0x80 ? code : kNoCode),
      chosen_(code),
      originalCode_(code) {}

int CharacterGrid::codeAt(int column, int row) const {
    if (column < 1 || column > codeColumns() || row < 1 || row > kCodeRows) return kNoCode;
    return 16 * (column - 1) + (row - 1);
}

std::string CharacterGrid::cellText(int column, int row) const {
    if (row == 0 && column >= 1 && column <= codeColumns()) return {hexDigit(column - 1), '0'};
    if (column == 0 && row >= 1 && row <= kCodeRows) return {'0', hexDigit(row - 1)};
    const int code = codeAt(column, row);
    if (code == kNoCode) return {};
    return mode_ == GridMode::MultiCode ? KeyCodeNames[code] : AsciiNames[code];
}

std::string CharacterGrid::selectedName() const {
    if (selected_ == kNoCode) return {};
    return cellText(selected_ / 16 + 1, selected_ % 16 + 1);
}

// Multi-code values end at their first 0, so 0 cannot be picked; neither
// can LF, Enter or the nameless 0x1D..0x1F. Single-character mode refuses DEL.
bool CharacterGrid::available(int code) const {
    if (mode_ == GridMode::MultiCode)
        return code > 0 && code <= 0xFF && code != 0x0A && code != 0x0D && (code < 0x1D || code > 0x1F);
    return code >= 0 && code < 0x7F;
}

CellRect CharacterGrid::cellRect(int column, int row, int columns, int width, int height) {
    const int w = width / columns;
    const int h = height / kRows;
    return {column * w, row * h, (column + 1) * w, (row + 1) * h};
}

GridClick CharacterGrid::click(int x, int y, int width, int height) {
    const int w = width / columns();
    const int h = height / kRows;
    if (x < 0 || y < 0 || w <= 0 || h <= 0) return GridClick::Ignored;
    return choose(codeAt(x / w, y / h));
}

void CharacterGrid::select(int code) {
    selected_ = code;
    if (mode_ == GridMode::SingleCharacter) chosen_ = static_cast<uint8_t>(code);
}

GridClick CharacterGrid::choose(int code) {
    if (code == kNoCode || !available(code)) return GridClick::Ignored;
    select(code);
    if (mode_ == GridMode::SingleCharacter) return GridClick::Selected;
    if (count_ >= capacity_) return GridClick::TooMany;
    codes_[count_++] = static_cast<uint8_t>(code);
    result_ += ' ';
    result_ += KeyCodeNames[code];
    return GridClick::Appended;
}

bool CharacterGrid::moveSelection(GridMove move) {
    // Codes run down the columns: a row step is one code, a column step 16.
    int from = selected_;
    if (from == kNoCode) {
        // Nothing selected (a stored code the grid has no cell for): the
        // first key lands on the first available code.
        for (int code = 0; code <= lastCode(); ++code) {
            if (available(code)) {
                select(code);
                return true;
            }
        }
        return false;
    }
    const int column = from / 16, row = from % 16;
    int step = 0, start = from;
    switch (move) {
        case GridMove::Left: step = -16; break;
        case GridMove::Right: step = 16; break;
        case GridMove::Up: step = -1; break;
        case GridMove::Down: step = 1; break;
        // The ends are searched from the far side back towards the selection.
        case GridMove::RowStart: start = row - 16; step = 16; break;
        case GridMove::RowEnd: start = 16 * codeColumns() + row; step = -16; break;
        case GridMove::ColumnTop: start = 16 * column - 1; step = 1; break;
        case GridMove::ColumnBottom: start = 16 * column + 16; step = -1; break;
    }
    const bool alongColumn = step == 1 || step == -1;
    for (int code = start + step;; code += step) {
        const bool inside = alongColumn ? code / 16 == column && code >= 0 : code >= 0 && code <= lastCode();
        if (!inside || code == from) return false;
        if (available(code)) {
            select(code);
            return true;
        }
    }
}

GridClick CharacterGrid::type(uint8_t character) {
    constexpr uint8_t kBackspace = 0x08;
    if (character == ' ') return choose(selected_);
    if (character == kBackspace && mode_ == GridMode::MultiCode && count_ > 0) {
        codes_[--count_] = 0;
        result_ = multiCodeText(codes_, sizeof codes_, capacity_);
        return GridClick::Removed;
    }
    if (character < 0x20 || character == 0x7F) return GridClick::Ignored;
    // From 0x80 on the multi-code cells hold the code's number, not the
    // character: the code is what reaches the terminal all the same.
    if (character > lastCode()) return GridClick::Ignored;
    return choose(character);
}

void CharacterGrid::clear() {
    std::memset(codes_, 0, sizeof codes_);
    count_ = 0;
    result_.clear();
}

GridBox GridBox::multiCode(const uint8_t* codes, std::size_t size, int capacity) {
    GridBox box;
    box.mode_ = GridMode::MultiCode;
    box.capacity_ = std::clamp(capacity, 1, kMultiCodeCapacity);
    copyCodes(box.codes_, codes, size, box.capacity_);
    return box;
}

GridBox GridBox::singleCharacter(uint8_t code) {
    GridBox box;
    box.mode_ = GridMode::SingleCharacter;
    box.capacity_ = 1;
    box.codes_[0] = code;
    return box;
}

std::string GridBox::text() const {
    if (mode_ == GridMode::MultiCode) return multiCodeText(codes_, sizeof codes_, capacity_);
    return codes_[0] < 0x80 ? AsciiNames[codes_[0]] : std::to_string(codes_[0]);
}

CharacterGrid GridBox::openGrid() {
    editing_ = true;
    if (mode_ == GridMode::MultiCode) return CharacterGrid(codes_, sizeof codes_, capacity_);
    return CharacterGrid(codes_[0]);
}

void GridBox::closeGrid(const CharacterGrid& grid, bool ok) {
    editing_ = false;
    if (!ok) return;
    if (mode_ == GridMode::MultiCode) {
        std::memset(codes_, 0, sizeof codes_);
        std::memcpy(codes_, grid.codes(), static_cast<std::size_t>(std::min(grid.count(), capacity_)));
    } else {
        codes_[0] = grid.chosenCode();
    }
}

}  // namespace fw
