#include "loader/loader_exchange.h"

#include <algorithm>

namespace fw::loader {

namespace {

Action make(Action::Kind kind, int value = 0) {
    Action a;
    a.kind = kind;
    a.value = value;
    return a;
}

Action messageAction(Message m) {
    return make(Action::Kind::message, static_cast<int>(m));
}

}  // namespace

int progressAfterBlock(int k) {
    return std::min(100, 5 + (k + 1) / 2);
}

LoaderExchange::LoaderExchange(const ProgramImage& image) : image_(image) {}

Actions LoaderExchange::start() {
    Actions out;
    if (phase_ != Phase::idle) return out;
    beginAttempt(out);
    collect(out);
    return out;
}

void LoaderExchange::beginAttempt(Actions& out) {
    ++attempts_;
    out.push_back(make(Action::Kind::setTimeouts));
    phase_ = Phase::handshake;
    tries_ = 0;
    sendHandshake(out);
}

void LoaderExchange::sendHandshake(Actions& out) {
    ++tries_;
    Action a = make(Action::Kind::send);
    a.bytes.assign(kHandshake.begin(), kHandshake.end());
    out.push_back(std::move(a));
    // The reply window starts once the message is written.
    out.push_back(make(Action::Kind::armTimer, kReplyWindowMs));
    awaiting_ = true;
    reply_.clear();
}

void LoaderExchange::sendBlock(Actions& out) {
    ++sends_;
    const ImageBlock block = makeImageBlock(image_, block_);
    const auto* raw = reinterpret_cast<const uint8_t*>(&block);
    Action a = make(Action::Kind::send);
    a.bytes.assign(raw, raw + sizeof block);
    out.push_back(std::move(a));
    // The reply window starts once the message is written.
    out.push_back(make(Action::Kind::armTimer, kReplyWindowMs));
    awaiting_ = true;
    reply_.clear();
}

Actions LoaderExchange::received(std::span<const uint8_t> bytes) {
    Actions out;
    if (phase_ == Phase::idle || phase_ == Phase::finished) return out;
    queued_.insert(queued_.end(), bytes.begin(), bytes.end());
    collect(out);
    return out;
}

// Takes queued bytes into the reply as the port's reads would deliver them:
// up to 3 at a time, until 10 or more have come or a read ends with CR. A
// complete reply may lead to the next message, whose reply then starts with
// what is still queued, as it would from the port.
void LoaderExchange::collect(Actions& out) {
    while (awaiting_ && !queued_.empty()) {
        const std::size_t n = std::min(kReplyReadSize, queued_.size());
        reply_.insert(reply_.end(), queued_.begin(), queued_.begin() + long(n));
        queued_.erase(queued_.begin(), queued_.begin() + long(n));
        if (reply_.size() >= kReplyLimit || reply_.back() == '\r') replyComplete(out);
    }
}

Actions LoaderExchange::timerExpired() {
    Actions out;
    if (!awaiting_) return out;
    replyComplete(out);
    collect(out);
    return out;
}

Actions LoaderExchange::portFailed() {
    Actions out;
    if (!awaiting_) return out;
    reply_.clear();
    replyComplete(out);
    collect(out);
    return out;
}

void LoaderExchange::replyComplete(Actions& out) {
    awaiting_ = false;
    if (!reply_.empty() && reply_.back() == '\r') reply_.pop_back();
    const bool ack = std::equal(reply_.begin(), reply_.end(), kAccepted.begin(), kAccepted.end());
    reply_.clear();
    if (ack) {
        accepted(out);
    } else {
        missed(out);
    }
}

void LoaderExchange::accepted(Actions& out) {
    if (phase_ == Phase::handshake) {
        out.push_back(make(Action::Kind::openProgress));
        phase_ = Phase::blocks;
        block_ = 0;
        sends_ = 0;
        sendBlock(out);
        return;
    }
    out.push_back(make(Action::Kind::progress, progressAfterBlock(block_)));
    if (++block_ < kImageBlockCount) {
        sends_ = 0;
        sendBlock(out);
        return;
    }
    out.push_back(make(Action::Kind::closeProgress));
    out.push_back(messageAction(Message::downloadedCompletely));
    end(out, true);
}

void LoaderExchange::missed(Actions& out) {
    if (phase_ == Phase::handshake) {
        if (tries_ < kHandshakeTries) {
            sendHandshake(out);
        } else {
            failAttempt(out, Message::terminalNotReady);
        }
        return;
    }
    if (sends_ < kBlockSends) {
        sendBlock(out);
    } else {
        // The progress window goes before the message, so that a retry
        // never leaves one behind.
        out.push_back(make(Action::Kind::closeProgress));
        failAttempt(out, Message::errorOnDownloading);
    }
}

void LoaderExchange::failAttempt(Actions& out, Message why) {
    out.push_back(messageAction(why));
    phase_ = Phase::retryQuestion;
    out.push_back(make(Action::Kind::askRetry));
}

Actions LoaderExchange::cancel() {
    Actions out;
    if (phase_ == Phase::finished) return out;
    end(out, false);
    return out;
}

Actions LoaderExchange::answered(const ExchangeAnswer& answer) {
    return retryAnswered(answer.ok);
}

Actions LoaderExchange::retryAnswered(bool yes) {
    Actions out;
    if (phase_ != Phase::retryQuestion) return out;
    purge(out);
    if (yes) {
        beginAttempt(out);
    } else {
        end(out, false);
    }
    return out;
}

void LoaderExchange::purge(Actions& out) {
    queued_.clear();
    out.push_back(make(Action::Kind::purgeInput));
}

void LoaderExchange::end(Actions& out, bool downloaded) {
    if (downloaded) purge(out);   // after No the queue was purged just now
    awaiting_ = false;
    phase_ = Phase::finished;
    downloaded_ = downloaded;
    out.push_back(make(Action::Kind::end, downloaded ? 1 : 0));
}

}  // namespace fw::loader
