// The downloader's exchange: the engine driven by hand, the runner on a fake
// port and a fake clock, and a whole run from the port's opening on, with an
// infrared cradle in front of the terminal.

#include "loader/loader_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comm/cradle.h"
#include "loader/loader_session.h"
#include "model/program_file.h"
#include "tests/support/cradle_model.h"

namespace fw::loader {
namespace {

std::vector<uint8_t> fileOf(uint8_t fill) {
    std::vector<uint8_t> bytes(kProgramFileSize, fill);
    std::memcpy(bytes.data(), "K400-1.00", 10);
    return bytes;
}

// The program as the downloader has it when its exchange is made.
LoaderProgram preparedOf(std::vector<uint8_t> file) {
    LoaderProgram program(std::move(file));
    program.prepare();
    return program;
}

std::span<const uint8_t> text(const char* s) {
    return {reinterpret_cast<const uint8_t*>(s), std::strlen(s)};
}

std::string sent(const Action& a) { return std::string(a.bytes.begin(), a.bytes.end()); }

// The kinds of a batch, one letter each, for compact expectations:
// T time-outs, S send, O open progress, P progress, C close progress,
// M message, R retry question, U purge, E end. The reply window armed after
// each send is left out (the runner's tests time it).
std::string kinds(const Actions& batch) {
    std::string s;
    for (const Action& a : batch) {
        switch (a.kind) {
        case Action::Kind::setTimeouts: s += 'T'; break;
        case Action::Kind::send: s += 'S'; break;
        case Action::Kind::openProgress: s += 'O'; break;
        case Action::Kind::progress: s += 'P'; break;
        case Action::Kind::closeProgress: s += 'C'; break;
        case Action::Kind::message: s += 'M'; break;
        case Action::Kind::askRetry: s += 'R'; break;
        case Action::Kind::purgeInput: s += 'U'; break;
        case Action::Kind::end: s += 'E'; break;
        case Action::Kind::armTimer: break;
        default: s += '?'; break;
        }
    }
    return s;
}

// The message a batch shows.
Message messageIn(const Actions& batch) {
    for (const Action& a : batch) {
        if (a.kind == Action::Kind::message) return messageOf(a);
    }
    ADD_FAILURE() << "no message in the batch";
    return Message::downloadedCompletely;
}

// ------------------------------------------------------------ the engine

struct LoaderEngine : ::testing::Test {
    LoaderProgram program = preparedOf(fileOf(0x31));
    LoaderExchange exchange{program.image()};
};

TEST_F(LoaderEngine, HandshakeThen200BlocksWithTheBarAndTheSuccessMessage) {
    Actions a = exchange.start();
    ASSERT_EQ(kinds(a), "TS");
    EXPECT_EQ(sent(a[1]), "VELMOR\r");

    a = exchange.received(text("ACK\r"));
    ASSERT_EQ(kinds(a), "OS");
    std::vector<int> bar;
    for (int k = 0; k < kImageBlockCount; ++k) {
        ASSERT_EQ(a.back().kind, Action::Kind::armTimer);
        EXPECT_EQ(a.back().value, kReplyWindowMs);
        const Action& block = a[a.size() - 2];
        ASSERT_EQ(block.bytes.size(), 103u) << k;
        EXPECT_EQ(0, std::memcmp(block.bytes.data(), program.image().bytes + 100 * k, 100)) << k;
        unsigned sum = 0;
        for (int i = 0; i < 100; ++i) sum += block.bytes[std::size_t(i)];
        EXPECT_EQ(block.bytes[100], sum >> 8) << k;
        EXPECT_EQ(block.bytes[101], sum & 0xFF) << k;
        EXPECT_EQ(block.bytes[102], k) << k;
        a = exchange.received(text("ACK\r"));
        ASSERT_EQ(a.front().kind, Action::Kind::progress);
        bar.push_back(a.front().value);
    }
    EXPECT_EQ(kinds(a), "PCMUE");
    EXPECT_EQ(messageIn(a), Message::downloadedCompletely);
    EXPECT_EQ(a.back().value, 1);
    EXPECT_TRUE(exchange.finished());
    EXPECT_TRUE(exchange.downloaded());
    EXPECT_EQ((std::vector<int>{bar[0], bar[1], bar[2], bar[3], bar[4]}),
              (std::vector<int>{5, 6, 6, 7, 7}));
    EXPECT_EQ(bar.back(), 100);
    EXPECT_EQ(*std::max_element(bar.begin(), bar.end()), 100);
}

TEST_F(LoaderEngine, AnAckWithoutCrCountsOnlyOnceTheWindowHasEnded) {
    exchange.start();
    EXPECT_TRUE(exchange.received(text("AC")).empty());
    EXPECT_TRUE(exchange.received(text("K")).empty());
    EXPECT_EQ(kinds(exchange.timerExpired()), "OS");
}

TEST_F(LoaderEngine, OnlyExactlyAckIsAccepted) {
    // Each of these ends its reply and is a miss: another handshake goes.
    for (const char* reply : {"NAK\r", "ack\r", "xACK\r", "ACK \r", "FULL\r"}) {
        LoaderProgram p = preparedOf(fileOf(0));
        LoaderExchange e(p.image());
        e.start();
        Actions a = e.received(text(reply));
        EXPECT_EQ(kinds(a), "S") << reply;
    }
    // Silence too, and an empty reply.
    exchange.start();
    EXPECT_EQ(kinds(exchange.timerExpired()), "S");
    EXPECT_EQ(kinds(exchange.received(text("\r"))), "S");
}

TEST_F(LoaderEngine, RepliesAreReadThreeBytesAtATimeUpToTen) {
    exchange.start();
    // "ACK" then "\rZZ": the second read does not end with CR, so the reply
    // goes on and "ACK\rZZ" is no acceptance.
    EXPECT_TRUE(exchange.received(text("ACK\rZZ")).empty());
    EXPECT_EQ(kinds(exchange.timerExpired()), "S");

    // Twelve bytes without CR end the reply at once (four reads): a miss.
    // What is left is read as the reply to the next handshake, the third,
    // and refuses it too.
    Actions a = exchange.received(text("0123456789ABNAK\r"));
    ASSERT_EQ(kinds(a), "SMR");
    EXPECT_EQ(sent(a[0]), "VELMOR\r");
    EXPECT_EQ(messageIn(a), Message::terminalNotReady);
}

TEST_F(LoaderEngine, ThreeSilentHandshakesThenNotReadyAndNoEndsQuietly) {
    Actions a = exchange.start();
    EXPECT_EQ(kinds(exchange.timerExpired()), "S");
    EXPECT_EQ(kinds(exchange.timerExpired()), "S");
    a = exchange.timerExpired();
    ASSERT_EQ(kinds(a), "MR");
    EXPECT_EQ(messageIn(a), Message::terminalNotReady);

    a = exchange.retryAnswered(false);
    EXPECT_EQ(kinds(a), "UE");
    EXPECT_EQ(a.back().value, 0);
    EXPECT_TRUE(exchange.finished());
    EXPECT_FALSE(exchange.downloaded());
    EXPECT_TRUE(exchange.timerExpired().empty());
}

TEST_F(LoaderEngine, ARefusedBlockGoesFourTimesThenTheErrorAndTheRetryQuestion) {
    exchange.start();
    exchange.received(text("ACK\r"));
    for (int k = 0; k < 7; ++k) exchange.received(text("ACK\r"));
    // Block 7, refused every time.
    int sends = 1;
    Actions a;
    for (;;) {
        a = exchange.received(text("NAK\r"));
        if (kinds(a) != "S") break;
        EXPECT_EQ(a[0].bytes[102], 7);
        ++sends;
    }
    EXPECT_EQ(sends, 4);
    ASSERT_EQ(kinds(a), "CMR");
    EXPECT_EQ(messageIn(a), Message::errorOnDownloading);

    // Yes: the queue is purged and the transfer starts over with a new
    // handshake; the image is the one built the first time.
    const ProgramImage* image = &program.image();
    a = exchange.retryAnswered(true);
    ASSERT_EQ(kinds(a), "UTS");
    EXPECT_EQ(sent(a[2]), "VELMOR\r");
    EXPECT_EQ(exchange.attempts(), 2);
    a = exchange.received(text("ACK\r"));
    ASSERT_EQ(kinds(a), "OS");
    EXPECT_EQ(a[1].bytes[102], 0);
    EXPECT_EQ(&program.image(), image);
}

TEST_F(LoaderEngine, AFailedWriteIsAMissAtOnce) {
    exchange.start();
    exchange.received(text("ACK\r"));
    EXPECT_EQ(kinds(exchange.portFailed()), "S");
    EXPECT_EQ(kinds(exchange.portFailed()), "S");
    EXPECT_EQ(kinds(exchange.portFailed()), "S");
    EXPECT_EQ(kinds(exchange.portFailed()), "CMR");
}

// ------------------------------------------------- runner and whole runs

class FakeClock final : public LinkClock {
public:
    int64_t now = 0;
    int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

// The terminal as the tests script it: answers the handshake and each block
// (by number and by how often it came) with whatever the script returns.
struct ScriptedTerminal {
    std::function<std::string(int handshake)> onHandshake = [](int) { return "ACK\r"; };
    std::function<std::string(int block, int times)> onBlock = [](int, int) { return "ACK\r"; };

