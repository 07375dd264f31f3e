#include "comm/transfer.h"

#include <algorithm>

#include "comm/data_receive.h"
#include "comm/program_image.h"

namespace fw {

namespace {

std::span<const uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TransferAction action(TransferAction::Kind kind, int value = 0) {
    TransferAction a;
    a.kind = kind;
    a.value = value;
    return a;
}

TransferAction actionWithBytes(TransferAction::Kind kind, std::span<const uint8_t> bytes) {
    TransferAction a;
    a.kind = kind;
    a.bytes.assign(bytes.begin(), bytes.end());
    return a;
}

// Bytes that arrive while a record is being written are kept for later, up
// to this much; a stop-and-wait terminal sends nothing then anyway.
constexpr std::size_t kHeldBytesMax = 2 * kReplyBufferSize;

}  // namespace

TransferEngine::TransferEngine(TransferMode mode) : collector_(mode != TransferMode::dataReceive) {
    endTransfer();
    state_.mode = mode;
}

TransferEngine TransferEngine::programDownload(std::span<const uint8_t> image) {
    TransferEngine engine(TransferMode::programDownload);
    if (image.size() == kProgramImageSize) {
        engine.image_ = std::make_unique<ProgramImage>();
        std::copy(image.begin(), image.end(), engine.image_->bytes);
    }
    return engine;
}

TransferEngine TransferEngine::lookupDownload(LookupLines lines) {
    TransferEngine engine(TransferMode::lookupDownload);
    engine.state_.fileSize = lines.fileSize;
    engine.lines_ = std::move(lines);
    return engine;
}

TransferEngine TransferEngine::dataReceive() {
    return TransferEngine(TransferMode::dataReceive);
}

TransferEngine::TransferEngine(TransferEngine&&) noexcept = default;
TransferEngine& TransferEngine::operator=(TransferEngine&&) noexcept = default;
TransferEngine::~TransferEngine() = default;

void TransferEngine::endTransfer() {
    const TransferMode mode = state_.mode;
    state_ = TransferState{};
    state_.mode = mode;
    collector_.clear();
    waiting_ = Waiting::nothing;
    pendingRecord_.clear();
    held_.clear();
}

int TransferEngine::sendFailureResult() const {
    return state_.mode == TransferMode::dataReceive ? kErrorOnUploading : kErrorOnDownloading;
}

bool TransferEngine::lastSentIs(std::string_view text) const {
    return state_.lastSent.size() == text.size() &&
           std::equal(text.begin(), text.end(), state_.lastSent.begin(),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

void TransferEngine::send(TransferActions& out, std::span<const uint8_t> bytes) {
    state_.lastSent.assign(bytes.begin(), bytes.end());
    TransferAction a = actionWithBytes(TransferAction::Kind::send, bytes);
    a.purgeOutputFirst = true;
    out.push_back(std::move(a));
    out.push_back(action(TransferAction::Kind::armTimer, kReplyTimeoutMs));
}

void TransferEngine::send(TransferActions& out, std::string_view text) {
    send(out, bytesOf(text));
}

void TransferEngine::resend(TransferActions& out) {
    const std::vector<uint8_t> again = state_.lastSent;
    send(out, again);
}

void TransferEngine::finish(TransferActions& out, int result) {
    finished_ = true;
    result_ = result;
    waiting_ = Waiting::nothing;
    held_.clear();
    out.push_back(action(TransferAction::Kind::end, result));
}

void TransferEngine::ask(TransferActions& out, Waiting what, TransferAction request) {
    waiting_ = what;
    out.push_back(std::move(request));
}

void TransferEngine::retryOrTimeOut(TransferActions& out) {
    if (state_.retryCount >= kMaxRetries) {
        finish(out, kTimeOut);
        return;
    }
    resend(out);
    ++state_.retryCount;
}

TransferActions TransferEngine::start() {
    overSentAtEnd_ = false;
    TransferActions out;
    if (started_ || finished_) return out;
    started_ = true;
    if (state_.mode == TransferMode::dataReceive) {
        out.push_back(action(TransferAction::Kind::recordCount, 0));
        send(out, kOpenReceive);
    } else {
        send(out, kOpenDownload);
    }
    return out;
}

TransferActions TransferEngine::received(std::span<const uint8_t> bytes) {
    overSentAtEnd_ = false;
    TransferActions out;
    if (!started_ || finished_) return out;
    if (waiting_ != Waiting::nothing) {
        hold(bytes);
        return out;
    }
    feed(out, bytes);
    return out;
}

void TransferEngine::hold(std::span<const uint8_t> bytes) {
    const std::size_t room = kHeldBytesMax - std::min(kHeldBytesMax, held_.size());
    held_.insert(held_.end(), bytes.begin(), bytes.begin() + std::min(room, bytes.size()));
}

void TransferEngine::feed(TransferActions& out, std::span<const uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!collector_.add(bytes[i])) continue;
        handleReply(out, collector_.reply());
        collector_.clear();
        if (finished_) return;
        if (waiting_ != Waiting::nothing) {
            // The rest waits until the record is in the file.
            hold(bytes.subspan(i + 1));
            return;
        }
    }
}

TransferActions TransferEngine::resume(TransferActions out) {
    if (!finished_ && waiting_ == Waiting::nothing && !held_.empty()) {
        std::vector<uint8_t> bytes;
        bytes.swap(held_);
        feed(out, bytes);
    }
    return out;
}

TransferActions TransferEngine::timerExpired() {
    overSentAtEnd_ = false;
    TransferActions out;
    // While the file takes a record, the timer waits for it: the terminal
    // must not be prompted before the record is safe.
    if (!started_ || finished_ || waiting_ != Waiting::nothing) return out;
    retryOrTimeOut(out);
    return out;
}

TransferActions TransferEngine::cancel() {
    overSentAtEnd_ = false;
    TransferActions out;
    if (!finished_) finish(out, kTransferCancelled);
    return out;
}

TransferActions TransferEngine::portFailed() {
    TransferActions out;
    // The lookup download ends with success as it sends "OVER\r"; when that
    // send fails, the failure replaces the success.
    if (finished_ && !overSentAtEnd_) return out;
    overSentAtEnd_ = false;
    finish(out, sendFailureResult());
    return out;
}

TransferActions TransferEngine::answered(const ExchangeAnswer& answer) {
    overSentAtEnd_ = false;
    TransferActions out;
    if (finished_) return out;
    const Waiting was = waiting_;
    waiting_ = Waiting::nothing;
    switch (was) {
    case Waiting::nothing: return out;   // nothing was asked
    case Waiting::recordWrite: recordWritten(out, answer.ok); break;
    case Waiting::recordsSync:
        finish(out, answer.ok ? kTransferDone : kCannotWriteReceivedData);
        return out;
    }
    return resume(std::move(out));
}

void TransferEngine::recordWritten(TransferActions& out, bool ok) {
    if (!ok) {
        // Not in the file, so not acknowledged: the terminal keeps it.
        finish(out, kCannotWriteReceivedData);
        return;
    }
    const std::span<const uint8_t> record(pendingRecord_);
    state_.previousRecord.assign(record.begin(), record.end() - 1);
    state_.havePreviousRecord = true;
    state_.retryCount = 0;
    ++state_.recordCount;
    state_.blockIndex = (record[0] + 1) % 10;
    pendingRecord_.clear();
    out.push_back(action(TransferAction::Kind::recordCount, state_.recordCount));
    send(out, kAck);
}

void TransferEngine::handleReply(TransferActions& out, std::span<const uint8_t> reply) {
    switch (state_.mode) {
    case TransferMode::programDownload: handleProgramReply(out, reply); break;
    case TransferMode::lookupDownload: handleLookupReply(out, reply); break;
    case TransferMode::dataReceive: handleReceiveReply(out, reply); break;
    }
}

void TransferEngine::sendBlock(TransferActions& out) {
    const ImageBlock block = makeImageBlock(*image_, state_.blockIndex);
    ++state_.blockIndex;
    send(out, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&block), sizeof block));
}

