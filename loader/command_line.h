// What the user chooses: the link, the port and the speed, from the Comm
// Properties dialog or from the command line.
#pragma once

#include <string>
#include <string_view>

namespace fw::loader {

constexpr int kLinkRs232 = 0;      // "RS232 or IrDA": the terminal is on the line itself
constexpr int kLinkCradleIr = 1;   // "Cradle-IR": an infrared cradle is set up first

struct Choices {
    int link = kLinkRs232;
    int port = 0;    // 0..7 for "COM1".."COM8"
    int speed = 0;   // 0 "115200" .. 4 "9600"
    // The port by its name ("COM12"), which any port has; when set, it is
    // the port chosen, and `port` is not read.
    std::string portName;
};

// The port's name for its choice: "COM1".."COM8"; empty for any other value.
std::string portName(int port);
// The name of the port `choices` name: `portName` when set, else the port
// of the numbered choice.
std::string chosenPort(const Choices& choices);
// "COMn" for n from 1 to 256, in any case, as "COMn"; empty for anything else.
std::string comPortName(std::string_view text);

struct CommandLine {
    std::string file;   // the program file; empty when none is named
    Choices choices;
    bool silent = false;   // a file is named: no questions before the transfer
};

// Reads the command line: the program file's path, then optionally a comma
// and single characters at fixed places after it:
//   comma + 1  link   '1' RS232 or IrDA, '2' Cradle-IR
//   comma + 3  port   '1'..'6' for COM1..COM6, or "COMn" for any port
//   comma + 5  speed  '1' 115200 .. '5' 9600 (after "COMn": two places
//                     past its last digit)
// The characters between them (commas, as a rule) are not read. A character
// outside its range, or missing, leaves that choice at 0; without a comma
// only the file is given. A path in double quotes may hold commas and
// spaces; blanks around the path are dropped. A non-empty path sets
// `silent`.
CommandLine parseCommandLine(std::string_view text);

}  // namespace fw::loader
