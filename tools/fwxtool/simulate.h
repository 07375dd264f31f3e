// fwxtool simulate: the designer's simulated terminal without a window.
#pragma once

#include <iosfwd>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// Exit status 0, 1 (the program or a file cannot be read or written, or the
// program has nothing to run) or 2 (a usage error or a bad key script).
int handleSimulate(const ParsedCommand& command, CommandContext& context);

void printSimulateUsage(std::ostream& os);

}  // namespace fw::tool