void TransferEngine::handleProgramReply(TransferActions& out, std::span<const uint8_t> reply) {
    if (replyContains(reply, kAck)) {
        if (lastSentIs(kOpenDownload)) {
            openingAccepted(out);
        } else if (state_.blockIndex < kImageBlockCount) {
            state_.retryCount = 0;
            sendBlock(out);
            // The bar shows half the blocks sent: 99 just before the end.
            if (state_.blockIndex % 2 == 1) ++state_.progress;
            out.push_back(action(TransferAction::Kind::progress, int(state_.progress)));
        } else {
            out.push_back(action(TransferAction::Kind::progress, 100));
            finish(out, kTransferDone);
        }
        return;
    }
    if (replyContains(reply, kFull)) {
        finish(out, kMemoryFull);
        return;
    }
    retryOrTimeOut(out);   // "NAK\r", or nothing we know
}

void TransferEngine::openingAccepted(TransferActions& out) {
    state_.openingAccepted = true;
    if (!image_) {
        finish(out, kErrorOnDownloading);
        return;
    }
    out.push_back(action(TransferAction::Kind::progress, 0));
    state_.retryCount = 0;
    state_.blockIndex = 0;
    state_.progress = 0;
    sendBlock(out);
}

void TransferEngine::handleLookupReply(TransferActions& out, std::span<const uint8_t> reply) {
    if (!replyContains(reply, kAck)) {
        retryOrTimeOut(out);
        return;
    }
    if (lastSentIs(kOpenDownload)) out.push_back(action(TransferAction::Kind::progress, 0));
    state_.retryCount = 0;
    state_.acknowledged = state_.progress;
    sendNextLine(out);
}

