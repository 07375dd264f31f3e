// fwxtool simulate: the designer's simulated terminal without a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fw::tool {

// `args` are the words after "simulate". Exit status 0, 1 (the program or
// a file cannot be read or written, or the program has nothing to run) or
// 2 (a usage error or a bad key script).
int commandSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

void printSimulateUsage(std::ostream& os);

}  // namespace fw::tool
