// The serial line as the program needs it, whatever the driver kept from the
// last program that used the port: the fields of the system's port
// description (DCB on Windows) that the program decides, in portable form.
// A driver that left CTS/DSR or XON/XOFF flow control on would hold back
// every byte; DSR sensitivity would drop them; equal XON and XOFF
// characters make some drivers refuse the whole description; and "abort on
// error" ends every read after one line error until the error is cleared.
#pragma once

#include <cstdint>

#include "comm/serial_port.h"

namespace fw {

enum class LineControl : std::uint8_t { Disable = 0, Enable = 1, Handshake = 2, Toggle = 3 };

struct LineDescription {
    std::uint32_t baudRate = 0;
    bool binary = true;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    LineControl dtrControl = LineControl::Enable;
    LineControl rtsControl = LineControl::Enable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outX = false;
    bool inX = false;
    bool errorChar = false;
    bool nullStrip = false;
    bool abortOnError = false;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;     // none
    std::uint8_t stopBits = 0;   // one
    char xonChar = 0x11;
    char xoffChar = 0x13;
    std::uint16_t xonLim = 256;
    std::uint16_t xoffLim = 256;
};

// The description for `line`, starting from what the driver reported
// (`kept`): speed, DTR and RTS from `line`; 8N1, binary, no flow control, no
// DSR sensitivity, no character replacement, no abort on error; XON/XOFF
// characters and limits kept when they are valid (the characters distinct,
// the limits within half of a 1024-byte queue), else the usual ones.
LineDescription describeLine(const LineDescription& kept, const LineSettings& line);

}  // namespace fw
