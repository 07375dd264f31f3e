// The designer's own preferences, kept apart from the designed program.
#pragma once

#include <string>
#include <vector>

namespace fw {

constexpr int kMaxRecentFiles = 4;
constexpr char kUnknownFile[] = "Unknow";   // lastFile before anything was opened

struct Preferences {
    std::string lastFile = kUnknownFile;
    int downloadVia = 0;        // 0 "Cradle-IR", 1 "IrDA", 2 "Serial-SPP"
    int receiveVia = 0;
    int comPortNumber = 1;
    int baudRate = 0;           // 0 "115200 bps" .. 4 "9600 bps"
    bool autoPreload = false;
    bool alwaysOnTop = false;
    std::string language = "0"; // "0": the built-in texts
    std::vector<std::string> recentFiles;   // newest first, at most kMaxRecentFiles
    int comPortIndex = -1;      // position in the system's port list; -1 unset
};

// Makes `path` the last file and the first recent file: an entry already in
// the list moves to the top; a new one is added, the oldest dropping out of
// a full list. The comparison is exact (case-sensitive).
void noteRecentFile(Preferences& prefs, const std::string& path);

}  // namespace fw
