// The cradle negotiation, the port list rules and openLink, against a fake
// port on a fake clock: every wait is checked in milliseconds, none is slept.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comm/cradle.h"
#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "comm/transfer_session.h"
#include "tests/support/cradle_model.h"

namespace fw {
namespace {

using test::CradleModel;

class FakeClock final : public LinkClock {
public:
    int64_t now = 0;
    int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

// What sits on the far side of a fake port, and how the port behaves.
struct FarEnd {
    PortOpen openResult = PortOpen::opened;
    uint32_t cradleBaud = 0;   // 0: no cradle
    // Replaces the cradle: the bytes answered to one byte sent.
    std::function<std::vector<uint8_t>(uint8_t, uint32_t)> responder;
    int latencyMs = 0;         // from a byte sent to its answer arriving
    uint32_t driverBaud = 9600;
    bool refuseQueues = false;
    uint32_t refuseBaud = 0;   // applyLine at this speed fails
};

// Everything the ports did, one line each, stamped with the fake time.
struct Journal {
    FakeClock clock;
    std::vector<std::string> lines;
    void note(const std::string& what) {
        lines.push_back("t=" + std::to_string(clock.now) + " " + what);
    }
};

std::string hexByte(uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", unsigned(b));
    return text;
}

class FakePort final : public SerialPort {
public:
    FakePort(Journal& journal, std::map<std::string, FarEnd>& ends, int& openPorts)
        : journal_(journal), ends_(ends), openPorts_(openPorts) {}
    ~FakePort() override { close(); }

    PortOpen open(const std::string& name) override {
        journal_.note("open " + name);
        auto it = ends_.find(name);
        if (it == ends_.end()) return PortOpen::deviceFailed;
        end_ = &it->second;
        if (end_->openResult != PortOpen::opened) return end_->openResult;
        if (end_->cradleBaud != 0) cradle = std::make_unique<CradleModel>(end_->cradleBaud);
        line = LineSettings{end_->driverBaud, false, false};
        open_ = true;
        ++openPorts_;
        EXPECT_EQ(openPorts_, 1) << "a port opened while another one is still open";
        return PortOpen::opened;
    }
    bool isOpen() const override { return open_; }
    void close() override {
        if (!open_) return;
        open_ = false;
        --openPorts_;
        journal_.note("close");
    }
    bool setQueueSizes(std::size_t input, std::size_t output) override {
        journal_.note("queues " + std::to_string(input) + "/" + std::to_string(output));
        return !end_->refuseQueues;
    }
    bool setTimeouts(const SerialTimeouts& t) override {
        timeouts = t;
        return true;
    }
    bool lineSettings(LineSettings& l) override {
        l = line;
        return true;
    }
    bool applyLine(const LineSettings& l) override {
        if (l.baudRate == end_->refuseBaud) return false;
        line = l;
        journal_.note("line " + std::to_string(l.baudRate) + (l.dtr ? " DTR on" : " DTR off") +
                      (l.rts ? " RTS on" : " RTS off"));
        return true;
    }
    bool write(std::span<const uint8_t> bytes) override {
        std::string text = "write";
        for (uint8_t b : bytes) {
            text += " " + hexByte(b);
            writes.push_back({b, line});
            std::vector<uint8_t> answer;
            if (end_->responder) {
                answer = end_->responder(b, line.baudRate);
            } else if (cradle) {
                answer = cradle->receive(b, line.baudRate);
            }
            for (uint8_t a : answer) inbound_.push_back({journal_.clock.now + end_->latencyMs, a});
        }
        journal_.note(text);
        return true;
    }
    long read(std::span<uint8_t> buffer) override {
        std::size_t n = 0;
        while (n < buffer.size() && !inbound_.empty() && inbound_.front().at <= journal_.clock.now) {
            buffer[n++] = inbound_.front().byte;
            inbound_.pop_front();
        }
        return long(n);
    }
    PortWait waitReadable(int timeoutMs) override {
        int64_t until = journal_.clock.now + timeoutMs;
        if (!inbound_.empty()) until = std::min(until, std::max(inbound_.front().at, journal_.clock.now));
        journal_.clock.now = until;
        bool ready = !inbound_.empty() && inbound_.front().at <= until;
        return ready ? PortWait::readable : PortWait::timedOut;
    }
    void wakeWaiter() override {}
    void purgeInput() override {
        journal_.note("purge");
        while (!inbound_.empty() && inbound_.front().at <= journal_.clock.now) inbound_.pop_front();
    }
    void purgeOutput() override {}

