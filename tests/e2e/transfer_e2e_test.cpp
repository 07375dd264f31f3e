// fwxtool's transfers over the termios driver against the fake terminal on a
// pseudo-terminal, in real time, faults included: what the terminal ends up
// with, what the user reads, and the port free again after every end.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "comm/posix/serial_port_posix.h"
#include "comm/posix/transfer_runner_posix.h"
#include "comm/program_image.h"
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
using Clock = std::chrono::steady_clock;

class Transfer : public test::ScratchFolderTest {
protected:
    void writeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    // fwxtool's command line, in this process.
    static Ran fwxtool(const std::vector<std::string>& args) { return test::runFwxtool(args); }

    // A program with something of its own in it, saved as a file.
    std::string programFile() const {
        return saveNewProgram([](ProgramModel& m) {
            setFieldText(m.menus[2].caption, "Stock");
            m.menus[2].captionOn = 1;
            setFieldText(m.menus[2].itemName[0], "Count");
            m.forms[0].dataType[0] = 1;
        });
    }

    // The pty can be opened again: the transfer let go of it.
    static void expectPortFree(const FakeTerminal& terminal) {
        PosixSerialPort port;
        EXPECT_EQ(port.open(terminal.path()), PortOpen::opened);
    }
};

TEST_F(Transfer, ProgramReachesTheTerminalThroughNoiseRefusalsAndLateAnswers) {
    TerminalScript script;
    script.ignoreOpenings = 2;    // answers the third "QUARIX\r"
    script.junk = true;
    script.nakFrame = 7;
    script.nakTimes = 3;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string file = programFile();

    Ran ran = fwxtool({"download", terminal.path(), file, "--baud", "57600"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Downloaded completely!\n");
    EXPECT_NE(ran.err.find("Downloading... 100%"), std::string::npos) << ran.err;
    EXPECT_GE(ran.seconds, 1.9);   // two openings went unanswered, a second each

    ASSERT_TRUE(terminal.waitFinished(2000));
    test::TerminalReport report = terminal.report();
    EXPECT_EQ(report.openings, 3);
    EXPECT_EQ(report.framesReceived, 203);
    EXPECT_EQ(report.badFrames, 0);
    EXPECT_EQ(report.image, expectedImage(file));
    expectPortFree(terminal);
}

TEST_F(Transfer, ProgramDownloadFailuresSayWhy) {
    const std::string file = programFile();
    {
        TerminalScript script;
        script.fullAtFrame = 50;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"download", "--link=serial", terminal.path(), file});
        EXPECT_EQ(ran.status, 1);
        EXPECT_NE(ran.err.find("\nfwxtool: Memory full for Terminal!\n"), std::string::npos) << ran.err;
        EXPECT_EQ(ran.out, "");
        expectPortFree(terminal);
    }
    {
        TerminalScript script;
        script.closeAfter = 20;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"download", terminal.path(), file});
        EXPECT_EQ(ran.status, 1);
        EXPECT_NE(ran.err.find("Error on downloading!"), std::string::npos) << ran.err;
        // A failed read is no verdict; the resend a second later finds the
        // line gone, not the ten resends of a silent terminal.
        EXPECT_LT(ran.seconds, 5.0);
    }
    Ran missing = fwxtool({"download", path("no-such-port"), file});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open the COM port!"), std::string::npos) << missing.err;
}

