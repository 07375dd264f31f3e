// The three serial exchanges with the terminal (program download, lookup
// download, data receive) as one state machine that never touches a port, a
// file or a clock. A runner feeds it events and carries out the actions it
// returns; comm/transfer_runner runs it on a SerialPort, tests run it by hand
// on a fake clock.
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

#include "comm/lookup_file.h"
#include "comm/reply_collector.h"
#include "model/program_model.h"

namespace fw {

struct ProgramImage;

enum class TransferMode { programDownload, lookupDownload, dataReceive };

// Results: 0 cancelled, 1 done, any other value the number of the text that
// says what went wrong.
constexpr int kTransferCancelled = 0;
constexpr int kTransferDone = 1;
constexpr int kTimeOut = 1144;                   // "Time out!"
constexpr int kMemoryFull = 1146;                // "Memory full for Terminal!"
constexpr int kCannotOpenFile = 1161;            // "Cannot open the file!"
constexpr int kFailedToEstablishConnection = 1165;  // "Failed to establish connection!"
constexpr int kErrorOnDownloading = 1168;        // "Error on downloading!"
constexpr int kFileCreateFailed = 1170;          // "File open/create failed!"
constexpr int kErrorOnUploading = 1173;          // "Error on uploading!"
// "Cannot write the received data!": the output file refused a record (a
// full disk), so the record was not acknowledged and the receive stopped.
constexpr int kCannotWriteReceivedData = 1175;

constexpr int kReplyTimeoutMs = 1000;
constexpr int kMaxRetries = 10;

constexpr std::string_view kOpenDownload = "QUARIX\r";
constexpr std::string_view kOpenReceive = "GETD\r";
constexpr std::string_view kAck = "ACK\r";
constexpr std::string_view kNak = "NAK\r";
constexpr std::string_view kOver = "OVER\r";
constexpr std::string_view kFull = "FULL\r";

// What the runner is to do, in the order given.
struct TransferAction {
    enum class Kind {
        send,         // purge the port's transmit queue, write `bytes`
        armTimer,     // (re)start the reply timer: `value` ms, replacing any running
        progress,     // bar position `value`, 0..100 (downloads)
        recordCount,  // records received so far `value` ("Data received : %d")
        writeRecord,  // hand `bytes` (a record's line) to the output file, then
                      // report with recordWritten()
        syncRecords,  // make the output file durable on disk, then report with
                      // recordsSynced()
        end,          // stop the timer; the transfer is over with result `value`
    };
    Kind kind = Kind::end;
    std::vector<uint8_t> bytes;
    int value = 0;
};

using TransferActions = std::vector<TransferAction>;

// The transfer in progress, as far as the exchange goes (the port, the
// thread and the dialog are the runner's).
struct TransferState {
    TransferMode mode = TransferMode::programDownload;
    std::vector<uint8_t> lastSent;    // what a resend writes again
    int retryCount = 0;               // resends since the last progress; limit 10
    int blockIndex = 0;               // program: next ImageBlock; receive: expected serial
    uint64_t progress = 0;            // program: bar position; lookup: file bytes consumed
    uint64_t fileSize = 0;            // lookup file
    int recordCount = 0;              // receive: records accepted and written
    std::vector<uint8_t> previousRecord;  // receive: last accepted record, without CR
    bool havePreviousRecord = false;
};

// Calling rules for a runner:
// - Events are never delivered concurrently (one thread, or one mutex).
// - A batch is carried out in order. When a `send` fails, skip the rest of
//   the batch and deliver sendFailed(); its batch takes the place of the rest.
// - `writeRecord` and `syncRecords` end their batch; report their outcome
//   before any other event. Bytes that arrive meanwhile may still be passed
//   to received(): they are held until then.
// - After `end`, events give empty batches.
class TransferEngine {
public:
    // The image is built from `model` when the terminal accepts the opening,
    // after the model is tidied for the download (the tidying stays in the
    // model). `model` must outlive the engine.
    static TransferEngine programDownload(ProgramModel& model);
    // Sends the lines of `file`, whose size is taken as fileSize for the
    // progress and for telling the end of the file from a failed read.
    // `file` must outlive the engine.
    static TransferEngine lookupDownload(ByteSource& file, uint64_t fileSize);
    static TransferEngine dataReceive();

    TransferEngine(TransferEngine&&) noexcept;
    TransferEngine& operator=(TransferEngine&&) noexcept;
    ~TransferEngine();

    // Sends the opening message.
    TransferActions start();
    TransferActions received(std::span<const uint8_t> bytes);
    TransferActions timerExpired();
    // The user closed the progress dialog: result 0.
    TransferActions cancel();
    // A write to the port failed, or the port itself did (the line is gone).
    TransferActions sendFailed();
    // Outcome of the last writeRecord: only a record in the file is acknowledged.
    TransferActions recordWritten(bool ok);
    // Outcome of syncRecords after "OVER\r": success only once the file is on disk.
    TransferActions recordsSynced(bool ok);

    bool finished() const { return finished_; }
    int result() const { return result_; }
    const TransferState& state() const { return state_; }
    // The image of a program download, once built (else nullptr).
    const ProgramImage* image() const { return image_.get(); }

    // Empties the state, as at the start and the end of every transfer.
    void endTransfer();

private:
    enum class Waiting { nothing, recordWrite, recordsSync };

    TransferEngine(TransferMode mode, ProgramModel* model, ByteSource* file, uint64_t fileSize);

    int sendFailureResult() const;
    void send(TransferActions& out, std::span<const uint8_t> bytes);
    void send(TransferActions& out, std::string_view text);
    void resend(TransferActions& out);
    void finish(TransferActions& out, int result);
    void retryOrTimeOut(TransferActions& out);
    void feed(TransferActions& out, std::span<const uint8_t> bytes);
    void hold(std::span<const uint8_t> bytes);
    void handleReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleProgramReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleLookupReply(TransferActions& out, std::span<const uint8_t> reply);
    void handleReceiveReply(TransferActions& out, std::span<const uint8_t> reply);
    void sendBlock(TransferActions& out);
    bool lastSentIs(std::string_view text) const;
    TransferActions resume(TransferActions out);

    TransferState state_;
    ProgramModel* model_ = nullptr;
    ByteSource* file_ = nullptr;
    std::unique_ptr<ProgramImage> image_;
    ReplyCollector collector_;
    Waiting waiting_ = Waiting::nothing;
    std::vector<uint8_t> pendingRecord_;   // the record whose line is being written
    std::vector<uint8_t> held_;            // bytes that came while waiting for the file
    bool started_ = false;
    bool finished_ = false;
    bool overSentAtEnd_ = false;    // the last batch ended with success and a send
    int result_ = kTransferCancelled;
};

}  // namespace fw
