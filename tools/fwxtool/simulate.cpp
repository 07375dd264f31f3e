#include "tools/fwxtool/simulate.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>

#include "model/default_texts.h"
#include "model/file_replace.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "simulator/collected_data_view.h"
#include "simulator/script_run.h"
#include "tools/fwxtool/commands.h"

namespace fw::tool {

namespace {

constexpr const char* kName = "fwxtool simulate";

struct SimulateOptions {
    std::string program;
    std::string keys;
    bool haveKeys = false;
    std::string keysFile;
    std::string recordsFile;
    std::string time;
    bool trace = false;
    bool help = false;
};

int usage(std::ostream& err, const std::string& message) {
    err << kName << ": " << message << "\n";
    err << "Try 'fwxtool simulate --help'.\n";
    return kExitUsage;
}

// "--opt VALUE" or "--opt=VALUE"; empty when `word` is not `name`.
bool optionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name, std::string& value,
                 std::string& problem) {
    const std::string& w = args[i];
    if (w == name) {
        if (i + 1 >= args.size()) {
            problem = "option '" + name + "' needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (w.rfind(name + "=", 0) == 0) {
        value = w.substr(name.size() + 1);
        return true;
    }
    return false;
}

std::string takeOptions(const std::vector<std::string>& args, SimulateOptions& o) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& w = args[i];
        std::string problem;
        std::string value;
        if (w == "-h" || w == "--help") {
            o.help = true;
        } else if (w == "--trace") {
            o.trace = true;
        } else if (optionValue(args, i, "--keys-file", value, problem)) {
            if (!problem.empty()) return problem;
            o.keysFile = value;
            if (value.empty()) return "empty file name";
        } else if (optionValue(args, i, "--keys", value, problem)) {
            if (!problem.empty()) return problem;
            o.keys = value;
            o.haveKeys = true;
        } else if (optionValue(args, i, "--records", value, problem)) {
            if (!problem.empty()) return problem;
            if (value.empty()) return "empty file name";
            o.recordsFile = value;
        } else if (optionValue(args, i, "--time", value, problem)) {
            if (!problem.empty()) return problem;
            o.time = value;
        } else if (w.size() > 1 && w[0] == '-') {
            return "unknown option '" + w + "'";
        } else {
            positional.push_back(w);
        }
    }
    if (o.help) return {};
    if (o.haveKeys && !o.keysFile.empty()) return "give the keys with --keys or --keys-file, not both";
    if (positional.size() != 1 || positional[0].empty()) {
        return "usage: fwxtool simulate PROGRAM [--keys SCRIPT | --keys-file FILE] [--records OUT.TXT] "
               "[--time YYYY-MM-DDTHH:MM:SS] [--trace]";
    }
    o.program = positional[0];
    return {};
}

bool readWhole(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

void printDisplay(const ScriptedTerminal& t, std::ostream& out) {
    for (const std::string& line : t.displayLines()) out << line << '\n';
}

}  // namespace

