#include "texts/code_page.h"

#include <cstdio>

namespace fw {
namespace {

constexpr char32_t kHighCharacters[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& s, char32_t c) {
    if (c < 0x10000) {
        s += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        s += static_cast<char16_t>(0xD800 + (c >> 10));
        s += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// The next character of UTF-8 text at `i`, advancing `i`; false when the
// bytes there are not a well-formed character (overlong forms, surrogates and
// values past U+10FFFF included), in which case `i` moves past one byte.
bool nextUtf8(std::string_view s, std::size_t& i, char32_t& c) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    std::size_t n;
    char32_t min;
    if (b0 < 0x80) {
        c = b0;
        ++i;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        c = b0 & 0x1F, n = 2, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        c = b0 & 0x0F, n = 3, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        c = b0 & 0x07, n = 4, min = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + n > s.size()) {
        ++i;
        return false;
    }
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += n;
    return true;
}

bool nextUtf16(std::u16string_view s, std::size_t& i, char32_t& c) {
    const char16_t u = s[i++];
    if (u < 0xD800 || u > 0xDFFF) {
        c = u;
        return true;
    }
    if (u >= 0xDC00 || i >= s.size() || s[i] < 0xDC00 || s[i] > 0xDFFF) return false;
    c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i++] - 0xDC00);
    return true;
}

// Appends the byte of `c` to `out`, or records why it cannot.
bool take(CodePageText& out, char32_t c) {
    if (c == 0) {
        out.fault = CodePageText::Fault::nul;
        return false;
    }
    const int byte = codePageByteOf(c);
    if (byte < 0) {
        out.fault = CodePageText::Fault::notInCodePage;
        out.refused = c;
        return false;
    }
    out.bytes += static_cast<char>(byte);
    return true;
}

}  // namespace

char32_t unicodeOf(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighCharacters[byte - 0x80] : byte;
}

int codePageByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighCharacters[i] == c) return 0x80 + i;
    return -1;
}

std::string utf8FromCodePage(std::string_view bytes) {
    std::string s;
    s.reserve(bytes.size());
    for (char b : bytes) appendUtf8(s, unicodeOf(static_cast<uint8_t>(b)));
    return s;
}

std::u16string utf16FromCodePage(std::string_view bytes) {
    std::u16string s;
    s.reserve(bytes.size());
    for (char b : bytes) s += static_cast<char16_t>(unicodeOf(static_cast<uint8_t>(b)));
    return s;
}

std::string utf8FromStoredName(std::string_view bytes, SystemCodePageReader systemCodePage) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    return systemCodePage ? systemCodePage(bytes) : utf8FromCodePage(bytes);
}

std::size_t pathUnits(std::string_view utf8) { return utf16FromUtf8(utf8).size(); }

std::string CodePageText::refusedName() const {
    std::string name;
    if (refused >= 0x20) appendUtf8(name, refused), name += ' ';
    char code[16];
    std::snprintf(code, sizeof code, "(U+%04X)", static_cast<unsigned>(refused));
    return name + code;
}

CodePageText codePageFromUtf8(std::string_view utf8) {
    CodePageText out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        if (!nextUtf8(utf8, i, c)) {
            out.fault = CodePageText::Fault::invalidUnicode;
            break;
        }
        if (!take(out, c)) break;
    }
    return out;
}

CodePageText codePageFromUtf16(std::u16string_view utf16) {
    CodePageText out;
    std::size_t i = 0;
    while (i < utf16.size()) {
        char32_t c;
        if (!nextUtf16(utf16, i, c)) {
            out.fault = CodePageText::Fault::invalidUnicode;
            break;
        }
        if (!take(out, c)) break;
    }
    return out;
}

std::u16string utf16FromUtf8(std::string_view utf8) {
    std::u16string s;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        appendUtf16(s, nextUtf8(utf8, i, c) ? c : kReplacement);
    }
    return s;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string s;
    std::size_t i = 0;
    while (i < utf16.size()) {
        char32_t c;
        appendUtf8(s, nextUtf16(utf16, i, c) ? c : kReplacement);
    }
    return s;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    char32_t c;
    while (i < bytes.size())
        if (!nextUtf8(bytes, i, c)) return false;
    return true;
}

TypedText acceptTyped(std::u16string_view typed) {
    TypedText out;
    char32_t first = 0;
    bool refused = false;
    std::size_t i = 0;
    while (i < typed.size()) {
        char32_t c;
        const std::size_t at = i;
        const bool whole = nextUtf16(typed, i, c);
        const int byte = whole && c != 0 ? codePageByteOf(c) : -1;
        if (byte >= 0) {
            out.bytes += static_cast<char>(byte);
            continue;
        }
        if (!refused) first = whole ? c : typed[at];
        refused = true;
    }
    if (refused) {
        CodePageText named;
        named.refused = first;
        out.refusal = "The terminal cannot show the character " + named.refusedName() + ". It was not taken.";
    }
    return out;
}

}  // namespace fw