    struct Written {
        uint8_t byte;
        LineSettings line;
    };
    std::unique_ptr<CradleModel> cradle;
    LineSettings line;
    SerialTimeouts timeouts;
    std::vector<Written> writes;

private:
    struct Arrival {
        int64_t at;
        uint8_t byte;
    };
    Journal& journal_;
    std::map<std::string, FarEnd>& ends_;
    int& openPorts_;
    FarEnd* end_ = nullptr;
    bool open_ = false;
    std::deque<Arrival> inbound_;
};

class FakeSystem final : public SerialSystem {
public:
    struct Entry {
        std::string portName;
        std::string valueName;
    };
    std::vector<Entry> list;
    std::map<std::string, FarEnd> ends;
    Journal journal;
    std::vector<FakePort*> made;
    int openPorts = 0;

    FakeSystem& add(std::string portName, std::string valueName, FarEnd end = {}) {
        ends[portName] = end;
        list.push_back({std::move(portName), std::move(valueName)});
        return *this;
    }
    int enumSerialPort(int index, SerialPortInfo& info) override {
        if (index < 0 || std::size_t(index) >= list.size()) return kPortNone;
        const Entry& e = list[std::size_t(index)];
        info = SerialPortInfo{e.portName, e.valueName, portKind(e.valueName)};
        return info.kind;
    }
    std::unique_ptr<SerialPort> newPort() override {
        auto port = std::make_unique<FakePort>(journal, ends, openPorts);
        made.push_back(port.get());
        return port;
    }
};

// A single port with a cradle (or without: cradleBaud 0), opened and ready.
struct Bench {
    FakeSystem system;
    std::unique_ptr<SerialPort> port;

    explicit Bench(FarEnd end) {
        system.add("COM1", "\\Device\\Serial0", end);
        port = system.newPort();
        EXPECT_EQ(port->open("COM1"), PortOpen::opened);
        system.journal.lines.clear();
    }
    FakePort& fake() { return *system.made.front(); }
    int64_t now() const { return system.journal.clock.now; }
    CradleOutcome run(CradleMachine machine) {
        return runCradle(machine, *port, system.journal.clock);
    }
    // The line speeds at which the echo test went out, in order.
    std::vector<uint32_t> echoSpeeds() {
        std::vector<uint32_t> speeds;
        for (const auto& w : fake().writes) {
            if (w.byte == kCradleEcho) speeds.push_back(w.line.baudRate);
        }
        return speeds;
    }
};

FarEnd cradleAt(uint32_t baud) {
    FarEnd end;
    end.cradleBaud = baud;
    return end;
}

TEST(CradleSetup, CradleAtNineSixHundredIsSwitchedWithTheSlowDelays) {
    Bench bench(cradleAt(9600));
    CradleOutcome out = bench.run(CradleMachine::configure(115200));

    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.baudRate, 115200u);
    const std::vector<std::string> expected = {
        "t=0 line 38400 DTR on RTS on",
        // probe at 9600 with d = 200
        "t=200 line 9600 DTR on RTS off",
        "t=400 purge",
        "t=400 write 0F",
        "t=600 line 9600 DTR on RTS on",
        // found at 9600: d is 200 again for the switch
        "t=800 line 9600 DTR on RTS off",
        "t=1000 write 07",
        "t=1200 write 36",
        "t=1400 write 51",
        "t=1600 line 115200 DTR on RTS on",
    };
    EXPECT_EQ(bench.system.journal.lines, expected);
    EXPECT_EQ(bench.now(), 1800);
    EXPECT_EQ(bench.fake().cradle->baud(), 115200u);
}

TEST(CradleSetup, ProbesInOrderAndSwitchesAtTheSpeedFound) {
    // A cradle at 57600 answers the fourth probe; the switch to 19200 is
    // spoken at 57600 with RTS off, with the fast 100 ms delays.
    Bench bench(cradleAt(57600));
    CradleOutcome out = bench.run(CradleMachine::configure(19200));

    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.baudRate, 19200u);
    EXPECT_EQ(bench.echoSpeeds(), (std::vector<uint32_t>{9600, 115200, 38400, 57600}));

