// Files of the preceding terminal family ("K2x-4.00", "K2x-3.10"): read
// only, converted field by field into the current model.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/default_texts.h"
#include "model/program_model.h"

namespace fw {

constexpr char kOlderHeader400[] = "K2x-4.00";   // 8 characters, no NUL in the file
constexpr char kOlderHeader310[] = "K2x-3.10";
constexpr std::size_t kOlderHeaderSize = 8;

// Where the old blocks lie in an older file (10,510 bytes in all).
namespace older {
constexpr std::size_t kWord = 8;
constexpr std::size_t kProgramStart = 10;
constexpr std::size_t kBarcode = 11;            // 24 bytes
constexpr std::size_t kMenus = 35;              // 10 x 250
constexpr std::size_t kMenuSize = 250;
constexpr std::size_t kForms = 2535;            // 10 x 601
constexpr std::size_t kFormSize = 601;
constexpr std::size_t kLookups = 8545;          // 3 x 19
constexpr std::size_t kLookupSize = 19;
constexpr std::size_t kDelimiters = 8602;       // 2
constexpr std::size_t kTables = 8604;           // eighteen message tables, 1862 bytes
constexpr std::size_t kSystem = 10466;          // 20
constexpr std::size_t kPassword = 10486;        // 10
constexpr std::size_t kExtension = 10496;       // 14
constexpr std::size_t kEnd = 10510;
// The fourteenth old table (the third of 84 bytes, 4 x 21): its lines 3 and
// 4 are the prompt-duration lines of the entry options screen.
constexpr std::size_t kEntryDurationTable = 9933;
constexpr uint8_t kExtensionMarker = 0x40;      // '@': the extension block is valid
}  // namespace older

// Converts a whole older file (`file` holds at least older::kEnd bytes,
// header included) into `m`. Only what the conversion lists is written; every
// other byte keeps the value `m` had (New's defaults or the previous
// program). The message tables, reserved lines and extra utility lines are
// reset from `defaults`.
void convertOlderProgram(ProgramModel& m, const DefaultTexts& defaults, const uint8_t* file);

}  // namespace fw
