#include "model/settings_place.h"

#include <system_error>

#include "model/file_replace.h"

namespace fw {

SettingsFiles chooseSettingsFiles(const std::filesystem::path& besideProgram, bool programFolderWritable,
                                  const std::filesystem::path& inUserFolder,
                                  bool (*exists)(const std::filesystem::path&)) {
    SettingsFiles files;
    const bool besideIt = programFolderWritable || inUserFolder.empty();
    files.writeTo = besideIt ? besideProgram : inUserFolder;
    const std::filesystem::path& other = besideIt ? inUserFolder : besideProgram;
    files.fallback = besideIt ? inUserFolder : std::filesystem::path();
    files.readFrom = files.writeTo;
    if (!exists(files.writeTo) && !other.empty() && exists(other)) files.readFrom = other;
    return files;
}

SettingsFiles locateSettings(const std::filesystem::path& programFolder, std::string_view fileName) {
    const std::filesystem::path user = userSettingsFolder("Formwright");
    SettingsFiles files = chooseSettingsFiles(programFolder / fileName, folderWritable(programFolder),
                                              user.empty() ? user : user / fileName,
                                              [](const std::filesystem::path& p) {
                                                  std::error_code ec;
                                                  return std::filesystem::is_regular_file(p, ec);
                                              });
    // The user's folder is made only when the settings go there.
    if (!user.empty() && files.writeTo.parent_path() == user) {
        std::error_code ec;
        std::filesystem::create_directories(user, ec);
    }
    return files;
}

bool writeSettingsFile(SettingsFiles& files, const std::string& bytes) {
    if (files.writeTo.empty()) return false;
    if (writeFileReplacing(files.writeTo, bytes.data(), bytes.size())) {
        files.readFrom = files.writeTo;
        return true;
    }
    if (files.fallback.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(files.fallback.parent_path(), ec);
    if (!writeFileReplacing(files.fallback, bytes.data(), bytes.size())) return false;
    files.writeTo = files.fallback;
    files.readFrom = files.fallback;
    files.fallback.clear();
    return true;
}

}  // namespace fw
