// fwxtool: create, convert, inspect and image program files from the command
// line, and move programs, lookup files and data to and from a terminal, on
// the same core as the designer.
#include <iostream>
#include <string>
#include <vector>

#include "tools/fwxtool/commands.h"
#include "tools/fwxtool/platform.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    fw::tool::RunOptions options;
    options.progressBar = fw::tool::errorStreamIsConsole();
    return fw::tool::run(args, std::cout, std::cerr, options);
}
