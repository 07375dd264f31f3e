// fake_cradle_main REPORT CRADLE...
//
// Runs one fake cradle per CRADLE argument, each on a pty of its own, until
// SIGTERM or SIGINT. CRADLE is a speed (9600, 19200, 38400, 57600, 115200)
// or "none" for a pty with nothing behind it, optionally followed by "@" and
// the echo's delay in ms. Prints each pty's path on a line of its own, in
// argument order, then "ready". Keeps REPORT up to date, one line per cradle:
//   <pty> baud=<cradle speed> line=<speed set on the pty> echoes=<n> bytes=<n>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fake_cradle.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onSignal(int) {
    stopRequested = 1;
}

std::string report(const std::vector<std::unique_ptr<fw::test::FakeCradle>>& cradles) {
    std::ostringstream out;
    for (const auto& c : cradles) {
        out << c->path() << " baud=" << c->baud() << " line=" << c->lineBaud()
            << " echoes=" << c->echoes() << " bytes=" << c->seen().size() << "\n";
    }
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fake_cradle_main REPORT CRADLE...\n");
        return 2;
    }
    const std::string reportPath = argv[1];
    std::vector<std::unique_ptr<fw::test::FakeCradle>> cradles;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        int delay = 0;
        if (auto at = arg.find('@'); at != std::string::npos) {
            delay = std::atoi(arg.c_str() + at + 1);
            arg.resize(at);
        }
        uint32_t baud = arg == "none" ? 0 : uint32_t(std::strtoul(arg.c_str(), nullptr, 10));
        cradles.push_back(std::make_unique<fw::test::FakeCradle>(baud, delay));
        if (!cradles.back()->ok()) {
            std::fprintf(stderr, "fake_cradle_main: no pty for %s\n", argv[i]);
            return 1;
        }
    }

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    for (const auto& c : cradles) std::printf("%s\n", c->path().c_str());
    std::printf("ready\n");
    std::fflush(stdout);

    std::string last;
    while (!stopRequested) {
        std::string now = report(cradles);
        if (now != last) {
            // Written aside and renamed, so that a reader never sees half of it.
            std::string temporary = reportPath + ".tmp";
            std::ofstream(temporary, std::ios::trunc) << now;
            std::rename(temporary.c_str(), reportPath.c_str());
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}
