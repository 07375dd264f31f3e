#include "shell/settings_file.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "model/file_replace.h"
#include "model/fixed_text.h"

namespace fw {

namespace {

constexpr char kFieldEnd = '\r';
// The terminal window's position, the one field after the port index
// (readers that end at the port index never see it).
constexpr std::string_view kWindowField = "Window=";
// Screen coordinates kept: far beyond any desktop, small enough to add to.
constexpr long kWindowCoordinateLimit = 100000;

// "x,y" as two decimal integers, either of them negative (monitors left of
// or above the main one); false for anything else.
bool parseWindowPosition(std::string_view text, int& x, int& y) {
    long values[2] = {0, 0};
    std::size_t at = 0;
    for (int i = 0; i < 2; ++i) {
        const bool negative = at < text.size() && text[at] == '-';
        if (negative) ++at;
        const std::size_t digitsAt = at;
        long v = 0;
        while (at < text.size() && isDigit(text[at])) {
            v = v * 10 + (text[at] - '0');
            if (v > kWindowCoordinateLimit) return false;
            ++at;
        }
        if (at == digitsAt) return false;
        values[i] = negative ? -v : v;
        if (i == 0) {
            if (at >= text.size() || text[at] != ',') return false;
            ++at;
        }
    }
    if (at != text.size()) return false;
    x = static_cast<int>(values[0]);
    y = static_cast<int>(values[1]);
    return true;
}

std::string windowField(const Preferences& prefs) {
    if (!prefs.hasWindowPosition || std::abs(prefs.windowX) > kWindowCoordinateLimit ||
        std::abs(prefs.windowY) > kWindowCoordinateLimit)
        return {};
    return std::string(kWindowField) + std::to_string(prefs.windowX) + "," + std::to_string(prefs.windowY) + kFieldEnd;
}


// The value of the digits that start `field` (as atoi would read them, but
// without a sign and without overflow: a long run of digits stays huge);
// -1 when it does not start with a digit.
long long leadingNumber(std::string_view field) {
    if (field.empty() || !isDigit(field[0])) return -1;
    long long value = 0;
    for (char c : field) {
        if (!isDigit(c)) break;
        if (value < 1000000) value = value * 10 + (c - '0');
    }
    return value;
}

bool allDigits(std::string_view field) {
    for (char c : field)
        if (!isDigit(c)) return false;
    return !field.empty();
}

// A text the reader takes back as the same single field.
bool writableText(const std::string& text, std::size_t maxChars) {
    return !text.empty() && text.size() <= maxChars &&
           text.find(kFieldEnd) == std::string::npos && text.find('\0') == std::string::npos;
}

// A file name, its length counted in characters: a UTF-8 name of 260
// characters takes up to 780 bytes, and is still a name the system opens.
bool writablePath(const std::string& path) {
    return writableText(path, path.size()) && pathUnits(path) <= kMaxPathChars;
}

// A recent file must also not start with a digit: the reader would take it
// for the port index field and stop reading the list there.
bool writableRecentFile(const std::string& path) {
    return writablePath(path) && !isDigit(path[0]);
}

// A file name field as UTF-8; nothing when it is longer than any path the
// system opens (cutting it would name another file).
std::optional<std::string> pathField(std::string_view field, SystemCodePageReader systemCodePage) {
    std::string path = utf8FromStoredName(field, systemCodePage);
    if (pathUnits(path) > kMaxPathChars) return std::nullopt;
    return path;
}

}  // namespace

std::string settingsPath(const std::string& programFolder) {
    return programFolder + kSettingsFileName;
}

void parseSettings(const char* data, std::size_t size, Preferences& prefs, SystemCodePageReader systemCodePage) {
    prefs = Preferences{};
    if (!data) return;

    std::string_view text(data, size);
    bool cut = false;
    if (text.size() > kSettingsFileCap) {
        text = text.substr(0, kSettingsFileCap);
        cut = true;
    }
    // The file was read into a C string: a NUL ends it.
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        text = text.substr(0, nul);
        cut = false;
    }
    // A field that runs over the cap has lost its end.
    if (cut) {
        std::size_t lastEnd = text.rfind(kFieldEnd);
        text = lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd + 1);
    }

    int position = 0;   // fields taken so far
    int recent = 0;     // recent-file fields seen
    bool indexRead = false;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(kFieldEnd, at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view field = text.substr(at, end - at);
        at = end + 1;
        if (field.empty()) continue;

        if (indexRead) {
            if (field.substr(0, kWindowField.size()) == kWindowField &&
                parseWindowPosition(field.substr(kWindowField.size()), prefs.windowX, prefs.windowY))
                prefs.hasWindowPosition = true;
            return;
        }
        ++position;
        switch (position) {
        case 1:
            if (auto path = pathField(field, systemCodePage)) prefs.lastFile = std::move(*path);
            break;
        case 2:
            if (field[0] >= '0' && field[0] <= '2') prefs.downloadVia = field[0] - '0';
            break;
        case 3:
            if (field[0] >= '0' && field[0] <= '2') prefs.receiveVia = field[0] - '0';
            break;
        case 4: {
            long long n = leadingNumber(field);
            if (n >= 1 && n <= 255) prefs.comPortNumber = static_cast<int>(n);
            break;
        }
        case 5:
            if (field[0] >= '0' && field[0] <= '4') prefs.baudRate = field[0] - '0';
            break;
        case 6:
            prefs.autoPreload = field[0] != '0';
            break;
        case 7:
            prefs.alwaysOnTop = field[0] != '0';
            break;
        case 8:
            prefs.language = std::string(field.substr(0, kMaxLanguageNameChars));
            break;
        default:
            if (!isDigit(field[0])) {
                if (++recent > kMaxRecentFiles) return;
                if (auto path = pathField(field, systemCodePage)) prefs.recentFiles.push_back(std::move(*path));
                break;
            }
            // The first field that starts with a digit is the port index;
            // only the window's position may follow it.
            if (allDigits(field)) {
                long long n = leadingNumber(field);
                if (n >= 1 && n <= 127) prefs.comPortIndex = static_cast<int>(n - 1);
            }
            indexRead = true;
            break;
        }
    }
}

