// A serial port carried over TCP by a serial device server: the Telnet
// protocol with its COM-port option (RFC 2217), as bytes in and bytes out.
//
// The codec never touches a socket. The port driver hands it what arrived
// and sends what it returns: the terminal's own bytes come out of
// received() with the Telnet layer taken off, and everything the server
// must hear (our option answers, the line-speed and modem-line requests,
// data with its 0xFF bytes doubled) is appended to an output buffer.
//
// Facts worth knowing:
// - Data byte 0xFF travels as IAC IAC, in both directions and inside a
//   subnegotiation too (a speed of 0xFF bytes, say).
// - Both directions are asked into BINARY mode; a server that refuses it for
//   its own direction sends CR as CR NUL, which is taken back to CR.
// - The server answers a COM-port command with the command's number + 100
//   and the value it now uses. Servers need not answer the modem-line
//   requests (some device servers and ser2net on a pseudo-terminal never
//   do): that is not a failure.
// - There is no "drain": a request is carried out when the server reads it,
//   whatever is still in its output queue. The driver waits out the wire
//   time of what it sent before it changes the speed (WireTime).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fw {

namespace telnet {
constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;
constexpr uint8_t kBinary = 0;
constexpr uint8_t kSuppressGoAhead = 3;
constexpr uint8_t kComPort = 44;
}  // namespace telnet

// The COM-port option's commands, as the client sends them.
enum class ComPortCommand : uint8_t {
    setBaudRate = 1,
    setDataSize = 2,
    setParity = 3,
    setStopSize = 4,
    setControl = 5,
    purgeData = 12,
};

// Values of setControl and purgeData that the driver uses.
constexpr uint32_t kControlDtrOn = 8;
constexpr uint32_t kControlDtrOff = 9;
constexpr uint32_t kControlRtsOn = 11;
constexpr uint32_t kControlRtsOff = 12;
constexpr uint32_t kPurgeReceive = 1;
constexpr uint32_t kPurgeTransmit = 2;

class TelnetComPort {
public:
    // The opening negotiation: BINARY both ways, no go-aheads, and the
    // COM-port option offered.
    void start(std::vector<uint8_t>& out);

    // Terminal bytes to send, 0xFF doubled.
    static void encodeData(std::span<const uint8_t> data, std::vector<uint8_t>& out);

    // A COM-port command with its value: four bytes for the speed, one for
    // the others.
    void command(ComPortCommand command, uint32_t value, std::vector<uint8_t>& out);

    // Bytes from the server: the terminal's bytes are appended to `data`,
    // our answers to the server's negotiation to `out`. A command or
    // subnegotiation split across calls is completed by the next call.
    void received(std::span<const uint8_t> bytes, std::vector<uint8_t>& data,
                  std::vector<uint8_t>& out);

    // The server agreed to the COM-port option (it sent DO COM-PORT).
    bool comPortAccepted() const { return him_comPortDo_; }
    // The server refused it (DONT COM-PORT): speeds cannot be set.
    bool comPortRefused() const { return comPortRefused_; }
    // The value of the server's latest answer to `command`, if any came.
    std::optional<uint32_t> answer(ComPortCommand command) const;
    // Forgets the answers, before a new request whose answer is awaited.
    void clearAnswer(ComPortCommand command);

private:
    enum class State : uint8_t { data, iac, option, sub, subIac, cr };

    void negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& out);
    void subnegotiation();

    State state_ = State::data;
    State afterCr_ = State::data;
    uint8_t verb_ = 0;
    std::vector<uint8_t> sub_;

    // Options we asked for or agreed to, so an answer is sent once and a
    // repeated request does not start a loop.
    bool usBinary_ = false, usSga_ = false, usComPort_ = false;
    bool himBinary_ = false, himSga_ = false;
    bool him_comPortDo_ = false, comPortRefused_ = false;

    std::optional<uint32_t> answers_[13];
};

// When the bytes sent so far have left the far end's serial line, at the
// speed each was sent with: the server queues what it receives and sends it
// at the line's speed, so a speed change must wait for that queue to empty.
class WireTime {
public:
    // `count` bytes sent at `baudRate` (ten bits a byte) at time `nowMs`.
    void sent(std::size_t count, uint32_t baudRate, int64_t nowMs);
    // The time the last of them has left the line.
    int64_t idleAtMs() const { return idleAt_; }

private:
    int64_t idleAt_ = 0;
    int64_t remainderMicros_ = 0;
};

}  // namespace fw
