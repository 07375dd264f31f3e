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

// A read window: bytes go to the machine as they come. Nothing is read on a
// timer; the port blocks until a byte arrives or the window ends. A byte
// that comes a little after the cradle's delay still counts, as long as it
// is inside the window.
CradleActions awaitAnswer(CradleMachine& machine, SerialPort& port, LinkClock& clock, int ms) {
    const int64_t deadline = clock.nowMs() + ms;
    uint8_t buffer[32];
    for (;;) {
        long n = port.read(buffer);
        if (n < 0) return machine.timerExpired();
        if (n > 0) {
            CradleActions next = machine.received(std::span<const uint8_t>(buffer, std::size_t(n)));
            if (!next.empty()) return next;
        }
        int64_t left = deadline - clock.nowMs();
        if (left <= 0) return machine.timerExpired();
        if (port.waitReadable(int(left)) == PortWait::failed) return machine.timerExpired();
    }
}

}  // namespace

LinkClock& systemLinkClock() {
    static SystemLinkClock clock;
    return clock;
}

CradleOutcome runCradle(CradleMachine& machine, SerialPort& port, LinkClock& clock) {
    CradleActions batch = machine.start();
    std::size_t i = 0;
    while (i < batch.size()) {
        CradleAction a = std::move(batch[i++]);
        CradleActions next;
        switch (a.kind) {
        case CradleAction::Kind::setLine:
            if (!port.applyLine(a.line)) next = machine.portFailed();
            break;
        case CradleAction::Kind::write:
            if (!port.write(a.bytes)) next = machine.portFailed();
            break;
        case CradleAction::Kind::purgeInput:
            port.purgeInput();
            break;
        case CradleAction::Kind::wait:
            clock.sleepMs(a.ms);
            next = machine.timerExpired();
            break;
        case CradleAction::Kind::readAnswer:
            next = awaitAnswer(machine, port, clock, a.ms);
            break;
        case CradleAction::Kind::done:
            return CradleOutcome{a.success, a.baudRate};
        }
        if (!next.empty()) {
            batch = std::move(next);
            i = 0;
        }
    }
    // Every batch ends with an action that leads on; a machine that stops
    // short has not found a cradle.
    return CradleOutcome{};
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

bool configureCradleIr(SerialPort& port, int speedChoice, LinkClock& clock) {
    if (!port.setTimeouts(kTransferTimeouts)) return false;
    CradleMachine machine = CradleMachine::configure(baudForChoice(speedChoice));
    return runCradle(machine, port, clock).success;
}

bool probeCradle(SerialPort& port, uint32_t baud, int delayMs, LinkClock& clock) {
    CradleMachine machine = CradleMachine::probe(baud, delayMs);
    return runCradle(machine, port, clock).success;
}

int openLink(int linkType, int portIndex, int speedChoice, SerialSystem& system,
             std::unique_ptr<SerialPort>& port, LinkClock& clock) {
    SerialPortInfo info;
    if (system.enumSerialPort(portIndex, info) == kPortNone) return kNoComPortDevice;

    port = system.newPort();
    if (!port) return kCannotOpenComPort;
    switch (port->open(info.portName)) {
    case PortOpen::opened: break;
    case PortOpen::deviceFailed: return kCannotOpenComPort;
    case PortOpen::eventFailed: return kFailedToOpenComPort;
    }
    if (!port->setQueueSizes(kTransferQueueSize, kTransferQueueSize)) return kFailedToOpenComPort;

    // Only the infrared cradle needs talking to before the terminal can be
    // reached; an IrDA adapter or a plain link is never probed.
    if (linkType == kLinkCradleIr && !configureCradleIr(*port, speedChoice, clock)) {
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

}  // namespace fw
