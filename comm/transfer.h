// The three serial exchanges with the terminal (program download, lookup
// download, data receive) as one stop-and-wait state machine that never
// touches a port, a file, the program or a clock. runExchange carries it
// out on a SerialPort; tests run it by hand on a fake clock.
//
// The exchange is stop-and-wait. Text messages end in CR:
//   "QUARIX\r"  PC: opens a program or a lookup download
//   "GETD\r"    PC: opens a data receive
//   "ACK\r"     both: accepted, go on      "NAK\r"  both: rejected, again
//   "OVER\r"    PC: end of the lookup file; terminal: end of its data
//   "FULL\r"    terminal: its memory is full (program download)
// Replies are recognised by their token anywhere in what arrived up to a CR.
// Every message of the PC arms a 1000 ms reply timer; when it runs out the
// last message goes again, at most ten times since the last progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "comm/exchange.h"
#include "comm/lookup_file.h"
#include "comm/reply_collector.h"
#include "resources/text_ids.h"

namespace fw {

struct ProgramImage;

enum class TransferMode { programDownload, lookupDownload, dataReceive };

// Results: 0 cancelled, 1 done, any other value the number of the text that
// says what went wrong.
constexpr int kTransferCancelled = 0;
constexpr int kTransferDone = 1;

constexpr int kReplyTimeoutMs = 1000;
constexpr int kMaxRetries = 10;

constexpr std::string_view kOpenDownload = "QUARIX\r";
constexpr std::string_view kOpenReceive = "GETD\r";
constexpr std::string_view kAck = "ACK\r";
constexpr std::string_view kNak = "NAK\r";
constexpr std::string_view kOver = "OVER\r";
constexpr std::string_view kFull = "FULL\r";

// The transfers speak the dialect of every exchange (comm/exchange.h).
using TransferAction = ExchangeAction;
using TransferActions = ExchangeActions;

// The transfer in progress, as far as the exchange goes (the port, the
// thread and the dialog are the runner's).
struct TransferState {
    TransferMode mode = TransferMode::programDownload;
    std::vector<uint8_t> lastSent;    // what a resend writes again
    int retryCount = 0;               // resends since the last progress; limit 10
    int blockIndex = 0;               // program: next ImageBlock; receive: expected serial
    uint64_t progress = 0;            // program: bar position; lookup: file bytes consumed
    uint64_t fileSize = 0;            // lookup file
    int linesSent = 0;                // lookup: lines sent so far (the next one's index)
    uint64_t acknowledged = 0;        // lookup: file bytes the terminal has acknowledged
    // Program: the terminal accepted the opening ("ACK\r" to "QUARIX\r"). From
    // here on it takes the program as normalised for the download, whatever the
    // outcome, so the designer keeps that normalisation in its model.
    bool openingAccepted = false;
    int recordCount = 0;              // receive: records accepted and written
    std::vector<uint8_t> previousRecord;  // receive: last accepted record, without CR
    bool havePreviousRecord = false;
};

// The calling rules are those of Exchange. A download is made with what it
// sends: the program's image (built from the program as normalised for the
// download), or the lookup file's lines. What a data receive asks of its
// host: writeRecord for each accepted record and syncRecords after "OVER\r":
// only a record in the file is acknowledged, and success waits until the
// file is on the disk.
class TransferEngine final : public Exchange {
public:
    // `image` must be the 20,000 bytes of a program image; anything else
    // ends the download with its failure once the terminal accepts it.
    static TransferEngine programDownload(std::span<const uint8_t> image);
    // The lines' fileSize is what the progress counts against, and what
    // tells the end of the file from a read that failed early.
    static TransferEngine lookupDownload(LookupLines lines);
    static TransferEngine dataReceive();

    TransferEngine(TransferEngine&&) noexcept;
    TransferEngine& operator=(TransferEngine&&) noexcept;
    ~TransferEngine() override;

    // Sends the opening message.
    TransferActions start() override;
    TransferActions received(std::span<const uint8_t> bytes) override;
    TransferActions timerExpired() override;
    // The user closed the progress dialog: result 0.
    TransferActions cancel() override;
    // A write to the port failed, or the port itself did (the line is gone).
    TransferActions portFailed() override;
    TransferActions answered(const ExchangeAnswer& answer) override;

    bool finished() const override { return finished_; }
    int result() const override { return result_; }
    const TransferState& state() const { return state_; }
    TransferMode mode() const { return state_.mode; }

    // Empties the state, as at the start and the end of every transfer.
    void endTransfer();

private:
    enum class Waiting { nothing, recordWrite, recordsSync };

    explicit TransferEngine(TransferMode mode);

    int sendFailureResult() const;
    void send(TransferActions& out, std::span<const uint8_t> bytes);
    void send(TransferActions& out, std::string_view text);
    void resend(TransferActions& out);
    void finish(TransferActions& out, int result);
    void ask(TransferActions& out, Waiting what, TransferAction request);
    void retryOrTimeOut(TransferActions& out);
    void feed(TransferActions& out, std::span<const uint8_t> bytes);
    void hold(std::span<const uint8_t> bytes);
    void handleReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleProgramReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleLookupReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleReceiveReply(TransferActions& out, std::span<const uint8_t> reply);
    void openingAccepted(TransferActions& out);
    void sendNextLine(TransferActions& out);
    void recordWritten(TransferActions& out, bool ok);
    void sendBlock(TransferActions& out);
    bool lastSentIs(std::string_view text) const;
    TransferActions resume(TransferActions out);

    TransferState state_;
    std::unique_ptr<ProgramImage> image_;   // program: null when not a whole image
    LookupLines lines_;                     // lookup
    ReplyCollector collector_;
    Waiting waiting_ = Waiting::nothing;
    std::vector<uint8_t> pendingRecord_;   // the record whose line is being written
    std::vector<uint8_t> held_;            // bytes that came while waiting for the host
    bool started_ = false;
    bool finished_ = false;
    bool overSentAtEnd_ = false;    // the last batch ended with success and a send
    int result_ = kTransferCancelled;
};

}  // namespace fw
