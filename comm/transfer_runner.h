// What a transfer asks of the world beyond the port: the program's image,
// the lookup file's lines, the received-data file, and the user's view of
// the progress. runExchange (comm/exchange.h) carries the transfer out on a
// port and hands these requests and notices to a TransferHost.
#pragma once

#include <cstdint>
#include <span>

#include "comm/exchange.h"
#include "comm/lookup_file.h"
#include "comm/transfer.h"
#include "model/program_model.h"

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

// What a transfer reports while it runs, on the thread that runs it.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void progress(int /*position 0..100*/) {}
    virtual void recordCount(int /*records received so far*/) {}
};

// Answers a transfer's requests from what it was given; a request with
// nothing to answer it (no model, no file, no sink) is refused, which ends
// the transfer with its failure.
class TransferHost final : public ExchangeHost {
public:
    struct Parts {
        ProgramModel* model = nullptr;   // program download: normalised, then imaged
        ByteSource* lookupFile = nullptr;
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
