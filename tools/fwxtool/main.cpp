// fwxtool: create, convert, inspect and image program files from the command
// line, on the same core as the designer.
#include <iostream>
#include <string>
#include <vector>

#include "tools/fwxtool/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return fw::tool::run(args, std::cout, std::cerr);
}
