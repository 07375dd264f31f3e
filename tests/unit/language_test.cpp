#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/default_texts.h"
#include "model/message_tables.h"
#include "shell/language.h"
#include "texts/texts.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<LanguageTexts> emptyTexts() {
    auto texts = std::make_unique<LanguageTexts>();
    texts->clear();
    return texts;
}

int parse(const std::string& bytes, LanguageTexts& texts) {
    return parseLanguageFile(bytes.data(), bytes.size(), texts);
}

std::string name(const std::string& bytes) { return languageName(bytes.data(), bytes.size()); }

TEST(LanguageFile, LinesSetAndClearSlots) {
    auto texts = emptyTexts();
    EXPECT_EQ(parse("Deutsch\r\n"
                    "1131=Programm speichern ?\r\n"
                    "2=Formwright DE\r\n"
                    "0=zero\r\n"
                    "1799=last\r\n",
                    *texts),
              4);
    EXPECT_STREQ(texts->text(1131), "Programm speichern ?");
    EXPECT_STREQ(texts->text(2), "Formwright DE");
    EXPECT_STREQ(texts->text(0), "zero");
    EXPECT_STREQ(texts->text(1799), "last");
    EXPECT_STREQ(texts->text(1), "");
    EXPECT_EQ(texts->text(1800), nullptr);

    // A second file changes only what it names; "id=" clears.
    parse("Other\r\n1131=\r\n2=Two\r\n", *texts);
    EXPECT_STREQ(texts->text(1131), "");
    EXPECT_STREQ(texts->text(2), "Two");
    EXPECT_STREQ(texts->text(1799), "last");
}

TEST(LanguageFile, MalformedLinesChangeNothing) {
    auto texts = emptyTexts();
    parse("Name\r\n"
          "1800=past the end\r\n"
          "-5=negative\r\n"
          "99999999999=huge\r\n"
          "18446744073709551617=wraps\r\n"
          "no equals sign here\r\n"
          "1131\r\n"
          "=no number\r\n"
          "12a=letters\r\n"
          " 1132 =blanks around the number\r\n",
          *texts);
    for (unsigned id = 0; id < LanguageTexts::kSlots; ++id) {
        if (id == 1132) continue;
        EXPECT_STREQ(texts->text(id), "") << id;
    }
    EXPECT_STREQ(texts->text(1132), "blanks around the number");

    // A line without "=" does not lend its text to the next line's number.
    parse("Name\r\nstray\r\n1133=ok\r\n", *texts);
    EXPECT_STREQ(texts->text(1133), "ok");
    EXPECT_STREQ(texts->text(0), "");
}

TEST(LanguageFile, LineEndsAndLengths) {
    auto texts = emptyTexts();
    const std::string eighty(80, 'e');
    parse("Name\n"                        // the name line may end in LF alone
          "1=unix line\n"                 // keeps its last character
          "2=" + eighty + "TOO LONG\r\n"
          "3=a=b\r\n"                     // the text runs to the line's end
          "4=inner\rcr\r\n"
          "5=no line end at all",
          *texts);
    EXPECT_STREQ(texts->text(1), "unix line");
    EXPECT_EQ(std::string(texts->text(2)), eighty);
    EXPECT_STREQ(texts->text(3), "a=b");
    EXPECT_STREQ(texts->text(4), "inner\rcr");
    EXPECT_STREQ(texts->text(5), "no line end at all");

    // A name line and nothing else, or no line end at all: no texts.
    EXPECT_EQ(parse("1131=only a name line", *texts), 0);
    EXPECT_EQ(parse("", *texts), 0);
    EXPECT_EQ(parseLanguageFile(nullptr, 5, *texts), 0);
}

TEST(LanguageFile, OnlyWholeLinesWithinTheCap) {
    auto texts = emptyTexts();
    std::string bytes = "Name\r\n1=first\r\n";
    bytes += "9=" + std::string(kLanguageFileCap - bytes.size() - 8, '#') + "\r\n";
    bytes += "7=cut in two by the cap\r\n";
    ASSERT_GT(bytes.size(), kLanguageFileCap);
    parse(bytes, *texts);
    EXPECT_STREQ(texts->text(1), "first");
    EXPECT_EQ(std::string(texts->text(9)), std::string(80, '#'));
    EXPECT_STREQ(texts->text(7), "");   // not "cut in" or any part of it
}

