// Opening the configured port for a transfer and setting up its line,
// including the infrared cradle; and the search for a cradle's port.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "comm/cradle.h"
#include "comm/link_type.h"
#include "comm/serial_port.h"

namespace fw {

// Time as the link code needs it: the cradle's own waits, and the deadline
// of a read window. Tests pass a fake one.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

// The steady clock and a real sleep.
LinkClock& systemLinkClock();

struct CradleOutcome {
    bool success = false;
    uint32_t baudRate = 0;   // the speed the line runs at afterwards
};

// Runs a cradle machine on a port: sleeps only for the machine's waits, and
// in a read window blocks in the port until a byte comes or the window ends.
CradleOutcome runCradle(CradleMachine& machine, SerialPort& port, LinkClock& clock);

// Sets the line to the transfer's values: the time-outs of kTransferTimeouts,
// the speed of the choice (another value keeps the port's present speed),
// DTR and RTS on, 8N1. False when the port refuses any of it.
bool applyLineSettings(SerialPort& port, int speedChoice);

// Finds the cradle on an open port and switches it and the line to the speed
// of the choice. False when the cradle answers at none of the five speeds.
bool configureCradleIr(SerialPort& port, int speedChoice, LinkClock& clock = systemLinkClock());

// Whether the cradle answers at one speed, probed with delay d.
bool probeCradle(SerialPort& port, uint32_t baud, int delayMs,
                 LinkClock& clock = systemLinkClock());

// Opens the port at portIndex of the system's list for a transfer over the
// given link and sets up its line. Returns kLinkOpened or the failure's text
// number (kNoComPortDevice, kCannotOpenComPort, kFailedToOpenComPort,
// kCannotConfigureIr). `port` receives the port whatever the result, so that
// the caller releases it in one place.
int openLink(int linkType, int portIndex, int speedChoice, SerialSystem& system,
             std::unique_ptr<SerialPort>& port, LinkClock& clock = systemLinkClock());

// The index of the first port on which a cradle answers, its name copied to
// `name`; -1 when there is none. Bluetooth ports are never opened, and every
// port tried is closed before the next.
int findCradlePort(SerialSystem& system, std::string& name, LinkClock& clock = systemLinkClock());

}  // namespace fw
