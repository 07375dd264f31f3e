// The program file: a header and the model's blocks back to back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/program_model.h"

namespace fw {

constexpr std::size_t kProgramFileSize = 18942;
constexpr std::size_t kProgramFileBodyEnd = 18842;   // header + blocks, no trailer
constexpr std::size_t kOlderFileSize = 10510;
constexpr char kProgramHeader[] = "K400-1.00";        // followed by one NUL

enum class FileFormat { Unknown, Current, Older400, Older310 };

enum class LoadStatus {
    Ok,
    CannotOpen,       // the caller keeps its state; `error` says why
    FormatMismatch,   // "Format mismatch !!!" (caption "Error")
};

struct LoadResult {
    LoadStatus status = LoadStatus::CannotOpen;
    FileFormat format = FileFormat::Unknown;
    int error = 0;    // CannotOpen: the system's reason, an errno value
    bool ok() const { return status == LoadStatus::Ok; }
    // An older file was converted: the caller forgets the file name so that
    // the next Save asks for one.
    bool imported() const { return ok() && format != FileFormat::Current; }
};

// What every program that reads program files says of a file of another
// kind (it has no number of its own: no language replaces it).
constexpr char kFormatMismatchMessage[] = "Format mismatch !!!";

// The bytes of the model as a program file in the current format.
std::vector<uint8_t> programFileBytes(const ProgramModel& m);

// Writes the model in the current format. The file is written beside the
// target and replaces it only once complete, so a failed save leaves the
// previous file as it was. Returns false when the file cannot be written.
bool saveProgram(const ProgramModel& m, const std::string& path);

// Reads a file of either format into the model. On any failure the model is
// unchanged. `defaults` supplies the texts that an upgrade or an older-format
// conversion resets.
// A file too short to hold every block (current format: 18,842 bytes with
// the header; older format: 10,510) is refused as a format mismatch rather
// than read in part, which would leave a mixture of two programs. The
// trailer may be missing; bytes past the 18,942 of a full file are ignored.
// Settings of version 0 or 1 are upgraded to version 2. On success the
// model's `modified` flag is cleared. The recent-files list is the caller's.
LoadResult loadProgram(ProgramModel& m, const DefaultTexts& defaults, const std::string& path);

// The same on bytes already read (used by loadProgram, fuzzing and tests).
LoadResult loadProgramBytes(ProgramModel& m, const DefaultTexts& defaults,
                            const uint8_t* data, std::size_t size);

// The Startup page's screens: 26 screens (one per message table, in file
// order) of up to 8 lines. Each line is a 21-byte slot holding a
// NUL-terminated text.
constexpr int kStartupScreenCount = kMessageTableCount;
constexpr int kStartupScreenLines = 8;
constexpr int kStartupLineBytes = 21;

// Where line `row` (0-based) of Startup screen `screen` (0-based) lives in
// the model. Every screen edits its own table line by line, except two that
// are composed: "Settings " shows msgSettings lines 2..7, then extra utility
// line 2, then msgSettings line 8 (its heading line 1 is not edited), and
// "Misc - continuous " shows msgMiscContinuous lines 1..3, then extra
// utility lines 1, 3, 4 and 5.
struct ScreenLineSource {
    enum Kind : uint8_t { None, Table, ExtraUtility };
    Kind kind = None;
    int index = 0;   // message table (Table) or extra utility line (ExtraUtility)
    int line = 0;    // line of that table (Table only)
};
ScreenLineSource screenLineSource(int screen, int row);

// What an import fills on the Startup page: its working texts (the lines
// composed from the extra utility lines included) and its large-font choice.
struct ImportedTexts {
    char lines[kStartupScreenCount][kStartupScreenLines][kStartupLineBytes];
    bool largeFont;
};

// Reads the message tables of another current-format file (any header
// starting "K400") into `texts`, by the screen mapping above; lines are cut
// to 12 or 16 characters by their width in the file. The extra utility lines
// come from the file when its settings version is above 1; otherwise each
// keeps the page's own text where it has one and takes the default for the
// file's font where it is empty. `largeFont` is the file's. A file too short
// to hold the tables and settings, or of another format, is refused and
// `texts` is unchanged. The model is not touched.
LoadResult importMessages(ImportedTexts& texts, const DefaultTexts& defaults,
                          const std::string& path);
LoadResult importMessagesBytes(ImportedTexts& texts, const DefaultTexts& defaults,
                               const uint8_t* data, std::size_t size);

// Which format a file's first bytes announce.
FileFormat detectFormat(const uint8_t* data, std::size_t size);

}  // namespace fw
