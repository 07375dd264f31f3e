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

// The folder the file names; nothing when the file cannot be read or names
// none. A line end that an editor left at the end is not part of it.
std::optional<std::string> readLastFolder(const std::filesystem::path& iniPath);

// Replaces the file's content by `folder`, with no line end; a file that
// cannot be replaced is left whole.
bool writeLastFolder(const std::filesystem::path& iniPath, std::string_view folder);

}  // namespace fw::loader
