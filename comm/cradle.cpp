#include "comm/cradle.h"

#include <iterator>

namespace fw {

uint32_t baudForChoice(int choice) {
    if (choice < 0 || choice >= int(std::size(kSpeedChoices))) return 0;
    return kSpeedChoices[choice];
}

uint8_t cradleSpeedByte(uint32_t baud) {
    switch (baud) {
    case 115200: return '6';
    case 57600: return '5';
    case 38400: return '4';
    case 19200: return '3';
    case 9600: return '2';
    default: return 0;
    }
}

uint32_t cradleSpeedOfByte(uint8_t b) {
    switch (b) {
    case '6': return 115200;
    case '5': return 57600;
    case '4': return 38400;
    case '3': return 19200;
    case '2': return 9600;
    default: return 0;
    }
}

CradleMachine::CradleMachine(Goal goal, const CradleTiming& timing, uint32_t chosenBaud,
                             bool setLineFirst)
    : goal_(goal),
      timing_(timing),
      chosen_(cradleSpeedByte(chosenBaud) != 0 ? chosenBaud : 0),
      setLineFirst_(setLineFirst),
      speeds_(std::begin(kCradleProbeOrder), std::end(kCradleProbeOrder)),
      delay_(timing.firstDelayMs) {}

CradleMachine CradleMachine::configure(uint32_t chosenBaud, const CradleTiming& timing) {
    return CradleMachine(Goal::switchSpeed, timing, chosenBaud, true);
}

CradleMachine CradleMachine::search() {
    return CradleMachine(Goal::findOnly, kSearchCradleTiming, 0, true);
}

CradleMachine CradleMachine::probe(uint32_t baud, int delayMs) {
    CradleMachine m(Goal::findOnly, CradleTiming{0, delayMs, delayMs, false, true}, 0, false);
    m.speeds_.assign(1, baud);
    return m;
}

CradleActions CradleMachine::start() {
    if (state_ != State::idle) return {};
    if (setLineFirst_) {
        queueLine(kCradleStartBaud, true);
        queueWait(timing_.startWaitMs);
    }
    return pump();
}

CradleActions CradleMachine::timerExpired() {
    // In a read, the window ended without a byte: no answer at this speed.
    if (state_ != State::waiting && state_ != State::reading) return {};
    return pump();
}

CradleActions CradleMachine::received(std::span<const uint8_t> bytes) {
    // Bytes outside a read window are stale; each probe purges them before
    // its echo test, so that they cannot pass for the next answer.
    if (state_ != State::reading || bytes.empty()) return {};
    // The first byte decides: only the cradle's own echo is an answer.
    if (bytes[0] == kCradleEcho) found_ = probing_;
    return pump();
}

CradleActions CradleMachine::portFailed() {
    if (state_ == State::finished || state_ == State::idle) return {};
    return finishNow(false, 0);
}

CradleActions CradleMachine::finishNow(bool success, uint32_t baud) {
    queue_.clear();
    queueDone(success, baud);
    return pump();
}

// Hands out queued actions up to the next one that waits for an event.
CradleActions CradleMachine::pump() {
    CradleActions batch;
    state_ = State::running;
    for (;;) {
        if (queue_.empty()) plan();
        CradleAction a = std::move(queue_.front());
        queue_.pop_front();
        CradleAction::Kind kind = a.kind;
        batch.push_back(std::move(a));
        if (kind == CradleAction::Kind::wait) {
            state_ = State::waiting;
            return batch;
        }
        if (kind == CradleAction::Kind::readAnswer) {
            state_ = State::reading;
            return batch;
        }
        if (kind == CradleAction::Kind::done) {
            state_ = State::finished;
            succeeded_ = batch.back().success;
            return batch;
        }
    }
}

// The next stretch of work, decided on what the probes found so far.
void CradleMachine::plan() {
    if (probing_ != 0) {
        // Every probe ends with d at 100 ms; a cradle found at 9600 gets the
        // slow 200 ms again for the switch.
        delay_ = (timing_.slowAfter9600 && found_ == 9600) ? timing_.firstDelayMs
                                                          : timing_.delayMs;
        probing_ = 0;
    }
    if (found_ != 0) {
        if (goal_ == Goal::switchSpeed && chosen_ != 0 && !switched_) {
            queueSwitch();
        } else {
            queueDone(true, switched_ ? chosen_ : found_);
        }
    } else if (nextSpeed_ < speeds_.size()) {
        queueProbe(speeds_[nextSpeed_++]);
    } else {
        queueDone(false, 0);
    }
}

void CradleMachine::queueProbe(uint32_t baud) {
    probing_ = baud;
    queueLine(baud, false);
    queueWait(delay_);
    CradleAction purge;
    purge.kind = CradleAction::Kind::purgeInput;
    queue_.push_back(purge);
    queueWrite({kCradleEcho});
    queueWait(delay_);
    CradleAction read;
    read.kind = CradleAction::Kind::readAnswer;
    read.ms = kCradleAnswerWindowMs;
    queue_.push_back(read);
    queueLine(baud, true);
    queueWait(delay_);
}

// At the found speed, in command mode: 0x07, the chosen speed's byte and
// "Q"; then the line follows the cradle to the chosen speed.
void CradleMachine::queueSwitch() {
    switched_ = true;
    queueLine(found_, false);
    queueWait(delay_);
    if (timing_.pauseBetweenCommands) {
        queueWrite({kCradleSetSpeed});
        queueWait(delay_);
        queueWrite({cradleSpeedByte(chosen_)});
        queueWait(delay_);
        queueWrite({kCradleCommit});
        queueWait(delay_);
    } else {
        queueWrite({kCradleSetSpeed, cradleSpeedByte(chosen_), kCradleCommit});
    }
    queueLine(chosen_, true);
    queueWait(delay_);
}

void CradleMachine::queueLine(uint32_t baud, bool rts) {
    CradleAction a;
    a.kind = CradleAction::Kind::setLine;
    a.line = LineSettings{baud, true, rts};
    queue_.push_back(a);
}

void CradleMachine::queueWrite(std::initializer_list<uint8_t> bytes) {
    CradleAction a;
    a.kind = CradleAction::Kind::write;
    a.bytes.assign(bytes);
    queue_.push_back(std::move(a));
}

void CradleMachine::queueWait(int ms) {
    if (ms <= 0) return;
    CradleAction a;
    a.kind = CradleAction::Kind::wait;
    a.ms = ms;
    queue_.push_back(a);
}

void CradleMachine::queueDone(bool success, uint32_t baud) {
    CradleAction a;
    a.kind = CradleAction::Kind::done;
    a.success = success;
    a.baudRate = baud;
    queue_.push_back(a);
}

}  // namespace fw
