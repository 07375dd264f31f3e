// The commands of fwxtool, kept apart from main() so that tests can run them
// and read what they print.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "comm/serial_link.h"
#include "model/program_file.h"
#include "model/program_model.h"

namespace fw::tool {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// How the transfer commands show their progress on `err`: a bar redrawn in
// place (stderr is a terminal), or plain lines now and then.
struct RunOptions {
    bool progressBar = false;
};

// Runs the command line without the program name: `args[0]` is the command.
// Results go to `out`, usage errors, failures and progress to `err`.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const RunOptions& options = {});

void printUsage(std::ostream& os);

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

// A program file of either format, opened as Open does it, or a program
// document. Returns false after saying on `err` what is wrong.
bool readProgramOrDocument(const std::string& path, ProgramModel& m, std::ostream& err);

// The link of a transfer command: `--link cradle|irda|serial` (default
// serial) and `--baud 115200|57600|38400|19200|9600` (default 115200).
struct TransferOptions {
    int linkType = kLinkOther;
    int speedChoice = 0;    // 115200 bps
    bool progressBar = false;
};

// The program download of a program file to the terminal on device `port`.
int commandDownload(const std::string& port, const std::string& file,
                    const TransferOptions& options, std::ostream& out, std::ostream& err);
// The lookup download of a text file.
int commandLookup(const std::string& port, const std::string& file,
                  const TransferOptions& options, std::ostream& out, std::ostream& err);
// The data receive into `file`; a receive without records leaves no file.
int commandReceive(const std::string& port, const std::string& file,
                   const TransferOptions& options, std::ostream& out, std::ostream& err);

// "main", "form 3", "menu 2".
std::string targetName(TargetCode code);

// A character code as it reads best: "nil" for 0, the character in quotes
// when printable, else its name ("HT", "SP", "DEL") or its decimal code.
std::string characterName(uint8_t code);

// "current (K400-1.00)", "older (K2x-4.00)", ...
std::string formatName(FileFormat format);

// The summary printed by `info`, after the format line.
void writeSummary(const ProgramModel& m, std::ostream& os);

// The standalone downloader's transfer (fwx_load's exchange and image rules)
// of a program file to the terminal on device `port`: `--link rs232|cradle`
// (default rs232) and `--baud` as for the other transfers. The retry
// question is answered No.
struct LoadOptions {
    int link = 0;           // 0 "RS232 or IrDA", 1 "Cradle-IR"
    int speedChoice = 0;    // 115200 bps
    bool progressBar = false;
};
int commandLoad(const std::string& port, const std::string& file, const LoadOptions& options,
                std::ostream& out, std::ostream& err);

// Take --link and --baud (either "--link X" or "--link=X") out of `args`
// for the transfer commands and for load. Return an empty string, or what
// is wrong.
std::string takeTransferOptions(std::vector<std::string>& args, TransferOptions& options);
std::string takeLoadOptions(std::vector<std::string>& args, LoadOptions& options);

}  // namespace fw::tool
