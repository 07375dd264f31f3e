// Serial ports through the Win32 communications calls, with overlapped I/O.
#pragma once

#include <windows.h>

#include <memory>

#include "comm/serial_port.h"

namespace fw {

// One COM port. Reads, writes and waits each have an overlapped record and
// event of their own, so that a receiver thread may wait while another
// thread writes.
class WinSerialPort final : public SerialPort {
public:
    WinSerialPort() = default;
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    // name: "COM1" .. "COM255"; opened as "\\.\COMn".
    PortOpen open(const std::string& name) override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
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
    bool bytesWaiting();
    void endPendingWait();

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE readEvent_ = nullptr;
    HANDLE writeEvent_ = nullptr;
    HANDLE waitEvent_ = nullptr;
    HANDLE wakeEvent_ = nullptr;
    // A WaitCommEvent may stay pending from one waitReadable to the next;
    // its record and mask must live as long as it does.
    OVERLAPPED waitRecord_{};
    DWORD waitMask_ = 0;
    bool waitPending_ = false;
};

// The entry at index of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: its kind (0 for
// none), the port name (the value's data) and the value name. A value name
// longer than 99 characters or a port name longer than 10 bytes counts as
// no entry.
int enumSerialPort(int index, SerialPortInfo& info);

class WinSerialSystem final : public SerialSystem {
public:
    int enumSerialPort(int index, SerialPortInfo& info) override;
    std::unique_ptr<SerialPort> newPort() override;
};

}  // namespace fw
