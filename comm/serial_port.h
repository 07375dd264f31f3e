// The serial device under every exchange with the terminal, and the list of
// ports the system knows. The core talks to a port only through SerialPort;
// comm/win and comm/posix implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "resources/text_ids.h"

namespace fw {

// Results of opening a link: 1, or the number of the text that says why not.
constexpr int kLinkOpened = 1;

// Port kinds, from the registry value name of the port (see portKind).
constexpr int kPortNone = 0;        // no entry at that index
constexpr int kPortSerial = 1;
constexpr int kPortVirtual = 2;
constexpr int kPortBluetooth = 3;
constexpr int kPortUnnamed = 99;    // value name without a backslash

struct SerialPortInfo {
    std::string portName;   // what the port is opened by: "COM3", "/dev/ttyUSB0"
    std::string valueName;  // the driver's device name: "\Device\Serial0"
    int kind = kPortNone;
};

// The kind of a port from its value name: the last component (after the last
// backslash) starting with "BT" is Bluetooth, with "SE" serial, any other
// virtual, letters in either case; a name without a backslash gives 99.
inline int portKind(std::string_view valueName) {
    std::size_t slash = valueName.rfind('\\');
    if (slash == std::string_view::npos) return kPortUnnamed;
    std::string_view last = valueName.substr(slash + 1);
    auto startsWith = [last](char a, char b) {
        auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
        return last.size() >= 2 && upper(last[0]) == a && upper(last[1]) == b;
    };
    if (startsWith('B', 'T')) return kPortBluetooth;
    if (startsWith('S', 'E')) return kPortSerial;
    return kPortVirtual;
}

// "Bluetooth port", "Serial port", "Virtual port"; empty for any other kind.
inline std::string_view portKindText(int kind) {
    switch (kind) {
    case kPortBluetooth: return "Bluetooth port";
    case kPortSerial: return "Serial port";
    case kPortVirtual: return "Virtual port";
    default: return {};
    }
}

// How the Preferences port list shows a port ("%s - %s"): "COM3 - Serial
// port", or the port name alone for a value name without a backslash.
inline std::string portListEntry(const SerialPortInfo& info) {
    std::string_view kind = portKindText(info.kind);
    if (kind.empty()) return info.portName;
    return info.portName + " - " + std::string(kind);
}

// Line settings of a port. The data format is always 8 data bits, no parity,
// one stop bit; other flags stay as the driver reports them.
struct LineSettings {
    uint32_t baudRate = 0;
    bool dtr = true;
    bool rts = true;
};

// Win32 COMMTIMEOUTS, in milliseconds. A POSIX port reads at once in any
// case and uses only the write pair to bound a write.
struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;
};

// Reads return at once with what has arrived; a write of n bytes may take
// 5 n + 50 ms.
constexpr SerialTimeouts kTransferTimeouts{0xFFFFFFFFu, 0, 0, 5, 50};

constexpr std::size_t kTransferQueueSize = 1024;

enum class PortOpen {
    opened,
    deviceFailed,   // absent, or held by another program
    eventFailed,    // the device opened but its wait event could not be made
};

enum class PortWait {
    readable,   // woke up; bytes are probably there (read to find out)
    timedOut,
    woken,      // wakeWaiter() was called
    failed,     // the port is gone or broken
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port exclusively: a port that another program (or another
    // SerialPort) holds does not open.
    virtual PortOpen open(const std::string& name) = 0;
    virtual bool isOpen() const = 0;
    // Closes the device and its event; safe in any state, but not while
    // another thread waits in waitReadable (wake it and let it leave first).
    virtual void close() = 0;

    virtual bool setQueueSizes(std::size_t input, std::size_t output) = 0;
    virtual bool setTimeouts(const SerialTimeouts& timeouts) = 0;
    // The port's present description; false when it cannot be read.
    virtual bool lineSettings(LineSettings& line) = 0;
    // Applies speed, DTR and RTS with 8N1. False when the driver refuses.
    virtual bool applyLine(const LineSettings& line) = 0;

    // Writes all bytes within the write time-outs; false otherwise.
    virtual bool write(std::span<const uint8_t> bytes) = 0;
    // Reads what has arrived, up to the buffer's size, without waiting:
    // the count (0 when nothing is there), or -1 when the port failed.
    virtual long read(std::span<uint8_t> buffer) = 0;
    // Blocks until bytes may be read, timeoutMs pass (negative: no limit),
    // or wakeWaiter() is called from another thread. A wake-up does not
    // promise bytes; the caller reads and waits again.
    virtual PortWait waitReadable(int timeoutMs) = 0;
    // Ends a waitReadable() running on another thread.
    virtual void wakeWaiter() = 0;

    virtual void purgeInput() = 0;
    virtual void purgeOutput() = 0;
};

// The system's serial ports, as the link code sees them.
class SerialSystem {
public:
    virtual ~SerialSystem() = default;
    // The entry at index in the system's order, with its kind; kPortNone
    // (and info left empty) when there is none. Indexes run from 0.
    virtual int enumSerialPort(int index, SerialPortInfo& info) = 0;
    // A new, closed port of this system.
    virtual std::unique_ptr<SerialPort> newPort() = 0;
};

}  // namespace fw