    int handshakes = 0;
    std::vector<int> blockSends = std::vector<int>(kImageBlockCount, 0);
    std::vector<uint8_t> image = std::vector<uint8_t>(kProgramImageSize, 0);

    std::string take(uint8_t b) {
        pending_.push_back(char(b));
        if (!opened_) {
            if (b != '\r') return {};
            const bool handshake = pending_.size() >= 7 &&
                                   pending_.compare(pending_.size() - 7, 7, "VELMOR\r") == 0;
            pending_.clear();
            return handshake ? answerHandshake() : std::string();
        }
        if (pending_ == "VELMOR\r") {   // a new attempt
            pending_.clear();
            return answerHandshake();
        }
        if (pending_.size() < 103) return {};
        const int k = uint8_t(pending_[102]);
        std::copy(pending_.begin(), pending_.begin() + 100, image.begin() + 100 * k);
        pending_.clear();
        return onBlock(k, ++blockSends[std::size_t(k)]);
    }

private:
    std::string answerHandshake() {
        std::string reply = onHandshake(handshakes++);
        opened_ = reply == "ACK\r" || reply == "ACK";
        return reply;
    }

    bool opened_ = false;
    std::string pending_;
};

struct Event {
    int64_t at;
    std::string what;
};

// A port with the terminal behind it, and an infrared cradle in front of it
// when `cradleBaud` is set: with RTS off the cradle takes the bytes; with
// RTS on they reach the terminal when the line runs at the cradle's speed.
class FakePort final : public SerialPort {
public:
    FakePort(FakeClock& clock, ScriptedTerminal& terminal) : clock_(clock), terminal_(terminal) {}

