#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comm/network_port.h"
#include "comm/telnet_com_port.h"

namespace fw {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace telnet;

TEST(NetworkPortName, SchemesHostsAndPorts) {
    auto tcp = parseNetworkPortName("TCP://cradles.example:4001");
    ASSERT_TRUE(tcp);
    EXPECT_FALSE(tcp->comPortOption);
    EXPECT_EQ(tcp->host, "cradles.example");
    EXPECT_EQ(tcp->port, 4001);
    auto v6 = parseNetworkPortName("rfc2217://[::1]:2217/");
    ASSERT_TRUE(v6);
    EXPECT_TRUE(v6->comPortOption);
    EXPECT_EQ(v6->host, "::1");
    for (const char* bad : {"rfc2217://host", "rfc2217://:2000", "rfc2217://h:0", "rfc2217://h:65536",
                            "rfc2217://h:20x", "tcp://::1:2000", "tcp://[::1]2000", "tcp://a b:1",
                            "COM12", "/dev/ttyUSB0"})
        EXPECT_FALSE(parseNetworkPortName(bad)) << bad;
    EXPECT_TRUE(isNetworkPortName("Rfc2217://nonsense"));
    EXPECT_FALSE(isNetworkPortName("\\\\.\\COM12"));
}

TEST(TelnetComPort, DataAndCommandsDoubleEveryIac) {
    Bytes out;
    TelnetComPort::encodeData(Bytes{0x02, 0xFF, 0x03}, out);
    EXPECT_EQ(out, (Bytes{0x02, 0xFF, 0xFF, 0x03}));

    TelnetComPort telnet;
    out.clear();
    telnet.command(ComPortCommand::setBaudRate, 115200, out);
    EXPECT_EQ(out, (Bytes{kIac, kSb, kComPort, 1, 0x00, 0x01, 0xC2, 0x00, kIac, kSe}));
    out.clear();
    telnet.command(ComPortCommand::setBaudRate, 0x00FF00FF, out);
    EXPECT_EQ(out, (Bytes{kIac, kSb, kComPort, 1, 0, 0xFF, 0xFF, 0, 0xFF, 0xFF, kIac, kSe}));
}

// What the server sends, in one piece or cut anywhere, gives the same bytes.
TEST(TelnetComPort, ReadsServerStreamCutAnywhere) {
    const Bytes stream = {
        'A', kIac, kIac, 'B',                                           // data with a 0xFF
        kIac, kDo, kComPort,                                            // already offered: no answer
        kIac, kDo, 24,                                                  // terminal type: refused
        kIac, kWill, 1,                                                 // echo: refused
        kIac, kSb, kComPort, 101, 0x00, 0x00, 0x25, 0x80, kIac, kSe,    // speed 9600 answered
        kIac, kSb, kComPort, 101 + 4, 1, kIac, kSe,                     // the modem lines' answer
        kIac, kSb, 24, 1, 2, 3, kIac, kSe,                              // not ours: skipped
        kIac, 241,                                                      // NOP
        'C'};
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        TelnetComPort telnet;
        Bytes start, data, out;
        telnet.start(start);
        telnet.received(std::span(stream).first(cut), data, out);
        telnet.received(std::span(stream).subspan(cut), data, out);
        EXPECT_EQ(data, (Bytes{'A', 0xFF, 'B', 'C'})) << cut;
        EXPECT_EQ(out, (Bytes{kIac, kWont, 24, kIac, kDont, 1})) << cut;
        EXPECT_TRUE(telnet.comPortAccepted());
        EXPECT_EQ(telnet.answer(ComPortCommand::setBaudRate), 9600u);
    }
}

