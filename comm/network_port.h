// Serial ports on the network: a serial device server (or ser2net) that
// carries a port over TCP, either with the Telnet COM-port option
// ("rfc2217://HOST:PORT": the speed and the modem lines set from here) or as
// a raw byte stream ("tcp://HOST:PORT": the server's own fixed settings).
//
// NetworkSerialPort is a SerialPort like a COM port or a tty: every exchange,
// the cradle's set-up and the multi-port workers run on it unchanged. It
// keeps the protocol here, in the core; the platform gives it a connected
// byte stream (StreamSocket) and nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/link_clock.h"
#include "comm/serial_port.h"
#include "comm/telnet_com_port.h"

namespace fw {

struct NetworkPortName {
    bool comPortOption = true;  // rfc2217:// (true) or tcp:// (false)
    std::string host;           // a name, an IPv4 address, or an IPv6 one without brackets
    uint16_t port = 0;
};

// True for a name that asks for a network port ("rfc2217://", "tcp://",
// either case), whether or not the rest of it is well formed.
bool isNetworkPortName(std::string_view name);
// The parts of "rfc2217://HOST:PORT" or "tcp://HOST:PORT" ("[::1]" for an
// IPv6 address); nothing when the name is not one of these.
std::optional<NetworkPortName> parseNetworkPortName(std::string_view name);

// A connected TCP byte stream, from the platform.
class StreamSocket {
public:
    virtual ~StreamSocket() = default;
    // Connects within timeoutMs; false when the host is unknown, refuses or
    // does not answer.
    virtual bool connect(const std::string& host, uint16_t port, int timeoutMs) = 0;
    // Sends every byte; false when the connection is gone.
    virtual bool send(std::span<const uint8_t> bytes) = 0;
    // What has arrived, without waiting: the count (0: nothing yet), or -1
    // when the connection is closed or broken.
    virtual long receive(std::span<uint8_t> buffer) = 0;
    virtual PortWait waitReadable(int timeoutMs) = 0;
    virtual void wakeWaiter() = 0;
    virtual void close() = 0;
};

class NetworkSerialPort final : public SerialPort {
public:
    NetworkSerialPort(std::unique_ptr<StreamSocket> socket, LinkClock& clock = systemLinkClock());

    PortOpen open(const std::string& name) override;
    bool isOpen() const override { return open_; }
    // Waits until what was sent has left the server's line (a few seconds
    // at most), then ends the connection.
    void close() override;

    bool setQueueSizes(std::size_t, std::size_t) override { return open_; }
    bool setTimeouts(const SerialTimeouts&) override { return open_; }
    bool lineSettings(LineSettings& line) override;
    // rfc2217: waits until what was sent has left the server's line, then
    // asks for the speed, 8N1 and the modem lines, and waits briefly for the
    // speed's answer. A refused COM-port option fails; a missing answer to
    // the modem lines does not. tcp: the server's settings stand.
    bool applyLine(const LineSettings& line) override;

    bool write(std::span<const uint8_t> bytes) override;
    long read(std::span<uint8_t> buffer) override;
    PortWait waitReadable(int timeoutMs) override;
    void wakeWaiter() override { socket_->wakeWaiter(); }

    void purgeInput() override;
    // Asks the server to purge only while something sent may still be on
    // its way out.
    void purgeOutput() override;

    // How long a connection and a speed's answer may take.
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kAnswerTimeoutMs = 1000;
    static constexpr int kLongestCloseWaitMs = 5000;

private:
    // Takes what the socket has into data_, answering negotiation; false
    // when the connection is gone.
    bool pump();
    bool sendCommand(ComPortCommand command, uint32_t value);

    std::unique_ptr<StreamSocket> socket_;
    LinkClock& clock_;
    bool open_ = false;
    bool comPortOption_ = true;
    TelnetComPort telnet_;
    WireTime wire_;
    LineSettings line_{};
    std::vector<uint8_t> data_;  // terminal bytes received, not yet read
    std::size_t dataStart_ = 0;
};

// A port that opens as a network port for a network name and as the
// platform's device otherwise, so that everything that takes a port name
// takes either.
class PortByName final : public SerialPort {
public:
    using Factory = std::function<std::unique_ptr<SerialPort>()>;
    PortByName(Factory device, Factory network);

    PortOpen open(const std::string& name) override;
    bool isOpen() const override { return port_ && port_->isOpen(); }
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

    // The port opened last (nullptr before the first open).
    SerialPort* opened() const { return port_.get(); }

private:
    Factory device_, network_;
    std::unique_ptr<SerialPort> port_;
};

}  // namespace fw