    uint32_t cradleBaud = 0;
    bool openFails = false;
    bool refuseLine = false;
    int latencyMs = 2;
    int reads = 0;
    std::vector<Event> log;
    std::unique_ptr<test::CradleModel> cradle;
    LineSettings line{};

    PortOpen open(const std::string& name) override {
        note("open " + name);
        if (openFails) return PortOpen::deviceFailed;
        open_ = true;
        if (cradleBaud) cradle = std::make_unique<test::CradleModel>(cradleBaud);
        return PortOpen::opened;
    }
    bool isOpen() const override { return open_; }
    void close() override {
        if (open_) note("close");
        open_ = false;
    }
    bool setQueueSizes(std::size_t in, std::size_t out) override {
        note("queues " + std::to_string(in) + "/" + std::to_string(out));
        return true;
    }
    bool setTimeouts(const SerialTimeouts&) override { return true; }
    bool lineSettings(LineSettings& l) override {
        l = line;
        return true;
    }
    bool applyLine(const LineSettings& l) override {
        if (refuseLine && l.rts == l.dtr) return false;
        line = l;
        note("line " + std::to_string(l.baudRate) + (l.dtr ? " dtr" : "") + (l.rts ? " rts" : ""));
        return true;
    }
    bool write(std::span<const uint8_t> bytes) override {
        EXPECT_TRUE(open_);
        std::string w(bytes.begin(), bytes.end());
        note(w.size() == 103 ? "block " + std::to_string(uint8_t(w[102])) : "write " + w);
        for (uint8_t b : bytes) {
            std::string answer;
            if (cradle && !line.rts) {
                for (uint8_t c : cradle->receive(b, line.baudRate)) answer += char(c);
            } else if (!cradle || line.baudRate == cradle->baud()) {
                answer = terminal_.take(b);
            }
            for (char c : answer) inbound_.push_back({clock_.now + latencyMs, uint8_t(c)});
        }
        return true;
    }
    long read(std::span<uint8_t> buffer) override {
        ++reads;
        std::size_t n = 0;
        while (n < buffer.size() && !inbound_.empty() && inbound_.front().at <= clock_.now) {
            buffer[n++] = inbound_.front().byte;
            inbound_.pop_front();
        }
        return long(n);
    }
    PortWait waitReadable(int timeoutMs) override {
        EXPECT_GE(timeoutMs, 0) << "a reply window has an end";
        int64_t until = clock_.now + timeoutMs;
        if (!inbound_.empty()) until = std::min(until, std::max(inbound_.front().at, clock_.now));
        clock_.now = until;
        return !inbound_.empty() && inbound_.front().at <= until ? PortWait::readable
                                                                 : PortWait::timedOut;
    }
    void wakeWaiter() override {}
    void purgeInput() override {
        note("purge");
        inbound_.clear();
    }
    void purgeOutput() override {}