    const auto& writes = bench.fake().writes;
    ASSERT_EQ(writes.size(), 7u);
    const uint8_t switchBytes[] = {0x07, '3', 'Q'};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(writes[4 + i].byte, switchBytes[i]);
        EXPECT_EQ(writes[4 + i].line.baudRate, 57600u);
        EXPECT_FALSE(writes[4 + i].line.rts);
    }
    EXPECT_EQ(bench.fake().line.baudRate, 19200u);
    EXPECT_TRUE(bench.fake().line.rts);
    EXPECT_TRUE(bench.fake().line.dtr);
    EXPECT_EQ(bench.fake().cradle->baud(), 19200u);
    // 200 start; 9600 probe at d 200 (700 with its read window); two misses
    // at d 100 (400 each); the hit at 57600 (300, its echo is there at once);
    // the switch at d 100 (500).
    EXPECT_EQ(bench.now(), 200 + 700 + 400 + 400 + 300 + 500);
}

TEST(CradleSetup, EachChoiceSendsItsSpeedByte) {
    const char expectedByte[] = {'6', '5', '4', '3', '2'};
    for (int choice = 0; choice < 5; ++choice) {
        Bench bench(cradleAt(38400));
        CradleOutcome out = bench.run(CradleMachine::configure(baudForChoice(choice)));
        ASSERT_TRUE(out.success) << choice;
        const auto& writes = bench.fake().writes;
        auto setSpeed = std::find_if(writes.begin(), writes.end(),
                                     [](const auto& w) { return w.byte == kCradleSetSpeed; });
        ASSERT_NE(setSpeed, writes.end());
        ASSERT_LT(setSpeed + 1, writes.end());
        EXPECT_EQ((setSpeed + 1)->byte, uint8_t(expectedByte[choice])) << choice;
        EXPECT_EQ(bench.fake().line.baudRate, kSpeedChoices[choice]);
        EXPECT_EQ(bench.fake().cradle->baud(), kSpeedChoices[choice]);
    }
}

TEST(CradleSetup, NoAnswerAtAnySpeedFailsAfterAllFive) {
    Bench bench(FarEnd{});
    CradleOutcome out = bench.run(CradleMachine::configure(115200));

    EXPECT_FALSE(out.success);
    EXPECT_EQ(bench.echoSpeeds(), (std::vector<uint32_t>{9600, 115200, 38400, 57600, 19200}));
    EXPECT_EQ(bench.fake().writes.size(), 5u);   // never a switch command
    EXPECT_EQ(bench.now(), 200 + 700 + 4 * 400);
    EXPECT_TRUE(bench.fake().line.rts);         // every probe gives RTS back
}

TEST(CradleSetup, OnlyAnEchoAsFirstByteIsAnAnswer) {
    // Something that answers every byte with junk is no cradle.
    FarEnd junk;
    junk.responder = [](uint8_t, uint32_t) { return std::vector<uint8_t>{0x55}; };
    Bench junkBench(junk);
    EXPECT_FALSE(junkBench.run(CradleMachine::configure(115200)).success);

    // The first byte decides: junk before the echo is no answer either.
    FarEnd late;
    late.responder = [](uint8_t b, uint32_t) {
        return b == 0x0F ? std::vector<uint8_t>{0x00, 0x0F} : std::vector<uint8_t>{};
    };
    Bench lateBench(late);
    EXPECT_FALSE(lateBench.run(CradleMachine::configure(115200)).success);
}

