// The default lines of the terminal's built-in screens, loaded through the
// text service so that a language file can replace them.
#pragma once

#include <cstdint>

#include "model/message_tables.h"

namespace fw {

struct DefaultTexts {
    // Line n of table t, NUL-terminated, cut to 16 characters (21-byte
    // lines) or 12 (16-byte lines).
    char lines[kMessageTableCount][kMaxTableLines][17];
    // Twelve-character twins of the tables of 21-byte lines, for the large
    // font; empty for the other tables and past the twin's line count.
    char largeLines[kMessageTableCount][kMaxTableLines][13];
    char extraUtility[kExtraUtilityLineCount][17];
    char extraUtilityLarge[kExtraUtilityLineCount][13];
    // Third port choice when Bluetooth SPP is the port.
    char uploadBluetooth[17];
    char uploadBluetoothLarge[13];
    char downloadBluetooth[17];
    char downloadBluetoothLarge[13];
};

// Fills `d` through loadText (string table, or the active language).
void loadDefaultTexts(DefaultTexts& d);

// The default text of a model line for the given font choice: the twin
// when `largeFont` is set and the table has one.
const char* defaultLine(const DefaultTexts& d, int table, int line, bool largeFont);
const char* defaultExtraUtilityLine(const DefaultTexts& d, int line, bool largeFont);

}  // namespace fw