    std::vector<std::string> events(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const Event& e : log) {
            if (e.what.rfind(prefix, 0) == 0) out.push_back("t=" + std::to_string(e.at) + " " + e.what);
        }
        return out;
    }

private:
    void note(const std::string& what) { log.push_back({clock_.now, what}); }
    struct Arrival {
        int64_t at;
        uint8_t byte;
    };
    FakeClock& clock_;
    ScriptedTerminal& terminal_;
    bool open_ = false;
    std::deque<Arrival> inbound_;
};

// What the user saw, and the answers to the retry questions.
class RecordingUi final : public LoaderUi {
public:
    explicit RecordingUi(FakeClock& clock) : clock_(clock) {}
    std::vector<bool> answers;   // the retry answers in turn; No when run out
    std::vector<std::string> seen;
    std::vector<int> bar;

    void showMessage(Message m) override {
        seen.push_back("t=" + std::to_string(clock_.now) + " " + std::string(messageText(m)));
    }
    bool askRetry() override {
        seen.push_back("t=" + std::to_string(clock_.now) + " retry?");
        if (answers.empty()) return false;
        bool yes = answers.front();
        answers.erase(answers.begin());
        return yes;
    }
    void openProgress() override { seen.push_back("progress window"); }
    void setProgress(int position) override { bar.push_back(position); }
    void closeProgress() override { seen.push_back("progress closed"); }

private:
    FakeClock& clock_;
};

struct LoaderRun : ::testing::Test {
    FakeClock clock;
    ScriptedTerminal terminal;
    FakePort port{clock, terminal};
    RecordingUi ui{clock};
    LoaderProgram program = preparedOf(fileOf(0x20));

