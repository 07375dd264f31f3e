// network_port_benchmark: a program download through ser2net on the loopback
// (rfc2217://), against the fake terminal paced at 115,200 bps, beside the
// same download straight on the pseudo-terminal. Not a test: it prints the
// wall time, the ratio to the wire time and the CPU share.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "comm/posix/transfer_runner_posix.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "tests/support/fake_terminal.h"
#include "tests/support/ser2net_server.h"

namespace {

double processCpu() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
    using namespace fw;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto m = std::make_unique<ProgramModel>();
    newProgram(*m, *defaults);
    // "QUARIX\r", 200 blocks of 103 bytes; 201 "ACK\r" back; 10 bits a byte.
    const double wire = (7 + 200 * 103 + 201 * 4) * 10.0 / 115200;
    const std::string folder = std::filesystem::temp_directory_path().string();

    // The host's scheduling varies from run to run by more than the two
    // differ: each is measured kRuns times, interleaved, and the median taken.
    constexpr int kRuns = 5;
    std::vector<double> walls[2], cpus[2];
    int failures = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (const bool network : {false, true}) {
            test::TerminalScript script;
            script.paceBaud = 115200;
            test::FakeTerminal terminal(script);
            std::unique_ptr<test::Ser2net> server;
            if (network) server = std::make_unique<test::Ser2net>(folder, terminal.path(), true);
            const std::string port = network ? server->name() : terminal.path();
            // The fake terminal's pacing thread is in this process too: the
            // CPU figure is an upper bound of the download's own.
            const auto start = std::chrono::steady_clock::now();
            const double cpu = processCpu();
            if (downloadProgramToDevice(DeviceLink{port}, *m) != 1) ++failures;
            walls[network].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpus[network].push_back(processCpu() - cpu);
        }
    }
    for (const bool network : {false, true}) {
        std::vector<double> w = walls[network];
        std::sort(w.begin(), w.end());
        const double wall = w[w.size() / 2];
        const double used = *std::max_element(cpus[network].begin(), cpus[network].end());
        std::printf("%-28s median of %d: %.3f s for %.3f s of wire time: ratio %.3f (runs from %.3f to %.3f); "
                    "at most %.3f s CPU (%.1f %% of a core)\n",
                    network ? "through ser2net (rfc2217):" : "straight on the pty:", kRuns, wall, wire, wall / wire,
                    w.front() / wire, w.back() / wire, used, 100 * used / wall);
    }
    if (failures) std::printf("%d downloads failed\n", failures);
    return failures ? 1 : 0;
}
