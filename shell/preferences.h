// The designer's own preferences, kept apart from the designed program.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "comm/link_type.h"

namespace fw {

constexpr int kMaxRecentFiles = 4;
constexpr char kUnknownFile[] = "Unknow";   // lastFile before anything was opened
constexpr char kBuiltInLanguage[] = "0";    // language: the string table's texts

// Longest file name kept in lastFile and recentFiles, in characters as the
// system counts them (the system's path limit), and longest language name.
constexpr std::size_t kMaxPathChars = 260;
constexpr std::size_t kMaxLanguageNameChars = 40;


struct Preferences {
    std::string lastFile = kUnknownFile;
    int downloadVia = 0;        // 0 "Cradle-IR", 1 "IrDA", 2 "Serial-SPP"
    int receiveVia = 0;
    int comPortNumber = 1;
    int baudRate = 0;           // 0 "115200 bps" .. 4 "9600 bps"
    bool autoPreload = false;
    bool alwaysOnTop = false;
    std::string language = kBuiltInLanguage;
    std::vector<std::string> recentFiles;   // newest first, at most kMaxRecentFiles
    int comPortIndex = -1;      // position in the system's port list; -1 unset
    // Where the user left the terminal window (screen pixels, top-left);
    // unset until it has been moved.
    bool hasWindowPosition = false;
    int windowX = 0;
    int windowY = 0;
};

// Makes `path` the last file and the first recent file: an entry already in
// the list moves to the top; a new one is added, the oldest dropping out of
// a full list. The comparison is exact (case-sensitive).
void noteRecentFile(Preferences& prefs, const std::string& path);

// Rules of the Preferences dialog.

// "De&tect Cradle" only makes sense while one of the two links is the cradle.
bool detectCradleEnabled(int downloadVia, int receiveVia);

// The port the "&COM port :" list selects, given the port names in the
// system's order. An unset comPortIndex is first looked up from
// comPortNumber: the first name holding "M" followed by that number (COM3
// for 3) sets it. "M3" must not be followed by another digit, or COM30
// would be taken for COM3. The selection is comPortIndex when it lies inside
// the list, else the first port; -1 for an empty list.
int selectPort(Preferences& prefs, const std::vector<std::string>& portNames);

// The number a port's name carries: 7 for "COM7" (any case); 0 for a name
// that is not "COM" and digits.
int comNumberOf(const std::string& portName);

// The port a transfer opens, given the port names in the system's order.
// The list's order changes when USB or Bluetooth adapters are plugged in
// another order, so the port is found by its number (comPortNumber, kept
// current by the Preferences dialog) before its position:
// - the port at comPortIndex when it carries that number, or carries none
//   (such a port is known only by its position);
// - else the first port that carries the number;
// - else comPortIndex as it is (-1 or beyond the list: the user chooses).
// A number of 1 never moves the port: settings written before the number
// was kept current hold 1 whatever port they name, and 1 is also the
// default.
int resolvePort(const Preferences& prefs, const std::vector<std::string>& portNames);

}  // namespace fw
