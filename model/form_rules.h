// The rules of forms and menus that several parts of the program apply,
// side by side so that their differences stay visible: which data types
// take input, how wide a text may be in each font, how a line is reset, and
// the four normalisations of a program (the editor's OK, the download image,
// the standalone downloader's image, the simulated Collect). Each
// normalisation is named for where it is used; they differ on purpose, and
// tests/unit/form_rules_test.cpp shows how.
#pragma once

#include <cstddef>

#include "model/program_model.h"

namespace fw {

// ---- data-type classes ----------------------------------------------------

// Typed or scanned on the terminal: text, integer, real, letter, auto(+/-),
// boolean, alphanumeric. The Form page's rows take an input source for
// them, the simulated display enters data in them.
bool isEntryType(int type);
// Entry types except boolean, whose lengths are always 1.
bool hasLengths(int type);
// Entry types and fixed data open the field Properties dialog.
bool hasFieldProperties(int type);
// Integer, real and auto(+/-) may take a lookup field with its sign.
bool offersSignedLinks(int type);
// The lines the terminal counts as input lines of a downloaded program:
// the entry types and pause (the terminal waits there for a key).
bool countsAsDownloadInput(int type);
// The older count the standalone downloader keeps: text to boolean only.
bool countsAsLoaderInput(int type);

// ---- text width by font ---------------------------------------------------

constexpr int kSmallTextWidth = 16;
constexpr int kLargeTextWidth = 12;
constexpr int kLargeFontLines = 4;   // form rows 5-8 do not exist in the large font
constexpr int kMaxDataLength = 80;

// Characters of a text line in font `font` (0 small, else large): a form
// prompt, a menu caption or item, a line of the terminal's own screens.
constexpr int textWidth(int font) { return font != 0 ? kLargeTextWidth : kSmallTextWidth; }
// The width the standalone downloader pads menu texts to.
std::size_t loaderMenuWidth(int font);

// ---- line resets ----------------------------------------------------------

// The settings of the field Properties dialog (fixed length, the value
// but not its switch, prefix, suffix, input mark).
void clearFieldProperties(FormDef& form, int line);

// A line as New makes it: nil, every setting off or at its default. Only
// the first byte of lineText is cleared: the rest is carried as found.
void resetLineForNew(FormDef& form, int line);
// A nil or extension line at the editor's OK: its settings cleared, all of
// lineText too. An extension line keeps the maximum length, Auto ENTER and
// input mark that continue the line above it.
void resetUnusedLine(FormDef& form, int line);

// Partial reading takes characters from `partialStart` (1..80) for at most
// `partialMaxLength` (1..80): a 0 start becomes 1 and a 0 maximum 80, as
// the field dialog shows them, and anything above 80 becomes 80.
void correctPartialReading(FormDef& form, int line);

// ---- normalisation -------------------------------------------------------

// The editor's OK (after the working copy went back to the model): the
// Properties settings of lines that cannot use them, the large-font rows,
// lengths, prompts and links, the extension layout, the reset of unused
// lines and partial reading.
void normaliseFormOnCommit(FormDef& form);

// The download image: prompts and links of lines that cannot have them,
// and the input line count (pause counts; a lookup line does not).
void normaliseFormForDownload(FormDef& form);

// The standalone downloader: the large-font rows, data lengths of at most
// 50, the prompts and links, and its older input line count.
void normaliseFormForLoader(FormDef& form);

// A simulated Collect: prompts of unused lines and links of lines that
// cannot have one (lookup lines keep theirs), and the input line count of
// the simulation (a pause is no input line here).
void normaliseFormForCollect(FormDef& form);

// The menu's items that show something within `width` characters: a
// character above a space (ANSI letters from 0x80 count).
int countMenuItems(const MenuDef& menu, std::size_t width);

}  // namespace fw
