#include "loader/last_folder.h"

#include <fstream>

#include "model/file_replace.h"

namespace fw::loader {

namespace {

// Longer than any folder the open dialog can give (260 characters).
constexpr std::size_t kMaxIniSize = 4096;

}  // namespace

std::string folderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash));
}

std::optional<std::string> readLastFolder(const std::filesystem::path& iniPath) {
    if (iniPath.empty()) return std::nullopt;
    std::ifstream in(iniPath, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxIniSize, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    if (text.empty()) return std::nullopt;
    return text;
}

bool writeLastFolder(const std::filesystem::path& iniPath, std::string_view folder) {
    return writeFileReplacing(iniPath, folder.data(), folder.size());
}

}  // namespace fw::loader