void TransferEngine::sendNextLine(TransferActions& out) {
    const std::size_t k = std::size_t(state_.linesSent);
    if (k >= lines_.count()) {
        state_.progress += lines_.skippedAtEnd;
        if (state_.progress < state_.fileSize) {
            finish(out, kErrorOnDownloading);   // the file ended early: a read failed
        } else {
            // Done at once: the terminal's answer to "OVER\r" is not awaited.
            state_.lastSent.assign(kOver.begin(), kOver.end());
            TransferAction over = actionWithBytes(TransferAction::Kind::send, bytesOf(kOver));
            over.purgeOutputFirst = true;
            out.push_back(std::move(over));
            finish(out, kTransferDone);
            overSentAtEnd_ = true;
        }
        return;
    }
    const LookupLines::Entry& line = lines_.lines[k];
    state_.progress += line.skipped;
    send(out, lines_.frame(k));
    ++state_.linesSent;
    state_.progress += line.size - 3 + 1;   // the line and its CR
    // The last line without a CR counts one byte too many, and a file that
    // grew since its size was taken may pass its size: the bar stops at 100.
    uint64_t bar = 100;
    if (state_.fileSize > 0) bar = std::min<uint64_t>(100, state_.progress * 100 / state_.fileSize);
    out.push_back(action(TransferAction::Kind::progress, int(bar)));
}

void TransferEngine::handleReceiveReply(TransferActions& out, std::span<const uint8_t> reply) {
    // The terminal's own "ACK\r" needs nothing: the timer keeps running and
    // resends our last message if nothing else comes.
    if (replyContains(reply, kAck)) return;
    if (replyContains(reply, kNak)) {
        retryOrTimeOut(out);
        return;
    }
    if (replyContains(reply, kOver)) {
        // Success only once every acknowledged record is on the disk.
        ask(out, Waiting::recordsSync, action(TransferAction::Kind::syncRecords));
        return;
    }
    switch (checkDataRecord(reply, state_.blockIndex, state_.previousRecord,
                            state_.havePreviousRecord)) {
    case RecordCheck::repeat:
        // Already in the file; the terminal only missed our "ACK\r".
        send(out, kAck);
        return;
    case RecordCheck::accept:
        // Acknowledged only once the line is in the file.
        pendingRecord_.assign(reply.begin(), reply.end());
        {
            TransferAction write = actionWithBytes(TransferAction::Kind::writeRecord, dataRecordLine(reply));
            write.value = reply[0];   // the serial, for a store that keeps it
            ask(out, Waiting::recordWrite, std::move(write));
        }
        return;
    case RecordCheck::tooShort:
    case RecordCheck::wrongSerial:
    case RecordCheck::badSum:
        if (state_.retryCount >= kMaxRetries) {
            finish(out, kTimeOut);
            return;
        }
        ++state_.retryCount;
        send(out, kNak);
        return;
    }
}

}  // namespace fw
