// The three exchanges with the terminal, driven by hand on a fake clock in
// milliseconds: every resend, time-out and frame is checked without waiting.

#include "comm/transfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "comm/data_receive.h"
#include "comm/program_image.h"
#include "comm/transfer_session.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"

namespace fw {
namespace {

std::string text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> bytes(std::string_view s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

// A lookup file in memory; `failAt` cuts it short as a failed read would.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string data, std::size_t failAt = std::string::npos)
        : data_(std::move(data)), failAt_(failAt) {}
    int next() override {
        if (pos_ >= data_.size() || pos_ >= failAt_) return -1;
        return static_cast<uint8_t>(data_[pos_++]);
    }
    uint64_t size() const { return data_.size(); }

private:
    std::string data_;
    std::size_t failAt_;
    std::size_t pos_ = 0;
};

// Plays the carry-out loop and the host: carries out the engine's actions,
// keeps the reply timer on a fake clock, answers its record requests, and
// notes what went to the port and to the file.
struct Driver {
    explicit Driver(TransferEngine e) : engine(std::move(e)) {}

    TransferEngine engine;
    int64_t now = 0;
    bool armed = false;
    int64_t deadline = 0;
    struct Sent {
        int64_t at;
        std::string bytes;
    };
    std::vector<Sent> sent;
    std::vector<int> bar;
    std::vector<int> counts;
    std::vector<std::string> fileLines;
    bool writeOk = true;
    bool syncOk = true;
    bool failSends = false;
    bool holdWrites = false;   // leave a record write pending
    std::string pendingLine;
    int result = -1;

