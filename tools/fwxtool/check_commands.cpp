#include "tools/fwxtool/check_commands.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "check/checker.h"
#include "check/report.h"
#include "model/default_texts.h"
#include "model/file_replace.h"
#include "tools/fwxtool/file_commands.h"

namespace fw::tool {

namespace {

constexpr int kCheckTrouble = 2;

}  // namespace

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
        out << findingCounts(errors, warnings) << '\n';
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
        err << kProgramName << ": cannot write '" << path << "'\n";
        return kCheckTrouble;
    }
    out << "wrote " << path << '\n';
    return kExitOk;
}

int handleCheck(const ParsedCommand& c, CommandContext& x) {
    return commandCheck(c.arguments[0], c.has("--json"), x.out, x.err);
}

int handleReport(const ParsedCommand& c, CommandContext& x) {
    return commandReport(c.arguments[0], c.value("--output"), x.out, x.err);
}

}  // namespace fw::tool