std::string formatSettings(const Preferences& prefs) {
    // An empty field would be skipped by the reader and shift every field
    // after it, so each text written is one the reader takes back whole.
    const std::string& lastFile = writablePath(prefs.lastFile) ? prefs.lastFile : std::string(kUnknownFile);
    std::string language = prefs.language.substr(0, kMaxLanguageNameChars);
    if (!writableText(language, kMaxLanguageNameChars)) language = kBuiltInLanguage;

    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%d\r%d\r%d\r%d\r%d\r%d\r", prefs.downloadVia,
                  prefs.receiveVia, prefs.comPortNumber, prefs.baudRate, prefs.autoPreload ? 1 : 0,
                  prefs.alwaysOnTop ? 1 : 0);
    std::string out = lastFile + kFieldEnd + numbers + language + kFieldEnd;

    char index[24];
    std::snprintf(index, sizeof index, "%lld\r", static_cast<long long>(prefs.comPortIndex) + 1);
    const std::string window = windowField(prefs);
    const std::size_t indexSize = std::strlen(index) + window.size();

    // Very long paths could make the file longer than the reader reads; the
    // port index at its end would be lost with the last path cut in two. The
    // oldest recent files give way instead.
    int written = 0;
    for (const std::string& path : prefs.recentFiles) {
        if (written == kMaxRecentFiles) break;
        if (!writableRecentFile(path)) continue;
        if (out.size() + path.size() + 1 + indexSize > kSettingsFileCap) break;
        out += path;
        out += kFieldEnd;
        ++written;
    }
    out += index;
    out += window;
    return out;
}

bool readSettings(const std::filesystem::path& path, Preferences& prefs, SystemCodePageReader systemCodePage) {
    prefs = Preferences{};
    if (path.empty()) return false;
    // A stream opened by path takes the system's wide name on Windows.
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // One byte more than the cap tells a file that was cut from one that
    // just fills it.
    char buffer[kSettingsFileCap + 1];
    in.read(buffer, sizeof buffer);
    const std::size_t n = static_cast<std::size_t>(in.gcount());
    if (in.bad() || n == 0) return false;
    parseSettings(buffer, n, prefs, systemCodePage);
    return true;
}

bool writeSettings(const std::filesystem::path& path, const Preferences& prefs) {
    if (path.empty()) return false;
    const std::string bytes = formatSettings(prefs);

    return writeFileReplacing(path, bytes.data(), bytes.size());
}

bool storeSettings(SettingsFiles& files, const Preferences& prefs) {
    return writeSettingsFile(files, formatSettings(prefs));
}

bool rereadSettings(const SettingsFiles& files, Preferences& prefs, SystemCodePageReader systemCodePage) {
    Preferences read;
    if (!readSettings(files.readFrom, read, systemCodePage)) return false;
    prefs = std::move(read);
    return true;
}

std::string startupFile(const Preferences& prefs) {
    if (!prefs.autoPreload || prefs.lastFile == kUnknownFile) return {};
    return prefs.lastFile;
}

}  // namespace fw
