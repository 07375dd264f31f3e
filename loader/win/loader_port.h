// The downloader's serial port: opened by its plain name ("COM1") without
// overlapped I/O, as fwx_load always has, so that every wait is a read that
// the port's time-outs end. Waiting for the terminal is a one-byte read with
// a total time-out: the thread sleeps in the driver until a byte comes or
// the time is up, and takes no processor time meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "comm/serial_port.h"

namespace fw::loader::win {

class LoaderPort final : public SerialPort {
public:
    LoaderPort() = default;
    ~LoaderPort() override;
    LoaderPort(const LoaderPort&) = delete;
    LoaderPort& operator=(const LoaderPort&) = delete;

    PortOpen open(const std::string& name) override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    void close() override;

    bool setQueueSizes(std::size_t input, std::size_t output) override;
    // Only the write pair is taken as given: reads use their own time-outs
    // (at once for read(), the wait's for waitReadable()).
    bool setTimeouts(const SerialTimeouts& timeouts) override;
    bool lineSettings(LineSettings& line) override;
    // Speed, DTR and RTS as asked, 8N1, and no flow control of any kind:
    // the downloader's port description has every other flag clear.
    bool applyLine(const LineSettings& line) override;

    bool write(std::span<const uint8_t> bytes) override;
    long read(std::span<uint8_t> buffer) override;
    PortWait waitReadable(int timeoutMs) override;
    // Nobody waits on this port from another thread.
    void wakeWaiter() override {}

    void purgeInput() override;
    void purgeOutput() override;

private:
    bool setReadTimeouts(DWORD interval, DWORD total);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    SerialTimeouts writeTimeouts_{};
    // The byte that ended the last wait, not yet handed to read().
    std::vector<uint8_t> waiting_;
};

}  // namespace fw::loader::win
