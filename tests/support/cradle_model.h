// How an infrared cradle answers the bytes it gets, without any line: the
// fake cradle on a pseudo-terminal and the unit tests' fake port both put it
// behind their line. Portable, header-only.
//
// The cradle runs at one speed. A byte sent at another speed arrives as
// garbage: it is not understood and breaks a command under way. At its own
// speed it answers the echo test 0x0F with 0x0F, and 0x07, a speed byte
// ("6" 115200 .. "2" 9600) and "Q" switch it to that speed.
#pragma once

#include <cstdint>
#include <vector>

namespace fw::test {

class CradleModel {
public:
    struct Seen {
        uint8_t byte;
        uint32_t lineBaud;   // the speed the sender's line ran at
        bool understood;     // sent at the cradle's speed
    };

    explicit CradleModel(uint32_t baud) : baud_(baud) {}

    // One byte from the line; returns what the cradle sends back.
    std::vector<uint8_t> receive(uint8_t b, uint32_t lineBaud) {
        bool understood = lineBaud == baud_;
        seen_.push_back(Seen{b, lineBaud, understood});
        if (!understood) {
            step_ = Step::idle;
            return {};
        }
        switch (step_) {
        case Step::idle:
            if (b == 0x0F) {
                ++echoes_;
                return {0x0F};
            }
            if (b == 0x07) step_ = Step::speedByte;
            return {};
        case Step::speedByte:
            pending_ = speedOf(b);
            step_ = pending_ != 0 ? Step::commit : Step::idle;
            return {};
        case Step::commit:
            if (b == 'Q') {
                baud_ = pending_;
                switches_.push_back(baud_);
            }
            step_ = Step::idle;
            return {};
        }
        return {};
    }

    uint32_t baud() const { return baud_; }
    const std::vector<Seen>& seen() const { return seen_; }
    const std::vector<uint32_t>& switches() const { return switches_; }
    int echoes() const { return echoes_; }

private:
    enum class Step { idle, speedByte, commit };

    static uint32_t speedOf(uint8_t b) {
        switch (b) {
        case '6': return 115200;
        case '5': return 57600;
        case '4': return 38400;
        case '3': return 19200;
        case '2': return 9600;
        default: return 0;
        }
    }

    uint32_t baud_;
    Step step_ = Step::idle;
    uint32_t pending_ = 0;
    std::vector<Seen> seen_;
    std::vector<uint32_t> switches_;
    int echoes_ = 0;
};

}  // namespace fw::test
