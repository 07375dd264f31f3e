// fwxtool load: the standalone downloader's exchange and image over the
// termios driver, against the fake terminal on a pseudo-terminal, in real
// time; with an infrared cradle in front of it; and what it costs in CPU.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "comm/posix/serial_port_posix.h"
#include "loader/loader_program.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/e2e/scratch_folder_test.h"
#include "tests/support/fake_terminal.h"
#include "tools/fwxtool/commands.h"

namespace fw {
namespace {

namespace fs = std::filesystem;
using test::FakeTerminal;
using test::TerminalExchange;
using test::TerminalScript;
using test::Ran;

class Load : public test::ScratchFolderTest {
protected:
    static Ran fwxtool(const std::vector<std::string>& args) { return test::runFwxtool(args); }

    // A program whose normalisation differs between the designer and the
    // downloader: a large-font form with six lines, a shown menu caption.
    std::string programFile() const {
        return saveNewProgram([](ProgramModel& m) {
            m.menus[0].captionOn = 1;
            setFieldText(m.menus[0].caption, "Stock");
            m.forms[0].font = 1;
            for (int i = 0; i < 6; ++i) m.forms[0].dataType[i] = kTypeText;
            m.legacyBlock[0] = 4;
        });
    }

    static std::vector<uint8_t> expectedImage(const std::string& file) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(loader::readProgramFile(file, bytes), loader::ProgramFileStatus::ok);
        loader::LoaderProgram program(std::move(bytes));
        program.prepare();
        return std::vector<uint8_t>(program.image().bytes, program.image().bytes + kProgramImageSize);
    }

    static void expectPortFree(const FakeTerminal& terminal) {
        PosixSerialPort port;
        EXPECT_EQ(port.open(terminal.path()), PortOpen::opened);
    }
};

TEST_F(Load, SendsTheDownloadersImageOverAPlainLine) {
    TerminalScript script;
    script.exchange = TerminalExchange::loader;
    script.paceBaud = 57600;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string file = programFile();

    Ran ran = fwxtool({"load", terminal.path(), file, "--baud", "57600"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Downloaded completely!\n");
    ASSERT_TRUE(terminal.waitFinished(2000));
    const test::TerminalReport report = terminal.report();
    EXPECT_EQ(report.openings, 1);
    EXPECT_EQ(report.framesReceived, 200);
    EXPECT_EQ(report.badFrames, 0);
    EXPECT_EQ(report.image, expectedImage(file));
    expectPortFree(terminal);
}

TEST_F(Load, ThroughAnInfraredCradleAtTheChosenSpeed) {
    TerminalScript script;
    script.exchange = TerminalExchange::loader;
    script.cradleBaud = 19200;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string file = programFile();

    Ran ran = fwxtool({"load", "--link=cradle", "--baud=115200", terminal.path(), file});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Downloaded completely!\n");
    ASSERT_TRUE(terminal.waitFinished(2000));
    const test::TerminalReport report = terminal.report();
    EXPECT_EQ(report.cradleBaud, 115200u);
    EXPECT_EQ(report.cradleEchoes, 1);
    EXPECT_EQ(report.image, expectedImage(file));
}

TEST_F(Load, FailuresSayWhyAndTheRetryIsDeclined) {
    const std::string file = programFile();
    {
        TerminalScript script;
        script.exchange = TerminalExchange::loader;
        script.nakFrame = 3;
        script.nakTimes = 4;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"load", terminal.path(), file});
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.out, "");
        EXPECT_NE(ran.err.find("fwxtool: Error on downloading!\n"
                               "fwxtool: Failed to download! Would you like to retry? No\n"),
                  std::string::npos)
            << ran.err;
        EXPECT_EQ(terminal.report().framesReceived, 3 + 4);
        expectPortFree(terminal);
    }
    {
        // The cradle set-up finds nothing on a line without a cradle.
        TerminalScript script;
        script.exchange = TerminalExchange::loader;
        script.ignoreOpenings = -1;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"load", "--link", "cradle", terminal.path(), file});
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.err, "fwxtool: Can not configure the IR device!\n");
    }
    Ran missingPort = fwxtool({"load", path("no-such-port"), file});
    EXPECT_EQ(missingPort.err, "fwxtool: Can't open the COM port!\n");

    Ran missingFile = fwxtool({"load", path("no-such-port"), path("absent.FWX")});
    EXPECT_EQ(missingFile.status, 1);
    EXPECT_NE(missingFile.err.find("Can't open the file!"), std::string::npos) << missingFile.err;

    std::ofstream(path("short.FWX"), std::ios::binary) << "K400-1.00";
    Ran shortFile = fwxtool({"load", path("no-such-port"), path("short.FWX")});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_NE(shortFile.err.find("Format mismatch !!!"), std::string::npos) << shortFile.err;

    EXPECT_EQ(fwxtool({"load", "--link", "irda", "p", file}).status, 2);
    EXPECT_EQ(fwxtool({"load", "p"}).status, 2);
}

// A download whose first handshake goes unanswered: the second comes after
// the whole 3000 ms window. (What it costs in processor time is a figure of
// transfer_benchmark, not a test: a loaded machine must not fail it.)
TEST_F(Load, AnUnansweredHandshakeIsRepeatedAfterItsWindow) {
    TerminalScript script;
    script.exchange = TerminalExchange::loader;
    script.ignoreOpenings = 1;
    script.paceBaud = 115200;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string file = programFile();

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        ::execl(FWXTOOL_PATH, "fwxtool", "load", terminal.path().c_str(), file.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::printf("fwxtool load: wall %.2f s, CPU %.3f s\n", wall, cpu);
    EXPECT_GE(wall, 3.0);
}

}  // namespace
}  // namespace fw