TEST(LanguageFile, Utf8FilesBecomeTheProgramsCodePage) {
    // Notepad's UTF-8, with and without a byte-order mark: "Größe" and "€"
    // become their Windows-1252 bytes, name and texts alike.
    for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
        const std::string file = bom + "Fran\xC3\xA7" "ais\r\n"
                                       "1131=Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\r\n";
        EXPECT_TRUE(languageFileIsUtf8(file));
        EXPECT_EQ(name(file), "Fran\xE7" "ais");
        auto texts = emptyTexts();
        EXPECT_EQ(parse(file, *texts), 1);
        EXPECT_STREQ(texts->text(1131), "Gr\xF6\xDF" "e \x80");
    }
    // An older file in Windows-1252 reads as it always did: "\xE7a" is no UTF-8.
    const std::string older = "Fran\xE7" "ais\r\n1131=Gr\xF6\xDF" "e\r\n";
    EXPECT_FALSE(languageFileIsUtf8(older));
    EXPECT_EQ(name(older), "Fran\xE7" "ais");
    auto texts = emptyTexts();
    EXPECT_EQ(parse(older, *texts), 1);
    EXPECT_STREQ(texts->text(1131), "Gr\xF6\xDF" "e");
    // Plain ASCII is the same either way.
    EXPECT_TRUE(languageFileIsUtf8("English\r\n1131=Save ?\r\n"));
}

TEST(LanguageFile, AUtf8TextTheCodePageCannotHoldKeepsTheProgramsOwn) {
    auto texts = emptyTexts();
    texts->set(1131, "kept", 4);
    // Greek omega and a Chinese character: no Windows-1252 byte stands for them.
    EXPECT_EQ(parse("\xEF\xBB\xBFTest\r\n1131=\xCE\xA9mega\r\n1132=\xE4\xB8\xAD\r\n1133=ok\r\n", *texts), 1);
    EXPECT_STREQ(texts->text(1131), "kept");
    EXPECT_STREQ(texts->text(1133), "ok");
    // A byte-order mark with broken UTF-8 after it: the broken line is not taken.
    EXPECT_EQ(parse("\xEF\xBB\xBFTest\r\n1131=\xC3(\r\n", *texts), 0);
    EXPECT_STREQ(texts->text(1131), "kept");
}

TEST(LanguageFile, NameIsTheFirstLineWithinItsFirst100Bytes) {
    EXPECT_EQ(name("Deutsch\r\n1131=x\r\n"), "Deutsch");
    EXPECT_EQ(name(std::string(60, 'N') + "\r\n"), std::string(40, 'N'));
    EXPECT_EQ(name(std::string(99, 'N') + "\r"), std::string(40, 'N'));
    EXPECT_EQ(name(std::string(100, 'N') + "\r"), "");   // the CR is past byte 100
    EXPECT_EQ(name("\r\nx"), "");
    EXPECT_EQ(name("no carriage return\n"), "");
    EXPECT_EQ(name(std::string("Fr\0ench\r", 8)), "Fr");
    EXPECT_EQ(languageName(nullptr, 3), "");
}

class LanguageFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_language_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        resetProcessLanguage();
    }
    void TearDown() override {
        resetProcessLanguage();
        fs::remove_all(dir);
    }
    static void resetProcessLanguage() {
        languageTexts().clear();
        setLanguageActive(false);
        languageList() = LanguageList{};
    }

    void write(const std::string& file, const std::string& bytes) {
        std::ofstream(dir / file, std::ios::binary) << bytes;
    }

    fs::path dir;
};

TEST_F(LanguageFolderTest, FindsNamedLanguageFilesInNameOrder) {
    write("b.LNG", "Beta\r\n");
    write("a.lng", "Alpha\r\n");
    write("c.lng.txt", "Not a language\r\n");
    write("d.Lng", "no name within 100 bytes" + std::string(100, ' ') + "\r\n");
    write("e.lng", "0\r\n");   // "0" means the built-in texts
    fs::create_directories(dir / "f.lng");
    LanguageList list;
    ASSERT_EQ(findLanguages(dir, list), 2);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(list.files[0].name, "Alpha");
    EXPECT_EQ(list.files[1].name, "Beta");
    EXPECT_EQ(list.files[1].path.filename().string(), "b.LNG");

    EXPECT_EQ(languageListIndex(list, "Beta"), 2);
    EXPECT_EQ(languageListIndex(list, "0"), 0);
    EXPECT_EQ(languageListIndex(list, "Gamma"), 0);
    EXPECT_EQ(languageOfListIndex(list, 1), "Alpha");
    EXPECT_EQ(languageOfListIndex(list, 0), "0");
    EXPECT_EQ(languageOfListIndex(list, 3), "0");
}

