// New-program defaults.
#pragma once

#include "model/default_texts.h"
#include "model/program_model.h"

namespace fw {

// Writes the barcode defaults; bits a new program does not set keep their value.
void resetBarcodeDefaults(ProgramModel& m);

// Defaults of all forms, menus, lookups and TerminalSettings, then copyDefaultTexts.
void resetRecords(ProgramModel& m, const DefaultTexts& d);

// Copies every default line into the model: the 26 message tables (the
// twelve-character twins when settings.largeFont is set), reservedLines
// (always empty) and extraUtilityLines.
void copyDefaultTexts(ProgramModel& m, const DefaultTexts& d);

// Reloads only the five extra utility lines for the given font choice.
void copyDefaultExtraUtilityLines(ProgramModel& m, const DefaultTexts& d, bool largeFont);

// The New operation: clears `modified`, then the barcode and record defaults.
// (The simulator's record counter is reset by the caller that owns it.)
void newProgram(ProgramModel& m, const DefaultTexts& d);

}  // namespace fw
