// Serial ports through termios, for fwxtool and the native tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "comm/posix/wake_pipe.h"
#include "comm/serial_port.h"

namespace fw {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // A name without a slash is taken from /dev ("ttyUSB0").
    PortOpen open(const std::string& name) override;
    bool isOpen() const override { return fd_ >= 0; }
    void close() override;

    bool setQueueSizes(std::size_t input, std::size_t output) override;
    bool setTimeouts(const SerialTimeouts& timeouts) override;
    bool lineSettings(LineSettings& line) override;
    bool applyLine(const LineSettings& line) override;

    bool write(std::span<const uint8_t> bytes) override;
    long read(std::span<uint8_t> buffer) override;
    PortWait waitReadable(int timeoutMs) override;
    void wakeWaiter() override;

    void purgeInput() override;
    void purgeOutput() override;

private:
    int fd_ = -1;
    WakePipe wake_;
    SerialTimeouts timeouts_{};
    // What was last asked of DTR and RTS, for ports (a pty) that neither
    // take nor report the modem lines.
    LineSettings asked_{};
};

// The serial devices of this machine: /dev/serial/by-id first (names that
// stay the same from one plug-in to the next), then /dev/ttyS* that have a
// UART, /dev/ttyUSB*, /dev/ttyACM* and /dev/rfcomm* not already listed
// through a by-id name. rfcomm is Bluetooth, ttyS serial, the rest virtual.
std::vector<SerialPortInfo> listPosixSerialPorts();

// What the system says about a listed port's device, where it says anything:
// a USB adapter's manufacturer and product from sysfs ("FTDI FT232R USB
// UART"); empty otherwise.
std::string posixPortDescription(const SerialPortInfo& info);

class PosixSerialSystem final : public SerialSystem {
public:
    // The ports of listPosixSerialPorts(), as they are now.
    PosixSerialSystem();
    // A list of one's own (tests: a pseudo-terminal).
    explicit PosixSerialSystem(std::vector<SerialPortInfo> ports);

    int enumSerialPort(int index, SerialPortInfo& info) override;
    std::unique_ptr<SerialPort> newPort() override;

private:
    std::vector<SerialPortInfo> ports_;
};

}  // namespace fw