TEST(TelnetComPort, RefusalsAndTextMode) {
    TelnetComPort telnet;
    Bytes start, data, out;
    telnet.start(start);
    // A server without the COM-port option, and one that will not send in
    // binary: CR NUL is a CR.
    telnet.received(Bytes{kIac, kDont, kComPort, kIac, kWont, kBinary, '\r', 0, 'x', '\r', '\n'}, data, out);
    EXPECT_TRUE(telnet.comPortRefused());
    EXPECT_FALSE(telnet.comPortAccepted());
    EXPECT_EQ(out, (Bytes{kIac, kWont, kComPort, kIac, kDont, kBinary}));
    EXPECT_EQ(data, (Bytes{'\r', 'x', '\r', '\n'}));
    // A runaway subnegotiation keeps no more than its limit and ends.
    Bytes longSub = {kIac, kSb, kComPort, 101};
    longSub.insert(longSub.end(), 10000, 7);
    longSub.insert(longSub.end(), {kIac, kSe, 'z'});
    data.clear();
    telnet.received(longSub, data, out);
    EXPECT_EQ(data, Bytes{'z'});
}

TEST(WireTime, WaitsForWhatIsStillOnTheLine) {
    WireTime wire;
    wire.sent(960, 9600, 1000);   // ten bits a byte: one second
    EXPECT_EQ(wire.idleAtMs(), 2000);
    wire.sent(1, 115200, 1500);   // queued behind the rest
    EXPECT_EQ(wire.idleAtMs(), 2000);
    for (int i = 0; i < 1000; ++i) wire.sent(1, 115200, 1500);  // fractions add up
    EXPECT_EQ(wire.idleAtMs(), 2000 + 86);
    wire.sent(10, 9600, 5000);    // an idle line starts from now
    EXPECT_EQ(wire.idleAtMs(), 5010);
}

// A clock the test sets, and a connection that keeps what the port sends
// and never answers.
struct SetClock final : LinkClock {
    int64_t now = 0;
    int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

struct RecordingSocket final : StreamSocket {
    Bytes* sent;
    SetClock* clock;
    RecordingSocket(Bytes* out, SetClock* c) : sent(out), clock(c) {}
    bool connect(const std::string&, uint16_t, int) override { return true; }
    bool send(std::span<const uint8_t> bytes) override {
        sent->insert(sent->end(), bytes.begin(), bytes.end());
        return true;
    }
    long receive(std::span<uint8_t>) override { return 0; }
    PortWait waitReadable(int timeoutMs) override {
        clock->now += timeoutMs;
        return PortWait::timedOut;
    }
    void wakeWaiter() override {}
    void close() override {}
};

// The purge before each block goes to the server only while what was sent
// before may still be in its queue.
TEST(NetworkSerialPort, PurgesTheServersQueueOnlyWhileItMayHoldSomething) {
    Bytes sent;
    SetClock clock;
    NetworkSerialPort port(std::make_unique<RecordingSocket>(&sent, &clock), clock);
    ASSERT_EQ(port.open("tcp://h:1"), PortOpen::opened);   // raw: no purge at all
    port.purgeOutput();
    EXPECT_TRUE(sent.empty());
    port.close();

    ASSERT_EQ(port.open("rfc2217://h:1"), PortOpen::opened);
    LineSettings line{};
    line.baudRate = 9600;
    ASSERT_TRUE(port.applyLine(line));
    const Bytes block(96, 'x');   // 100 ms at 9,600 bps
    const auto purges = [&] {
        int n = 0;
        for (std::size_t i = 0; i + 4 < sent.size(); ++i)
            n += sent[i] == kIac && sent[i + 1] == kSb && sent[i + 3] == uint8_t(ComPortCommand::purgeData);
        return n;
    };
    sent.clear();
    port.purgeOutput();            // nothing sent yet
    EXPECT_EQ(purges(), 0);
    ASSERT_TRUE(port.write(block));
    clock.now += 50;
    port.purgeOutput();            // half of it still on the line
    EXPECT_EQ(purges(), 1);
    clock.now += 60;
    port.purgeOutput();            // all gone
    EXPECT_EQ(purges(), 1);
}

}  // namespace
}  // namespace fw
