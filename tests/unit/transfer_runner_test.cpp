// The transfers carried out by runExchange on a fake port and a fake clock:
// the reply timer, the record file, a line that fails to read for a while,
// a dead line and a cancel, as the carry-out loop handles them.

#include "comm/transfer_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comm/data_receive.h"
#include "comm/program_image.h"
#include "comm/transfer.h"
#include "comm/transfer_files.h"
#include "model/program_model.h"

namespace fw {
namespace {

class FakeClock final : public LinkClock {
public:
    int64_t now = 0;
    int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

// A port whose far end answers each write through `answer`, after `latencyMs`.
class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(FakeClock& clock) : clock_(clock) {}

    std::function<std::string(const std::string&)> answer;
    int latencyMs = 5;
    int64_t lineGoneAtMs = -1;
    // Reads and waits fail in [from, to), and what arrives then is lost.
    int64_t readsFailFromMs = -1;
    int64_t readsFailToMs = -1;
    struct Write {
        int64_t at;
        std::string bytes;
    };
    std::vector<Write> writes;

    PortOpen open(const std::string&) override { return PortOpen::opened; }
    bool isOpen() const override { return true; }
    void close() override {}
    bool setQueueSizes(std::size_t, std::size_t) override { return true; }
    bool setTimeouts(const SerialTimeouts&) override { return true; }
    bool lineSettings(LineSettings&) override { return true; }
    bool applyLine(const LineSettings&) override { return true; }
    bool write(std::span<const uint8_t> bytes) override {
        if (gone()) return false;
        std::string s(bytes.begin(), bytes.end());
        writes.push_back({clock_.now, s});
        if (answer) {
            std::string reply = answer(s);
            if (!reply.empty()) incoming_.push_back({clock_.now + latencyMs, reply});
        }
        return true;
    }
    long read(std::span<uint8_t> buffer) override {
        if (gone()) return -1;
        if (troubled()) {
            while (!incoming_.empty() && incoming_.front().at <= clock_.now) incoming_.pop_front();
            return -1;
        }
        if (incoming_.empty() || incoming_.front().at > clock_.now) return 0;
        std::string s = incoming_.front().bytes;
        incoming_.pop_front();
        std::size_t n = std::min(s.size(), buffer.size());
        std::copy(s.begin(), s.begin() + long(n), buffer.begin());
        if (n < s.size()) incoming_.push_front({clock_.now, s.substr(n)});
        return long(n);
    }
    PortWait waitReadable(int timeoutMs) override {
        if (gone() || troubled()) return PortWait::failed;
        int64_t until = timeoutMs < 0 ? INT64_MAX : clock_.now + timeoutMs;
        if (!incoming_.empty()) until = std::min(until, incoming_.front().at);
        if (lineGoneAtMs >= 0) until = std::min(until, lineGoneAtMs);
        EXPECT_NE(until, INT64_MAX) << "the runner would wait for ever";
        if (until == INT64_MAX) return PortWait::failed;
        clock_.now = std::max(clock_.now, until);
        return gone() ? PortWait::failed : PortWait::readable;
    }
    void wakeWaiter() override {}
    void purgeInput() override {}
    void purgeOutput() override {}

private:
    bool gone() const { return lineGoneAtMs >= 0 && clock_.now >= lineGoneAtMs; }
    bool troubled() const { return clock_.now >= readsFailFromMs && clock_.now < readsFailToMs; }
    struct Incoming {
        int64_t at;
        std::string bytes;
    };
    FakeClock& clock_;
    std::deque<Incoming> incoming_;
};

class MemorySink final : public RecordSink {
public:
    std::vector<std::string> lines;
    int failAt = -1;   // the write of this index fails
    bool synced = false;
    bool write(std::span<const uint8_t> bytes) override {
        if (int(lines.size()) == failAt) return false;
        lines.emplace_back(bytes.begin(), bytes.end());
        return true;
    }
    bool sync() override { return synced = true; }
};

std::string framedRecord(int serial, const std::string& data) {
    std::string r(1, char(serial));
    r += data;
    const uint16_t sum = dataRecordSum(std::vector<uint8_t>(r.begin(), r.end()));
    r += char(sum & 0xFF);
    r += char(sum >> 8);
    return r + '\r';
}

int run(TransferEngine& engine, ScriptedPort& port, FakeClock& clock, RecordSink* sink = nullptr,
        ExchangeCancel* cancel = nullptr) {
    TransferHost host({sink, nullptr});
    return runExchange(engine, port, clock, host, cancel);
}

// The terminal of a data receive: `count` records, each once it has the
// previous ACK (again when it gets the same ACK twice), then "OVER\r".
std::function<std::string(const std::string&)> recordsTerminal(int& next, int count) {
    return [&next, count](const std::string& sent) -> std::string {
        if (sent != "GETD\r" && sent != "ACK\r") return {};
        if (next == count) return "OVER\r";
        const int serial = next++;
        return framedRecord(serial, "line " + std::to_string(serial));
    };
}

TEST(TransferRunner, ResendsEverySecondOnItsClockAndTimesOut) {
    FakeClock clock;
    ScriptedPort port(clock);
    TransferEngine engine = TransferEngine::programDownload(std::vector<uint8_t>(kProgramImageSize));
    EXPECT_EQ(run(engine, port, clock), kTimeOut);
    ASSERT_EQ(port.writes.size(), 11u);
    for (std::size_t i = 0; i < port.writes.size(); ++i) EXPECT_EQ(port.writes[i].at, int64_t(i) * 1000);
    EXPECT_EQ(clock.now, 11000);
}

TEST(TransferRunner, ReceivesIntoTheSinkAndStopsWhereTheFileFails) {
    // The file refuses the third of four records.
    FakeClock clock;
    ScriptedPort port(clock);
    int next = 0;
    port.answer = recordsTerminal(next, 4);
    MemorySink sink;
    sink.failAt = 2;
    TransferEngine engine = TransferEngine::dataReceive();
    EXPECT_EQ(run(engine, port, clock, &sink), kCannotWriteReceivedData);
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[1], "line 1\r\n");
    EXPECT_EQ(port.writes.size(), 3u);   // GETD and two ACKs: none for the lost one
    EXPECT_EQ(clock.now, 15);           // no waiting but for the terminal

