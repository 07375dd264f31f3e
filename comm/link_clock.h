// Time as the link code needs it: the cradle's waits, the reply timer and
// the deadline of a read window. Tests pass a fake one.
#pragma once

#include <cstdint>

namespace fw {

class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

// The steady clock and a real sleep.
LinkClock& systemLinkClock();

}  // namespace fw
