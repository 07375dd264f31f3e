// fake_terminal_main REPORT_DIR EXCHANGE [OPTION...]
//
// Runs one fake terminal on a pty of its own until SIGTERM or SIGINT, for
// scripts and the tests under Wine. EXCHANGE is program, lookup, receive or
// loader (the standalone downloader's program download). Prints the pty's
// path on a line, then "ready". Keeps REPORT_DIR/report.txt up to date
// (key=value lines); on exit also writes REPORT_DIR/image.bin (program and
// loader: the 20,000 bytes assembled; also as soon as the exchange has run to
// its end) and REPORT_DIR/lookup.txt (lookup: the lines received, each ended
// by LF).
//
// Options:
//   --ignore-openings N  let N opening messages pass unanswered (-1: never answer)
//   --nak K:N            refuse frame K its first N times
//   --full K             answer "FULL\r" to frame K
//   --junk               noise around every reply
//   --close-after N      close the line after N acknowledged frames or records
//   --pace BAUD          bytes take 10 bits each at BAUD, both ways
//   --cradle BAUD        an infrared cradle running at BAUD in front of the terminal
//   --records FILE       receive: one record per line of FILE (LF-ended)
//   --repeat K           receive: send record K again after its "ACK\r"
//   --wrong-serial K     receive: record K first goes with a wrong serial
//   --bad-sum K          receive: record K first goes with a wrong sum
//   --fault-times N      how often those two faults happen (default 1)

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/fake_terminal.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onSignal(int) {
    stopRequested = 1;
}

std::string summary(const fw::test::TerminalReport& r) {
    std::ostringstream out;
    out << "openings=" << r.openings << "\nframes=" << r.framesReceived
        << "\nbad_frames=" << r.badFrames << "\nacked=" << r.framesAcked
        << "\nacks_received=" << r.acksReceived << "\nnaks_received=" << r.naksReceived
        << "\nrecords_sent=" << r.recordsSent << "\nover_seen=" << r.overSeen
        << "\nover_sent=" << r.overSent << "\nfinished=" << r.finished
        << "\nline_closed=" << r.lineClosed << "\ncradle_baud=" << r.cradleBaud
        << "\ncradle_echoes=" << r.cradleEchoes << "\n";
    return out.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::string temporary = path + ".tmp";
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << bytes;
    std::rename(temporary.c_str(), path.c_str());
}

int usage() {
    std::fprintf(stderr, "usage: fake_terminal_main REPORT_DIR program|lookup|receive|loader [OPTION...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string dir = argv[1];
    const std::string exchange = argv[2];
    fw::test::TerminalScript script;
    if (exchange == "program") {
        script.exchange = fw::test::TerminalExchange::program;
    } else if (exchange == "lookup") {
        script.exchange = fw::test::TerminalExchange::lookup;
    } else if (exchange == "receive") {
        script.exchange = fw::test::TerminalExchange::receive;
    } else if (exchange == "loader") {
        script.exchange = fw::test::TerminalExchange::loader;
    } else {
        return usage();
    }
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--junk") {
            script.junk = true;
            continue;
        }
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        const int number = std::atoi(value.c_str());
        if (option == "--ignore-openings") {
            script.ignoreOpenings = number;
        } else if (option == "--nak") {
            script.nakFrame = number;
            const auto colon = value.find(':');
            script.nakTimes = colon == std::string::npos ? 1 : std::atoi(value.c_str() + colon + 1);
        } else if (option == "--full") {
            script.fullAtFrame = number;
        } else if (option == "--close-after") {
            script.closeAfter = number;
        } else if (option == "--pace") {
            script.paceBaud = uint32_t(number);
        } else if (option == "--cradle") {
            script.cradleBaud = uint32_t(number);
        } else if (option == "--records") {
            std::ifstream in(value, std::ios::binary);
            std::string line;
            while (std::getline(in, line)) script.records.push_back(line);
        } else if (option == "--repeat") {
            script.repeatRecord = number;
        } else if (option == "--wrong-serial") {
            script.wrongSerialRecord = number;
        } else if (option == "--bad-sum") {
            script.badSumRecord = number;
        } else if (option == "--fault-times") {
            script.faultTimes = number;
        } else {
            return usage();
        }
    }

    fw::test::FakeTerminal terminal(script);
    if (!terminal.ok()) {
        std::fprintf(stderr, "fake_terminal_main: no pty\n");
        return 1;
    }
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::printf("%s\nready\n", terminal.path().c_str());
    std::fflush(stdout);

    const bool program = script.exchange == fw::test::TerminalExchange::program ||
                         script.exchange == fw::test::TerminalExchange::loader;
    std::string last;
    bool imageWritten = false;
    while (!stopRequested) {
        const fw::test::TerminalReport r = terminal.report();
        // The image goes first, so that a reader who sees "finished=1" in
        // the report finds it complete.
        if (program && r.finished && !imageWritten) {
            writeFile(dir + "/image.bin", std::string(r.image.begin(), r.image.end()));
            imageWritten = true;
        }
        std::string now = summary(r);
        if (now != last) {
            writeFile(dir + "/report.txt", now);
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const fw::test::TerminalReport r = terminal.report();
    terminal.stop();
    writeFile(dir + "/report.txt", summary(r));
    if (program) {
        writeFile(dir + "/image.bin", std::string(r.image.begin(), r.image.end()));
    }
    if (script.exchange == fw::test::TerminalExchange::lookup) {
        std::string lines;
        for (const std::string& l : r.lookupLines) lines += l + "\n";
        writeFile(dir + "/lookup.txt", lines);
    }
    return 0;
}