TEST_F(LanguageFolderTest, NoLanguageFilesGiveMinusOne) {
    LanguageList list;
    EXPECT_EQ(findLanguages(dir, list), -1);
    EXPECT_EQ(findLanguages(dir / "missing", list), -1);
    write("only.lng", "no name line");
    EXPECT_EQ(findLanguages(dir, list), 0);
    EXPECT_FALSE(loadLanguage(list, "no name line", languageTexts()));
}

TEST_F(LanguageFolderTest, AtMostTwentyLanguages) {
    for (int i = 0; i < 25; ++i) {
        char file[16];
        std::snprintf(file, sizeof file, "l%02d.lng", i);
        write(file, "Language " + std::to_string(i) + "\r\n");
    }
    LanguageList list;
    ASSERT_EQ(findLanguages(dir, list), 20);
    EXPECT_EQ(list.files.size(), 20u);
    EXPECT_EQ(list.files[19].name, "Language 19");
}

TEST_F(LanguageFolderTest, LoadedLanguageWinsOverTheStringTable) {
    write("de.lng", "Deutsch\r\n1131=Some text\r\n2=Formwright DE\r\n1101=&Neu\tStrg+N\r\n"
                    "721=1.Erfassen und mehr\r\n");
    write("fr.lng", "Francais\r\n1131=Enregistrer ?\r\n");
    ASSERT_EQ(findLanguages(dir), 2);

    EXPECT_FALSE(loadLanguage("Klingon"));   // no such file: built-in texts
    EXPECT_FALSE(languageActive());
    EXPECT_EQ(loadText(1131), "Save current program ?");

    ASSERT_TRUE(loadLanguage("Deutsch"));
    EXPECT_TRUE(languageActive());
    EXPECT_EQ(loadText(1131), "Some text");
    EXPECT_EQ(loadText(2), "Formwright DE");   // a text the string table lacks
    EXPECT_EQ(loadText(1101), "&Neu\tStrg+N");
    EXPECT_EQ(loadText(1132), "Downloaded completely!");   // not named: the table's
    char buffer[5];
    EXPECT_EQ(loadText(1131, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "Some");

    // The terminal's default screens follow the language, cut to the line.
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    EXPECT_STREQ(defaults->lines[kMsgMainMenu][0], "1.Erfassen u");

    // Switching keeps the first language's texts that the second lacks.
    ASSERT_TRUE(loadLanguage("Francais"));
    EXPECT_EQ(loadText(1131), "Enregistrer ?");
    EXPECT_EQ(loadText(2), "Formwright DE");

    // "Default <English>": the string table again, the texts still kept.
    EXPECT_FALSE(loadLanguage("0"));
    EXPECT_FALSE(languageActive());
    EXPECT_EQ(loadText(1131), "Save current program ?");
    EXPECT_EQ(loadText(2), "");
}

TEST_F(LanguageFolderTest, EmptyingASlotBringsBackTheStringTable) {
    write("de.lng", "Deutsch\r\n1131=Some text\r\n");
    write("de2.lng", "Deutsch 2\r\n1131=\r\n");
    ASSERT_EQ(findLanguages(dir), 2);
    ASSERT_TRUE(loadLanguage("Deutsch"));
    ASSERT_EQ(loadText(1131), "Some text");
    ASSERT_TRUE(loadLanguage("Deutsch 2"));
    EXPECT_TRUE(languageActive());
    EXPECT_EQ(loadText(1131), "Save current program ?");
}

TEST_F(LanguageFolderTest, AnEmptyFileGivesWayToTheNextOfTheSameName) {
    write("a.lng", "Same\r");   // a name and no texts
    write("b.lng", "Same\r\n1131=from b\r\n");
    LanguageList list;
    ASSERT_EQ(findLanguages(dir, list), 2);
    auto texts = emptyTexts();
    // The first file of the name is read even when it names no text.
    EXPECT_TRUE(loadLanguage(list, "Same", *texts));
    EXPECT_STREQ(texts->text(1131), "");

    // Emptied after the scan: the next file of that name is read.
    write("a.lng", "");
    EXPECT_TRUE(loadLanguage(list, "Same", *texts));
    EXPECT_STREQ(texts->text(1131), "from b");
    fs::remove(dir / "b.lng");
    EXPECT_FALSE(loadLanguage(list, "Same", *texts));
}

}  // namespace
}  // namespace fw
