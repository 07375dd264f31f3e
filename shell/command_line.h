// The designer's command line: the program file to open, if any.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// The program file named on the designer's command line (the text after the
// program's own name), or empty for none. The file association passes the
// path in double quotes and the designer takes only that; a path typed
// without quotes may hold spaces, so the whole line is the path then.
std::string programFileArgument(std::string_view commandLine);

}  // namespace fw
