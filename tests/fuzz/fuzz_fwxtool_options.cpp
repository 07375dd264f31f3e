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

#include "tools/fwxtool/commands.h"

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
    return 0;
}
