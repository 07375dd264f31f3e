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
    if (bytes.empty() || state_ == State::finished || state_ == State::idle) return {};
    if (state_ != State::reading) {
        // Kept as the port's queue would keep them: an echo that comes
        // before its read window opens is still the answer, while each
        // probe's purge drops what is stale before its echo test.
        if (early_.size() < 64) early_.insert(early_.end(), bytes.begin(), bytes.end());
        return {};
    }
    // The first byte decides: only the cradle's own echo is an answer.
    if (bytes[0] == kCradleEcho) found_ = probing_;
    return pump();
}

CradleActions CradleMachine::cancel() {
    if (state_ == State::finished) return {};
    return finishNow(false, 0);
}

CradleActions CradleMachine::portFailed() {
    if (state_ == State::finished) return {};
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
        Step step = std::move(queue_.front());
        queue_.pop_front();
        CradleAction& a = step.action;
        if (a.kind == CradleAction::Kind::purgeInput) early_.clear();
        if (step.readWindow && !early_.empty()) {
            // A read window whose answer is already here: it decides now.
            if (early_.front() == kCradleEcho) found_ = probing_;
            early_.clear();
            continue;
        }
        const bool readWindow = step.readWindow;
        const CradleAction::Kind kind = a.kind;
        const int value = a.value;
        batch.push_back(std::move(a));
        if (kind == CradleAction::Kind::armTimer) {
            state_ = readWindow ? State::reading : State::waiting;
            return batch;
        }
        if (kind == CradleAction::Kind::end) {
            state_ = State::finished;
            succeeded_ = value != 0;
            result_ = uint32_t(value);
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
    queue_.push_back({purge});
    queueWrite({kCradleEcho});
    queueWait(delay_);
    // The read window: bytes that come in it are the answer.
    CradleAction read;
    read.kind = CradleAction::Kind::armTimer;
    read.value = kCradleAnswerWindowMs;
    queue_.push_back({read, true});
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
    queue_.push_back({a});
}

void CradleMachine::queueWrite(std::initializer_list<uint8_t> bytes) {
    CradleAction a;
    a.kind = CradleAction::Kind::send;
    a.bytes.assign(bytes);
    queue_.push_back({std::move(a)});
}

void CradleMachine::queueWait(int ms) {
    if (ms <= 0) return;
    CradleAction a;
    a.kind = CradleAction::Kind::armTimer;
    a.value = ms;
    queue_.push_back({a});
}

void CradleMachine::queueDone(bool success, uint32_t baud) {
    CradleAction a;
    a.kind = CradleAction::Kind::end;
    a.value = success ? int(baud) : 0;
    queue_.push_back({a});
}

}  // namespace fw
