// "fwx_load.ini" (placed as the designer's settings are, model/settings_place.h):
// its whole content is the
// folder in which the user last picked a program file, without a trailing
// backslash and without a line end. The open dialog starts there.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fw::loader {

// The folder of a path: everything before its last backslash (or slash);
// empty when it has none.
std::string folderOf(std::string_view path);

// What the downloader remembers between runs: the folder of the last
// program file (UTF-8; a file written before names were UTF-8 holds it in
// Windows-1252 and is read so), then, on lines of their own, the last port
// ("port=COM12") and speed ("speed=1", the choice's number).
struct LoaderMemory {
    std::string folder;
    std::string port;    // empty: none remembered
    int speed = -1;      // -1: none remembered
};
LoaderMemory parseLoaderMemory(std::string_view content);
std::string formatLoaderMemory(const LoaderMemory& memory);
// The file's memory; all empty when it cannot be read.
LoaderMemory readLoaderMemory(const std::filesystem::path& iniPath);

// The folder the file names; nothing when the file cannot be read or names
// none. A line end that an editor left at the end is not part of it.
std::optional<std::string> readLastFolder(const std::filesystem::path& iniPath);

// Replaces the file's folder by `folder`, with no line end after it when
// nothing else is remembered; a file that cannot be replaced is left whole.
bool writeLastFolder(const std::filesystem::path& iniPath, std::string_view folder);

}  // namespace fw::loader
