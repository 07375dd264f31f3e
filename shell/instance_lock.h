// One designer at a time per settings folder: two designers writing the
// same settings file, recovery copy or program would undo each other's
// work. The lock is named after the folder, so a designer installed (or
// unpacked) elsewhere, with settings of its own, never swallows a start.
#pragma once

#include <filesystem>
#include <string>

namespace fw {

// The name of the lock for the settings written to `settingsFile`: the same
// for every spelling of the folder that Windows takes as one (letter case,
// "/" or "\", a trailing separator), different for another folder.
std::string designerLockName(const std::filesystem::path& settingsFile);

}  // namespace fw
