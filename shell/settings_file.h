// The designer's settings file "FWK400.ini" beside the program: a text of
// fields, each ended by one carriage return, with no keys and no line feeds:
//
//   lastFile, downloadVia, receiveVia, comPortNumber, baudRate,
//   autoPreload (0/1), alwaysOnTop (0/1), language,
//   each recent file, comPortIndex + 1 (0 when unset)
//
// The reader knows a field only by its position, except that the recent
// files end at the first field that starts with a digit. The reader reads at
// most kSettingsFileCap bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "model/settings_place.h"
#include "shell/preferences.h"
#include "texts/code_page.h"

namespace fw {

constexpr char kSettingsFileName[] = "FWK400.ini";
constexpr std::size_t kSettingsFileCap = 1300;

// The settings file of the program in `programFolder` (which ends with the
// path separator).
std::string settingsPath(const std::string& programFolder);

// Resets `prefs` to the defaults and takes what the bytes give, field by
// field. Never reads past `size`; a NUL byte ends the text. Only the first
// kSettingsFileCap bytes count: when there are more, the field that runs
// over the cap is dropped rather than taken in part (a cut path would name
// another file). File names come back as UTF-8 (utf8FromStoredName: an
// older designer's are read through `systemCodePage`), and a name longer
// than kMaxPathChars characters is dropped.
void parseSettings(const char* data, std::size_t size, Preferences& prefs,
                   SystemCodePageReader systemCodePage = nullptr);

// The file's bytes for `prefs`, in the format above. Whatever it writes reads
// back as written: texts the reader could not take back are left out (a
// recent file that is empty, holds a CR or a NUL, starts with a digit or is
// too long) or replaced (such a lastFile by "Unknow", such a language by
// "0"; a longer language is cut to its 40 characters), at most four recent
// files are written, and the oldest of them are left out when the file would
// outgrow what the reader reads.
std::string formatSettings(const Preferences& prefs);

// Resets `prefs` to the defaults and reads the file at `path` into it.
// Returns whether anything was read; a missing, unreadable or empty file
// leaves the defaults.
bool readSettings(const std::filesystem::path& path, Preferences& prefs,
                  SystemCodePageReader systemCodePage = nullptr);

// Writes `prefs` to `path`. The bytes go to a new file beside it, reach the
// disk, and only then replace the old file, so a failed write leaves the
// previous settings intact. Returns false when the file cannot be written.
bool writeSettings(const std::filesystem::path& path, const Preferences& prefs);

// Writes `prefs` where the settings go (writeSettingsFile: the fallback when
// the usual place refuses). Returns whether the settings were written.
bool storeSettings(SettingsFiles& files, const Preferences& prefs);

// Reads the settings again (another copy of the designer may have changed
// them) into `prefs` only when the file could be read: a missing or
// unreadable file never turns the preferences in memory into defaults.
bool rereadSettings(const SettingsFiles& files, Preferences& prefs,
                    SystemCodePageReader systemCodePage = nullptr);

// The file that start-up loads: lastFile when autoPreload is on and a file
// was ever opened or saved; empty otherwise.
std::string startupFile(const Preferences& prefs);

}  // namespace fw
