// Where a program keeps its settings file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fw {

// Where the settings file is read and written. A program unpacked under
// "C:\Program Files" cannot write beside itself (a 64-bit program gets no
// redirection), so the settings then live in the user's own folder.
struct SettingsFiles {
    std::filesystem::path readFrom;   // what is read, at start-up and again later
    std::filesystem::path writeTo;    // where every write goes (and, once written, what is read)
    std::filesystem::path fallback;   // where a write goes when writeTo refuses it; empty: nowhere
};

// One file, read and written, with no fallback.
inline SettingsFiles settingsAt(const std::filesystem::path& file) { return SettingsFiles{file, file, {}}; }

// `besideProgram`: the file in the program's folder; `programFolderWritable`:
// whether a file can be created there; `inUserFolder`: the file in the
// user's application-data folder (empty when the system names none);
// `exists`: whether a file is there. The file is written beside the program
// when that folder is writable (existing installs keep working), else in the
// user's folder; it is read from where it is written when it is there, else
// from the other place (a first run after the folder was made read-only, or
// writable again).
SettingsFiles chooseSettingsFiles(const std::filesystem::path& besideProgram, bool programFolderWritable,
                                  const std::filesystem::path& inUserFolder,
                                  bool (*exists)(const std::filesystem::path&));

// The settings file `fileName` of the program in `programFolder`, placed by
// chooseSettingsFiles with what the system says now.
SettingsFiles locateSettings(const std::filesystem::path& programFolder, std::string_view fileName);

// Writes `bytes` as the whole settings file at `files.writeTo`; when that
// fails and there is a fallback, at the fallback (its folder made first),
// which then becomes the place written. The place written is the place read
// from afterwards. Returns whether the file was written.
bool writeSettingsFile(SettingsFiles& files, const std::string& bytes);

}  // namespace fw