TEST(CradleSetup, EchoLateInsideTheWindowCountsAndStaleEchoesDoNot) {
    // The echo comes 60 ms after the 200 ms delay, inside the read window.
    FarEnd slow = cradleAt(9600);
    slow.latencyMs = 260;
    Bench slowBench(slow);
    CradleOutcome out = slowBench.run(CradleMachine::configure(57600));
    EXPECT_TRUE(out.success);
    EXPECT_EQ(slowBench.echoSpeeds(), (std::vector<uint32_t>{9600}));

    // An echo after the window misses its probe, and must not pass for the
    // answer of the next probe at another speed.
    FarEnd tooSlow = cradleAt(9600);
    tooSlow.latencyMs = 350;
    Bench tooSlowBench(tooSlow);
    EXPECT_FALSE(tooSlowBench.run(CradleMachine::configure(57600)).success);
}

TEST(CradleSetup, ChoiceTheCradleDoesNotKnowLeavesItWhereItWas) {
    Bench bench(cradleAt(19200));
    CradleOutcome out = bench.run(CradleMachine::configure(0));
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.baudRate, 19200u);
    EXPECT_EQ(bench.fake().writes.size(), 5u);   // echo tests only
    EXPECT_EQ(bench.fake().line.baudRate, 19200u);
}

TEST(CradleSetup, RefusedLineEndsWithFailure) {
    FarEnd end = cradleAt(38400);
    end.refuseBaud = 115200;
    Bench bench(end);
    EXPECT_FALSE(bench.run(CradleMachine::configure(9600)).success);
    EXPECT_EQ(bench.echoSpeeds(), (std::vector<uint32_t>{9600}));
}

TEST(CradleSetup, LoaderTimingSendsTheSwitchBackToBack) {
    Bench bench(cradleAt(115200));
    CradleOutcome out = bench.run(CradleMachine::configure(9600, kLoaderCradleTiming));
    EXPECT_TRUE(out.success);
    const auto& lines = bench.system.journal.lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "t=900 write 07 32 51"), lines.end());
    EXPECT_EQ(bench.fake().cradle->baud(), 9600u);
}

TEST(CradleMachine, IgnoresEventsOutOfTurn) {
    CradleMachine m = CradleMachine::configure(115200);
    const uint8_t echo[] = {kCradleEcho};
    EXPECT_TRUE(m.timerExpired().empty());
    EXPECT_TRUE(m.received(echo).empty());
    CradleActions first = m.start();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back().kind, CradleAction::Kind::armTimer);
    EXPECT_TRUE(m.start().empty());
    // An echo while waiting (not reading) is not an answer yet.
    EXPECT_TRUE(m.received(echo).empty());
    CradleActions failed = m.portFailed();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].kind, CradleAction::Kind::end);
    EXPECT_EQ(failed[0].value, 0);
    EXPECT_TRUE(m.finished());
    EXPECT_TRUE(m.timerExpired().empty());
    EXPECT_TRUE(m.portFailed().empty());
}

TEST(CradleSearch, ProbesWithAFixedDelayAndSwitchesNothing) {
    Bench bench(cradleAt(9600));
    CradleOutcome out = bench.run(CradleMachine::search());
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.baudRate, 9600u);
    const std::vector<std::string> expected = {
        "t=0 line 38400 DTR on RTS on",
        "t=0 line 9600 DTR on RTS off",
        "t=100 purge",
        "t=100 write 0F",
        "t=200 line 9600 DTR on RTS on",
    };
    EXPECT_EQ(bench.system.journal.lines, expected);
    EXPECT_EQ(bench.now(), 300);
    EXPECT_EQ(bench.fake().cradle->baud(), 9600u);
}

TEST(PortKind, TakesTheLastComponentsFirstTwoLetters) {
    EXPECT_EQ(portKind("\\Device\\Serial0"), kPortSerial);
    EXPECT_EQ(portKind("\\Device\\serial1"), kPortSerial);
    EXPECT_EQ(portKind("\\Device\\BthModem0"), kPortBluetooth);
    EXPECT_EQ(portKind("\\Device\\btport3"), kPortBluetooth);
    EXPECT_EQ(portKind("\\Device\\VCP0"), kPortVirtual);
    EXPECT_EQ(portKind("\\Serial\\VCP0"), kPortVirtual);
    EXPECT_EQ(portKind("\\Device\\S"), kPortVirtual);
    EXPECT_EQ(portKind("\\Device\\"), kPortVirtual);
    EXPECT_EQ(portKind("Serial0"), kPortUnnamed);
    EXPECT_EQ(portKind(""), kPortUnnamed);

    EXPECT_EQ(portListEntry({"COM3", "\\Device\\Serial2", kPortSerial}), "COM3 - Serial port");
    EXPECT_EQ(portListEntry({"COM9", "\\Device\\BthModem1", kPortBluetooth}),
              "COM9 - Bluetooth port");
    EXPECT_EQ(portListEntry({"COM4", "\\Device\\VCP0", kPortVirtual}), "COM4 - Virtual port");
    EXPECT_EQ(portListEntry({"COM5", "Serial5", kPortUnnamed}), "COM5");
}

