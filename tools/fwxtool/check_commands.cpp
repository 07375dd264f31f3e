#include "tools/fwxtool/check_commands.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "check/checker.h"
#include "check/report.h"
#include "model/default_texts.h"
#include "model/file_replace.h"
#include "tools/fwxtool/commands.h"

namespace fw::tool {

namespace {

constexpr int kCheckTrouble = 2;

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void printCheckUsage(std::ostream& os) {
    os << "  check PROGRAM [--json]  the checker's findings: errors (the terminal cannot\n"
          "                         run it as meant) and warnings; exit status 1 when\n"
          "                         there is an error\n"
          "  report PROGRAM [-o REPORT.html]\n"
          "                         one page that shows the whole application: findings,\n"
          "                         flow diagram, each screen, sample records, settings\n";
}

int commandCheck(const std::string& program, bool asJson, std::ostream& out, std::ostream& err) {
    auto model = std::make_unique<ProgramModel>();
    if (!readProgramOrDocument(program, *model, err)) return kCheckTrouble;
    const std::vector<Finding> findings = checkProgram(*model);
    const int errors = errorCount(findings);
    const int warnings = static_cast<int>(findings.size()) - errors;
    if (asJson) {
        nlohmann::json list = nlohmann::json::array();
        for (const Finding& f : findings)
            list.push_back({{"severity", severityName(f.severity)}, {"place", f.place()}, {"text", f.text}});
        out << nlohmann::json{{"errors", errors}, {"warnings", warnings}, {"findings", list}}.dump(2) << '\n';
    } else {
        for (const Finding& f : findings) out << severityName(f.severity) << ' ' << f.place() << ": " << f.text << '\n';
        out << errors << (errors == 1 ? " error, " : " errors, ") << warnings
            << (warnings == 1 ? " warning\n" : " warnings\n");
    }
    return errors > 0 ? 1 : 0;
}

int commandReport(const std::string& program, const std::string& outPath, std::ostream& out, std::ostream& err) {
    auto model = std::make_unique<ProgramModel>();
    if (!readProgramOrDocument(program, *model, err)) return kCheckTrouble;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    const std::string page = buildReport(*model, *defaults, fileNameOf(program));
    const std::string path = outPath.empty() ? reportPathFor(program) : outPath;
    if (!writeFileReplacing(path, page.data(), page.size())) {
        err << "fwxtool: cannot write '" << path << "'\n";
        return kCheckTrouble;
    }
    out << "wrote " << path << '\n';
    return kExitOk;
}

int runCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool isCheck = !args.empty() && args[0] == "check";
    const char* synopsis = isCheck ? "usage: fwxtool check PROGRAM [--json]"
                                   : "usage: fwxtool report PROGRAM [-o REPORT.html]";
    std::string program, output;
    bool json = false, haveProgram = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& w = args[i];
        if (isCheck && w == "--json") {
            json = true;
        } else if (!isCheck && (w == "-o" || w == "--output")) {
            if (++i >= args.size() || args[i].empty()) {
                err << "fwxtool: option '" << w << "' needs a file name\n";
                return kCheckTrouble;
            }
            output = args[i];
        } else if (!isCheck && (w.rfind("-o=", 0) == 0 || w.rfind("--output=", 0) == 0)) {
            output = w.substr(w.find('=') + 1);
            if (output.empty()) {
                err << "fwxtool: empty file name\n";
                return kCheckTrouble;
            }
        } else if (w.size() > 1 && w[0] == '-') {
            err << "fwxtool: unknown option '" << w << "'\n";
            return kCheckTrouble;
        } else if (!haveProgram && !w.empty()) {
            program = w;
            haveProgram = true;
        } else {
            err << "fwxtool: " << synopsis << '\n';
            return kCheckTrouble;
        }
    }
    if (!haveProgram) {
        err << "fwxtool: " << synopsis << '\n';
        return kCheckTrouble;
    }
    return isCheck ? commandCheck(program, json, out, err) : commandReport(program, output, out, err);
}

}  // namespace fw::tool
