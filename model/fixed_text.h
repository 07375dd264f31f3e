// Fixed-width text fields: NUL-padded bytes in the ANSI code page. A field may
// be filled to its last byte without a NUL, so readers stop at the width.
// This is the only place that does pointer arithmetic on text fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace fw {

// A decimal digit of the terminal's texts and of our own files: '0'..'9'
// whatever the C library's locale says.
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text of a field of `width` bytes: up to its first NUL or its width.
inline std::string_view fieldText(const uint8_t* field, std::size_t width) {
    const void* nul = std::memchr(field, 0, width);
    std::size_t n = nul ? static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - field) : width;
    return {reinterpret_cast<const char*>(field), n};
}

template <std::size_t N>
std::string_view fieldText(const uint8_t (&field)[N]) {
    return fieldText(field, N);
}

// Writes `text` into a field of `width` bytes, cut to `maxChars` characters,
// and clears the rest of the field. With maxChars == width the text may fill
// the field without a NUL.
inline void setFieldText(uint8_t* field, std::size_t width, std::string_view text,
                         std::size_t maxChars) {
    if (maxChars > width) maxChars = width;
    std::size_t n = text.size() < maxChars ? text.size() : maxChars;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, width - n);
}

// The usual case: a NUL-terminated text, at most width - 1 characters.
template <std::size_t N>
void setFieldText(uint8_t (&field)[N], std::string_view text) {
    setFieldText(field, N, text, N - 1);
}

template <std::size_t N>
void clearField(uint8_t (&field)[N]) {
    std::memset(field, 0, N);
}

}  // namespace fw
