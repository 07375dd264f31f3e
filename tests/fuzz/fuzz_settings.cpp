// Fuzzing the settings file reader. Beyond "no crash", whatever a file gives
// must be written back so that it reads again as the same preferences: the
// second write equals the first, and fits in what the reader reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fw::Preferences first;
    fw::parseSettings(reinterpret_cast<const char*>(data), size, first);
    if (first.recentFiles.size() > static_cast<std::size_t>(fw::kMaxRecentFiles) ||
        fw::pathUnits(first.lastFile) > fw::kMaxPathChars || first.language.size() > fw::kMaxLanguageNameChars ||
        first.comPortIndex < -1 || first.comPortIndex > 126)
        std::abort();

    const std::string written = fw::formatSettings(first);
    if (written.size() > fw::kSettingsFileCap) std::abort();
    fw::Preferences second;
    fw::parseSettings(written.data(), written.size(), second);
    if (fw::formatSettings(second) != written) std::abort();
    return 0;
}
