#include "model/program_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "model/file_replace.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/older_format.h"
#include "model/program_defaults.h"

namespace fw {

namespace {

constexpr std::size_t kHeaderSize = 10;         // "K400-1.00" and a NUL
constexpr std::size_t kHeaderTextSize = 9;      // the part that is checked
constexpr std::size_t kTrailerSize = 100;
static_assert(sizeof kProgramHeader == kHeaderSize);
static_assert(kHeaderSize + kModelBodySize == kProgramFileBodyEnd);
static_assert(kProgramFileBodyEnd + kTrailerSize == kProgramFileSize);
static_assert(kOlderFileSize == older::kEnd);

// File offset of a model body offset.
constexpr std::size_t fileOffset(std::size_t bodyOffset) { return kHeaderSize + bodyOffset; }

// Reads the first `cap` bytes of a file (fewer when it is shorter). Nothing
// past them is ever looked at, so a huge file costs no more than a full one.
bool readFileHead(const std::string& path, std::size_t cap, std::vector<uint8_t>& out, int& error) {
    errno = 0;
    std::FILE* f = openFile(path, "rb");
    if (!f) {
        error = errno != 0 ? errno : ENOENT;
        return false;
    }
    out.resize(cap);
    std::size_t n = std::fread(out.data(), 1, cap, f);
    bool failed = std::ferror(f) != 0;   // a folder opens but does not read
    if (failed) error = errno != 0 ? errno : EIO;
    std::fclose(f);
    out.resize(n);
    return !failed;
}

// A settings block of layout version 0 or 1 becomes version 2: the fields
// that version 2 added or redefined get their defaults.
void upgradeSettings(ProgramModel& m, const DefaultTexts& defaults) {
    TerminalSettings& s = m.settings;
    clearField(s.downloadPhone);
    clearField(s.securityBeeps);
    clearField(s.reserved143);
    s.version = kSettingsVersion;
    s.keyClick = 2;
    s.goodReadBeep = 1;
    s.warningBeep = 2;
    s.modemSpeed = 0;
    copyDefaultExtraUtilityLines(m, defaults, s.largeFont != 0);
}

// Writes a text into a 21-byte slot of the Startup page, cut to `maxChars`.
void putSlotText(char (&slot)[kStartupLineBytes], std::string_view text, std::size_t maxChars) {
    if (maxChars > kStartupLineBytes - 1) maxChars = kStartupLineBytes - 1;
    std::size_t n = text.size() < maxChars ? text.size() : maxChars;
    std::memset(slot, 0, sizeof slot);
    std::memcpy(slot, text.data(), n);
}

// A default text up to its NUL, never past its array.
template <std::size_t N>
std::string_view boundedText(const char (&text)[N]) {
    return fieldText(reinterpret_cast<const uint8_t*>(text), N);
}

// A 16-byte line holds up to 12 characters, a 21-byte line up to 16.

}  // namespace

FileFormat detectFormat(const uint8_t* data, std::size_t size) {
    if (size >= kHeaderTextSize && std::memcmp(data, kProgramHeader, kHeaderTextSize) == 0)
        return FileFormat::Current;
    if (size >= kOlderHeaderSize && std::memcmp(data, kOlderHeader400, kOlderHeaderSize) == 0)
        return FileFormat::Older400;
    if (size >= kOlderHeaderSize && std::memcmp(data, kOlderHeader310, kOlderHeaderSize) == 0)
        return FileFormat::Older310;
    return FileFormat::Unknown;
}

std::vector<uint8_t> programFileBytes(const ProgramModel& m) {
    std::vector<uint8_t> bytes(kProgramFileSize, 0);   // the trailer stays zero
    std::memcpy(bytes.data(), kProgramHeader, kHeaderSize);
    std::memcpy(bytes.data() + kHeaderSize, modelBody(m), kModelBodySize);
    return bytes;
}

bool saveProgram(const ProgramModel& m, const std::string& path) {
    if (path.empty()) return false;
    const std::vector<uint8_t> bytes = programFileBytes(m);
    return writeFileReplacing(path, bytes.data(), bytes.size());
}

LoadResult loadProgram(ProgramModel& m, const DefaultTexts& defaults, const std::string& path) {
    std::vector<uint8_t> bytes;
    LoadResult failed;
    if (!readFileHead(path, kProgramFileSize, bytes, failed.error)) return failed;
    return loadProgramBytes(m, defaults, bytes.data(), bytes.size());
}

LoadResult loadProgramBytes(ProgramModel& m, const DefaultTexts& defaults, const uint8_t* data,
                            std::size_t size) {
    LoadResult result;
    result.format = detectFormat(data, size);
    const std::size_t needed = result.format == FileFormat::Current ? kProgramFileBodyEnd
                                                                     : kOlderFileSize;
    if (result.format == FileFormat::Unknown || size < needed) {
        result.status = LoadStatus::FormatMismatch;
        return result;
    }

    // Everything happens on a copy: the model changes only when the whole
    // file has been taken. The conversion of an older file builds on the
    // model's current content.
    ProgramModel scratch = m;
    if (result.format == FileFormat::Current)
        std::memcpy(modelBody(scratch), data + kHeaderSize, kModelBodySize);
    else
        convertOlderProgram(scratch, defaults, data);
    if (scratch.settings.version < kSettingsVersion) upgradeSettings(scratch, defaults);
    scratch.modified = false;

    m = scratch;
    result.status = LoadStatus::Ok;
    return result;
}

ScreenLineSource screenLineSource(int screen, int row) {
    ScreenLineSource src;
    if (screen < 0 || screen >= kStartupScreenCount || row < 0 || row >= kStartupScreenLines)
        return src;
    auto table = [&](int line) {
        src.kind = ScreenLineSource::Table;
        src.index = screen;
        src.line = line;
        return src;
    };
    auto extra = [&](int line) {
        src.kind = ScreenLineSource::ExtraUtility;
        src.index = line;
        return src;
    };
    if (screen == kMsgSettings) {
        // Line 1 is the heading, not edited; the Buzzer line sits before
        // "8.View Settings".
        if (row < 6) return table(row + 1);
        if (row == 6) return extra(1);
        return table(7);
    }
    if (screen == kMsgMiscContinuous) {
        if (row < 3) return table(row);
        if (row == 3) return extra(0);          // Calculator
        if (row < 7) return extra(row - 2);     // Key Click, Barcode Read, Warning Beep
        return src;
    }
    if (row < kMessageTables[screen].lines) return table(row);
    return src;
}

LoadResult importMessages(ImportedTexts& texts, const DefaultTexts& defaults,
                          const std::string& path) {
    std::vector<uint8_t> bytes;
    LoadResult failed;
    if (!readFileHead(path, kProgramFileBodyEnd, bytes, failed.error)) return failed;
    return importMessagesBytes(texts, defaults, bytes.data(), bytes.size());
}

LoadResult importMessagesBytes(ImportedTexts& texts, const DefaultTexts& defaults,
                               const uint8_t* data, std::size_t size) {
    LoadResult result;
    result.format = detectFormat(data, size);
    // Any version of the current family has the same tables at the same
    // places; the file must reach to the end of the settings block.
    if (size < kProgramFileBodyEnd || std::memcmp(data, kProgramHeader, 4) != 0) {
        result.status = LoadStatus::FormatMismatch;
        return result;
    }
    result.format = FileFormat::Current;

    TerminalSettings fileSettings;
    std::memcpy(&fileSettings, data + fileOffset(offsetof(ProgramModel, settings)),
                sizeof fileSettings);
    const bool largeFont = fileSettings.largeFont != 0;
    // Settings older than version 2 hold no usable extra utility lines.
    const bool extraFromFile = fileSettings.version > 1;

    ImportedTexts out = texts;
    for (int s = 0; s < kStartupScreenCount; ++s) {
        for (int r = 0; r < kStartupScreenLines; ++r) {
            char(&slot)[kStartupLineBytes] = out.lines[s][r];
            const ScreenLineSource src = screenLineSource(s, r);
            if (src.kind == ScreenLineSource::Table) {
                const MessageTableInfo& t = kMessageTables[src.index];
                const uint8_t* line =
                    data + fileOffset(t.modelOffset) + static_cast<std::size_t>(src.line) * t.width;
                putSlotText(slot, fieldText(line, t.width), charsOfLine(t.width));
            } else if (src.kind == ScreenLineSource::ExtraUtility) {
                if (extraFromFile) {
                    putSlotText(slot, fieldText(fileSettings.extraUtilityLines[src.index]),
                                charsOfLine(21));
                } else if (slot[0] == 0) {
                    putSlotText(slot,
                                largeFont ? boundedText(defaults.extraUtilityLarge[src.index])
                                          : boundedText(defaults.extraUtility[src.index]),
                                charsOfLine(21));
                } else {
                    slot[kStartupLineBytes - 1] = 0;   // the page's own text stays
                }
            } else {
                std::memset(slot, 0, sizeof slot);
            }
        }
    }
    out.largeFont = largeFont;
    texts = out;
    result.status = LoadStatus::Ok;
    return result;
}

}  // namespace fw
