// The one host of every exchange on a serial line (comm/exchange.h): the
// designer's transfers, fwx_load's download and fwxtool's ports all run
// their exchanges with it. It hands the notices to a TransferObserver (the
// user's view of the progress) and answers the requests that remain while
// an exchange runs: the received records to a RecordSink, the retry
// question to the observer. What an exchange sends it was given when it was
// made; the host builds and changes nothing.
#pragma once

#include <cstdint>
#include <span>

#include "comm/exchange.h"

namespace fw {

// Where a data receive's records go. Each write reaches the operating system
// before it returns (nothing stays buffered in the process), so that the
// record is safe from a crash of ours once the terminal has its "ACK\r".
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual bool write(std::span<const uint8_t> bytes) = 0;
    // Makes everything written durable on the disk.
    virtual bool sync() = 0;
};

// What an exchange reports while it runs, on the thread that runs it, and
// the one question it may ask.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void progress(int /*position 0..100*/) {}
    virtual void recordCount(int /*records received so far*/) {}
    virtual void openProgress() {}
    virtual void closeProgress() {}
    // A message of the exchange's own numbering.
    virtual void message(int /*message*/) {}
    // The retry question; true for Yes. Nobody to ask: No.
    virtual bool askRetry() { return false; }
};

// Passes the notices on and answers the requests from what it was given; a
// request with nothing to answer it (no sink) is refused, which ends the
// exchange with its failure.
class TransferHost final : public ExchangeHost {
public:
    struct Parts {
        RecordSink* records = nullptr;
        TransferObserver* observer = nullptr;
    };
    explicit TransferHost(Parts parts) : parts_(parts) {}

    void notice(const ExchangeAction& action) override;
    ExchangeAnswer request(const ExchangeAction& action) override;

private:
    Parts parts_;
};

}  // namespace fw
