#include "comm/exchange.h"

#include <algorithm>
#include <utility>

namespace fw {

void ExchangeCancel::request() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    if (port_) port_->wakeWaiter();
}

bool ExchangeCancel::requested() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

void ExchangeCancel::attach(SerialPort* port) {
    std::lock_guard<std::mutex> lock(mutex_);
    port_ = port;
    // A cancel that came a moment ago still ends the wait about to start.
    if (port_ && requested_) port_->wakeWaiter();
}

namespace {

// While the port cannot be read (a failed read or wait), the timer still
// has to run out: sleep towards it in short steps, so that a cancel is seen.
constexpr int kTroubleStepMs = 50;

class Carrier {
public:
    Carrier(Exchange& exchange, SerialPort& port, LinkClock& clock, ExchangeHost& host,
            ExchangeCancel* cancel)
        : exchange_(exchange), port_(port), clock_(clock), host_(host), cancel_(cancel) {}

    int run() {
        if (cancelled()) return exchange_.result();
        carryOut(exchange_.start());
        uint8_t buffer[1024];
        while (!exchange_.finished()) {
            if (cancelled()) break;
            const long n = port_.read(buffer);
            const bool trouble = n < 0;
            if (n > 0) carryOut(exchange_.received(std::span<const uint8_t>(buffer, std::size_t(n))));
            if (exchange_.finished()) break;
            // Checked even when bytes came: a far end that chatters without
            // ever completing a reply must not hold off the timer.
            if (timerArmed_ && clock_.nowMs() >= deadline_) {
                timerArmed_ = false;
                carryOut(exchange_.timerExpired());
                continue;
            }
            if (n > 0) continue;   // there may be more already
            int waitMs = -1;
            if (timerArmed_) waitMs = int(std::max<int64_t>(0, deadline_ - clock_.nowMs()));
            if (trouble || port_.waitReadable(waitMs) == PortWait::failed) {
                // Not the far end's answer and not the end of the line: the
                // timer's resends find out whether writes still go through.
                clock_.sleepMs(waitMs < 0 ? kTroubleStepMs : std::min(waitMs, kTroubleStepMs));
            }
        }
        return exchange_.result();
    }

private:
    bool cancelled() {
        if (exchange_.finished() || !cancel_ || !cancel_->requested()) return false;
        carryOut(exchange_.cancel());
        return true;
    }

    void carryOut(ExchangeActions batch) {
        std::size_t i = 0;
        while (i < batch.size()) {
            ExchangeAction a = std::move(batch[i++]);
            ExchangeActions next;
            bool replaced = false;
            using Kind = ExchangeAction::Kind;
            switch (a.kind) {
            case Kind::send:
                if (a.purgeOutputFirst) port_.purgeOutput();
                if (!port_.write(a.bytes)) {
                    next = exchange_.portFailed();
                    replaced = true;
                }
                break;
            case Kind::setLine:
                if (!port_.applyLine(a.line)) {
                    next = exchange_.portFailed();
                    replaced = true;
                }
                break;
            case Kind::setTimeouts:
                // A driver that keeps its own time-outs still reads and
                // writes; the waits here do not depend on them.
                port_.setTimeouts(kTransferTimeouts);
                break;
            case Kind::purgeInput:
                port_.purgeInput();
                break;
            case Kind::armTimer:
                timerArmed_ = true;
                deadline_ = clock_.nowMs() + a.value;
                break;
            case Kind::progress:
            case Kind::recordCount:
            case Kind::openProgress:
            case Kind::closeProgress:
            case Kind::message:
                host_.notice(a);
                break;
            case Kind::writeRecord:
            case Kind::syncRecords:
            case Kind::askRetry:
                next = exchange_.answered(host_.request(a));
                replaced = true;
                break;
            case Kind::end:
                timerArmed_ = false;
                return;
            }
            if (replaced) {
                batch = std::move(next);
                i = 0;
            }
        }
    }

    Exchange& exchange_;
    SerialPort& port_;
    LinkClock& clock_;
    ExchangeHost& host_;
    ExchangeCancel* cancel_;
    bool timerArmed_ = false;
    int64_t deadline_ = 0;
};

// Keeps the port reachable for a cancel exactly while the exchange runs.
class Attached {
public:
    Attached(ExchangeCancel* cancel, SerialPort& port) : cancel_(cancel) {
        if (cancel_) cancel_->attach(&port);
    }
    ~Attached() {
        if (cancel_) cancel_->attach(nullptr);
    }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    ExchangeCancel* cancel_;
};

}  // namespace

int runExchange(Exchange& exchange, SerialPort& port, LinkClock& clock, ExchangeHost& host,
                ExchangeCancel* cancel) {
    Attached attached(cancel, port);
    return Carrier(exchange, port, clock, host, cancel).run();
}

}  // namespace fw