    void apply(TransferActions batch) {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            TransferAction& a = batch[i];
            switch (a.kind) {
            case TransferAction::Kind::send:
                if (failSends) return apply(engine.portFailed());
                sent.push_back({now, text(a.bytes)});
                break;
            case TransferAction::Kind::armTimer:
                armed = true;
                deadline = now + a.value;
                break;
            case TransferAction::Kind::progress: bar.push_back(a.value); break;
            case TransferAction::Kind::recordCount: counts.push_back(a.value); break;
            case TransferAction::Kind::writeRecord:
                if (holdWrites) {
                    pendingLine = text(a.bytes);
                    return;
                }
                if (writeOk) fileLines.push_back(text(a.bytes));
                return apply(engine.answered({writeOk}));
            case TransferAction::Kind::syncRecords: return apply(engine.answered({syncOk}));
            default:
                ADD_FAILURE() << "a transfer asked for action " << int(a.kind);
                break;
            case TransferAction::Kind::end:
                armed = false;
                result = a.value;
                return;
            }
        }
    }
    void start() { apply(engine.start()); }
    void reply(std::string_view s) { apply(engine.received(std::span(reinterpret_cast<const uint8_t*>(s.data()), s.size()))); }
    void expire() {
        ASSERT_TRUE(armed);
        now = deadline;
        armed = false;
        apply(engine.timerExpired());
    }
    const std::string& last() const { return sent.back().bytes; }
};

std::unique_ptr<ProgramModel> defaultProgram() {
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto m = std::make_unique<ProgramModel>();
    newProgram(*m, *defaults);
    return m;
}

// The download of `m` as the designer prepares it: the image of a normalised copy.
TransferEngine downloadOf(const ProgramModel& m) {
    return TransferEngine::programDownload(prepareProgramDownload(m, {}, false).image);
}

std::string blockBytes(const ProgramImage& image, int k) {
    ImageBlock b = makeImageBlock(image, k);
    return std::string(reinterpret_cast<const char*>(&b), sizeof b);
}

// A data record as the terminal frames it: serial, data, sum low, sum high, CR.
std::string record(int serial, std::string_view data) {
    std::string r(1, char(serial));
    r += data;
    const uint16_t sum = dataRecordSum(bytes(r));
    r += char(avoidCr(uint8_t(sum & 0xFF)));
    r += char(avoidCr(uint8_t(sum >> 8)));
    r += '\r';
    return r;
}

// ------------------------------------------------------------ program download

TEST(ProgramDownload, SilentTerminalGetsElevenOpeningsAndTimesOut) {
    auto m = defaultProgram();
    Driver d(downloadOf(*m));
    d.start();
    while (d.result < 0) d.expire();
    ASSERT_EQ(d.sent.size(), 11u);
    for (std::size_t i = 0; i < d.sent.size(); ++i) {
        EXPECT_EQ(d.sent[i].at, int64_t(i) * 1000);
        EXPECT_EQ(d.sent[i].bytes, "QUARIX\r");
    }
    EXPECT_EQ(d.now, 11000);
    EXPECT_EQ(d.result, kTimeOut);
    EXPECT_FALSE(d.engine.state().openingAccepted);   // the model keeps no normalisation
}

TEST(ProgramDownload, SendsTheNormalisedModelsImageBlockByBlock) {
    auto m = defaultProgram();
    // Normalisation changes this menu: its item count is recomputed.
    m->menus[3].itemName[2][0] = 'A';
    m->menus[3].itemCount = 0;
    auto expectedModel = std::make_unique<ProgramModel>(*m);
    normaliseForDownload(*expectedModel);
    auto expected = std::make_unique<ProgramImage>();
    buildProgramImage(*expectedModel, *expected);

    const PreparedTransfer prepared = prepareProgramDownload(*m, {}, true);
    Driver d(TransferEngine::programDownload(prepared.image));
    d.start();
    // Junk and line noise around the tokens, and replies split across reads.
    d.reply("\x85zz AC");
    d.reply("K\r");
    for (int k = 0; k < kImageBlockCount; ++k) {
        ASSERT_EQ(d.last(), blockBytes(*expected, k)) << k;
        d.reply(k % 3 == 0 ? "A\xF0" "CK\r" : "ACK\r");
    }
    EXPECT_EQ(d.result, kTransferDone);
    EXPECT_EQ(d.sent.size(), 201u);
    EXPECT_TRUE(d.engine.state().openingAccepted);
    EXPECT_EQ(prepared.program->menus[3].itemCount, expectedModel->menus[3].itemCount);
    EXPECT_NE(prepared.program->menus[3].itemCount, 0);   // the program sent is normalised
    EXPECT_EQ(m->menus[3].itemCount, 0);                  // the model only by its owner
    ASSERT_EQ(prepared.image.size(), kProgramImageSize);
    EXPECT_EQ(0, std::memcmp(prepared.image.data(), expected->bytes, kProgramImageSize));
    // Half the blocks: 0 at the start, 99 with the last block, 100 at the end.
    ASSERT_EQ(d.bar.size(), 201u);
    EXPECT_EQ(d.bar[0], 0);
    EXPECT_EQ(d.bar[199], 99);
    EXPECT_EQ(d.bar[200], 100);
}

TEST(ProgramDownload, AnImageThatIsNotWholeFailsOnceTheTerminalIsReady) {
    Driver d(TransferEngine::programDownload(std::vector<uint8_t>(kProgramImageSize - 1)));
    d.start();
    d.reply("ACK\r");
    EXPECT_EQ(d.result, kErrorOnDownloading);
    EXPECT_EQ(d.sent.size(), 1u);   // no block of it
    EXPECT_TRUE(d.engine.state().openingAccepted);
}

TEST(ProgramDownload, NakResendsTheSameBlockAndAckResetsTheCount) {
    auto m = defaultProgram();
    Driver d(downloadOf(*m));
    d.start();
    d.reply("ACK\r");
    d.reply("ACK\r");
    const std::string block1 = d.last();
    ASSERT_EQ(block1.size(), 103u);
    EXPECT_EQ(uint8_t(block1[102]), 1);
    d.reply("NAK\r");
    d.reply("garbage\r");   // an unknown reply counts as a refusal
    d.expire();             // and so does silence
    EXPECT_EQ(d.engine.state().retryCount, 3);
    for (std::size_t i = d.sent.size() - 3; i < d.sent.size(); ++i) EXPECT_EQ(d.sent[i].bytes, block1);
    d.reply("ACK\r");
    EXPECT_EQ(d.engine.state().retryCount, 0);
    EXPECT_EQ(uint8_t(d.last()[102]), 2);

    // Ten refusals in a row are allowed, the eleventh ends it.
    for (int i = 0; i < 10; ++i) d.reply("NAK\r");
    EXPECT_EQ(d.result, -1);
    d.reply("NAK\r");
    EXPECT_EQ(d.result, kTimeOut);
}

TEST(ProgramDownload, FullEndsItAtAnyPoint) {
    for (int at : {0, 1, 150}) {
        auto m = defaultProgram();
        Driver d(downloadOf(*m));
        d.start();
        if (at > 0) d.reply("ACK\r");
        for (int k = 1; k < at; ++k) d.reply("ACK\r");
        d.reply("\xC0zFULL\r");
        EXPECT_EQ(d.result, kMemoryFull) << at;
        // Nothing after the end: not even a late reply or timer.
        const std::size_t sends = d.sent.size();
        EXPECT_TRUE(d.engine.received(bytes("ACK\r")).empty());
        EXPECT_TRUE(d.engine.timerExpired().empty());
        EXPECT_EQ(d.sent.size(), sends);
    }
}

TEST(ProgramDownload, OverlongReplyIsCutAndAFailedWriteEndsIt) {
    auto m = defaultProgram();
    Driver d(downloadOf(*m));
    d.start();
    // 1,500 bytes before the token: only the first 1,024 are kept, so the
    // token is lost and the reply counts as a refusal.
    d.reply(std::string(1500, 'x') + "ACK\r");
    EXPECT_EQ(d.last(), "QUARIX\r");
    EXPECT_EQ(d.engine.state().retryCount, 1);
    d.failSends = true;
    d.reply("ACK\r");
    EXPECT_EQ(d.result, kErrorOnDownloading);

    Driver r(TransferEngine::dataReceive());
    r.failSends = true;
    r.start();
    EXPECT_EQ(r.result, kErrorOnUploading);
}

TEST(ReplyCollector, DropsHighBytesOnlyWhenAskedAndKeepsAtMost1024) {
    ReplyCollector download(true), receive(false);
    for (uint8_t b : bytes("A\x80\xFF" "B\r")) {
        download.add(b);
        receive.add(b);
    }
    EXPECT_EQ(download.size(), 3u);
    EXPECT_EQ(receive.size(), 5u);

    ReplyCollector big(false);
    for (int i = 0; i < 2000; ++i) EXPECT_FALSE(big.add('x'));
    EXPECT_TRUE(big.add('\r'));
    EXPECT_EQ(big.size(), kReplyBufferSize);
}

// ------------------------------------------------------------- lookup download

struct LookupRun {
    std::vector<std::string> frames;   // what followed the opening
    int result = -1;
    std::vector<int> bar;
};

LookupRun runLookup(const std::string& file, std::size_t failAt = std::string::npos) {
    MemorySource source(file, failAt);
    Driver d(TransferEngine::lookupDownload(readLookupLines(source, source.size())));
    d.start();
    for (int i = 0; i < 100 && d.result < 0; ++i) d.reply("ACK\r");
    LookupRun run;
    for (std::size_t i = 1; i < d.sent.size(); ++i) run.frames.push_back(d.sent[i].bytes);
    run.result = d.result;
    run.bar = d.bar;
    return run;
}

std::string frame(std::string_view line, uint8_t high, uint8_t low) {
    return std::string(line) + char(high) + char(low) + '\r';
}

TEST(LookupDownload, EmptyOrBlankFileSendsOverAndSucceeds) {
    for (const char* file : {"", "\r\n\r\n\n\r"}) {
        LookupRun run = runLookup(file);
        ASSERT_EQ(run.frames.size(), 1u);
        EXPECT_EQ(run.frames[0], "OVER\r");
        EXPECT_EQ(run.result, kTransferDone);
    }
}

TEST(LookupDownload, FramesLinesWithTheirSumHighByteFirst) {
    // "AB" adds up to 0x0083; "\xFF\x0E" to 0x010D, whose low byte goes as
    // 0x0E; thirteen 0xFF and 0x42 to 0x0D35, whose high byte does.
    std::string highCr(13, '\xFF');
    highCr += "\x42";
    LookupRun run = runLookup("AB\r\n\xFF\x0E\r\n" + highCr + "\r\n");
    ASSERT_EQ(run.frames.size(), 4u);
    EXPECT_EQ(run.frames[0], frame("AB", 0x00, 0x83));
    EXPECT_EQ(run.frames[1], frame("\xFF\x0E", 0x01, 0x0E));
    EXPECT_EQ(run.frames[2], frame(highCr, 0x0E, 0x35));
    EXPECT_EQ(run.frames[3], "OVER\r");
    EXPECT_EQ(run.result, kTransferDone);
}

TEST(LookupDownload, SkipsWhatTheTerminalCannotTakeAndCountsIt) {
    // A 300-character line is cut to 255; LF never reaches the terminal, not
    // even inside a line; the last line needs no CR.
    const std::string longLine(255, 'a');
    const std::string file = "\r\n" + longLine + std::string(45, 'b') + "\r\nab\ncd\r\nlast";
    LookupRun run = runLookup(file);
    ASSERT_EQ(run.frames.size(), 4u);
    EXPECT_EQ(run.frames[0].size(), 258u);
    EXPECT_EQ(run.frames[0].substr(0, 255), longLine);
    EXPECT_EQ(run.frames[1].substr(0, 4), "abcd");
    EXPECT_EQ(run.frames[2].substr(0, 4), "last");
    EXPECT_EQ(run.frames[3], "OVER\r");
    EXPECT_EQ(run.result, kTransferDone);
    // Every byte was counted: the last line without its CR counts one over,
    // and the bar stops at 100.
    EXPECT_EQ(run.bar.back(), 100);
}

TEST(LookupDownload, FileThatEndsEarlyIsAnError) {
    LookupRun run = runLookup("one\r\ntwo\r\nthree\r\n", 7);
    EXPECT_EQ(run.result, kErrorOnDownloading);
    ASSERT_FALSE(run.frames.empty());
    EXPECT_NE(run.frames.back(), "OVER\r");
}

TEST(LookupDownload, FailedOverIsNoSuccess) {
    MemorySource source("x\r\n");
    Driver d(TransferEngine::lookupDownload(readLookupLines(source, source.size())));
    d.start();
    d.reply("ACK\r");
    d.failSends = true;
    d.reply("ACK\r");
    EXPECT_EQ(d.result, kErrorOnDownloading);
}

// ------------------------------------------------------------------ data receive

TEST(DataReceive, OverRightAfterTheOpeningIsSuccessWithNoRecord) {
    Driver d(TransferEngine::dataReceive());
    d.start();
    EXPECT_EQ(d.last(), "GETD\r");
    d.reply("OVER\r");
    EXPECT_EQ(d.result, kTransferDone);
    EXPECT_EQ(d.engine.state().recordCount, 0);
    EXPECT_TRUE(d.fileLines.empty());
}

TEST(DataReceive, WritesEachRecordOnceAndAcknowledgesIt) {
    Driver d(TransferEngine::dataReceive());
    d.start();
    d.reply("ACK\r");   // the terminal's own ACK: nothing is sent
    EXPECT_EQ(d.sent.size(), 1u);
    for (int i = 0; i < 10; ++i) {
        d.reply(record(i, "r" + std::to_string(i)));
        EXPECT_EQ(d.last(), "ACK\r");
    }
    d.reply(record(9, "r9"));           // our ACK was lost: acknowledged again, not written
    d.reply(record(0, "\xE4\xF6\xFF")); // after 9 comes 0; high bytes stay
    d.reply(record(1, ""));             // no data: an empty line
    d.reply("OVER\r");
    EXPECT_EQ(d.result, kTransferDone);
    ASSERT_EQ(d.fileLines.size(), 12u);
    EXPECT_EQ(d.fileLines[9], "r9\r\n");
    EXPECT_EQ(d.fileLines[10], "\xE4\xF6\xFF\r\n");
    EXPECT_EQ(d.fileLines[11], "\r\n");
    EXPECT_EQ(d.engine.state().recordCount, 12);
    EXPECT_EQ(d.counts.back(), 12);
}

TEST(DataReceive, EmptyFirstRecordIsNotTakenForARepeat) {
    // Serial 0, no data, sum 0: four bytes that match a zero-filled past.
    Driver d(TransferEngine::dataReceive());
    d.start();
    d.reply(std::string("\0\0\0\r", 4));
    ASSERT_EQ(d.fileLines.size(), 1u);
    EXPECT_EQ(d.engine.state().blockIndex, 1);
}

TEST(DataReceive, RejectsBadRecordsUntilTenInARow) {
    Driver d(TransferEngine::dataReceive());
    d.start();
    d.reply(record(0, "kept"));
    d.reply(record(1, "kept too"));
    d.reply(record(3, "skipped one"));
    EXPECT_EQ(d.last(), "NAK\r");
    std::string badSum = record(2, "x");
    badSum[2] ^= 1;
    d.reply(badSum);
    d.reply("\r");        // a lone CR is no record
    d.reply("\x02\r");
    EXPECT_EQ(d.last(), "NAK\r");
    d.expire();           // silence: the NAK again
    EXPECT_EQ(d.last(), "NAK\r");
    EXPECT_EQ(d.engine.state().retryCount, 5);
    d.reply("NAK\r");     // the terminal refused our NAK: resend it
    for (int i = 0; i < 4; ++i) d.reply(record(3, "again"));
    EXPECT_EQ(d.result, -1);
    d.reply(record(3, "again"));
    EXPECT_EQ(d.result, kTimeOut);
    ASSERT_EQ(d.fileLines.size(), 2u);
    EXPECT_EQ(d.fileLines[1], "kept too\r\n");
}

TEST(DataReceive, NothingIsAcknowledgedBeforeItIsInTheFile) {
    Driver d(TransferEngine::dataReceive());
    d.holdWrites = true;
    d.start();
    // The record and, in the same read, the terminal's next bytes.
    d.reply(record(0, "first") + record(1, "early"));
    EXPECT_EQ(d.pendingLine, "first\r\n");
    EXPECT_EQ(d.last(), "GETD\r");
    d.expire();   // the timer waits for the file too
    EXPECT_EQ(d.sent.size(), 1u);
    d.holdWrites = false;
    d.apply(d.engine.answered({true}));
    // Acknowledged, then the held record handled.
    EXPECT_EQ(d.engine.state().recordCount, 2);
    EXPECT_EQ(d.fileLines.size(), 1u);   // "early" went through the driver
    EXPECT_EQ(d.last(), "ACK\r");

    Driver full(TransferEngine::dataReceive());
    full.start();
    full.reply(record(0, "ok"));
    full.writeOk = false;
    full.reply(record(1, "disk full"));
    EXPECT_EQ(full.result, kCannotWriteReceivedData);
    EXPECT_EQ(full.last(), "ACK\r");
    EXPECT_EQ(full.sent.size(), 2u);   // no ACK for the record that failed

    Driver unsynced(TransferEngine::dataReceive());
    unsynced.syncOk = false;
    unsynced.start();
    unsynced.reply("OVER\r");
    EXPECT_EQ(unsynced.result, kCannotWriteReceivedData);
}

TEST(DataReceive, SilentTerminalAndCancel) {
    Driver d(TransferEngine::dataReceive());
    d.start();
    while (d.result < 0) d.expire();
    EXPECT_EQ(d.sent.size(), 11u);
    EXPECT_EQ(d.now, 11000);
    EXPECT_EQ(d.result, kTimeOut);

    Driver c(TransferEngine::dataReceive());
    c.start();
    c.apply(c.engine.cancel());
    EXPECT_EQ(c.result, kTransferCancelled);
    EXPECT_TRUE(c.engine.portFailed().empty());
}

}  // namespace
}  // namespace fw
