#include "comm/serial_link.h"

#include <chrono>
#include <thread>

namespace fw {

namespace {

class SystemLinkClock final : public LinkClock {
public:
    int64_t nowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(int ms) override {
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

}  // namespace

LinkClock& systemLinkClock() {
    static SystemLinkClock clock;
    return clock;
}

CradleOutcome runCradle(CradleMachine& machine, SerialPort& port, LinkClock& clock,
                        ExchangeCancel* cancel) {
    ExchangeHost nothingElse;
    runExchange(machine, port, clock, nothingElse, cancel);
    return CradleOutcome{machine.succeeded(), uint32_t(machine.result())};
}

bool applyLineSettings(SerialPort& port, int speedChoice) {
    if (!port.setTimeouts(kTransferTimeouts)) return false;
    LineSettings line;
    if (!port.lineSettings(line)) return false;
    if (uint32_t baud = baudForChoice(speedChoice)) line.baudRate = baud;
    line.dtr = true;
    line.rts = true;
    return port.applyLine(line);
}

bool configureCradleIr(SerialPort& port, int speedChoice, LinkClock& clock,
                       ExchangeCancel* cancel) {
    if (!port.setTimeouts(kTransferTimeouts)) return false;
    CradleMachine machine = CradleMachine::configure(baudForChoice(speedChoice));
    return runCradle(machine, port, clock, cancel).success;
}

int openLink(int linkType, int portIndex, int speedChoice, SerialSystem& system,
             std::unique_ptr<SerialPort>& port, LinkClock& clock, ExchangeCancel* cancel) {
    SerialPortInfo info;
    if (system.enumSerialPort(portIndex, info) == kPortNone) return kNoComPortDevice;

    port = system.newPort();
    if (!port) return kCannotOpenComPort;
    switch (port->open(info.portName)) {
    case PortOpen::opened: break;
    case PortOpen::deviceFailed: return kCannotOpenComPort;
    case PortOpen::eventFailed: return kFailedToOpenComPort;
    }
    // Some USB and Bluetooth drivers refuse these sizes and keep their own
    // queues, which serve a stop-and-wait exchange just as well.
    port->setQueueSizes(kTransferQueueSize, kTransferQueueSize);

    // Only the infrared cradle needs talking to before the terminal can be
    // reached; an IrDA adapter or a plain link is never probed.
    if (linkType == kLinkCradleIr && !configureCradleIr(*port, speedChoice, clock, cancel)) {
        return kCannotConfigureIr;
    }
    if (!applyLineSettings(*port, speedChoice)) return kFailedToOpenComPort;
    return kLinkOpened;
}

int findCradlePort(SerialSystem& system, std::string& name, LinkClock& clock) {
    for (int index = 0;; ++index) {
        SerialPortInfo info;
        int kind = system.enumSerialPort(index, info);
        if (kind == kPortNone) return -1;
        // A Bluetooth port would try to connect to its far device when
        // opened; the cradle is never behind one.
        if (kind == kPortBluetooth) continue;

        std::unique_ptr<SerialPort> port = system.newPort();
        if (!port) continue;
        if (port->open(info.portName) != PortOpen::opened) {
            port->close();
            continue;
        }
        bool found = false;
        if (port->setTimeouts(kTransferTimeouts)) {
            CradleMachine machine = CradleMachine::search();
            found = runCradle(machine, *port, clock).success;
        }
        port->close();
        if (found) {
            name = info.portName;
            return index;
        }
    }
}

// The registry list is short; a system that never ends it is stopped here,
// well past the 127 positions that the settings file can name.
constexpr int kMaxListedPorts = 256;

std::vector<SerialPortInfo> listSerialPorts(SerialSystem& system) {
    std::vector<SerialPortInfo> ports;
    for (int index = 0; index < kMaxListedPorts; ++index) {
        SerialPortInfo info;
        if (system.enumSerialPort(index, info) == kPortNone) break;
        ports.push_back(std::move(info));
    }
    return ports;
}

}  // namespace fw
