// The one dialect of every exchange on a serial line: the designer's three
// transfers, the infrared cradle's set-up and the downloader's exchange.
//
// An exchange is a state machine that never touches a port, a file, a
// window or a clock. It is told what happened (events) and answers with
// what to do next (actions, carried out in order). runExchange carries out
// every exchange on a SerialPort; tests drive them by hand on a fake clock.
//
// Events:  start, received(bytes), timerExpired, cancel, portFailed, and
//          answered(answer) for the outcome of a request.
// Actions: to the port (send, setLine, setTimeouts, purgeInput); the one
//          timer (armTimer); notices for the user (progress, recordCount,
//          openProgress, closeProgress, message); requests that the host
//          answers (writeRecord, syncRecords, askRetry); and end.
//
// An exchange is made with everything it sends (the program image, the
// lookup file's lines): it never asks for bytes to be built, and nothing
// outside it changes while it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "comm/link_clock.h"
#include "comm/serial_port.h"

namespace fw {

struct ExchangeAction {
    enum class Kind {
        send,          // purge nothing, write `bytes`; a failed write: portFailed()
        setLine,       // apply `line` (speed, DTR, RTS; 8N1); refused: portFailed()
        setTimeouts,   // the transfer time-outs (reads at once, writes 5 ms a byte + 50 ms)
        purgeInput,    // drop what waits in the receive queue
        armTimer,      // (re)start the one timer: `value` ms, replacing a running one
        progress,      // notice: bar position `value`, 0..100
        recordCount,   // notice: records received so far `value`
        openProgress,  // notice: show the progress window, bar at 0
        closeProgress, // notice: take the progress window down
        message,       // notice: show message `value` (the exchange's own numbering)
        writeRecord,   // request: put `bytes` (a received record's line, serial `value`) in the file
        syncRecords,   // request: make the file durable on the disk
        askRetry,      // request: the retry question; ok is Yes
        end,           // the exchange is over with result `value`; stop the timer
    };
    Kind kind = Kind::end;
    std::vector<uint8_t> bytes;
    LineSettings line;
    int value = 0;
    // purgeOutput before a send: a copy of the last message still queued
    // (the far end stayed silent) goes before its resend.
    bool purgeOutputFirst = false;
};

using ExchangeActions = std::vector<ExchangeAction>;

// The outcome of a request action.
struct ExchangeAnswer {
    bool ok = false;   // done / Yes
};

// Calling rules, the same for every exchange:
// - Events are never delivered concurrently (one thread, or one mutex).
// - A batch is carried out in order. When a send or setLine fails, the rest
//   of the batch is dropped and portFailed() is delivered; its batch takes
//   the place of the rest. A request ends its batch, and its answer is
//   delivered before any other event.
// - Bytes may arrive at any time; an exchange keeps or drops what it does
//   not await. After `end`, events give empty batches.
class Exchange {
public:
    virtual ~Exchange() = default;
    virtual ExchangeActions start() = 0;
    virtual ExchangeActions received(std::span<const uint8_t> bytes) = 0;
    virtual ExchangeActions timerExpired() = 0;
    // The user gave up: the exchange ends with nothing more sent.
    virtual ExchangeActions cancel() = 0;
    // A write or a line change was refused: the line is gone.
    virtual ExchangeActions portFailed() = 0;
    virtual ExchangeActions answered(const ExchangeAnswer& answer) = 0;
    virtual bool finished() const = 0;
    virtual int result() const = 0;
};

// What an exchange needs beyond the port: the user's view of it and the
// answers to its requests. Called on the thread of runExchange.
class ExchangeHost {
public:
    virtual ~ExchangeHost() = default;
    // progress, recordCount, openProgress, closeProgress, message.
    virtual void notice(const ExchangeAction& /*action*/) {}
    // writeRecord, syncRecords, askRetry. The default answers every request
    // with "not done".
    virtual ExchangeAnswer request(const ExchangeAction& /*action*/) { return {}; }
};

// Lets another thread end a running exchange (the progress dialog's close
// box). A cancel asked for before the exchange starts ends it before it
// sends anything.
class ExchangeCancel {
public:
    void request();
    bool requested() const;

    // The port that request() wakes while an exchange waits on it; nullptr
    // detaches it (before the port is closed).
    void attach(SerialPort* port);

private:
    mutable std::mutex mutex_;
    SerialPort* port_ = nullptr;
    bool requested_ = false;
};

// Carries out `exchange` on an open port from start() to its end and returns
// its result. Reads as bytes arrive and blocks in the port while none do,
// until the timer's deadline or a cancel; nothing is read on a timer. A
// failed read or wait is not passed on: the exchange's timer decides, as it
// does for silence (the next send finds out whether the line is gone).
int runExchange(Exchange& exchange, SerialPort& port, LinkClock& clock, ExchangeHost& host,
                ExchangeCancel* cancel = nullptr);

}  // namespace fw
