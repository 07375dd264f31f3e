#include "comm/line_description.h"

namespace fw {

namespace {

// Limits a driver accepts for a 1024-byte queue; unused without flow control.
constexpr std::uint16_t kUsualLimit = 256;
constexpr std::uint16_t kMaxLimit = 512;

}  // namespace

LineDescription describeLine(const LineDescription& kept, const LineSettings& line) {
    LineDescription d;   // every decided field at its value
    d.baudRate = line.baudRate;
    d.dtrControl = line.dtr ? LineControl::Enable : LineControl::Disable;
    d.rtsControl = line.rts ? LineControl::Enable : LineControl::Disable;
    if (kept.xonChar != kept.xoffChar) {
        d.xonChar = kept.xonChar;
        d.xoffChar = kept.xoffChar;
    }
    if (kept.xonLim != 0 && kept.xonLim <= kMaxLimit) d.xonLim = kept.xonLim;
    if (kept.xoffLim != 0 && kept.xoffLim <= kMaxLimit) d.xoffLim = kept.xoffLim;
    static_assert(kUsualLimit <= kMaxLimit);
    return d;
}

}  // namespace fw
