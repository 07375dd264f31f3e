// The infrared cradle's speed negotiation, as a state machine that never
// touches a port or a clock: it is told what happened (start, a wait ended,
// bytes arrived, the port refused something) and answers with what to do
// next. comm/serial_link runs it on a real port; tests run it on a fake one.
//
// The cradle listens for commands while RTS is off:
//   0x0F          echo test; the cradle answers 0x0F at the speed it runs at
//   0x07, s, "Q"  switch to speed s ("6" 115200 .. "2" 9600)
// Its present speed is unknown, so it is probed at each of five speeds. The
// waits around every RTS change and command give the cradle time to switch
// modes; they are the cradle's, not ours, and must stay as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <span>
#include <vector>

#include "comm/exchange.h"
#include "comm/serial_port.h"

namespace fw {

// The speed choice of the preferences (0 "115200 bps" .. 4 "9600 bps").
constexpr uint32_t kSpeedChoices[] = {115200, 57600, 38400, 19200, 9600};
// The speed of a choice; 0 for any other value.
uint32_t baudForChoice(int choice);

constexpr uint8_t kCradleEcho = 0x0F;
constexpr uint8_t kCradleSetSpeed = 0x07;
constexpr uint8_t kCradleCommit = 'Q';
// The cradle's byte for a speed, "6" for 115200 down to "2" for 9600; 0 for a
// speed the cradle does not know.
uint8_t cradleSpeedByte(uint32_t baud);
// The other way round; 0 for a byte that names no speed.
uint32_t cradleSpeedOfByte(uint8_t b);

// Where the cradle's present speed is looked for, in this order.
constexpr uint32_t kCradleProbeOrder[] = {9600, 115200, 38400, 57600, 19200};
// The speed the line is first set to, before any probe.
constexpr uint32_t kCradleStartBaud = 38400;
// How long a probe waits for the cradle's echo.
constexpr int kCradleAnswerWindowMs = 100;

// The waits of one way of talking to the cradle.
struct CradleTiming {
    int startWaitMs;       // after the line is first set to 38400 (0: none)
    int firstDelayMs;      // the delay d of the first probe
    int delayMs;           // d after every probe
    bool slowAfter9600;    // d goes back to firstDelayMs when the echo came at 9600
    bool pauseBetweenCommands;  // wait d after 0x07, the speed byte and "Q"
};

// The designer's set-up: 200 ms at first, then 100 ms, and 200 ms again for
// a cradle found at 9600. A full set-up from 9600 takes about 1.8 s.
constexpr CradleTiming kDesignerCradleTiming{200, 200, 100, true, true};
// The cradle search: a fixed 100 ms everywhere, no start wait.
constexpr CradleTiming kSearchCradleTiming{0, 100, 100, false, true};
// The standalone downloader: a fixed 100 ms, the three switch bytes back to
// back.
constexpr CradleTiming kLoaderCradleTiming{100, 100, 100, false, false};

// The cradle speaks the dialect of every exchange (comm/exchange.h): it
// uses setLine, send, purgeInput, armTimer and end, whose value is the speed
// the line runs at afterwards (0: no cradle answered). A fixed wait and a
// read window are both the timer; bytes that come outside a read window are
// kept until the next purge, as the port would keep them.
using CradleAction = ExchangeAction;
using CradleActions = ExchangeActions;

// Every batch of actions ends with armTimer or end; the actions before it
// are carried out at once and in order. Events that do not fit the state
// (a timer while finished) are ignored and give an empty batch.
class CradleMachine final : public Exchange {
public:
    // Finds the cradle and switches it, and the line, to chosenBaud. A
    // chosenBaud the cradle does not know (0) leaves the cradle at the speed
    // it was found at, and the line with it.
    static CradleMachine configure(uint32_t chosenBaud,
                                   const CradleTiming& timing = kDesignerCradleTiming);
    // Only finds whether a cradle answers, and at which speed: the line is
    // set to 38400 and the five speeds are probed with a fixed 100 ms.
    static CradleMachine search();

    CradleActions start() override;
    CradleActions timerExpired() override;
    CradleActions received(std::span<const uint8_t> bytes) override;
    // The user gave up: no more bytes for the cradle, and no success.
    CradleActions cancel() override;
    // A setLine or send was refused: the port is unusable, so the cradle
    // cannot be set up on it.
    CradleActions portFailed() override;
    CradleActions answered(const ExchangeAnswer&) override { return {}; }

    bool finished() const override { return state_ == State::finished; }
    // The speed the line runs at afterwards; 0 while unfinished or failed.
    int result() const override { return succeeded_ ? int(result_) : 0; }
    bool succeeded() const { return succeeded_; }
    // The speed at which the cradle answered; 0 while none has.
    uint32_t foundBaud() const { return found_; }

private:
    enum class Goal { switchSpeed, findOnly };
    enum class State { idle, running, waiting, reading, finished };

    CradleMachine(Goal goal, const CradleTiming& timing, uint32_t chosenBaud, bool setLineFirst);

    CradleActions pump();
    void plan();
    void queueProbe(uint32_t baud);
    void queueSwitch();
    void queueLine(uint32_t baud, bool rts);
    void queueWrite(std::initializer_list<uint8_t> bytes);
    void queueWait(int ms);
    void queueDone(bool success, uint32_t baud);
    CradleActions finishNow(bool success, uint32_t baud);

    Goal goal_;
    CradleTiming timing_;
    uint32_t chosen_;
    bool setLineFirst_;
    std::vector<uint32_t> speeds_;
    std::size_t nextSpeed_ = 0;
    int delay_;
    uint32_t probing_ = 0;   // speed of the probe under way
    uint32_t found_ = 0;
    bool switched_ = false;
    bool succeeded_ = false;
    State state_ = State::idle;
    uint32_t result_ = 0;
    std::vector<uint8_t> early_;   // bytes that came outside a read window
    struct Step {
        CradleAction action;
        bool readWindow = false;   // an armTimer whose bytes are the answer
    };
    std::deque<Step> queue_;
};

}  // namespace fw
