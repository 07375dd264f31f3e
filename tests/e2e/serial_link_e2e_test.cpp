// The serial link with the termios driver, in real time, against fake
// cradles on pseudo-terminals: the whole negotiation as the cradle sees it.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm/cradle.h"
#include "comm/posix/serial_port_posix.h"
#include "comm/serial_link.h"
#include "tests/support/fake_cradle.h"

namespace fw {
namespace {

using test::FakeCradle;

SerialPortInfo serialEntry(const FakeCradle& cradle) {
    return SerialPortInfo{cradle.path(), "\\Device\\Serial0", kPortSerial};
}

// Waits for one byte for up to timeoutMs; -1 when none came.
int readByte(SerialPort& port, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        uint8_t b = 0;
        if (port.read(std::span<uint8_t>(&b, 1)) == 1) return b;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return -1;
        port.waitReadable(int(left.count()));
    }
}

TEST(FakeCradleOnPty, SeesTheSlavesSpeedAndEchoesOnlyAtItsOwn) {
    FakeCradle cradle(57600);
    ASSERT_TRUE(cradle.ok());
    PosixSerialPort port;
    ASSERT_EQ(port.open(cradle.path()), PortOpen::opened);
    const uint8_t echo[] = {kCradleEcho};
    for (uint32_t baud : kSpeedChoices) {
        ASSERT_TRUE(port.applyLine(LineSettings{baud, true, false}));
        EXPECT_EQ(cradle.lineBaud(), baud);
        port.purgeInput();
        ASSERT_TRUE(port.write(echo));
        int answer = readByte(port, baud == 57600 ? 1000 : 150);
        EXPECT_EQ(answer, baud == 57600 ? 0x0F : -1) << baud;
    }
}

TEST(PosixSerialPort, OpensExclusivelyAndWakesAWaiter) {
    FakeCradle cradle(0);
    ASSERT_TRUE(cradle.ok());
    PosixSerialPort first;
    ASSERT_EQ(first.open(cradle.path()), PortOpen::opened);
    PosixSerialPort second;
    EXPECT_EQ(second.open(cradle.path()), PortOpen::deviceFailed);
    EXPECT_EQ(second.open("/dev/no-such-port"), PortOpen::deviceFailed);

    auto waiting = std::async(std::launch::async, [&first] { return first.waitReadable(-1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    first.wakeWaiter();
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(waiting.get(), PortWait::woken);
    EXPECT_EQ(first.waitReadable(20), PortWait::timedOut);

    first.close();
    EXPECT_EQ(second.open(cradle.path()), PortOpen::opened);
}

// The cradle found at each of the five speeds and switched to another one.
class CradleAtEachSpeed : public ::testing::TestWithParam<int> {};

TEST_P(CradleAtEachSpeed, IsFoundAndSwitchedToTheChosenSpeed) {
    const uint32_t start = kSpeedChoices[GetParam()];
    const int choice = (GetParam() + 2) % 5;
    const uint32_t chosen = kSpeedChoices[choice];
    FakeCradle cradle(start);
    ASSERT_TRUE(cradle.ok());
    PosixSerialSystem system({serialEntry(cradle)});
    std::unique_ptr<SerialPort> port;

    ASSERT_EQ(openLink(kLinkCradleIr, 0, choice, system, port), kLinkOpened);
    EXPECT_EQ(cradle.baud(), chosen);
    EXPECT_EQ(cradle.switches(), std::vector<uint32_t>{chosen});
    EXPECT_EQ(cradle.lineBaud(), chosen);
    LineSettings line;
    ASSERT_TRUE(port->lineSettings(line));
    EXPECT_EQ(line.baudRate, chosen);
    EXPECT_TRUE(line.rts);
    EXPECT_TRUE(line.dtr);
}

INSTANTIATE_TEST_SUITE_P(SerialLinkE2e, CradleAtEachSpeed, ::testing::Range(0, 5),
                         [](const auto& info) {
                             return "at" + std::to_string(kSpeedChoices[info.param]);
                         });

TEST(SerialLinkE2e, NoCradleIsProbedAtAllFiveSpeedsAndFails) {
    FakeCradle nothing(0);
    ASSERT_TRUE(nothing.ok());
    PosixSerialSystem system({serialEntry(nothing)});
    std::unique_ptr<SerialPort> port;

    EXPECT_EQ(openLink(kLinkCradleIr, 0, 0, system, port), kCannotConfigureIr);
    std::vector<uint32_t> echoSpeeds;
    for (const auto& s : nothing.seen()) {
        if (s.byte == kCradleEcho) echoSpeeds.push_back(s.lineBaud);
    }
    EXPECT_EQ(echoSpeeds, (std::vector<uint32_t>{9600, 115200, 38400, 57600, 19200}));
    EXPECT_EQ(nothing.seen().size(), 5u);
}

TEST(SerialLinkE2e, EchoArrivingAfterTheDelayIsStillTaken) {
    // At 38400 the delay is 100 ms; this echo comes 20 ms into the 100 ms
    // read window, a read that returned at once would have missed it, and a
    // busy machine still has 80 ms to deliver it.
    FakeCradle slow(38400, 120);
    ASSERT_TRUE(slow.ok());
    PosixSerialSystem system({serialEntry(slow)});
    std::unique_ptr<SerialPort> port;

    ASSERT_EQ(openLink(kLinkCradleIr, 0, 4, system, port), kLinkOpened);
    EXPECT_EQ(slow.baud(), 9600u);
}

TEST(SerialLinkE2e, OtherLinksSetTheLineWithoutTalkingToTheCradle) {
    FakeCradle cradle(9600);
    ASSERT_TRUE(cradle.ok());
    PosixSerialSystem system({serialEntry(cradle)});

    std::unique_ptr<SerialPort> port;
    ASSERT_EQ(openLink(kLinkIrda, 0, 1, system, port), kLinkOpened);
    EXPECT_EQ(cradle.lineBaud(), 57600u);
    EXPECT_TRUE(cradle.seen().empty());

    // Held by the first transfer: a second one cannot open it.
    std::unique_ptr<SerialPort> other;
    EXPECT_EQ(openLink(kLinkOther, 0, 0, system, other), kCannotOpenComPort);
    EXPECT_EQ(openLink(kLinkOther, 1, 0, system, other), kNoComPortDevice);
}

TEST(SerialLinkE2e, FindCradlePortNeverOpensBluetoothAndTakesTheFirstAnswer) {
    FakeCradle behindBluetooth(9600);
    FakeCradle nothing(0);
    FakeCradle cradle(115200);
    ASSERT_TRUE(behindBluetooth.ok() && nothing.ok() && cradle.ok());
    PosixSerialSystem system({
        {behindBluetooth.path(), "\\Device\\BthModem0", kPortBluetooth},
        serialEntry(nothing),
        {cradle.path(), "\\Device\\VCP0", kPortVirtual},
    });

    std::string name;
    EXPECT_EQ(findCradlePort(system, name), 2);
    EXPECT_EQ(name, cradle.path());
    EXPECT_TRUE(behindBluetooth.seen().empty());
    EXPECT_EQ(nothing.seen().size(), 5u);
    EXPECT_EQ(cradle.baud(), 115200u);   // found, not switched
    // Closed after the search: the port opens again.
    PosixSerialPort again;
    EXPECT_EQ(again.open(cradle.path()), PortOpen::opened);
}

}  // namespace
}  // namespace fw
