// The commands on program files: new, convert, image, info, export, import
// and diff, and the summary that info prints.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "model/program_file.h"
#include "model/program_model.h"
#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// Open as the designer does it: New first, so that an older file converts
// onto New's defaults, then the file. A failure is said on `err`, from `who`.
struct OpenedProgram {
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
    LoadResult result;
};
OpenedProgram openProgram(const std::string& path, std::ostream& err,
                          const std::string& who = kProgramName);

// A program file of either format, opened as Open does it, or a program
// document. Returns false after saying on `err` what is wrong.
bool readProgramOrDocument(const std::string& path, ProgramModel& m, std::ostream& err);

// New: a program with the default texts, saved under `path` (named as Save
// As would name it).
int commandNew(const std::string& path, std::ostream& out, std::ostream& err);

// Open then Save As: a file of either format, loaded over New's defaults,
// saved in the current format.
int commandConvert(const std::string& in, const std::string& outPath, std::ostream& out,
                   std::ostream& err);

// The 20,000-byte image a program download would send.
int commandImage(const std::string& in, const std::string& outPath, std::ostream& out,
                 std::ostream& err);

// The format of a file and a readable summary of its program.
int commandInfo(const std::string& path, std::ostream& out, std::ostream& err);

// The program of a file of either format (opened as Open does) as a JSON
// document, on `out` or, with a non-empty `outPath`, into that file.
int commandExport(const std::string& in, const std::string& outPath, std::ostream& out,
                  std::ostream& err);

// A JSON document (from standard input when `in` is "-") saved as a program
// file. A bad document writes nothing. A value the editor does not offer is
// kept with a warning on `err`, or, when `strict`, refuses the document.
int commandImport(const std::string& in, const std::string& outPath, bool strict,
                  std::ostream& out, std::ostream& err);

// The fields in which two programs differ; each side is a program file or a
// JSON document. Exit status 0 when they are equal, 1 when they differ, 2 on
// an error. `asJson` prints a JSON array instead of one line per field.
int commandDiff(const std::string& a, const std::string& b, bool asJson, std::ostream& out,
                std::ostream& err);

// "main", "form 3", "menu 2".
std::string targetName(TargetCode code);

// A character code as it reads best: "nil" for 0, the character in quotes
// when printable, else its name ("HT", "SP", "DEL") or its decimal code.
std::string characterName(uint8_t code);

// "current (K400-1.00)", "older (K2x-4.00)", ...
std::string formatName(FileFormat format);

// The summary printed by `info`, after the format line.
void writeSummary(const ProgramModel& m, std::ostream& os);

// The handlers of the command table.
int handleNew(const ParsedCommand& command, CommandContext& context);
int handleConvert(const ParsedCommand& command, CommandContext& context);
int handleImage(const ParsedCommand& command, CommandContext& context);
int handleInfo(const ParsedCommand& command, CommandContext& context);
int handleExport(const ParsedCommand& command, CommandContext& context);
int handleImport(const ParsedCommand& command, CommandContext& context);
int handleDiff(const ParsedCommand& command, CommandContext& context);

}  // namespace fw::tool
