// Language files: "*.lng" beside the program, each replacing the program's
// texts number by number.
//
//   Deutsch<CR><LF>                 the language's name, as the list shows it
//   1131=Aktuelles Programm speichern ?<CR><LF>
//   1132=<CR><LF>                   clears text 1132 (the string table's again)
//
// The texts of the loaded languages live in one process-wide LanguageTexts
// that loadText consults while languageActive() is set.
#pragma once

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "texts/language_texts.h"

namespace fw {

// A language file found beside the program.
struct LanguageFile {
    std::string name;                 // its first line, at most 40 characters
    std::filesystem::path path;
};

constexpr int kMaxLanguageFiles = 20;

struct LanguageList {
    int count = -1;                   // what findLanguages last returned
    std::vector<LanguageFile> files;  // the `count` files found, if any
};

// The name a language file's bytes give: the text up to the first carriage
// return within its first 100 bytes, cut to 40 characters (a NUL ends it
// earlier). Empty when those bytes give no name.
std::string languageName(const char* data, std::size_t size);

// Whether a language file's bytes are UTF-8 (they begin with a byte-order
// mark, or are well-formed UTF-8 throughout; plain ASCII reads the same
// either way); Windows-1252 otherwise, as older files are.
bool languageFileIsUtf8(std::string_view bytes);

// Applies a language file's bytes to `texts`: every line after the first
// that reads "id=text" sets slot id to text (its CR before the line feed
// removed, cut to 80 characters); "id=" clears the slot. Lines without "=" or
// without a number, and numbers outside 0..1799, change nothing; slots the
// file does not name keep what they held. At most kLanguageFileCap bytes are
// read, and only whole lines of them. A UTF-8 file's texts become
// Windows-1252; a line with a character that code page lacks is not
// applied. Returns the number of lines applied.
constexpr std::size_t kLanguageFileCap = 200000;
int parseLanguageFile(const char* data, std::size_t size, LanguageTexts& texts);

// Scans `folder` for "*.lng" files (any case), in the order of their names,
// and lists up to 20 that have a name. Returns how many, or -1 when there is
// none or one cannot be opened (then the list stays empty).
// On Windows a narrow string becomes a path through the C locale, not the
// ANSI code page: give a folder with non-ASCII letters as a wide path.
int findLanguages(const std::filesystem::path& folder, LanguageList& list);

// Reads the first listed file called `name` (the next one of that name when
// it cannot be read or is empty) into `texts`. Returns whether one was read.
// "0", the built-in texts, is never a file.
bool loadLanguage(const LanguageList& list, const std::string& name, LanguageTexts& texts);

// The same on the process-wide list and table; loadLanguage also sets
// languageActive() to its result. Choosing "0" ("Default <English>") or a
// name no file has turns the language off; the table keeps its texts, so a
// language loaded later keeps those of the earlier one that it does not name.
LanguageList& languageList();
int findLanguages(const std::filesystem::path& folder);
bool loadLanguage(const std::string& name);

// The "&Language :" list of the Preferences dialog: "Default <English>",
// then the names found. The entry that shows `language` (0 when none does),
// and the language an entry stands for.
int languageListIndex(const LanguageList& list, const std::string& language);
std::string languageOfListIndex(const LanguageList& list, int index);

}  // namespace fw