TEST_F(Transfer, LookupLinesArriveWithTheirSumsAtTheLineSpeed) {
    TerminalScript script;
    script.exchange = TerminalExchange::lookup;
    script.junk = true;
    script.nakFrame = 1;
    script.nakTimes = 2;
    script.paceBaud = 115200;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string longLine(300, 'L');
    writeFile("stock.txt", "4711,Bolts\r\n\r\n\xC4pfel,3\r\n" + longLine + "\r\nlast");

    Ran ran = fwxtool({"lookup", terminal.path(), path("stock.txt")});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Downloaded completely!\n");
    ASSERT_TRUE(terminal.waitFinished(2000));
    test::TerminalReport report = terminal.report();
    EXPECT_TRUE(report.overSeen);
    EXPECT_EQ(report.badFrames, 0);
    EXPECT_EQ(report.lookupLines,
              (std::vector<std::string>{"4711,Bolts", "\xC4pfel,3", longLine.substr(0, 255), "last"}));

    Ran missing = fwxtool({"lookup", terminal.path(), path("absent.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "fwxtool: Cannot open the file!\n");
}

TEST_F(Transfer, ReceivedRecordsAreWrittenOnceEachDespiteFaults) {
    TerminalScript script;
    script.exchange = TerminalExchange::receive;
    for (int i = 0; i < 23; ++i) script.records.push_back("item " + std::to_string(i) + ",\xE9t\xE9");
    script.records[5] = "";   // a record without data
    script.repeatRecord = 3;
    script.wrongSerialRecord = 9;
    script.badSumRecord = 12;
    script.faultTimes = 3;
    script.junk = true;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());

    Ran ran = fwxtool({"receive", terminal.path(), path("data.txt"), "--link", "irda"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Done : 23 records received.\n");
    std::string expected;
    for (const std::string& r : script.records) expected += r + "\r\n";
    EXPECT_EQ(readFile("data.txt"), expected);
    test::TerminalReport report = terminal.report();
    EXPECT_EQ(report.naksReceived, 6);    // three wrong serials, three wrong sums
    EXPECT_TRUE(report.overSent);
    expectPortFree(terminal);
}

TEST_F(Transfer, ReceiveFailuresKeepWhatWasAcknowledged) {
    TerminalScript script;
    script.exchange = TerminalExchange::receive;
    script.records = {"one", "two", "three", "four"};
    {
        // The third record never comes right: ten rejections end it.
        script.wrongSerialRecord = 2;
        script.faultTimes = 100;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"receive", terminal.path(), path("refused.txt")});
        EXPECT_EQ(ran.status, 1);
        EXPECT_NE(ran.err.find("Time out!"), std::string::npos) << ran.err;
        EXPECT_EQ(readFile("refused.txt"), "one\r\ntwo\r\n");
        EXPECT_EQ(terminal.report().naksReceived, 10);
    }
    {
        script.wrongSerialRecord = -1;
        script.closeAfter = 3;
        FakeTerminal terminal(script);
        Ran ran = fwxtool({"receive", terminal.path(), path("cut.txt")});
        EXPECT_EQ(ran.status, 1);
        EXPECT_NE(ran.err.find("Error on uploading!"), std::string::npos) << ran.err;
        EXPECT_EQ(readFile("cut.txt"), "one\r\ntwo\r\nthree\r\n");
    }
    {
        TerminalScript empty;
        empty.exchange = TerminalExchange::receive;
        FakeTerminal terminal(empty);
        Ran ran = fwxtool({"receive", terminal.path(), path("none.txt")});
        EXPECT_EQ(ran.status, 0);
        EXPECT_EQ(ran.out, "No data received!\n");
        EXPECT_FALSE(fs::exists(path("none.txt")));
    }
    {
        // A full disk: the record is not acknowledged, and the user is told.
        TerminalScript one;
        one.exchange = TerminalExchange::receive;
        one.records = {"only"};
        FakeTerminal terminal(one);
        Ran ran = fwxtool({"receive", terminal.path(), "/dev/full"});
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.err, "fwxtool: Cannot write the received data!\n");
        EXPECT_EQ(terminal.report().recordsSent, 1);
        EXPECT_EQ(terminal.report().acksReceived, 0);
    }
    Ran nowhere = fwxtool({"receive", path("no-such-port"), path("no/such/folder.txt")});
    EXPECT_EQ(nowhere.err, "fwxtool: File open/create failed!\n");
}

TEST_F(Transfer, CancelFromAnotherThreadEndsAWaitingTransfer) {
    TerminalScript script;
    script.exchange = TerminalExchange::receive;
    script.ignoreOpenings = -1;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    TransferCancel cancel;
    const std::string file = path("cancelled.txt");
    auto receiving = std::async(std::launch::async, [&] {
        return receiveFromDevice(DeviceLink{terminal.path(), kLinkOther, 0}, file, nullptr, &cancel);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto asked = Clock::now();
    cancel.request();
    ASSERT_EQ(receiving.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
    EXPECT_EQ(receiving.get().result, kTransferCancelled);
    EXPECT_EQ(terminal.report().openings, 1);
    expectPortFree(terminal);
}

TEST_F(Transfer, TheProgramItselfExitsAsDocumented) {
    // The real binary: exit statuses, and plain progress lines off a terminal.
    TerminalScript script;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    const std::string file = programFile();
    auto shell = [&](const std::string& args) {
        const std::string command = std::string(FWXTOOL_PATH) + " " + args + " >" + path("o.txt") +
                                    " 2>" + path("e.txt");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(shell("download " + terminal.path() + " " + file), 0);
    EXPECT_EQ(readFile("o.txt"), "Downloaded completely!\n");
    EXPECT_NE(readFile("e.txt").find("Downloading... 50%\n"), std::string::npos);
    EXPECT_EQ(shell("download --link carrier-pigeon " + terminal.path() + " " + file), 2);
    EXPECT_EQ(shell("receive --baud 300 " + terminal.path() + " x.txt"), 2);
}

}  // namespace
}  // namespace fw
