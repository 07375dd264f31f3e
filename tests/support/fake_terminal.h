// A K400 terminal on a pseudo-terminal, for all three exchanges. The program
// under test opens the slave side (path()) as its serial port; the terminal
// answers on the master side, on a thread of its own, as the script says,
// faults included, and records what it received for the test to check.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/cradle_model.h"
#include "tests/support/raw_pty.h"

namespace fw::test {

// `loader` is the standalone downloader's program download: opened by
// "VELMOR\r" (again at the start of each retry), then the blocks as in
// `program`.
enum class TerminalExchange { program, lookup, receive, loader };

struct TerminalScript {
    TerminalExchange exchange = TerminalExchange::program;

    // Silence: the opening messages let pass unanswered before the terminal
    // answers one; -1 never answers.
    int ignoreOpenings = 0;

    // Downloads: frame `nakFrame` (block number, or line index from 0) is
    // refused with "NAK\r" its first `nakTimes` times.
    int nakFrame = -1;
    int nakTimes = 0;
    // Downloads: "FULL\r" instead of an acknowledgement for this frame.
    int fullAtFrame = -1;
    // Downloads: line noise (bytes above 0x7F and letters, never a CR)
    // before and after every reply. Receive: the terminal's own "ACK\r",
    // with noise, before every record.
    bool junk = false;

    // The line is closed once this many frames (downloads) or records
    // (receive) were acknowledged; -1 never.
    int closeAfter = -1;

    // Bytes take 10 bits each at this speed, both ways; 0 is no pacing.
    uint32_t paceBaud = 0;

    // An infrared cradle in front of the terminal, running at this speed (0:
    // none). It answers the PC's set-up as tests/support/cradle_model.h says;
    // once it has switched speed, bytes pass through to the terminal, but
    // only those sent at the cradle's speed (read from the pty's termios).
    uint32_t cradleBaud = 0;

    // Receive: the records' data bytes, sent with serials 0..9, 0..
    std::vector<std::string> records;
    // Receive: after this record's "ACK\r" the record comes once more, as if
    // the acknowledgement had been lost.
    int repeatRecord = -1;
    // Receive: this record goes out first `faultTimes` times with a wrong
    // serial, or a wrong sum; then right.
    int wrongSerialRecord = -1;
    int badSumRecord = -1;
    int faultTimes = 1;

    // Receive: what a "GETD\r" does once records are on their way (a PC that
    // went away and came back): the record again as it was, the upload
    // resumed from the record not yet acknowledged, or the whole batch
    // again; both of the latter number the records from 0 again.
    enum class Reopening { sameRecord, resume, wholeBatch };
    Reopening reopening = Reopening::sameRecord;
    // Receive: after "OVER\r" the terminal stays on its upload screen and
    // keeps its records: the next "GETD\r" sends them all again.
    bool keepsRecords = false;
};

struct TerminalReport {
    int openings = 0;              // opening messages seen
    int framesReceived = 0;        // blocks or lines, resends included
    int badFrames = 0;             // failed their sum or their number
    int framesAcked = 0;
    std::vector<uint8_t> image;    // program: the 20,000 bytes as assembled
    std::vector<bool> blockSeen;   // program: which of the 200 blocks came
    std::vector<std::string> lookupLines;   // lookup: the lines, sums checked
    int acksReceived = 0;          // receive: the PC's "ACK\r"
    int naksReceived = 0;          // receive: the PC's "NAK\r"
    int recordsSent = 0;           // receive: record frames written, repeats included
    int reopenings = 0;            // receive: "GETD\r" once records were on their way
    int uploads = 0;               // receive: batches ended with "OVER\r"
    bool overSeen = false;         // lookup: the PC's "OVER\r"
    bool overSent = false;         // receive: the terminal's "OVER\r"
    bool finished = false;         // the exchange ran to its end
    bool lineClosed = false;       // closed by the script
    uint32_t cradleBaud = 0;       // cradle in front: its speed now
    int cradleEchoes = 0;          // cradle in front: echo tests answered
};

// A record as the terminal frames it: serial, data, sum low then high (0x0D
// sent as 0x0E), CR.
std::string terminalRecord(int serial, const std::string& data);

// A lookup line's frame as the PC must send it: data, sum high then low,
// CR. Used to check what arrived.
bool lookupFrameSumOk(const std::string& frameWithoutCr);

class FakeTerminal {
public:
    explicit FakeTerminal(TerminalScript script);
    ~FakeTerminal();
    FakeTerminal(const FakeTerminal&) = delete;
    FakeTerminal& operator=(const FakeTerminal&) = delete;

    bool ok() const { return up_; }
    const std::string& path() const { return pty_.path; }

    TerminalReport report() const;
    // Waits until the exchange ran to its end (or the line was closed by the
    // script); false when timeoutMs passed first.
    bool waitFinished(int timeoutMs) const;

    void stop();

private:
    void run();
    void handle(const uint8_t* bytes, std::size_t n);
    bool throughCradle(uint8_t b);
    bool isOpeningAgain();
    void handleOpening(uint8_t b);
    void handleBlockByte(uint8_t b);
    void handleLineByte(uint8_t b);
    void handleReceiveByte(uint8_t b);
    void sendRecord();
    void reply(const std::string& bytes);
    void send(const std::string& bytes);
    void acknowledged();
    void closeLine();

    TerminalScript script_;
    bool up_ = false;
    RawPty pty_;
    std::thread thread_;

    // The terminal's own state, on its thread.
    bool opened_ = false;
    std::string text_;              // the PC's text up to its CR
    std::vector<uint8_t> frame_;
    std::vector<int> nakCount_;
    int recordIndex_ = 0;           // receive: the record being sent
    int serialBase_ = 0;            // receive: the record numbered 0 in this upload
    bool overSent_ = false;         // receive: the last upload ended
    bool repeated_ = false;
    int faultsDone_ = 0;
    bool done_ = false;
    double byteSeconds_ = 0;
    std::unique_ptr<CradleModel> cradle_;
    bool cradleSwitched_ = false;
    std::chrono::steady_clock::time_point rxFreeAt_{};
    std::chrono::steady_clock::time_point txFreeAt_{};

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    TerminalReport report_;
};

}  // namespace fw::test
