// fwxtool serving several fake terminals at once, each on a pseudo-terminal
// of its own, in real time: every terminal gets the whole image, a failing
// port leaves the others alone, a receive writes one file per port, and
// Ctrl+C lets go of every port.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "comm/port_workers.h"
#include "comm/posix/serial_port_posix.h"
#include "loader/loader_program.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/e2e/scratch_folder_test.h"
#include "tests/support/fake_terminal.h"
#include "tools/fwxtool/commands.h"

extern char** environ;

namespace fw {
namespace {

namespace fs = std::filesystem;

// The result column of a port's row in the summary table; the column is as
// wide as the longest port name, so the blanks before it vary.
std::string resultOf(const std::string& summary, const std::string& port) {
    std::size_t at = summary.find(port + " ");
    if (at == std::string::npos) return {};
    at = summary.find_first_not_of(' ', at + port.size());
    const std::size_t end = summary.find('\n', at);
    return at == std::string::npos ? std::string() : summary.substr(at, end - at);
}
using test::FakeTerminal;
using test::TerminalExchange;
using test::TerminalScript;
using test::Ran;
using Clock = std::chrono::steady_clock;

class MultiPort : public test::ScratchFolderTest {
protected:
    static Ran fwxtool(const std::vector<std::string>& args) { return test::runFwxtool(args); }

    std::string programFile() const {
        return saveNewProgram([](ProgramModel& m) {
            setFieldText(m.menus[1].caption, "Goods in");
            m.menus[1].captionOn = 1;
            setFieldText(m.menus[1].itemName[0], "Pallet");
        });
    }

    static std::vector<std::unique_ptr<FakeTerminal>> terminals(const std::vector<TerminalScript>& scripts) {
        std::vector<std::unique_ptr<FakeTerminal>> list;
        for (const TerminalScript& s : scripts) {
            list.push_back(std::make_unique<FakeTerminal>(s));
            EXPECT_TRUE(list.back()->ok());
        }
        return list;
    }

    static std::string commaList(const std::vector<std::unique_ptr<FakeTerminal>>& list) {
        std::string ports;
        for (const auto& t : list) ports += (ports.empty() ? "" : ",") + t->path();
        return ports;
    }

