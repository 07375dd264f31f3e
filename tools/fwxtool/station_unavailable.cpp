// The station commands of a build without the station's database library
// (a Windows build without SQLite's amalgamation): they say so.
#include <ostream>

#include "tools/fwxtool/station_commands.h"

namespace fw::tool {

namespace {

int unavailable(const ParsedCommand& c, CommandContext& x) {
    x.err << kProgramName << ": " << c.row->name
          << ": the collection station is not part of this build (it was built without SQLite)\n";
    return kExitFailure;
}

}  // namespace

int handleStation(const ParsedCommand& c, CommandContext& x) { return unavailable(c, x); }
int handleRecords(const ParsedCommand& c, CommandContext& x) { return unavailable(c, x); }
std::string sinceTimestamp(const std::string&) { return {}; }
std::string checkSince(const std::string&) { return {}; }

}  // namespace fw::tool
