// The number of the calculator entry in the terminal's utilities menu.
//
// The terminal lists "8.Load Lookup" only while a lookup file is defined,
// and the calculator then moves from the eighth to the ninth place. Every
// text of that entry (the default texts of both widths, and the working
// text the Startup page edits) carries the number as its first character;
// a user who wrote a text without a leading digit keeps it as written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/default_texts.h"
#include "model/program_model.h"

namespace fw {

// A lookup file counts as defined when its member length and its number of
// fields are both non-zero.
bool lookupDefined(const LookupDef& lookup);

// '9' when any of the model's lookup files is defined, else '8'.
char calculatorDigit(const ProgramModel& model);

// Writes `digit` over the first character of the calculator entry's text,
// only when that character is a digit. Only the first byte is read, so a
// field without a NUL is fine; an empty text or a null pointer is left alone.
void renumberCalculatorEntry(char* text, char digit);
void renumberCalculatorEntry(uint8_t* text, char digit);

// The calculator entry (the first extra utility line) in both widths of a
// set of default texts.
void renumberCalculatorDefaults(DefaultTexts& defaults, char digit);

}  // namespace fw
