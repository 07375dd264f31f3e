// fwxtool's collection station and the export of what it collected:
//
//   fwxtool station PORT... --db FILE [--all-ports] [--link L] [--baud B]
//                   [--program FILE] [--skip-repeated] [--log FILE] [--name NAME]
//   fwxtool records --db FILE [--since TIME] [--port PORT] [--csv|--json]
//                   [--mark-exported]
#pragma once

#include <string>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// Runs the station until Ctrl+C or a TERM (each port finishes the record in
// flight first). Progress on the error stream: a live line per port on a
// console, else the log's lines. A table of what each port stored follows
// on the output.
int handleStation(const ParsedCommand& command, CommandContext& context);

// The CSV is the received-data file's shape: each record's bytes as the
// terminal sent them, CR LF. JSON is an array with every column.
int handleRecords(const ParsedCommand& command, CommandContext& context);

// The UTC timestamp of the database for a --since value ("2026-12-08",
// "2026-12-08T14:05[:30]" in local time, or ending in Z for UTC); empty
// when it is not a time.
std::string sinceTimestamp(const std::string& value);
std::string checkSince(const std::string& value);

}  // namespace fw::tool
