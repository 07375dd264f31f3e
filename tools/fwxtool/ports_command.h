// fwxtool ports: the serial ports of this machine.
#pragma once

#include <iosfwd>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// One line per port (device, kind, description), or a JSON array.
int commandPorts(bool json, std::ostream& out, std::ostream& err);

int handlePorts(const ParsedCommand& command, CommandContext& context);

}  // namespace fw::tool
