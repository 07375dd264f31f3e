#include "comm/transfer_runner.h"

#include <algorithm>
#include <utility>

namespace fw {

TransferRunner::TransferRunner(TransferEngine& engine, SerialPort& port, LinkClock& clock,
                               RecordSink* sink, TransferObserver* observer)
    : engine_(engine), port_(port), clock_(clock), sink_(sink), observer_(observer) {}

void TransferRunner::requestCancel() {
    cancelRequested_.store(true);
    port_.wakeWaiter();
}

void TransferRunner::carryOut(TransferActions batch) {
    std::size_t i = 0;
    while (i < batch.size()) {
        TransferAction a = std::move(batch[i++]);
        TransferActions next;
        bool replaced = false;
        switch (a.kind) {
        case TransferAction::Kind::send:
            // A copy of the last message that is still queued (the terminal
            // stayed silent) goes before its resend does.
            port_.purgeOutput();
            if (!port_.write(a.bytes)) {
                next = engine_.sendFailed();
                replaced = true;
            }
            break;
        case TransferAction::Kind::armTimer:
            timerArmed_ = true;
            deadline_ = clock_.nowMs() + a.value;
            break;
        case TransferAction::Kind::progress:
            if (observer_) observer_->progress(a.value);
            break;
        case TransferAction::Kind::recordCount:
            if (observer_) observer_->recordCount(a.value);
            break;
        case TransferAction::Kind::writeRecord:
            next = engine_.recordWritten(sink_ != nullptr && sink_->write(a.bytes));
            replaced = true;
            break;
        case TransferAction::Kind::syncRecords:
            next = engine_.recordsSynced(sink_ != nullptr && sink_->sync());
            replaced = true;
            break;
        case TransferAction::Kind::end:
            timerArmed_ = false;
            return;
        }
        if (replaced) {
            batch = std::move(next);
            i = 0;
        }
    }
}

int TransferRunner::run() {
    carryOut(engine_.start());
    uint8_t buffer[kReplyBufferSize];
    while (!engine_.finished()) {
        if (cancelRequested_.load()) {
            carryOut(engine_.cancel());
            break;
        }
        const long n = port_.read(buffer);
        if (n < 0) {
            carryOut(engine_.sendFailed());   // the line is gone
            continue;
        }
        if (n > 0) carryOut(engine_.received(std::span<const uint8_t>(buffer, std::size_t(n))));
        if (engine_.finished()) break;
        // Checked even when bytes came: a terminal that chatters without ever
        // completing a reply must not hold off the resend.
        if (timerArmed_ && clock_.nowMs() >= deadline_) {
            timerArmed_ = false;
            carryOut(engine_.timerExpired());
            continue;
        }
        if (n > 0) continue;   // there may be more already
        int waitMs = -1;
        if (timerArmed_) waitMs = int(std::max<int64_t>(0, deadline_ - clock_.nowMs()));
        if (port_.waitReadable(waitMs) == PortWait::failed) carryOut(engine_.sendFailed());
    }
    return engine_.result();
}

}  // namespace fw
