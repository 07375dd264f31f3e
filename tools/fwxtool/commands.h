// fwxtool's command table and its entry: the command line read by the one
// option reader, then handed, parsed, to the command's handler.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// How the commands show their progress on `err`: redrawn in place (a
// console), or plain lines now and then.
struct RunOptions {
    bool progressBar = false;
};

// Runs the command line without the program name: `args[0]` is the command.
// Results go to `out`, usage errors, failures and progress to `err`.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const RunOptions& options = {});

void printUsage(std::ostream& os);

// Every command of fwxtool, in the order of its usage text.
const std::vector<CommandRow>& commandTable();

// Every option of every command (an option of another command is named as
// such in a usage error).
const std::vector<const OptionRow*>& knownOptions();

}  // namespace fw::tool
