// fwxtool check and report: the checker's findings and the program report.
#pragma once

#include <iosfwd>
#include <string>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// The findings of a program file or document, one a line, or with `asJson`
// as one JSON object. Exit status 0 when there is no error, 1 when there
// is, 2 when the program cannot be read.
int commandCheck(const std::string& program, bool asJson, std::ostream& out, std::ostream& err);

// The report page of a program, into `outPath` (beside the program, with
// ".html", when empty). Exit status 0, or 2 when the program cannot be read
// or the page cannot be written.
int commandReport(const std::string& program, const std::string& outPath, std::ostream& out, std::ostream& err);

int handleCheck(const ParsedCommand& c, CommandContext& x);
int handleReport(const ParsedCommand& c, CommandContext& x);

}  // namespace fw::tool