class OpenLinkTest : public ::testing::Test {
protected:
    FakeSystem system;
    std::unique_ptr<SerialPort> port;

    int open(int linkType, int index, int choice) {
        return openLink(linkType, index, choice, system, port, system.journal.clock);
    }
    FakePort& fake() { return *system.made.back(); }
};

TEST_F(OpenLinkTest, MissingOrUnopenablePortsGiveTheirTexts) {
    system.add("COM1", "\\Device\\Serial0");
    FarEnd busy;
    busy.openResult = PortOpen::deviceFailed;
    system.add("COM2", "\\Device\\Serial1", busy);
    FarEnd noEvent;
    noEvent.openResult = PortOpen::eventFailed;
    system.add("COM3", "\\Device\\Serial2", noEvent);
    FarEnd noQueues;
    noQueues.refuseQueues = true;
    system.add("COM4", "\\Device\\Serial3", noQueues);

    EXPECT_EQ(open(kLinkOther, 4, 0), kNoComPortDevice);
    EXPECT_EQ(open(kLinkOther, -1, 0), kNoComPortDevice);
    EXPECT_TRUE(system.made.empty());   // nothing opened for a missing entry
    EXPECT_EQ(open(kLinkCradleIr, 1, 0), kCannotOpenComPort);
    EXPECT_EQ(open(kLinkCradleIr, 2, 0), kFailedToOpenComPort);
    EXPECT_TRUE(fake().writes.empty());
    // A driver that keeps its own queue sizes still serves a transfer.
    EXPECT_EQ(open(kLinkOther, 3, 0), kLinkOpened);
    EXPECT_EQ(fake().line.baudRate, 115200u);
}

TEST_F(OpenLinkTest, IrdaAndOtherLinksAreSetUpWithoutProbing) {
    system.add("COM1", "\\Device\\Serial0", cradleAt(9600));
    for (int link : {kLinkIrda, kLinkOther}) {
        port.reset();
        system.journal.clock.now = 0;
        ASSERT_EQ(open(link, 0, 1), kLinkOpened);
        EXPECT_TRUE(fake().writes.empty());
        EXPECT_EQ(system.journal.clock.now, 0);
        EXPECT_EQ(fake().line.baudRate, 57600u);
        EXPECT_TRUE(fake().line.dtr);
        EXPECT_TRUE(fake().line.rts);
        EXPECT_EQ(fake().timeouts.readInterval, 0xFFFFFFFFu);
        EXPECT_EQ(fake().timeouts.readTotalMultiplier, 0u);
        EXPECT_EQ(fake().timeouts.readTotalConstant, 0u);
        EXPECT_EQ(fake().timeouts.writeTotalMultiplier, 5u);
        EXPECT_EQ(fake().timeouts.writeTotalConstant, 50u);
    }
    EXPECT_NE(std::find(system.journal.lines.begin(), system.journal.lines.end(), "t=0 queues 1024/1024"),
              system.journal.lines.end());
}

TEST_F(OpenLinkTest, SpeedChoiceOutsideTheListKeepsThePortsRate) {
    FarEnd end;
    end.driverBaud = 4800;
    system.add("COM1", "\\Device\\Serial0", end);
    ASSERT_EQ(open(kLinkOther, 0, 5), kLinkOpened);
    EXPECT_EQ(fake().line.baudRate, 4800u);
    EXPECT_TRUE(fake().line.rts);
}

