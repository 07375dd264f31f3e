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
#include "tools/fwxtool/file_commands.h"

namespace fw::tool {

namespace {

constexpr const char* kName = "fwxtool simulate";

bool readWhole(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(systemPath(path), std::ios::binary);
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

int handleSimulate(const ParsedCommand& c, CommandContext& x) {
    std::ostream& out = x.out;
    std::ostream& err = x.err;
    if (c.has("--keys") && c.has("--keys-file"))
        return usageError(err, c.row, "give the keys with --keys or --keys-file, not both");
    const std::string program = c.arguments[0];
    const std::string time = c.value("--time");
    const std::string keysFile = c.value("--keys-file");
    const std::string recordsFile = c.value("--records");

    LocalTime start = systemLocalTime();
    if (!time.empty() && !parseLocalTime(time, start)) {
        return usageError(err, c.row, "bad time '" + time + "': expected YYYY-MM-DDTHH:MM:SS");
    }

    std::string scriptText = c.value("--keys");
    if (!keysFile.empty() && !readWhole(keysFile, scriptText)) {
        err << kName << ": cannot read '" << keysFile << "'\n";
        return kExitFailure;
    }
    const ScriptParse script = parseKeyScript(scriptText);
    if (!script.ok()) {
        err << kName << ": " << (keysFile.empty() ? std::string("--keys") : keysFile) << ": " << script.error
            << '\n';
        return kExitUsage;
    }

    OpenedProgram opened = openProgram(program, err, kName);
    if (!opened.result.ok()) return kExitFailure;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);

    auto terminal = std::make_unique<ScriptedTerminal>(*opened.model, *defaults, start);
    if (c.has("--trace")) {
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
        if (c.has("--trace")) {
            out << step.word << '\n';
            printDisplay(*terminal, out);
        }
    }
    if (!c.has("--trace")) printDisplay(*terminal, out);

    const CollectedRecords& records = terminal->engine().records();
    out << "records: " << records.size() << ", saved: " << records.savedCount() << '\n';
    if (!records.empty()) {
        out << collectedDataHeading() << '\n';
        for (const CollectedRecord& r : records.all()) out << collectedDataLine(r) << '\n';
    }

    if (!recordsFile.empty()) {
        const std::string bytes = uploadBytes(records);
        if (!writeFileReplacing(recordsFile, bytes.data(), bytes.size())) {
            err << kName << ": cannot write '" << recordsFile << "'\n";
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace fw::tool
