// fwxtool's command table read by its one option reader: every command's
// usage errors, said in one style, and what the reader hands a handler.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/fwxtool/commands.h"

namespace fw::tool {
namespace {

struct Said {
    int status;
    std::string out;
    std::string err;
};

Said fwxtool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string usageLines(const std::string& who, const std::string& message) {
    return who + ": " + message + "\nTry '" + who + " --help'.\n";
}

// What `fwxtool NAME ...` says of a usage error.
std::string said(const CommandRow& c, const std::string& message) {
    const std::string who = c.printHelp ? std::string("fwxtool ") + c.name : "fwxtool";
    return usageLines(who, message);
}

ParsedCommand read(const std::string& command, const std::vector<std::string>& words, std::string* problem = nullptr) {
    ParsedCommand parsed;
    for (const CommandRow& c : commandTable()) {
        if (command != c.name) continue;
        const std::string p = readCommandLine(c, words, knownOptions(), parsed);
        if (problem) *problem = p;
        else EXPECT_EQ(p, "") << command;
    }
    return parsed;
}

TEST(CommandTable, EveryCommandRefusesAWrongCountAnEmptyNameAndAnUnknownOption) {
    for (const CommandRow& c : commandTable()) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> words = {c.name};
        if (c.arguments != kAnyArguments) {
            for (std::size_t i = 0; i <= c.arguments; ++i) words.push_back("x" + std::to_string(i));
            Said tooMany = fwxtool(words);
            EXPECT_EQ(tooMany.status, kExitUsage);
            EXPECT_EQ(tooMany.err, said(c, std::string("usage: fwxtool ") + c.synopsis));
            EXPECT_EQ(tooMany.out, "");
            words.pop_back();
        }
        words.push_back("--frobnicate");
        EXPECT_EQ(fwxtool(words).err, said(c, "unknown option '--frobnicate'"));

        if (c.arguments > 0 && c.arguments != kAnyArguments) {
            words.pop_back();
            words[1] = "";
            const Said empty = fwxtool(words);
            EXPECT_EQ(empty.status, kExitUsage);
            EXPECT_EQ(empty.err, said(c, "empty file name"));
        }
    }
    EXPECT_EQ(fwxtool({"frobnicate"}).err, usageLines("fwxtool", "unknown command 'frobnicate'"));
    EXPECT_EQ(fwxtool({"-x"}).err, usageLines("fwxtool", "unknown option '-x'"));
}

TEST(CommandTable, OptionValuesAreCheckedWhereverTheyStand) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"download", "p", "f", "--link"}, "option '--link' needs a value"},
        {{"download", "--link=pigeon", "p", "f"}, "unknown link 'pigeon' (cradle, irda or serial)"},
        {{"lookup", "--baud", "300", "p", "f"}, "unknown speed '300' (115200, 57600, 38400, 19200 or 9600)"},
        {{"receive", "--baud=", "p", "f"}, "unknown speed '' (115200, 57600, 38400, 19200 or 9600)"},
        {{"load", "--link", "irda", "p", "f"}, "unknown link 'irda' (rs232 or cradle)"},
        {{"download", "--port=", "f"}, "option '--port' needs a value"},
        {{"export", "a", "-o"}, "option '-o' needs a file name"},
        {{"export", "a", "--output="}, "option '--output' needs a file name"},
        {{"simulate", "p", "--records", ""}, "option '--records' needs a file name"},
        {{"ports", "--port", "x"}, "option '--port' does not go with 'ports'"},
        {{"info", "--strict", "a"}, "option '--strict' does not go with 'info'"},
        {{"diff", "--json=yes", "a", "b"}, "unknown option '--json=yes'"},
        {{"download", "p,p", "f"}, "port 'p' is named twice"},
        {{"simulate", "p", "--keys", "1", "--keys-file", "k"}, "give the keys with --keys or --keys-file, not both"},
    };
    for (const auto& [words, message] : cases) {
        const Said s = fwxtool(words);
        EXPECT_EQ(s.status, kExitUsage) << words[0] << " " << message;
        const std::string who = words[0] == "simulate" ? "fwxtool simulate" : "fwxtool";
        EXPECT_EQ(s.err, usageLines(who, message));
    }
}

TEST(CommandTable, HandlersGetTheWordsParsed) {
    // --port values, joined, stand where PORT does; the last value counts.
    ParsedCommand d = read("download", {"--port", "a", "--baud", "9600", "f.FWX", "--port=b,c", "--baud=19200"});
    EXPECT_EQ(d.arguments, (std::vector<std::string>{"a,b,c", "f.FWX"}));
    EXPECT_EQ(d.value("--baud"), "19200");
    EXPECT_FALSE(d.has("--json"));

    ParsedCommand e = read("export", {"-o", "out.json", "p.FWX"});
    EXPECT_EQ(e.arguments, (std::vector<std::string>{"p.FWX"}));
    EXPECT_EQ(e.value("--output"), "out.json");

    // "-" is standard input, not an option; --keys may be empty.
    EXPECT_EQ(read("import", {"--strict", "-", "o.FWX"}).arguments, (std::vector<std::string>{"-", "o.FWX"}));
    EXPECT_TRUE(read("simulate", {"p", "--keys="}).has("--keys"));
}

TEST(CommandTable, HelpIsTheCommandsOwnPageOrTheWholeUsage) {
    const Said simulate = fwxtool({"simulate", "--help"});
    EXPECT_EQ(simulate.status, kExitOk);
    EXPECT_EQ(simulate.out.rfind("Usage: fwxtool simulate PROGRAM", 0), 0u);
    const Said info = fwxtool({"info", "-h"});
    EXPECT_EQ(info.status, kExitOk);
    EXPECT_EQ(info.out, fwxtool({"--help"}).out);
    // Every command is in the usage text.
    for (const CommandRow& c : commandTable())
        EXPECT_NE(info.out.find(std::string("\n  ") + c.name + " "), std::string::npos) << c.name;
}

}  // namespace
}  // namespace fw::tool
