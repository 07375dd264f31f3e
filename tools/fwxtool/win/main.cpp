// fwxtool.exe: the arguments arrive as UTF-16 and are handed on as UTF-8,
// the text every command works in (file names included: the file calls
// convert them back). What it prints is UTF-8 too: the console is told so,
// and a redirected output gets the same bytes as on Linux, LF line ends
// included.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "texts/code_page.h"
#include "tools/fwxtool/commands.h"
#include "tools/fwxtool/platform.h"

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    // Bytes as they are, both ways: an exported document or a document read
    // from standard input keeps its line ends, and a Ctrl+Z is no end.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(fw::utf8FromUtf16(reinterpret_cast<const char16_t*>(argv[i])));
    fw::tool::RunOptions options;
    options.progressBar = fw::tool::errorStreamIsConsole();
    return fw::tool::run(args, std::cout, std::cerr, options);
}
