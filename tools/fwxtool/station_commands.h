// fwxtool's collection station and the export of what it collected:
//
//   fwxtool station PORT... --db FILE [--all-ports] [--link L] [--baud B]
//                   [--program FILE] [--skip-repeated] [--log FILE]
//   fwxtool records --db FILE [--since TIME] [--port PORT] [--csv|--json]
//                   [--mark-exported]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "station/ask_rule.h"
#include "tools/fwxtool/commands.h"

namespace fw::tool {

struct StationRequest {
    std::vector<std::string> ports;
    bool allPorts = false;
    std::string database;
    TransferOptions transfer;
    std::string program;      // its delimiters split the records into fields
    bool skipRepeated = false;
    std::string logFile;
    std::string stationName;  // empty: this machine's name
    AskTiming timing;
};

// Reads the arguments after "station". Returns an empty string, or what is
// wrong.
std::string readStationArguments(const std::vector<std::string>& args, StationRequest& request);

// Runs the station until Ctrl+C or a TERM (each port finishes the record in
// flight first). Progress on `err`: a live line per port when `liveLines`,
// else the log's lines. A table of what each port stored goes to `out`.
int commandStation(const StationRequest& request, std::ostream& out, std::ostream& err,
                   bool liveLines);

enum class RecordsFormat { csv, json };

struct RecordsRequest {
    std::string database;
    std::string since;   // as given: "2026-12-08", "2026-12-08T14:05[:30]" local, or ending in Z (UTC)
    std::string port;
    RecordsFormat format = RecordsFormat::csv;
    bool markExported = false;
};

std::string readRecordsArguments(const std::vector<std::string>& args, RecordsRequest& request);

// The CSV is the received-data file's shape: each record's bytes as the
// terminal sent them, CR LF. JSON is an array with every column.
int commandRecords(const RecordsRequest& request, std::ostream& out, std::ostream& err);

// The UTC timestamp of the database for a --since value; empty when it is
// not a time.
std::string sinceTimestamp(const std::string& value);

// The two commands from their command lines (args[0] is the command).
int runStationCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool liveLines);

}  // namespace fw::tool