    static void expectPortFree(const FakeTerminal& terminal) {
        PosixSerialPort port;
        EXPECT_EQ(port.open(terminal.path()), PortOpen::opened) << terminal.path();
    }
};

TEST_F(MultiPort, EveryTerminalGetsTheImageThatImageWrites) {
    const std::string file = programFile();
    TerminalScript noisy;
    noisy.junk = true;
    noisy.nakFrame = 3;
    noisy.nakTimes = 2;
    auto list = terminals({{}, noisy, {}, {}});

    // Ports as a comma list and as a repeated option, mixed.
    Ran ran = fwxtool({"download", "--port", list[0]->path() + "," + list[1]->path(), "--port",
                       list[2]->path(), "--port=" + list[3]->path(), file});
    EXPECT_EQ(ran.status, 0) << ran.err;
    const std::vector<uint8_t> expected = expectedImage(file);
    for (const auto& t : list) {
        ASSERT_TRUE(t->waitFinished(2000));
        EXPECT_EQ(t->report().image, expected) << t->path();
        EXPECT_EQ(resultOf(ran.out, t->path()).rfind("Downloaded completely!", 0), 0u) << ran.out;
        EXPECT_NE(ran.err.find(t->path() + ": started\n"), std::string::npos) << ran.err;
        expectPortFree(*t);
    }
    EXPECT_NE(ran.out.find("20000 bytes"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("4 of 4 ports succeeded."), std::string::npos) << ran.out;
}

TEST_F(MultiPort, FailingPortsSayWhyAndTheOthersStillSucceed) {
    const std::string file = programFile();
    TerminalScript refusing;
    refusing.nakFrame = 40;
    refusing.nakTimes = 1000;
    TerminalScript full;
    full.fullAtFrame = 10;
    TerminalScript pulled;
    pulled.closeAfter = 60;
    auto list = terminals({{}, refusing, full, pulled, {}});
    const std::string missing = path("no-such-port");

    Ran ran = fwxtool({"download", "--json", commaList(list) + "," + missing, file});
    EXPECT_EQ(ran.status, 1) << ran.err;
    const nlohmann::json summary = nlohmann::json::parse(ran.out);
    EXPECT_EQ(summary["ok"], false);
    EXPECT_EQ(summary["succeeded"], 2);
    EXPECT_EQ(summary["failed"], 4);
    ASSERT_EQ(summary["ports"].size(), 6u);
    const char* const messages[] = {"Downloaded completely!", "Time out!", "Memory full for Terminal!",
                                    "Error on downloading!", "Downloaded completely!",
                                    "Cannot open the COM port!"};
    for (std::size_t i = 0; i < 6; ++i) {
        const auto& port = summary["ports"][i];
        EXPECT_EQ(port["port"], i < 5 ? list[i]->path() : missing);
        EXPECT_EQ(port["message"], messages[i]) << port;
        EXPECT_EQ(port["state"], i == 0 || i == 4 ? "succeeded" : "failed");
    }
    // Only acknowledged blocks count.
    EXPECT_EQ(summary["ports"][1]["bytes"], 40 * 100);
    EXPECT_EQ(summary["ports"][2]["bytes"], 10 * 100);
    const std::vector<uint8_t> expected = expectedImage(file);
    EXPECT_EQ(list[0]->report().image, expected);
    EXPECT_EQ(list[4]->report().image, expected);
    for (std::size_t i = 0; i < 3; ++i) expectPortFree(*list[i]);
}

TEST_F(MultiPort, ReceiveWritesOneFilePerPort) {
    auto receiving = [](std::vector<std::string> records) {
        TerminalScript s;
        s.exchange = TerminalExchange::receive;
        s.records = std::move(records);
        return s;
    };
    TerminalScript twice = receiving({"a1", "a2", "a3"});
    twice.repeatRecord = 1;
    auto list = terminals({twice, receiving({"b\xE9", ""}), receiving({})});
    const std::string folder = path("received");

    Ran ran = fwxtool({"receive", commaList(list), folder});
    EXPECT_EQ(ran.status, 0) << ran.err;
    auto fileOf = [&](const FakeTerminal& t) { return (fs::path(folder) / receiveFileName(t.path())).string(); };
    EXPECT_EQ(readFile(fileOf(*list[0])), "a1\r\na2\r\na3\r\n");
    EXPECT_EQ(readFile(fileOf(*list[1])), "b\xE9\r\n\r\n");
    // Nothing received: no file, as with one port.
    EXPECT_FALSE(fs::exists(fileOf(*list[2])));
    EXPECT_NE(ran.out.find("Done : 3 records received."), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("No data received!"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("3 records"), std::string::npos) << ran.out;
}

TEST_F(MultiPort, LookupAndLoadServeEveryPort) {
    TerminalScript lookup;
    lookup.exchange = TerminalExchange::lookup;
    auto lookups = terminals({lookup, lookup});
    const std::string lookupFile = path("stock.txt");
    std::ofstream(lookupFile, std::ios::binary) << "4711,Bolts\r\n0815,Nuts\r\n";
    Ran ran = fwxtool({"lookup", commaList(lookups), lookupFile});
    EXPECT_EQ(ran.status, 0) << ran.err;
    for (const auto& t : lookups) {
        ASSERT_TRUE(t->waitFinished(2000));
        EXPECT_EQ(t->report().lookupLines, (std::vector<std::string>{"4711,Bolts", "0815,Nuts"}));
    }
    // A file that cannot be read fails before any port is opened; a folder
    // is no empty file.
    for (const std::string& unreadable : {path("absent.txt"), path("")}) {
        ran = fwxtool({"lookup", commaList(lookups), unreadable});
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.err, "fwxtool: '" + unreadable + "': Cannot open the file!\n");
        EXPECT_EQ(ran.out, "");
    }

    TerminalScript loader;
    loader.exchange = TerminalExchange::loader;
    auto loads = terminals({loader, loader});
    const std::string file = programFile();
    ran = fwxtool({"load", commaList(loads), file});
    EXPECT_EQ(ran.status, 0) << ran.err;
    std::string bytes = readFile(file);
    loader::LoaderProgram program(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    program.prepare();
    const std::vector<uint8_t> expected(program.image().bytes, program.image().bytes + 20000);
    for (const auto& t : loads) {
        ASSERT_TRUE(t->waitFinished(2000));
        EXPECT_EQ(t->report().image, expected);
    }
}

TEST_F(MultiPort, CtrlCCancelsEveryPortAndLetsGoOfThem) {
    TerminalScript silent;
    silent.ignoreOpenings = -1;
    auto list = terminals({silent, silent, silent});
    const std::string file = programFile();
    const std::string out = path("out.txt"), err = path("err.txt");
    const std::vector<std::string> args = {FWXTOOL_PATH, "download", commaList(list), file};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, FWXTOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const auto asked = Clock::now();
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(1));
    ASSERT_TRUE(WIFEXITED(status)) << "killed by the signal instead of cancelling";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string summary = readFile(out);
    for (const auto& t : list) {
        EXPECT_EQ(resultOf(summary, t->path()).rfind("Cancelled", 0), 0u) << summary;
        // Opened once and asked once more a second later; nothing after Ctrl+C.
        EXPECT_LE(t->report().openings, 2);
        expectPortFree(*t);
    }
    EXPECT_NE(summary.find("0 of 3 ports succeeded."), std::string::npos) << summary;
}

}  // namespace
}  // namespace fw
