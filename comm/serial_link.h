// Opening the configured port for a transfer and setting up its line,
// including the infrared cradle; and the search for a cradle's port.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "comm/cradle.h"
#include "comm/exchange.h"
#include "comm/link_clock.h"
#include "comm/link_type.h"
#include "comm/serial_port.h"

namespace fw {

struct CradleOutcome {
    bool success = false;
    uint32_t baudRate = 0;   // the speed the line runs at afterwards
};

// Runs a cradle machine on a port (runExchange): its waits and read windows
// block in the port until a byte comes, the time is up or a cancel.
CradleOutcome runCradle(CradleMachine& machine, SerialPort& port, LinkClock& clock,
                        ExchangeCancel* cancel = nullptr);

// Sets the line to the transfer's values: the time-outs of kTransferTimeouts,
// the speed of the choice (another value keeps the port's present speed),
// DTR and RTS on, 8N1. False when the port refuses any of it.
bool applyLineSettings(SerialPort& port, int speedChoice);

// Finds the cradle on an open port and switches it and the line to the speed
// of the choice. False when the cradle answers at none of the five speeds.
bool configureCradleIr(SerialPort& port, int speedChoice, LinkClock& clock = systemLinkClock(),
                       ExchangeCancel* cancel = nullptr);

// Opens the port at portIndex of the system's list for a transfer over the
// given link and sets up its line. Returns kLinkOpened or the failure's text
// number (kNoComPortDevice, kCannotOpenComPort, kFailedToOpenComPort,
// kCannotConfigureIr). `port` receives the port whatever the result, so that
// the caller releases it in one place. A driver that refuses the queue
// sizes keeps its own (some USB and Bluetooth ports do): no failure. A
// cancel ends the cradle's set-up before it sends anything more.
int openLink(int linkType, int portIndex, int speedChoice, SerialSystem& system,
             std::unique_ptr<SerialPort>& port, LinkClock& clock = systemLinkClock(),
             ExchangeCancel* cancel = nullptr);

// The index of the first port on which a cradle answers, its name copied to
// `name`; -1 when there is none. Bluetooth ports are never opened, and every
// port tried is closed before the next.
int findCradlePort(SerialSystem& system, std::string& name, LinkClock& clock = systemLinkClock());

// The ports the system lists, in its order: index 0 up to the first index
// without an entry (the designer's Preferences and the downloader alike).
std::vector<SerialPortInfo> listSerialPorts(SerialSystem& system);

}  // namespace fw
