// Several ports at once: the port list of a command line, the file names of
// a multi-port receive, and the workers' board with its cancel.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "comm/port_workers.h"

namespace fw {
namespace {

TEST(PortList, CommaListsAndRepeatsKeepTheirOrder) {
    std::vector<std::string> ports;
    EXPECT_EQ(splitPortList({"/dev/ttyUSB0,/dev/ttyUSB1", "ttyS0"}, ports), "");
    EXPECT_EQ(ports, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1", "ttyS0"}));

    for (const char* bad : {"", ",", "a,,b", "a,", ",a"}) {
        std::vector<std::string> untouched{"x"};
        EXPECT_NE(splitPortList({bad}, untouched), "") << bad;
        EXPECT_EQ(untouched, std::vector<std::string>{"x"}) << bad;
    }
    EXPECT_EQ(splitPortList({"a,b", "a"}, ports), "port 'a' is named twice");
    // A Windows port by its full device name is the same port.
    EXPECT_EQ(splitPortList({"\\\\.\\COM12,COM5"}, ports), "");
    EXPECT_EQ(ports, (std::vector<std::string>{"COM12", "COM5"}));
    EXPECT_EQ(splitPortList({"COM12", "\\\\.\\COM12"}, ports), "port 'COM12' is named twice");
    EXPECT_NE(splitPortList({"\\\\.\\"}, ports), "");

    std::string many;
    for (std::size_t i = 0; i < kMaxParallelPorts; ++i) many += (i ? ",p" : "p") + std::to_string(i);
    EXPECT_EQ(splitPortList({many}, ports), "");
    EXPECT_EQ(ports.size(), kMaxParallelPorts);
    EXPECT_EQ(splitPortList({many + ",one-more"}, ports), "too many ports (at most 64 at once)");
}

TEST(PortList, ReceiveFilesAreNamedAfterThePortAndStayInTheFolder) {
    EXPECT_EQ(receiveFileName("/dev/ttyUSB0"), "ttyUSB0.TXT");
    EXPECT_EQ(receiveFileName("ttyACM1"), "ttyACM1.TXT");
    EXPECT_EQ(receiveFileName("/dev/pts/3"), "pts_3.TXT");
    EXPECT_EQ(receiveFileName("/dev/serial/by-id/usb-FTDI_A:1 x"), "serial_by-id_usb-FTDI_A_1_x.TXT");
    // Nothing that climbs out of the output folder or names it.
    EXPECT_EQ(receiveFileName("/dev/../etc/passwd"), ".._etc_passwd.TXT");
    EXPECT_EQ(receiveFileName(".."), "port...TXT");
    EXPECT_EQ(receiveFileName("/dev/"), "port.TXT");
}

TEST(PortList, ReceiveFilesAreNeverAWindowsDevice) {
    // COM5.TXT would open the port itself on Windows.
    EXPECT_EQ(receiveFileName("COM5"), "COM5_.TXT");
    EXPECT_EQ(receiveFileName("\\\\.\\com9"), "com9_.TXT");
    EXPECT_EQ(receiveFileName("COM12"), "COM12.TXT");
    EXPECT_EQ(receiveFileName("/dev/nul.x"), "nul_.x.TXT");
    EXPECT_EQ(receiveFileName("LPT1"), "LPT1_.TXT");
    for (const char* plain : {"COM0", "COM", "CONSOLE", "LPT10", "AUXILIARY"})
        EXPECT_FALSE(isDosDeviceName(plain)) << plain;
    for (const char* device : {"con", "Prn", "AUX", "nul", "COM1", "lpt9"})
        EXPECT_TRUE(isDosDeviceName(device)) << device;
}

PortOutcome ended(PortState state, std::string message) {
    PortOutcome o;
    o.state = state;
    o.message = std::move(message);
    return o;
}

TEST(PortWorkers, APortThatFailsOrThrowsLeavesTheOthersAlone) {
    std::atomic<int> watched{0};
    std::vector<PortStatus> last;
    const auto rows = runOnPorts(
        {"a", "b", "c"},
        [](const std::string& port, PortReporter& reporter, ExchangeCancel&) {
            if (port == "b") throw std::runtime_error("no memory");
            if (port == "c") return ended(PortState::failed, "Time out!");
            // "a" outlives the others' ends.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            reporter.progress(40);
            reporter.count(81);
            PortOutcome o = ended(PortState::succeeded, "Downloaded completely!");
            o.bytes = 20000;
            return o;
        },
        [&](const std::vector<PortStatus>& board) {
            ++watched;
            last = board;
        },
        nullptr, 10);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].port, "a");
    EXPECT_EQ(rows[0].state, PortState::succeeded);
    EXPECT_EQ(rows[0].position, 40);
    EXPECT_EQ(rows[0].count, 81);
    EXPECT_EQ(rows[0].outcome.bytes, 20000u);
    EXPECT_GE(rows[0].seconds, 0.04);
    EXPECT_EQ(rows[1].state, PortState::failed);
    EXPECT_EQ(rows[1].outcome.message, "no memory");
    EXPECT_EQ(rows[2].outcome.message, "Time out!");
    EXPECT_LT(rows[2].seconds, rows[0].seconds);
    // The watcher saw the end.
    EXPECT_GE(watched.load(), 1);
    ASSERT_EQ(last.size(), 3u);
    EXPECT_EQ(last[0].state, PortState::succeeded);
}

TEST(PortWorkers, TheStopFlagCancelsEveryPortAtOnce) {
    std::atomic<bool> stop{false};
    auto waitForCancel = [](const std::string&, PortReporter&, ExchangeCancel& cancel) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!cancel.requested() && std::chrono::steady_clock::now() < give_up) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return cancel.requested() ? ended(PortState::cancelled, "Cancelled")
                                  : ended(PortState::failed, "never cancelled");
    };
    std::thread interrupt([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const auto rows = runOnPorts({"p1", "p2", "p3", "p4"}, waitForCancel, nullptr, &stop, 20);
    interrupt.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    for (const PortStatus& row : rows) EXPECT_EQ(row.outcome.message, "Cancelled") << row.port;

    // Asked for before the ports start: none of them runs on.
    const auto again = runOnPorts({"p1", "p2"}, waitForCancel, nullptr, &stop, 20);
    for (const PortStatus& row : again) EXPECT_EQ(row.state, PortState::cancelled) << row.port;
}

}  // namespace
}  // namespace fw
