// transfer_benchmark: figures of the transfers over a pty against the fake
// terminal. Not a test: it prints wall and CPU time, records per second, and
// the ratio of the time taken to the pure wire time at 115,200 bps.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>
#include <filesystem>
#include <memory>
#include <string>

#include "comm/posix/serial_port_posix.h"
#include "comm/posix/transfer_runner_posix.h"
#include "loader/loader_session.h"
#include "model/program_file.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "tests/support/fake_terminal.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the calling thread (the runner's), in seconds.
double threadCpu() {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::unique_ptr<fw::ProgramModel> program() {
    auto defaults = std::make_unique<fw::DefaultTexts>();
    fw::loadDefaultTexts(*defaults);
    auto m = std::make_unique<fw::ProgramModel>();
    fw::newProgram(*m, *defaults);
    return m;
}

struct Timed {
    int result;
    double wall;
    double cpu;
};

template <typename F>
Timed timed(F&& f) {
    const auto start = Clock::now();
    const double cpu = threadCpu();
    int result = f();
    return Timed{result, std::chrono::duration<double>(Clock::now() - start).count(), threadCpu() - cpu};
}

// The downloader's user, who answers No and looks at nothing.
class QuietUi final : public fw::loader::LoaderUi {
public:
    void showMessage(fw::loader::Message) override {}
    bool askRetry() override { return false; }
    void openProgress() override {}
    void setProgress(int) override {}
    void closeProgress() override {}
};

}  // namespace

int main() {
    using namespace fw;
    {
        test::FakeTerminal terminal(test::TerminalScript{});
        auto m = program();
        Timed t = timed([&] { return downloadProgramToDevice(DeviceLink{terminal.path()}, *m); });
        std::printf("program download, instant terminal: result %d, %.3f s wall, %.3f s CPU (%.1f %% of a core)\n",
                    t.result, t.wall, t.cpu, 100 * t.cpu / t.wall);
    }
    {
        test::TerminalScript script;
        script.exchange = test::TerminalExchange::receive;
        for (int i = 0; i < 10000; ++i) script.records.push_back("4711," + std::to_string(i) + ",Bolts M6x20");
        test::FakeTerminal terminal(script);
        const std::string out = (std::filesystem::temp_directory_path() / "fw_benchmark_receive.txt").string();
        ReceiveOutcome outcome;
        Timed t = timed([&] {
            outcome = receiveFromDevice(DeviceLink{terminal.path()}, out, nullptr);
            return outcome.result;
        });
        std::filesystem::remove(out);
        std::printf("receive of %d records: result %d, %.3f s wall, %.3f s CPU, %.0f records/s\n",
                    outcome.records, t.result, t.wall, t.cpu, outcome.records / t.wall);
    }
    {
        test::TerminalScript script;
        script.paceBaud = 115200;
        test::FakeTerminal terminal(script);
        auto m = program();
        Timed t = timed([&] { return downloadProgramToDevice(DeviceLink{terminal.path()}, *m); });
        // "QUARIX\r", 200 blocks of 103 bytes; 201 "ACK\r" back; 10 bits a byte.
        const double bytes = 7 + 200 * 103 + 201 * 4;
        const double wire = bytes * 10 / 115200;
        std::printf("program download paced at 115200 bps: result %d, %.3f s for %.3f s of wire time: "
                    "ratio %.3f; %.3f s CPU (%.1f %% of a core)\n",
                    t.result, t.wall, wire, t.wall / wire, t.cpu, 100 * t.cpu / t.wall);
    }
    {
        // fwx_load's exchange: the first handshake unanswered (a 3000 ms
        // window), then the blocks at 115200 bps. A reader that polled would
        // burn a core for all of it.
        test::TerminalScript script;
        script.exchange = test::TerminalExchange::loader;
        script.ignoreOpenings = 1;
        script.paceBaud = 115200;
        test::FakeTerminal terminal(script);
        std::vector<uint8_t> file(kProgramFileSize, 0x20);
        std::memcpy(file.data(), "K400-1.00", 10);
        loader::LoaderProgram program(std::move(file));
        program.prepare();
        QuietUi ui;
        PosixSerialPort port;
        Timed t = timed([&] {
            return loader::runDownload(port, terminal.path(), loader::Choices{}, program.image(), ui) ? 1 : 0;
        });
        std::printf("loader download, first handshake unanswered, paced at 115200 bps: result %d, "
                    "%.3f s wall, %.3f s CPU (%.1f %% of a core)\n",
                    t.result, t.wall, t.cpu, 100 * t.cpu / t.wall);
    }
    return 0;
}
