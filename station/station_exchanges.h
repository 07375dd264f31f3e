// The two exchanges of the station, in the dialect of every exchange
// (comm/exchange.h).
//
// An ask is the data receive with one difference: a port on which nothing
// at all answers the first "GETD\r" within the reply time is left at once
// (no terminal there), not prompted ten times more.
//
// A probe finds out whether a terminal is still there without taking
// anything from it: "GETD\r" once, and whatever reply comes within the
// reply time is left unacknowledged (the terminal keeps its records).
#pragma once

#include "comm/reply_collector.h"
#include "comm/transfer.h"

namespace fw {

class AskExchange final : public Exchange {
public:
    AskExchange() : engine_(TransferEngine::dataReceive()) {}

    ExchangeActions start() override { return engine_.start(); }
    ExchangeActions received(std::span<const uint8_t> bytes) override;
    ExchangeActions timerExpired() override;
    ExchangeActions cancel() override { return engine_.cancel(); }
    ExchangeActions portFailed() override { return engine_.portFailed(); }
    ExchangeActions answered(const ExchangeAnswer& answer) override { return engine_.answered(answer); }
    bool finished() const override { return engine_.finished(); }
    int result() const override { return engine_.result(); }

    // Nothing came before the first reply time ran out.
    bool silent() const { return silent_; }
    const TransferEngine& engine() const { return engine_; }

private:
    TransferEngine engine_;
    bool heard_ = false;
    bool silent_ = false;
};

class ProbeExchange final : public Exchange {
public:
    ExchangeActions start() override;
    ExchangeActions received(std::span<const uint8_t> bytes) override;
    ExchangeActions timerExpired() override;
    ExchangeActions cancel() override;
    ExchangeActions portFailed() override;
    ExchangeActions answered(const ExchangeAnswer&) override { return {}; }
    bool finished() const override { return finished_; }
    // kTransferDone: a reply came; kTransferCancelled: silence or a cancel;
    // kErrorOnUploading: the line is gone.
    int result() const override { return result_; }

private:
    ExchangeActions finish(int result);

    ReplyCollector collector_{false};
    bool started_ = false;
    bool finished_ = false;
    int result_ = kTransferCancelled;
};

}  // namespace fw
