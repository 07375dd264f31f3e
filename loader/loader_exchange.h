// The downloader's exchange with the terminal, as a state machine that never
// touches a port, a window or a clock: the transfer loop with its retry
// question, the handshake and the 200 image blocks. runExchange
// (loader/loader_session) carries it out; tests drive it by hand.
//
// The exchange is simpler than the designer's and the terminal tells them
// apart by the opening:
//   "VELMOR\r"    PC: opens the download; sent up to three times
//   ImageBlock k  PC: 100 image bytes, their sum high and low, k (103 bytes)
//   "ACK"         terminal: accepted (normally followed by CR)
// After every message the reply is collected for up to 3000 ms, in reads of
// up to 3 bytes, until 10 or more bytes have come or a read ends with CR; a
// final CR is dropped and what is left must be exactly "ACK". Anything else,
// silence included, is a miss. A block goes at most four times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "comm/exchange.h"
#include "loader/loader_program.h"
#include "loader/loader_texts.h"

namespace fw::loader {

constexpr std::string_view kHandshake = "VELMOR\r";
constexpr std::string_view kAccepted = "ACK";
constexpr int kHandshakeTries = 3;
constexpr int kBlockSends = 4;
constexpr int kReplyWindowMs = 3000;
constexpr std::size_t kReplyReadSize = 3;
constexpr std::size_t kReplyLimit = 10;

// The bar after block k (0..199): 5 + k/2 rounded up, at most 100.
int progressAfterBlock(int k);

// The downloader speaks the dialect of every exchange (comm/exchange.h): it
// uses setTimeouts, send (each followed by armTimer for its reply window),
// openProgress, progress, closeProgress, message (`value` a Message),
// askRetry, purgeInput and end (`value` 1 downloaded, 0 not).
using Action = ExchangeAction;
using Actions = ExchangeActions;

// The message of a message action.
inline Message messageOf(const Action& a) { return static_cast<Message>(a.value); }

// Calling rules: those of Exchange; `askRetry` and `end` end their batch.
// Events that do not fit the state give an empty batch.
class LoaderExchange final : public Exchange {
public:
    // `image` (the prepared program's) is what every attempt sends; it must
    // outlive the exchange.
    explicit LoaderExchange(const ProgramImage& image);

    // The first attempt: time-outs, then the handshake.
    Actions start() override;
    // Bytes from the port. Bytes that come while no reply is awaited stay
    // queued for the next one, as they would in the port.
    Actions received(std::span<const uint8_t> bytes) override;
    // The reply window of the last message ended.
    Actions timerExpired() override;
    // The user gave up: the loop ends, not downloaded.
    Actions cancel() override;
    // The last write failed, or the port did: no reply will come to it.
    Actions portFailed() override;
    // The answer to askRetry (ok: Yes runs the transfer again).
    Actions answered(const ExchangeAnswer& answer) override;
    Actions retryAnswered(bool yes);

    bool awaitingReply() const { return awaiting_; }
    bool finished() const override { return phase_ == Phase::finished; }
    int result() const override { return downloaded_ ? 1 : 0; }
    bool downloaded() const { return downloaded_; }
    int attempts() const { return attempts_; }

private:
    enum class Phase { idle, handshake, blocks, retryQuestion, finished };

    void beginAttempt(Actions& out);
    void sendHandshake(Actions& out);
    void sendBlock(Actions& out);
    void collect(Actions& out);
    void replyComplete(Actions& out);
    void accepted(Actions& out);
    void missed(Actions& out);
    void failAttempt(Actions& out, Message why);
    void purge(Actions& out);
    void end(Actions& out, bool downloaded);

    const ProgramImage& image_;
    Phase phase_ = Phase::idle;
    bool awaiting_ = false;          // a reply is being collected
    std::vector<uint8_t> queued_;    // arrived, not yet read into a reply
    std::vector<uint8_t> reply_;
    int tries_ = 0;                  // handshakes sent this attempt
    int block_ = 0;
    int sends_ = 0;                  // sends of the current block
    int attempts_ = 0;
    bool downloaded_ = false;
};

}  // namespace fw::loader
