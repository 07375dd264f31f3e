// Texts and names at the edge of the wide Win32 API. A window's text is
// UTF-16; the program holds terminal texts and its own texts as
// Windows-1252 bytes and file names as UTF-8. texts/code_page.h converts;
// these only carry its results between char16_t and the system's wchar_t,
// which are the same 16-bit units on Windows.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "texts/code_page.h"

namespace fw::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

inline std::wstring toWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string toUtf16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

// A text of the program (the string table, a language file, the terminal's
// bytes) as the window shows it.
inline std::wstring wideFromText(std::string_view codePageBytes) { return toWide(utf16FromCodePage(codePageBytes)); }
// What the user typed, as the terminal's bytes, or the character refused.
inline CodePageText textFromWide(std::wstring_view typed) { return codePageFromUtf16(toUtf16(typed)); }

// A file name or a message that carries one (UTF-8) as the system takes it.
inline std::wstring wideFromUtf8(std::string_view utf8) { return toWide(utf16FromUtf8(utf8)); }
inline std::string utf8FromWide(std::wstring_view wide) { return utf8FromUtf16(toUtf16(wide)); }

// A name an older version stored in the system's ANSI code page, as UTF-8:
// the one place that reads that code page (for utf8FromStoredName). Bytes
// the code page does not take are read as Windows-1252.
inline std::string utf8FromSystemCodePage(std::string_view bytes) {
    if (bytes.empty()) return {};
    const UINT codePage = GetACP();
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0) return utf8FromCodePage(bytes);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n) != n)
        return utf8FromCodePage(bytes);
    return utf8FromWide(wide);
}

// A window's whole text.
inline std::wstring windowText(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

// Message boxes: a program text (code page) or a text with a file name in it (UTF-8).
inline int textBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    return MessageBoxW(owner, wideFromText(text).c_str(), wideFromText(caption).c_str(), style);
}
inline int utf8Box(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    return MessageBoxW(owner, wideFromUtf8(text).c_str(), wideFromUtf8(caption).c_str(), style);
}

}  // namespace fw::win
