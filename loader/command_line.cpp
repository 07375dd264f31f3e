#include "loader/command_line.h"

#include "loader/loader_texts.h"

namespace fw::loader {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The choice that a digit at `at` names, counted from 0; 0 when the digit
// is missing or outside '1'..'1' + count - 1.
int digitChoice(std::string_view text, std::size_t at, int count) {
    if (at >= text.size()) return 0;
    const char c = text[at];
    if (c < '1' || c >= char('1' + count)) return 0;
    return c - '1';
}

}  // namespace

std::string portName(int port) {
    if (port < 0 || port >= int(kPortNames.size())) return {};
    return std::string(kPortNames[std::size_t(port)]);
}

std::string chosenPort(const Choices& choices) {
    return choices.portName.empty() ? portName(choices.port) : choices.portName;
}

std::string comPortName(std::string_view text) {
    if (text.size() < 4 || text.size() > 6) return {};
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    if (upper(text[0]) != 'C' || upper(text[1]) != 'O' || upper(text[2]) != 'M') return {};
    int number = 0;
    for (char c : text.substr(3)) {
        if (c < '0' || c > '9') return {};
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 256 || text[3] == '0') return {};
    return "COM" + std::to_string(number);
}

CommandLine parseCommandLine(std::string_view text) {
    CommandLine line;
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;

    // The comma is looked for after a quoted path, so that a folder name
    // with a comma does not end the path early.
    std::size_t searchFrom = start;
    if (start < text.size() && text[start] == '"') {
        const std::size_t close = text.find('"', start + 1);
        searchFrom = close == std::string_view::npos ? text.size() : close + 1;
    }
    const std::size_t comma = text.find(',', searchFrom);

    std::string_view file = trimmed(text.substr(start, comma == std::string_view::npos
                                                           ? std::string_view::npos
                                                           : comma - start));
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
        file = file.substr(1, file.size() - 2);
    } else if (!file.empty() && file.front() == '"') {
        file.remove_prefix(1);   // an unclosed quote
    }
    line.file = std::string(file);
    line.silent = !line.file.empty();

    if (comma != std::string_view::npos) {
        line.choices.link = digitChoice(text, comma + 1, int(kLinkNames.size()));
        // A port by its name: COM9 and above (USB and Bluetooth adapters)
        // have no digit of their own.
        std::size_t nameEnd = comma + 3;
        while (nameEnd < text.size() && text[nameEnd] != ',' && !isBlank(text[nameEnd])) ++nameEnd;
        const std::string named =
            comma + 3 < text.size() ? comPortName(text.substr(comma + 3, nameEnd - (comma + 3))) : std::string();
        if (!named.empty()) {
            line.choices.portName = named;
            line.choices.speed = digitChoice(text, nameEnd + 1, int(kSpeedNames.size()));
        } else {
            line.choices.port = digitChoice(text, comma + 3, 6);
            line.choices.speed = digitChoice(text, comma + 5, int(kSpeedNames.size()));
        }
    }
    return line;
}

}  // namespace fw::loader
