// Fuzzing fwxtool's transfer options: any words, split at NULs, through the
// --link/--baud readers of the transfer commands and of load. Beyond "no
// crash": a reader that accepts leaves only the words that are not its
// options, in their order, and choices inside their lists; one that refuses
// says why.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/port_workers.h"
#include "tools/fwxtool/commands.h"
#include "tools/fwxtool/multi_port_commands.h"

namespace {

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

bool isOption(const std::string& w) {
    return (w.rfind("--link", 0) == 0 || w.rfind("--baud", 0) == 0) && (w.size() == 6 || w[6] == '=');
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
    {
        std::vector<std::string> args = words;
        fw::tool::TransferOptions options;
        const std::string problem = fw::tool::takeTransferOptions(args, options);
        if (problem.empty()) {
            check(options.speedChoice >= 0 && options.speedChoice <= 4);
            check(options.linkType >= 0 && options.linkType <= 2);
            for (const std::string& w : args) check(!isOption(w));
            check(args.size() <= words.size());
        }
    }
    {
        std::vector<std::string> args = words;
        fw::tool::LoadOptions options;
        const std::string problem = fw::tool::takeLoadOptions(args, options);
        if (problem.empty()) {
            check(options.speedChoice >= 0 && options.speedChoice <= 4);
            check(options.link == 0 || options.link == 1);
            for (const std::string& w : args) check(!isOption(w));
        }
    }
    {
        // --port and --json, then the port list they leave where PORT stands.
        std::vector<std::string> args = words;
        fw::tool::PortArguments ports;
        const std::string problem = fw::tool::takePortArguments(args, ports, true);
        if (problem.empty()) {
            check(args.size() <= words.size() + 1);
            // args[1] is the joined --port values when there were any.
            for (std::size_t i = ports.portOption ? 2 : 1; i < args.size(); ++i) {
                check(args[i] != "--json" && args[i] != "--port" && args[i].rfind("--port=", 0) != 0);
            }
            std::vector<std::string> list;
            if (args.size() > 1 && fw::splitPortList({args[1]}, list).empty()) {
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
