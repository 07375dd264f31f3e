// Fuzzing fwx_load's outside inputs: its command line, and the terminal's
// replies to its exchange (read three bytes at a time, window expiries and
// failed writes mixed in). Beyond "no crash": the choices stay in their
// ranges and a file makes the run silent; the handshake goes at most three
// times and a block at most four per attempt, blocks go in order, and the
// retry question is the only way back to the handshake.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "loader/command_line.h"
#include "loader/loader_exchange.h"
#include "model/program_file.h"

namespace {

using fw::loader::Action;
using fw::loader::Actions;

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

void fuzzCommandLine(std::string_view text) {
    const fw::loader::CommandLine c = fw::loader::parseCommandLine(text);
    check(c.choices.link == fw::loader::kLinkRs232 || c.choices.link == fw::loader::kLinkCradleIr);
    check(c.choices.port >= 0 && c.choices.port <= 5);
    check(c.choices.speed >= 0 && c.choices.speed <= 4);
    check(c.silent == !c.file.empty());
    check(c.file.size() <= text.size());
}

struct Counts {
    int handshakes = 0;
    int sendsOfBlock = 0;
    int lastBlock = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t split = std::min<std::size_t>(data[0], size - 1);
    fuzzCommandLine(std::string_view(reinterpret_cast<const char*>(data + 1), split));

    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> bytes(fw::kProgramFileSize, 0x31);
        std::memcpy(bytes.data(), "K400-1.00", 10);
        return bytes;
    }();
    static const fw::loader::LoaderProgram program = [] {
        fw::loader::LoaderProgram p{std::vector<uint8_t>(file)};
        p.prepare();
        return p;
    }();
    fw::loader::LoaderExchange exchange(program.image());
    const uint8_t* in = data + 1 + split;
    const std::size_t n = size - 1 - split;
    std::size_t pos = 0;
    Counts counts;

    auto apply = [&](auto&& self, Actions batch) -> void {
        for (const Action& a : batch) {
            switch (a.kind) {
            case Action::Kind::send:
                if (a.bytes.size() == 7) {
                    check(++counts.handshakes <= fw::loader::kHandshakeTries);
                    counts.lastBlock = -1;
                } else {
                    check(a.bytes.size() == 103);
                    const int k = a.bytes[102];
                    if (k == counts.lastBlock) {
                        check(++counts.sendsOfBlock <= fw::loader::kBlockSends);
                    } else {
                        check(k == counts.lastBlock + 1);
                        counts.lastBlock = k;
                        counts.sendsOfBlock = 1;
                    }
                }
                break;
            case Action::Kind::askRetry:
                counts = Counts{};
                return self(self, exchange.retryAnswered(pos < n && in[pos++] % 2 == 0));
            case Action::Kind::end:
                return;
            default:
                break;
            }
        }
    };
    apply(apply, exchange.start());
    int events = 0;
    while (pos < n && !exchange.finished() && events++ < 3000) {
        const uint8_t op = in[pos++];
        if (op < 24) {
            apply(apply, exchange.timerExpired());
        } else if (op < 28) {
            apply(apply, exchange.portFailed());
        } else {
            const std::size_t take = std::min<std::size_t>(op % 8 + 1, n - pos);
            apply(apply, exchange.received(std::span(in + pos, take)));
            pos += take;
        }
    }
    return 0;
}
