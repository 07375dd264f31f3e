#include "loader/last_folder.h"

#include <fstream>

#include "loader/command_line.h"
#include "loader/loader_texts.h"
#include "model/file_replace.h"
#include "texts/code_page.h"

namespace fw::loader {

namespace {

// A folder of the longest path (32767 characters of three UTF-8 bytes each)
// and the port and speed lines.
constexpr std::size_t kMaxIniSize = 100000;

}  // namespace

std::string folderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash));
}

LoaderMemory parseLoaderMemory(std::string_view content) {
    LoaderMemory memory;
    content = content.substr(0, content.find('\0'));
    std::size_t at = 0;
    bool first = true;
    while (at <= content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (first) {
            memory.folder = utf8FromStoredName(line);
            first = false;
        } else if (line.rfind("port=", 0) == 0) {
            memory.port = comPortName(line.substr(5));
        } else if (line.rfind("speed=", 0) == 0 && line.size() == 7 && line[6] >= '0' &&
                   line[6] < char('0' + kSpeedNames.size())) {
            memory.speed = line[6] - '0';
        }
        at = end + 1;
    }
    return memory;
}

std::string formatLoaderMemory(const LoaderMemory& memory) {
    std::string text = memory.folder;
    if (!memory.port.empty()) text += "\r\nport=" + memory.port;
    if (memory.speed >= 0) text += "\r\nspeed=" + std::to_string(memory.speed);
    return text;
}

LoaderMemory readLoaderMemory(const std::filesystem::path& iniPath) {
    if (iniPath.empty()) return {};
    std::ifstream in(iniPath, std::ios::binary);
    if (!in) return {};
    std::string text(kMaxIniSize, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return parseLoaderMemory(text);
}

std::optional<std::string> readLastFolder(const std::filesystem::path& iniPath) {
    std::string folder = readLoaderMemory(iniPath).folder;
    if (folder.empty()) return std::nullopt;
    return folder;
}

bool writeLastFolder(const std::filesystem::path& iniPath, std::string_view folder) {
    LoaderMemory memory = readLoaderMemory(iniPath);
    memory.folder = std::string(folder);
    const std::string text = formatLoaderMemory(memory);
    return writeFileReplacing(iniPath, text.data(), text.size());
}

}  // namespace fw::loader