    next = 0;
    port.writes.clear();
    MemorySink good;
    TransferEngine again = TransferEngine::dataReceive();
    EXPECT_EQ(run(again, port, clock, &good), kTransferDone);
    EXPECT_EQ(good.lines.size(), 4u);
    EXPECT_TRUE(good.synced);
}

TEST(TransferRunner, FailedReadsAreSilenceForTheTimerNotTheEnd) {
    // The port fails to read from 8 ms to 800 ms and the second record is
    // lost in it; the ACK resent at the timer brings it again, once.
    FakeClock clock;
    ScriptedPort port(clock);
    port.readsFailFromMs = 8;
    port.readsFailToMs = 800;
    int next = 0;
    auto terminal = recordsTerminal(next, 2);
    std::string lastRecord;
    port.answer = [&](const std::string& sent) {
        // A message that comes again after a silent second is a resend: the
        // terminal answers it with what it sent last.
        const auto& w = port.writes;
        if (w.size() >= 2 && clock.now - w[w.size() - 2].at >= 1000) return lastRecord;
        return lastRecord = terminal(sent);
    };
    MemorySink sink;
    TransferEngine engine = TransferEngine::dataReceive();
    EXPECT_EQ(run(engine, port, clock, &sink), kTransferDone);
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[1], "line 1\r\n");
    EXPECT_GE(clock.now, 1005);   // the resend after the silent second

    // A line that is gone for good: the timer's resend finds out.
    FakeClock other;
    ScriptedPort dead(other);
    dead.lineGoneAtMs = 2500;
    TransferEngine receive = TransferEngine::dataReceive();
    EXPECT_EQ(run(receive, dead, other, &sink), kErrorOnUploading);
    EXPECT_EQ(other.now, 3000);
}

TEST(TransferRunner, CancelBeforeTheStartSendsNothing) {
    FakeClock clock;
    ScriptedPort quiet(clock);
    TransferEngine download = TransferEngine::programDownload(std::vector<uint8_t>(kProgramImageSize));
    ExchangeCancel cancel;
    cancel.request();
    EXPECT_EQ(run(download, quiet, clock, nullptr, &cancel), kTransferCancelled);
    EXPECT_TRUE(quiet.writes.empty());
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(RecordFile, HoldsTheReceivedFileForItselfAndKeepsWholeLines) {
    const std::string path = ::testing::TempDir() + "record_file_test.txt";
    {
        RecordFile file;
        ASSERT_TRUE(file.create(path));
        const std::string line = "abc\r\n";
        EXPECT_TRUE(file.write(std::vector<uint8_t>(line.begin(), line.end())));
#ifdef _WIN32
        // Nobody else may write into it while records go in.
        std::FILE* other = std::fopen(path.c_str(), "ab");
        EXPECT_EQ(other, nullptr);
        if (other) std::fclose(other);
#endif
        EXPECT_TRUE(file.sync());
        EXPECT_TRUE(file.close());
    }
    std::FILE* back = std::fopen(path.c_str(), "rb");
    ASSERT_NE(back, nullptr);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, back), 5u);
    std::fclose(back);
    EXPECT_STREQ(text, "abc\r\n");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace fw