    bool download(Choices c = {}) {
        return runDownload(port, portName(c.port), c, program.image(), ui, clock);
    }
};

TEST_F(LoaderRun, DownloadsTheImageOverAPlainLineWithDtrAndRtsOff) {
    Choices c;
    c.port = 3;
    c.speed = 1;
    ASSERT_TRUE(download(c));
    EXPECT_EQ(0, std::memcmp(terminal.image.data(), program.image().bytes, kProgramImageSize));
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"progress window", "progress closed",
                                                 "t=" + std::to_string(clock.now) + " Downloaded completely!"}));
    // The bar is set each time it moves, and only then.
    ASSERT_FALSE(ui.bar.empty());
    EXPECT_TRUE(std::adjacent_find(ui.bar.begin(), ui.bar.end(), std::greater_equal<int>()) == ui.bar.end());
    EXPECT_EQ(ui.bar.front(), 5);
    EXPECT_EQ(ui.bar.back(), 100);
    EXPECT_EQ(port.events("open"), (std::vector<std::string>{"t=0 open COM4"}));
    EXPECT_EQ(port.events("queues"), (std::vector<std::string>{"t=0 queues 256/1200"}));
    EXPECT_EQ(port.events("line"), (std::vector<std::string>{"t=0 line 57600"}));
    EXPECT_FALSE(port.isOpen());
    // Each reply was read as it came, never on a timer: a handful of reads
    // per message, nowhere near one per millisecond.
    EXPECT_LT(port.reads, 201 * 6);
}

TEST_F(LoaderRun, AnAckWithoutCrIsTakenWhenItsWindowEnds) {
    terminal.onHandshake = [](int) { return "ACK"; };
    ASSERT_TRUE(download());
    const auto writes = port.events("write");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], "t=0 write VELMOR\r");
    EXPECT_EQ(port.events("block 0")[0], "t=3000 block 0");
}

TEST_F(LoaderRun, SilenceGivesThreeHandshakesThreeSecondsApartThenNotReady) {
    terminal.onHandshake = [](int) { return ""; };
    EXPECT_FALSE(download());
    EXPECT_EQ(port.events("write"), (std::vector<std::string>{"t=0 write VELMOR\r", "t=3000 write VELMOR\r",
                                                               "t=6000 write VELMOR\r"}));
    // No asks: No ends everything without a further message.
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"t=9000 Terminal is not ready!", "t=9000 retry?"}));
    EXPECT_EQ(port.events("purge"), (std::vector<std::string>{"t=9000 purge"}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_LT(port.reads, 20);
}

TEST_F(LoaderRun, ARefusedBlockGetsThreeMoreSendsAndYesStartsOver) {
    int refusals = 4;
    terminal.onBlock = [&refusals](int k, int) -> std::string {
        if (k == 42 && refusals > 0) {
            --refusals;
            return "NAK\r";
        }
        return "ACK\r";
    };
    ui.answers = {true};
    ASSERT_TRUE(download());
    EXPECT_EQ(terminal.handshakes, 2);
    EXPECT_EQ(terminal.blockSends[42], 5);   // four refused, then one after the retry
    EXPECT_EQ(terminal.blockSends[41], 2);
    const auto messages = std::vector<std::string>(ui.seen.begin(), ui.seen.end());
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages[0], "progress window");
    EXPECT_EQ(messages[1], "progress closed");
    EXPECT_NE(messages[2].find("Error on downloading!"), std::string::npos);
    EXPECT_NE(messages[3].find("retry?"), std::string::npos);
    EXPECT_EQ(messages[4], "progress window");
    EXPECT_NE(messages[6].find("Downloaded completely!"), std::string::npos);
    EXPECT_EQ(0, std::memcmp(terminal.image.data(), program.image().bytes, kProgramImageSize));
    EXPECT_EQ(ui.bar.back(), 100);
}

// The retry's new window opens at 0: its bar is set again from the first
// block, even to where the failed attempt's bar had stopped.
TEST_F(LoaderRun, TheRetrysWindowShowsItsOwnProgress) {
    int refusals = 4;
    terminal.onBlock = [&refusals](int k, int) -> std::string {
        if (k == 1 && refusals > 0) {
            --refusals;
            return "NAK\r";
        }
        return "ACK\r";
    };
    ui.answers = {true};
    ASSERT_TRUE(download());
    ASSERT_GE(ui.bar.size(), 2u);
    EXPECT_EQ(ui.bar[0], 5);   // the first attempt, after block 0
    EXPECT_EQ(ui.bar[1], 5);   // the retry's window, after block 0 again
    EXPECT_EQ(ui.bar.back(), 100);
}

