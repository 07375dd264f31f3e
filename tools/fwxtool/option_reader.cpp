#include "tools/fwxtool/option_reader.h"

#include <ostream>

namespace fw::tool {

namespace {

const OptionRow* findOption(const std::vector<OptionRow>& options, const std::string& name) {
    for (const OptionRow& o : options) {
        if (name == o.name || (o.shortName != nullptr && name == o.shortName)) return &o;
    }
    return nullptr;
}

bool isOptionWord(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

}  // namespace

std::string ParsedCommand::value(const std::string& name, const std::string& otherwise) const {
    const auto found = options.find(name);
    return found == options.end() || found->second.empty() ? otherwise : found->second.back();
}

const std::vector<std::string>& ParsedCommand::values(const std::string& name) const {
    static const std::vector<std::string> kNone;
    const auto found = options.find(name);
    return found == options.end() ? kNone : found->second;
}

std::string readCommandLine(const CommandRow& row, const std::vector<std::string>& words,
                            const std::vector<const OptionRow*>& known, ParsedCommand& parsed) {
    parsed = ParsedCommand{};
    parsed.row = &row;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!isOptionWord(word)) {
            parsed.arguments.push_back(word);
            continue;
        }
        if (word == "-h" || word == "--help") {
            parsed.help = true;
            continue;
        }
        // "--name=value" for the long names; "-o" only with its value apart.
        const std::size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        const std::string name = word.substr(0, equals);
        const OptionRow* option = findOption(row.options, name);
        if (option == nullptr || (equals != std::string::npos && option->kind == OptionKind::flag)) {
            for (const OptionRow* other : known) {
                if (option == nullptr && name == other->name)
                    return "option '" + name + "' does not go with '" + row.name + "'";
            }
            return "unknown option '" + word + "'";
        }
        std::vector<std::string>& values = parsed.options[option->name];
        if (option->kind == OptionKind::flag) {
            values.emplace_back();
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            return "option '" + name + "' needs " + option->needs;
        }
        if (option->refuseEmpty && value.empty()) return "option '" + name + "' needs " + option->needs;
        if (option->check != nullptr) {
            std::string problem = option->check(value);
            if (!problem.empty()) return problem;
        }
        if (option->kind == OptionKind::value) values.clear();
        values.push_back(value);
    }
    if (parsed.help) return {};
    for (const OptionRow& o : row.options) {
        if (!o.fillsFirstArgument || !parsed.has(o.name)) continue;
        std::string joined;
        for (const std::string& v : parsed.values(o.name)) joined += (joined.empty() ? "" : ",") + v;
        parsed.arguments.insert(parsed.arguments.begin(), joined);
    }
    if (row.arguments != kAnyArguments && parsed.arguments.size() != row.arguments)
        return std::string("usage: ") + kProgramName + " " + row.synopsis;
    for (const std::string& a : parsed.arguments) {
        if (a.empty()) return "empty file name";
    }
    return {};
}

int usageError(std::ostream& err, const CommandRow* row, const std::string& message) {
    const std::string who = row != nullptr && row->printHelp != nullptr
                                ? std::string(kProgramName) + " " + row->name
                                : std::string(kProgramName);
    err << who << ": " << message << "\n";
    err << "Try '" << who << " --help'.\n";
    return kExitUsage;
}

}  // namespace fw::tool
