#include "shell/command_line.h"

namespace fw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string programFileArgument(std::string_view line) {
    std::size_t begin = 0;
    while (begin < line.size() && isBlank(line[begin])) ++begin;
    std::size_t end = line.size();
    if (begin < end && line[begin] == '"') {
        // Up to the closing quote; what follows it is not ours to read. An
        // unclosed quote runs to the end of the line.
        ++begin;
        const std::size_t close = line.find('"', begin);
        if (close != std::string_view::npos) end = close;
    }
    while (end > begin && isBlank(line[end - 1])) --end;
    return std::string(line.substr(begin, end - begin));
}

}  // namespace fw