void printSimulateUsage(std::ostream& os) {
    os << "Usage: fwxtool simulate PROGRAM [--keys SCRIPT | --keys-file FILE] [--records OUT.TXT]\n"
          "                        [--time YYYY-MM-DDTHH:MM:SS] [--trace]\n"
          "\n"
          "Runs PROGRAM on the designer's simulated terminal, pressing the keys of the\n"
          "script, then prints the display (8 lines; '>' marks the highlighted line,\n"
          "the start screen adds its clock line) and the records the terminal collected.\n"
          "\n"
          "Options:\n"
          "  --keys SCRIPT          the key script\n"
          "  --keys-file FILE       the key script from FILE ('-' for standard input)\n"
          "  --records OUT.TXT      write the saved records as a data receive would:\n"
          "                         each record followed by CR LF\n"
          "  --time T               the terminal's clock at the start, for example\n"
          "                         2024-01-05T14:30:00 (default: the local time now);\n"
          "                         it moves only by 'wait'\n"
          "  --trace                print the display after every step of the script\n"
          "\n"
          "Key script: words separated by blanks or new lines.\n"
          "  ENT (or ENTER)  ESC  BS (or BACK)  UP  DOWN  ALPHA  MENU\n"
          "  0 1 2 3 4 5 6 7 8 9 - .      the keys as the face labels them; the\n"
          "                               names are not case-sensitive\n"
          "  \"TEXT\"          typed as the keypad types it: digits, '-' and '.' with\n"
          "                  alphabetic entry off; capital letters, space, / * + $ %\n"
          "                  and # by repeated presses with it on. Alphabetic entry is\n"
          "                  switched as needed in a form; a letter is committed by\n"
          "                  letting 700 ms pass.\n"
          "  wait N          N seconds pass on the terminal's clock\n"
          "  # ...           a comment to the end of the line\n"
          "\n"
          "Example: fwxtool simulate SHOP.FWX --time 2024-01-05T14:30:00 \\\n"
          "             --keys '1 \"A12\" ENT \"42\" ENT ESC' --records DATA.TXT\n"
          "\n"
          "Exit status: 0 on success, 1 on failure, 2 on a usage error or a bad script.\n";
}

int commandSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SimulateOptions o;
    const std::string problem = takeOptions(args, o);
    if (!problem.empty()) return usage(err, problem);
    if (o.help) {
        printSimulateUsage(out);
        return kExitOk;
    }

    LocalTime start = systemLocalTime();
    if (!o.time.empty() && !parseLocalTime(o.time, start)) {
        return usage(err, "bad time '" + o.time + "': expected YYYY-MM-DDTHH:MM:SS");
    }

    std::string scriptText = o.keys;
    if (!o.keysFile.empty() && !readWhole(o.keysFile, scriptText)) {
        err << kName << ": cannot read '" << o.keysFile << "'\n";
        return kExitFailure;
    }
    const ScriptParse script = parseKeyScript(scriptText);
    if (!script.ok()) {
        err << kName << ": " << (o.keysFile.empty() ? std::string("--keys") : o.keysFile) << ": " << script.error
            << '\n';
        return kExitUsage;
    }

    // Opened as the designer opens it: New first, so that an older file
    // converts onto New's defaults.
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto model = std::make_unique<ProgramModel>();
    newProgram(*model, *defaults);
    const LoadResult loaded = loadProgram(*model, *defaults, o.program);
    if (loaded.status == LoadStatus::CannotOpen) {
        err << kName << ": cannot open '" << o.program << "'\n";
        return kExitFailure;
    }
    if (loaded.status == LoadStatus::FormatMismatch) {
        err << kName << ": '" << o.program << "': " << kFormatMismatchMessage << '\n';
        return kExitFailure;
    }

    auto terminal = std::make_unique<ScriptedTerminal>(*model, *defaults, start);
    if (o.trace) {
        out << "start\n";
        printDisplay(*terminal, out);
    }
    for (const ScriptStep& step : script.steps) {
        terminal->step(step);
        if (terminal->nothingToRun()) {
            err << kName << ": line " << step.line << ", column " << step.column << ": " << step.word
                << ": No executable program: Please define your program!\n";
            return kExitFailure;
        }
        if (o.trace) {
            out << step.word << '\n';
            printDisplay(*terminal, out);
        }
    }
    if (!o.trace) printDisplay(*terminal, out);

    const CollectedRecords& records = terminal->engine().records();
    out << "records: " << records.size() << ", saved: " << records.savedCount() << '\n';
    if (!records.empty()) {
        out << collectedDataHeading() << '\n';
        for (const CollectedRecord& r : records.all()) out << collectedDataLine(r) << '\n';
    }

    if (!o.recordsFile.empty()) {
        const std::string bytes = uploadBytes(records);
        if (!writeFileReplacing(o.recordsFile, bytes.data(), bytes.size())) {
            err << kName << ": cannot write '" << o.recordsFile << "'\n";
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace fw::tool
