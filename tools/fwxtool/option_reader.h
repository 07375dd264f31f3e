// The one reader of fwxtool's command lines: a command's row says which
// arguments and options it takes, the reader checks the words against it and
// hands the handler what it found. Every usage error, of every command, is
// said the same way (usageError).
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace fw::tool {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgramName = "fwxtool";

enum class OptionKind {
    flag,    // "--json"
    value,   // "--link X" or "--link=X"; the last one given counts
    list,    // "--port P" repeated: the values in order
};

struct OptionRow {
    const char* name;                 // "--link"
    OptionKind kind = OptionKind::flag;
    const char* shortName = nullptr;  // "-o": only as "-o X"
    // What a missing value is called: "option '--link' needs a value".
    const char* needs = "a value";
    // An empty value is as good as a missing one (file names).
    bool refuseEmpty = false;
    // What is wrong with a value, or an empty string.
    std::string (*check)(const std::string& value) = nullptr;
    // list: the values, joined by commas, stand in for the first argument
    // (--port P FILE is PORT FILE).
    bool fillsFirstArgument = false;
};

struct ParsedCommand;

// A command that takes a list of arguments (`station PORT...`).
constexpr std::size_t kAnyArguments = static_cast<std::size_t>(-1);

// What a command runs with: its parsed words and where its output goes.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    // The error stream is a console: progress redrawn in place.
    bool console = false;
};

using CommandHandler = int (*)(const ParsedCommand& command, CommandContext& context);

struct CommandRow {
    const char* name;       // "download"
    const char* synopsis;   // "download [--link L] ... PORT FILE.FWX", after "usage: fwxtool "
    const char* help;       // its lines in fwxtool's usage text
    std::size_t arguments;  // exactly this many (kAnyArguments: any number)
    std::vector<OptionRow> options;
    CommandHandler handler;
    // A command with a help page of its own (`fwxtool simulate --help`):
    // its usage errors point there.
    void (*printHelp)(std::ostream& os) = nullptr;
};

// The words of a command line as its row reads them.
struct ParsedCommand {
    const CommandRow* row = nullptr;
    std::vector<std::string> arguments;
    std::map<std::string, std::vector<std::string>> options;   // by name, in order given
    bool help = false;                                          // -h or --help

    bool has(const std::string& name) const { return options.count(name) != 0; }
    // The last value given, or `otherwise`.
    std::string value(const std::string& name, const std::string& otherwise = {}) const;
    const std::vector<std::string>& values(const std::string& name) const;
};

// Reads `words` (those after the command's name) by `row`. `known` holds
// every option of fwxtool, so that one of another command is named as such.
// Returns an empty string, or what is wrong. In order: an option's value, an
// option that is unknown or of another command, the number of arguments, an
// empty argument.
std::string readCommandLine(const CommandRow& row, const std::vector<std::string>& words,
                            const std::vector<const OptionRow*>& known, ParsedCommand& parsed);

// "fwxtool: MESSAGE" and where help is, on `err`; kExitUsage. A command
// with a help page of its own names itself ("fwxtool simulate: ...").
int usageError(std::ostream& err, const CommandRow* row, const std::string& message);

}  // namespace fw::tool
