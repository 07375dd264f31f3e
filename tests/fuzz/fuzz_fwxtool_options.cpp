// Fuzzing fwxtool's option reader: any words, split at NULs, read by every
// command's row. Beyond "no crash": a reading that succeeds has exactly the
// row's number of arguments, none empty and none an option; every value given passes its
// option's check; a --port list splits into at most kMaxParallelPorts names
// whose receive files stay inside their folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/port_workers.h"
#include "tools/fwxtool/commands.h"

namespace {

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += char(data[i]);
        }
    }
    for (const fw::tool::CommandRow& row : fw::tool::commandTable()) {
        // A row of any number of arguments (the station's ports) takes its
        // --port values among them, under rules of its own: not read here.
        if (row.arguments == fw::tool::kAnyArguments) continue;
        fw::tool::ParsedCommand parsed;
        const std::string problem = fw::tool::readCommandLine(row, words, fw::tool::knownOptions(), parsed);
        if (!problem.empty() || parsed.help) continue;
        check(parsed.row == &row);
        check(parsed.arguments.size() == row.arguments);
        // --port's values join the arguments, and a port may be named
        // anything after --port.
        const bool ports = parsed.has("--port");
        for (const std::string& a : parsed.arguments) check(!a.empty() && (ports || a == "-" || a[0] != '-'));
        for (const auto& [name, values] : parsed.options) {
            const fw::tool::OptionRow* option = nullptr;
            for (const fw::tool::OptionRow& o : row.options) option = name == o.name ? &o : option;
            check(option != nullptr);
            if (option->kind != fw::tool::OptionKind::list) check(values.size() == 1 || option->kind == fw::tool::OptionKind::flag);
            for (const std::string& v : values) {
                if (option->check != nullptr) check(option->check(v).empty());
                if (option->refuseEmpty) check(!v.empty());
            }
        }
        if (parsed.has("--port") && !parsed.arguments.empty()) {
            std::vector<std::string> list;
            if (fw::splitPortList({parsed.arguments[0]}, list).empty()) {
                check(!list.empty() && list.size() <= fw::kMaxParallelPorts);
                for (const std::string& port : list) {
                    check(!port.empty() && port.find(',') == std::string::npos);
                    const std::string file = fw::receiveFileName(port);
                    check(file.find('/') == std::string::npos && file != "..TXT" && file.size() > 4);
                }
            }
        }
    }
    return 0;
}
