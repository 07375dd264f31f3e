// TCP byte streams through BSD sockets, for network serial ports.
#pragma once

#include "comm/network_port.h"
#include "comm/posix/wake_pipe.h"

namespace fw {

class PosixStreamSocket final : public StreamSocket {
public:
    PosixStreamSocket();
    ~PosixStreamSocket() override;
    PosixStreamSocket(const PosixStreamSocket&) = delete;
    PosixStreamSocket& operator=(const PosixStreamSocket&) = delete;

    bool connect(const std::string& host, uint16_t port, int timeoutMs) override;
    bool send(std::span<const uint8_t> bytes) override;
    long receive(std::span<uint8_t> buffer) override;
    PortWait waitReadable(int timeoutMs) override;
    void wakeWaiter() override;
    void close() override;

private:
    int fd_ = -1;
    WakePipe wake_;
};

}  // namespace fw
