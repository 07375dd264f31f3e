// The exchanges through a real serial device server: ser2net (Debian's
// package) carries the fake terminal's pseudo-terminal over TCP on the
// loopback, and fwxtool reaches it as rfc2217://127.0.0.1:PORT or
// tcp://127.0.0.1:PORT.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/e2e/scratch_folder_test.h"
#include "tests/support/fake_terminal.h"
#include "tests/support/ser2net_server.h"

namespace fw {
namespace {

using test::FakeTerminal;
using test::Ran;
using test::TerminalExchange;
using test::Ser2net;
using test::TerminalScript;

class NetworkPort : public test::ScratchFolderTest {
protected:
    static Ran fwxtool(const std::vector<std::string>& args) { return test::runFwxtool(args); }

    std::string programFile() const {
        return saveNewProgram([](ProgramModel& m) {
            m.forms[0].dataType[0] = 1;
        });
    }
};

// A program through the COM-port option, behind an infrared cradle: the
// cradle passes bytes only at its own speed, read from the pty, so the
// download proves each speed request reached the line in order, after what
// was sent before it had left.
TEST_F(NetworkPort, ProgramThroughTheComPortOptionAndACradle) {
    TerminalScript script;
    script.cradleBaud = 115200;
    script.paceBaud = 115200;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    Ser2net server(path(""), terminal.path(), true);
    ASSERT_TRUE(server.ready());
    const std::string file = programFile();

    Ran ran = fwxtool({"download", server.name(), file, "--link", "cradle", "--baud", "115200"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Downloaded completely!\n");
    ASSERT_TRUE(terminal.waitFinished(2000));
    EXPECT_EQ(terminal.report().image, expectedImage(file));
}

TEST_F(NetworkPort, LookupReceiveAndLoadThroughTheServer) {
    {
        TerminalScript script;
        script.exchange = TerminalExchange::lookup;
        script.paceBaud = 115200;
        FakeTerminal terminal(script);
        Ser2net server(path(""), terminal.path(), true);
        ASSERT_TRUE(server.ready());
        std::ofstream(path("stock.txt")) << "4711,Bolts\r\n\xFF\xFF,odd bytes\r\n";
        Ran ran = fwxtool({"lookup", server.name(), path("stock.txt"), "--baud", "115200"});
        EXPECT_EQ(ran.status, 0) << ran.err;
        ASSERT_TRUE(terminal.waitFinished(2000));
        EXPECT_EQ(terminal.report().lookupLines,
                  (std::vector<std::string>{"4711,Bolts", "\xFF\xFF,odd bytes"}));
    }
    {
        TerminalScript script;
        script.exchange = TerminalExchange::receive;
        script.records = {"4006381333931,12", "\xFF\xFE,3", "last"};
        FakeTerminal terminal(script);
        Ser2net server(path(""), terminal.path(), false);
        ASSERT_TRUE(server.ready());
        Ran ran = fwxtool({"receive", server.name("tcp"), path("data.txt")});
        EXPECT_EQ(ran.status, 0) << ran.err;
        EXPECT_EQ(readFile("data.txt"), "4006381333931,12\r\n\xFF\xFE,3\r\nlast\r\n");
    }
    {
        TerminalScript script;
        script.exchange = TerminalExchange::loader;
        FakeTerminal terminal(script);
        Ser2net server(path(""), terminal.path(), true);
        ASSERT_TRUE(server.ready());
        const std::string file = programFile();
        Ran ran = fwxtool({"load", server.name(), file});
        EXPECT_EQ(ran.status, 0) << ran.err;
        ASSERT_TRUE(terminal.waitFinished(2000));
        EXPECT_EQ(terminal.report().framesReceived, 200);
        EXPECT_EQ(terminal.report().badFrames, 0);
    }
}

// The server going away in the middle of a receive fails the receive with
// the records acknowledged so far kept; a server that is not there does not
// open.
TEST_F(NetworkPort, ACutConnectionKeepsWhatWasAcknowledged) {
    TerminalScript script;
    script.exchange = TerminalExchange::receive;
    for (int i = 0; i < 400; ++i) script.records.push_back("record " + std::to_string(i));
    script.paceBaud = 9600;
    FakeTerminal terminal(script);
    auto server = std::make_unique<Ser2net>(path(""), terminal.path(), true);
    ASSERT_TRUE(server->ready());
    std::thread cut([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        server->stop();
    });
    Ran ran = fwxtool({"receive", server->name(), path("data.txt")});
    cut.join();
    EXPECT_EQ(ran.status, 1) << ran.out;
    const std::string kept = readFile("data.txt");
    EXPECT_FALSE(kept.empty());
    EXPECT_EQ(kept.rfind("record 0\r\n", 0), 0u);
    EXPECT_EQ(kept.back(), '\n');   // whole records only

    Ran absent = fwxtool({"receive", server->name(), path("none.txt")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("Cannot open the COM port!"), std::string::npos) << absent.err;
}

}  // namespace
}  // namespace fw
