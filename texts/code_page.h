// The terminal's character set, Windows-1252, and Unicode.
//
// Every text the terminal shows or a program file holds is Windows-1252
// bytes; every text a user types into a window, a language file, a program
// document or a console is Unicode. The two meet here and nowhere else: a
// window's text is converted from UTF-16, a file's from UTF-8, and a
// character the terminal cannot show is refused by name, never turned into
// another byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// The character a Windows-1252 byte stands for. The five bytes the code page
// leaves undefined (81, 8D, 8F, 90, 9D) stand for the C1 control of the same
// number, as web browsers read them, so every byte has a character and a
// conversion never loses one.
char32_t unicodeOf(uint8_t byte);

// The byte of a character, or -1 when the code page lacks it.
int codePageByteOf(char32_t c);

std::string utf8FromCodePage(std::string_view bytes);
std::u16string utf16FromCodePage(std::string_view bytes);

// Unicode text as Windows-1252 bytes: the bytes of every character up to the
// first fault, and the fault.
struct CodePageText {
    enum class Fault {
        none,
        invalidUnicode,  // malformed UTF-8, or a UTF-16 surrogate without its pair
        nul,             // U+0000, which ends a text in a fixed-width field
        notInCodePage,   // a character Windows-1252 lacks
    };
    std::string bytes;
    Fault fault = Fault::none;
    char32_t refused = 0;  // the character refused (notInCodePage, nul)

    bool ok() const { return fault == Fault::none; }
    // The refused character as a user reads it: "Ω (U+03A9)".
    std::string refusedName() const;
};

CodePageText codePageFromUtf8(std::string_view utf8);
CodePageText codePageFromUtf16(std::u16string_view utf16);

// Whether `bytes` are well-formed UTF-8 throughout (plain ASCII is).
bool isValidUtf8(std::string_view bytes);

// A name (a path, a folder) read back from a settings file. This version
// writes names as UTF-8; older versions wrote the bytes of the system's ANSI
// code page, which are rarely valid UTF-8 once they hold anything beyond
// ASCII. So valid UTF-8 is kept as it is and anything else is an old name:
// `systemCodePage` converts it (the Windows side gives the system's code
// page); without one it is read as Windows-1252.
using SystemCodePageReader = std::string (*)(std::string_view bytes);
std::string utf8FromStoredName(std::string_view bytes, SystemCodePageReader systemCodePage = nullptr);

// The length of a UTF-8 name as the system counts a path's characters:
// UTF-16 units.
std::size_t pathUnits(std::string_view utf8);

// What a user typed into a box, as the terminal's bytes: every character the
// code page has, in order; a character it lacks is left out, never turned
// into another byte. `refusal` (UTF-8, empty when nothing was left out) is
// the message that names the first character left out.
struct TypedText {
    std::string bytes;
    std::string refusal;
};
TypedText acceptTyped(std::u16string_view typed);

// UTF-8 <-> UTF-16 for names and messages that are not terminal texts (file
// names, console output). Malformed input becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view utf8);
std::string utf8FromUtf16(std::u16string_view utf16);

}  // namespace fw