TEST_F(OpenLinkTest, CradleIrFindsTheCradleOrFails) {
    system.add("COM1", "\\Device\\Serial0", cradleAt(57600));
    system.add("COM2", "\\Device\\Serial1");
    ASSERT_EQ(open(kLinkCradleIr, 0, 2), kLinkOpened);
    EXPECT_EQ(fake().cradle->baud(), 38400u);
    EXPECT_EQ(fake().line.baudRate, 38400u);
    EXPECT_TRUE(fake().line.rts);

    port.reset();
    EXPECT_EQ(open(kLinkCradleIr, 1, 2), kCannotConfigureIr);
    // The failed port stays with the caller, who releases it.
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->isOpen());
}

TEST_F(OpenLinkTest, RefusedLineSettingsGiveFailedToOpen) {
    FarEnd end;
    end.refuseBaud = 19200;
    system.add("COM1", "\\Device\\Serial0", end);
    EXPECT_EQ(open(kLinkIrda, 0, 3), kFailedToOpenComPort);
}

TEST_F(OpenLinkTest, CancelDuringTheCradleSetUpSendsNothingMore) {
    // The user closes the progress dialog while the second speed is probed.
    TransferCancel cancel;
    FarEnd end;
    end.responder = [&cancel](uint8_t b, uint32_t baud) {
        if (b == kCradleEcho && baud == 115200) cancel.request();
        return std::vector<uint8_t>{};
    };
    system.add("COM1", "\\Device\\Serial0", end);
    ProgramModel model;
    EXPECT_EQ(runProgramDownload(system, LinkChoice{kLinkCradleIr, 0, 0}, model, nullptr, &cancel,
                                 system.journal.clock),
              kTransferCancelled);
    // The session has closed and freed the port; its journal remains.
    std::vector<std::string> writes;
    for (const std::string& line : system.journal.lines) {
        if (line.find(" write ") != std::string::npos) writes.push_back(line.substr(line.find(" write ")));
    }
    EXPECT_EQ(writes, (std::vector<std::string>{" write 0F", " write 0F"}));   // no "QUARIX\r"
    EXPECT_LT(system.journal.clock.now, 1500);   // a full search takes 2.6 s
    EXPECT_EQ(system.journal.lines.back().substr(system.journal.lines.back().find(' ') + 1), "close");
    EXPECT_EQ(system.openPorts, 0);
}

TEST(FindCradlePort, SkipsBluetoothAndBusyPortsAndClosesEachPortTried) {
    FakeSystem system;
    FarEnd busy;
    busy.openResult = PortOpen::deviceFailed;
    system.add("COM1", "\\Device\\BtModem0", cradleAt(9600))
        .add("COM2", "\\Device\\Serial1", busy)
        .add("COM3", "\\Device\\VCP0")
        .add("COM4", "\\Device\\bthenum7", cradleAt(9600))
        .add("COM5", "\\Device\\Serial4", cradleAt(38400))
        .add("COM6", "\\Device\\Serial5", cradleAt(9600));

    std::string name = "unchanged";
    EXPECT_EQ(findCradlePort(system, name, system.journal.clock), 4);
    EXPECT_EQ(name, "COM5");

    std::vector<std::string> opened;
    for (const std::string& line : system.journal.lines) {
        auto at = line.find(" open ");
        if (at != std::string::npos) opened.push_back(line.substr(at + 6));
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"COM2", "COM3", "COM5"}));
    EXPECT_EQ(system.openPorts, 0);
    EXPECT_EQ(system.journal.lines.back().substr(system.journal.lines.back().find(' ') + 1), "close");
}

TEST(FindCradlePort, NoCradleAnywhereGivesMinusOne) {
    FakeSystem system;
    system.add("COM1", "\\Device\\Serial0").add("COM2", "Serial1");
    std::string name = "unchanged";
    EXPECT_EQ(findCradlePort(system, name, system.journal.clock), -1);
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(system.openPorts, 0);
    // Each port: five probes of 400 ms at the fixed 100 ms delay.
    EXPECT_EQ(system.journal.clock.now, 2 * 5 * 400);
}

}  // namespace
}  // namespace fw
