#include "texts/code_page.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(CodePage, EveryByteComesBackThroughUtf8AndUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const CodePageText viaUtf8 = codePageFromUtf8(utf8FromCodePage(all));
    const CodePageText viaUtf16 = codePageFromUtf16(utf16FromCodePage(all));
    EXPECT_TRUE(viaUtf8.ok());
    EXPECT_EQ(viaUtf8.bytes, all);
    EXPECT_TRUE(viaUtf16.ok());
    EXPECT_EQ(viaUtf16.bytes, all);
    EXPECT_EQ(utf8FromCodePage("\x80\xE9\x9F"), "\u20AC\u00E9\u0178");
    EXPECT_EQ(unicodeOf(0x8D), U'\u008D');
}

TEST(CodePage, RefusesWhatTheTerminalCannotShowByName) {
    const CodePageText greek = codePageFromUtf16(u"ab\u03A9c");
    EXPECT_EQ(greek.fault, CodePageText::Fault::notInCodePage);
    EXPECT_EQ(greek.bytes, "ab");
    EXPECT_EQ(greek.refusedName(), "\u03A9 (U+03A9)");

    const CodePageText emoji = codePageFromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(emoji.fault, CodePageText::Fault::notInCodePage);
    EXPECT_EQ(emoji.refused, U'\U0001F600');

    EXPECT_EQ(codePageFromUtf8(std::string("a\0b", 3)).fault, CodePageText::Fault::nul);
}

TEST(CodePage, MalformedUnicodeIsAFaultNotAnotherCharacter) {
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_EQ(codePageFromUtf8(bad).fault, CodePageText::Fault::invalidUnicode) << bad;
    EXPECT_EQ(codePageFromUtf16(u"a\xD800").fault, CodePageText::Fault::invalidUnicode);
    EXPECT_EQ(codePageFromUtf16(std::u16string(1, u'\xDC00')).fault, CodePageText::Fault::invalidUnicode);

    EXPECT_EQ(utf8FromUtf16(u"x\xD800y"), "x\uFFFDy");
    EXPECT_EQ(utf16FromUtf8("x\xC3y"), u"x\uFFFDy");
    EXPECT_EQ(utf8FromUtf16(utf16FromUtf8("C:\\Lager\\\u00DCbersicht \U0001F600.FWX")),
              "C:\\Lager\\\u00DCbersicht \U0001F600.FWX");
}

TEST(CodePage, TypedTextKeepsWhatTheTerminalShowsAndNamesTheFirstRefusal) {
    const TypedText size = acceptTyped(u"Gr\u00F6\u00DFe \u20AC");
    EXPECT_EQ(size.bytes, "Gr\xF6\xDF" "e \x80");
    EXPECT_TRUE(size.refusal.empty());

    // Every character the terminal cannot show is left out, not just the
    // first; the message names the first as the user reads it.
    const TypedText mixed = acceptTyped(u"a\u03A9b\U0001F600c\u4E2D");
    EXPECT_EQ(mixed.bytes, "abc");
    EXPECT_NE(mixed.refusal.find("\u03A9 (U+03A9)"), std::string::npos) << mixed.refusal;

    // A pasted NUL or a lone surrogate is refused too, never a byte.
    EXPECT_EQ(acceptTyped(std::u16string(u"x\0y", 3)).bytes, "xy");
    const TypedText broken = acceptTyped(u"x\xD800y");
    EXPECT_EQ(broken.bytes, "xy");
    EXPECT_FALSE(broken.refusal.empty());
}

TEST(CodePage, Utf8ValidityOfWholeTexts) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("Gr\xF6\xDF" "e"));          // Windows-1252
    EXPECT_FALSE(isValidUtf8("cut \xE2\x82"));             // a character cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));                 // an overlong form
}

}  // namespace
}  // namespace fw
