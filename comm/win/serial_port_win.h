// Serial ports through the Win32 communications calls, with overlapped I/O:
// the one driver of the designer and of fwx_load.
//
// Every wait blocks in the system until bytes arrive, the deadline passes or
// wakeWaiter() is called, with no wake-ups while the line is silent:
// - Reads use the time-outs "return at once with what has arrived". Windows
//   completes such a read at once, even with nothing; then the wait is a
//   WaitCommEvent for a received character. Wine instead leaves the read
//   pending until a byte comes (and its WaitCommEvent wakes every few
//   milliseconds with an empty mask); then the pending read itself is the
//   wait, and its bytes are kept for the next read().
// - A write still pending when its time has passed counts as sent (the
//   reply timer's resend decides); only a real error fails it.
// - After a line error a driver with abort-on-error stops every read and
//   write until the error is cleared: it is cleared and the port goes on.
// - Every wait for a cancelled request is bounded: a driver that never
//   completes a cancel (a USB adapter pulled out) costs a little memory,
//   never a hang.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "comm/serial_port.h"

namespace fw {

// The port description a transfer needs, whatever the last program left in
// the driver: speed, DTR and RTS as asked, 8N1, binary, no flow control of
// any kind (CTS, DSR, XON/XOFF), no DSR sensitivity, no error or NUL
// replacement, no abort on error, and valid, distinct XON/XOFF characters
// (some drivers refuse a description without them even when unused).
void describeLine(DCB& dcb, const LineSettings& line);

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

    HANDLE handle() const { return handle_; }

    // One overlapped request: its record, event and buffer live on the heap
    // for as long as the system may still write into them.
    struct Request {
        OVERLAPPED record{};
        HANDLE event = nullptr;
        std::vector<uint8_t> buffer;
        DWORD mask = 0;
        bool pending = false;
    };

private:
    enum class Started { done, pending, failed };

    Started startRead();
    long takeRead(std::span<uint8_t> buffer);
    bool reap(std::unique_ptr<Request>& request, bool cancel);
    void clearLineErrors(DWORD* queued = nullptr);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE wakeEvent_ = nullptr;
    std::unique_ptr<Request> read_;
    std::unique_ptr<Request> write_;
    std::unique_ptr<Request> wait_;
    std::vector<uint8_t> arrived_;   // read, not yet handed to read()
    // Reads here complete at once even with nothing (Windows): waits then
    // need WaitCommEvent. Learnt from the first read that does.
    bool readsReturnAtOnce_ = false;
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
