#include "loader/last_folder.h"

#include <cstdio>

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

std::optional<std::string> readLastFolder(const std::string& iniPath) {
    std::FILE* f = std::fopen(iniPath.c_str(), "rb");
    if (f == nullptr) return std::nullopt;
    std::string text(kMaxIniSize, '\0');
    const std::size_t got = std::fread(text.data(), 1, text.size(), f);
    std::fclose(f);
    text.resize(got);
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    if (text.empty()) return std::nullopt;
    return text;
}

bool writeLastFolder(const std::string& iniPath, std::string_view folder) {
    std::FILE* f = std::fopen(iniPath.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(folder.data(), 1, folder.size(), f) == folder.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace fw::loader
