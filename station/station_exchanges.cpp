#include "station/station_exchanges.h"

namespace fw {

ExchangeActions AskExchange::received(std::span<const uint8_t> bytes) {
    if (!bytes.empty()) heard_ = true;
    return engine_.received(bytes);
}

ExchangeActions AskExchange::timerExpired() {
    if (!heard_ && !engine_.finished()) {
        silent_ = true;
        return engine_.cancel();
    }
    return engine_.timerExpired();
}

ExchangeActions ProbeExchange::start() {
    ExchangeActions out;
    if (started_ || finished_) return out;
    started_ = true;
    ExchangeAction send;
    send.kind = ExchangeAction::Kind::send;
    send.bytes.assign(kOpenReceive.begin(), kOpenReceive.end());
    send.purgeOutputFirst = true;
    out.push_back(std::move(send));
    ExchangeAction timer;
    timer.kind = ExchangeAction::Kind::armTimer;
    timer.value = kReplyTimeoutMs;
    out.push_back(std::move(timer));
    return out;
}

ExchangeActions ProbeExchange::received(std::span<const uint8_t> bytes) {
    if (!started_ || finished_) return {};
    for (uint8_t b : bytes) {
        if (collector_.add(b)) return finish(kTransferDone);
    }
    return {};
}

ExchangeActions ProbeExchange::timerExpired() {
    if (!started_ || finished_) return {};
    return finish(kTransferCancelled);
}

ExchangeActions ProbeExchange::cancel() {
    if (finished_) return {};
    return finish(kTransferCancelled);
}

ExchangeActions ProbeExchange::portFailed() {
    if (finished_) return {};
    return finish(kErrorOnUploading);
}

ExchangeActions ProbeExchange::finish(int result) {
    finished_ = true;
    result_ = result;
    ExchangeAction end;
    end.kind = ExchangeAction::Kind::end;
    end.value = result;
    return {end};
}

}  // namespace fw