// The progress window's Cancel, from the window's thread while the transfer
// runs: the run ends where it stands, with nothing more sent, no message and
// no retry question, and the port closed.
TEST_F(LoaderRun, ACancelEndsTheRunWithoutAWordAndClosesThePort) {
    ExchangeCancel cancel;
    terminal.onBlock = [&cancel](int k, int) -> std::string {
        if (k == 20) cancel.request();
        return "ACK\r";
    };
    EXPECT_FALSE(runDownload(port, "COM12", Choices{}, program.image(), ui, clock, &cancel));
    EXPECT_EQ(port.events("block 21"), std::vector<std::string>{});
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"progress window"}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.events("open"), (std::vector<std::string>{"t=0 open COM12"}));

    // Before the port is opened: it never is.
    FakeClock clock2;
    FakePort port2(clock2, terminal);
    RecordingUi ui2(clock2);
    EXPECT_FALSE(runDownload(port2, "COM12", Choices{}, program.image(), ui2, clock2, &cancel));
    EXPECT_TRUE(port2.log.empty());
    EXPECT_TRUE(ui2.seen.empty());
}

TEST_F(LoaderRun, EachSetUpFailureShowsItsMessageAndEnds) {
    port.openFails = true;
    EXPECT_FALSE(download());
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"t=0 Can't open the COM port!"}));

    ui.seen.clear();
    port.openFails = false;
    port.refuseLine = true;
    EXPECT_FALSE(download());
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"t=0 Failed to initialize the COM port!"}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.events("write").empty());
}

TEST_F(LoaderRun, TheCradleIsSetUpWithFixedWaitsAndItsSwitchBytesBackToBack) {
    port.cradleBaud = 9600;
    Choices c;
    c.link = kLinkCradleIr;
    c.speed = 1;   // 57600
    ASSERT_TRUE(download(c));
    EXPECT_EQ(port.cradle->baud(), 57600u);
    EXPECT_EQ(port.cradle->switches(), (std::vector<uint32_t>{57600}));
    EXPECT_EQ(port.line.baudRate, 57600u);
    EXPECT_TRUE(port.line.dtr);
    EXPECT_TRUE(port.line.rts);
    const auto writes = port.events("write");
    ASSERT_GE(writes.size(), 3u);
    // Found at the first speed probed: 100 ms at 38400, then the probe at
    // 9600 (100 ms, echo test, 100 ms, answer, RTS on, 100 ms), RTS off and
    // 100 ms, the three bytes at once, RTS on and 100 ms. The new speed
    // waits only until the three bytes are out at 9600 (4 ms) and 10 ms for
    // the driver.
    EXPECT_EQ(writes[0], "t=200 write \x0F");
    EXPECT_EQ(writes[1], "t=500 write \x07" "5Q");
    const auto lines = port.events("line 57600");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "t=514 line 57600 dtr rts");
    EXPECT_EQ(writes[2], "t=614 write VELMOR\r");
    EXPECT_EQ(0, std::memcmp(terminal.image.data(), program.image().bytes, kProgramImageSize));

    // Nothing answers at any speed.
    FakeClock clock2;
    ScriptedTerminal nobody;
    FakePort bare(clock2, nobody);
    bare.cradleBaud = 0;
    RecordingUi ui2(clock2);
    EXPECT_FALSE(runDownload(bare, "COM1", c, program.image(), ui2, clock2));
    ASSERT_EQ(ui2.seen.size(), 1u);
    EXPECT_NE(ui2.seen[0].find("Can not configure the IR device!"), std::string::npos);
    EXPECT_TRUE(bare.events("write VELMOR").empty());
}

}  // namespace
}  // namespace fw::loader
