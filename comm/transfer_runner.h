// Runs a TransferEngine on a serial port: reads as bytes arrive (the port
// blocks in the OS while none do), keeps the reply timer on a monotonic
// clock, writes what the engine sends and hands received records to the
// output file. Every engine call happens on the thread that calls run(), so
// the engine is never entered twice at once; other threads only ask for a
// cancel. Portable: the Win32 and POSIX ports both implement SerialPort.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "comm/transfer.h"

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

// What a runner reports while it runs, on the runner's thread.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void progress(int /*position 0..100*/) {}
    virtual void recordCount(int /*records received so far*/) {}
};

class TransferRunner {
public:
    // `sink` is needed by a data receive only; a record with nowhere to go
    // counts as a failed write.
    TransferRunner(TransferEngine& engine, SerialPort& port, LinkClock& clock,
                   RecordSink* sink = nullptr, TransferObserver* observer = nullptr);

    // Runs the exchange from start() to its end and returns the result.
    int run();

    // From any thread: the transfer ends with result 0 as soon as the runner
    // sees it (at once when it waits on the port).
    void requestCancel();

private:
    // Carries out a batch and whatever the engine answers to its outcomes.
    void carryOut(TransferActions batch);

    TransferEngine& engine_;
    SerialPort& port_;
    LinkClock& clock_;
    RecordSink* sink_;
    TransferObserver* observer_;
    std::atomic<bool> cancelRequested_{false};
    bool timerArmed_ = false;
    int64_t deadline_ = 0;
};

}  // namespace fw
