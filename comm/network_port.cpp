#include "comm/network_port.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace fw {

namespace {

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

constexpr std::string_view kRfc2217 = "rfc2217://";
constexpr std::string_view kTcp = "tcp://";

}  // namespace

bool isNetworkPortName(std::string_view name) {
    return startsWithNoCase(name, kRfc2217) || startsWithNoCase(name, kTcp);
}

std::optional<NetworkPortName> parseNetworkPortName(std::string_view name) {
    NetworkPortName parsed;
    if (startsWithNoCase(name, kRfc2217)) {
        name.remove_prefix(kRfc2217.size());
    } else if (startsWithNoCase(name, kTcp)) {
        name.remove_prefix(kTcp.size());
        parsed.comPortOption = false;
    } else {
        return std::nullopt;
    }
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    std::string_view host, port;
    if (name.starts_with('[')) {
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos || name.substr(close + 1, 1) != ":") return std::nullopt;
        host = name.substr(1, close - 1);
        port = name.substr(close + 2);
    } else {
        const std::size_t colon = name.rfind(':');
        if (colon == std::string_view::npos) return std::nullopt;
        host = name.substr(0, colon);
        port = name.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) return std::nullopt;  // IPv6 needs brackets
    }
    unsigned number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (host.empty() || port.empty() || error != std::errc{} || end != port.data() + port.size() ||
        number == 0 || number > 65535)
        return std::nullopt;
    for (char c : host)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '@') return std::nullopt;
    parsed.host = std::string(host);
    parsed.port = static_cast<uint16_t>(number);
    return parsed;
}

// ---------------------------------------------------------------------------

NetworkSerialPort::NetworkSerialPort(std::unique_ptr<StreamSocket> socket, LinkClock& clock)
    : socket_(std::move(socket)), clock_(clock) {}

PortOpen NetworkSerialPort::open(const std::string& name) {
    close();
    const std::optional<NetworkPortName> parsed = parseNetworkPortName(name);
    if (!parsed || !socket_->connect(parsed->host, parsed->port, kConnectTimeoutMs))
        return PortOpen::deviceFailed;
    comPortOption_ = parsed->comPortOption;
    telnet_ = TelnetComPort{};
    wire_ = WireTime{};
    line_ = LineSettings{};
    data_.clear();
    dataStart_ = 0;
    open_ = true;
    if (comPortOption_) {
        std::vector<uint8_t> out;
        telnet_.start(out);
        if (!socket_->send(out)) {
            close();
            return PortOpen::deviceFailed;
        }
    }
    return PortOpen::opened;
}

void NetworkSerialPort::close() {
    if (open_) {
        // A server may drop what it still holds for the line when the
        // connection ends: let the last bytes (an "OVER", an "ACK") leave it.
        const int64_t wait = wire_.idleAtMs() - clock_.nowMs();
        if (wait > 0) clock_.sleepMs(static_cast<int>(std::min<int64_t>(wait, kLongestCloseWaitMs)) + 2);
        socket_->close();
    }
    open_ = false;
}

bool NetworkSerialPort::lineSettings(LineSettings& line) {
    line = line_;
    return open_;
}

bool NetworkSerialPort::sendCommand(ComPortCommand command, uint32_t value) {
    std::vector<uint8_t> out;
    telnet_.command(command, value, out);
    return socket_->send(out);
}

bool NetworkSerialPort::applyLine(const LineSettings& line) {
    if (!open_) return false;
    if (!comPortOption_) {
        line_ = line;
        return true;
    }
    if (line.baudRate != line_.baudRate) {
        // No drain in the protocol: let the server's queue empty at the old
        // speed before asking for the new one.
        const int64_t wait = wire_.idleAtMs() - clock_.nowMs();
        if (wait > 0) clock_.sleepMs(static_cast<int>(wait) + 2);
        telnet_.clearAnswer(ComPortCommand::setBaudRate);
        if (!sendCommand(ComPortCommand::setBaudRate, line.baudRate) ||
            !sendCommand(ComPortCommand::setDataSize, 8) ||
            !sendCommand(ComPortCommand::setParity, 1) ||   // none
            !sendCommand(ComPortCommand::setStopSize, 1))   // one stop bit
            return false;
    }
    if (!sendCommand(ComPortCommand::setControl, line.dtr ? kControlDtrOn : kControlDtrOff) ||
        !sendCommand(ComPortCommand::setControl, line.rts ? kControlRtsOn : kControlRtsOff))
        return false;
    if (line.baudRate != line_.baudRate) {
        const int64_t deadline = clock_.nowMs() + kAnswerTimeoutMs;
        while (!telnet_.answer(ComPortCommand::setBaudRate) && !telnet_.comPortRefused()) {
            const int64_t left = deadline - clock_.nowMs();
            if (left <= 0) break;
            const PortWait w = socket_->waitReadable(static_cast<int>(left));
            if (w == PortWait::failed || !pump()) return false;
        }
        if (telnet_.comPortRefused()) return false;
        // A server that says nothing has still read the request in order.
    }
    line_ = line;
    return true;
}

bool NetworkSerialPort::write(std::span<const uint8_t> bytes) {
    if (!open_) return false;
    bool sent;
    if (comPortOption_) {
        std::vector<uint8_t> out;
        TelnetComPort::encodeData(bytes, out);
        sent = socket_->send(out);
    } else {
        sent = socket_->send(bytes);
    }
    if (sent) wire_.sent(bytes.size(), line_.baudRate, clock_.nowMs());
    return sent;
}

bool NetworkSerialPort::pump() {
    uint8_t buffer[4096];
    for (;;) {
        const long n = socket_->receive(buffer);
        if (n < 0) return false;
        if (n == 0) return true;
        const std::span<const uint8_t> got(buffer, static_cast<std::size_t>(n));
        if (!comPortOption_) {
            data_.insert(data_.end(), got.begin(), got.end());
            continue;
        }
        std::vector<uint8_t> out;
        telnet_.received(got, data_, out);
        if (!out.empty() && !socket_->send(out)) return false;
    }
}

long NetworkSerialPort::read(std::span<uint8_t> buffer) {
    if (!open_) return -1;
    if (dataStart_ == data_.size()) {
        data_.clear();
        dataStart_ = 0;
        if (!pump()) {
            // What arrived before the connection dropped is still read.
            if (data_.empty()) return -1;
        }
    }
    const std::size_t n = std::min(buffer.size(), data_.size() - dataStart_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(dataStart_), n, buffer.begin());
    dataStart_ += n;
    return static_cast<long>(n);
}

PortWait NetworkSerialPort::waitReadable(int timeoutMs) {
    if (!open_) return PortWait::failed;
    if (dataStart_ < data_.size()) return PortWait::readable;
    return socket_->waitReadable(timeoutMs);
}

void NetworkSerialPort::purgeInput() {
    data_.clear();
    dataStart_ = 0;
    if (open_ && comPortOption_) sendCommand(ComPortCommand::purgeData, kPurgeReceive);
}

void NetworkSerialPort::purgeOutput() {
    // The exchanges purge before every write. Once all that was sent has
    // left the line the server holds nothing to purge: asking would cost
    // it, and the turnaround, a message per block.
    if (open_ && comPortOption_ && wire_.idleAtMs() > clock_.nowMs())
        sendCommand(ComPortCommand::purgeData, kPurgeTransmit);
}

// ---------------------------------------------------------------------------

PortByName::PortByName(Factory device, Factory network)
    : device_(std::move(device)), network_(std::move(network)) {}

PortOpen PortByName::open(const std::string& name) {
    close();
    port_ = isNetworkPortName(name) ? network_() : device_();
    return port_->open(name);
}

void PortByName::close() {
    if (port_) port_->close();
}

bool PortByName::setQueueSizes(std::size_t input, std::size_t output) {
    return port_ && port_->setQueueSizes(input, output);
}
bool PortByName::setTimeouts(const SerialTimeouts& timeouts) {
    return port_ && port_->setTimeouts(timeouts);
}
bool PortByName::lineSettings(LineSettings& line) { return port_ && port_->lineSettings(line); }
bool PortByName::applyLine(const LineSettings& line) { return port_ && port_->applyLine(line); }
bool PortByName::write(std::span<const uint8_t> bytes) { return port_ && port_->write(bytes); }
long PortByName::read(std::span<uint8_t> buffer) { return port_ ? port_->read(buffer) : -1; }
PortWait PortByName::waitReadable(int timeoutMs) {
    return port_ ? port_->waitReadable(timeoutMs) : PortWait::failed;
}
void PortByName::wakeWaiter() {
    if (port_) port_->wakeWaiter();
}
void PortByName::purgeInput() {
    if (port_) port_->purgeInput();
}
void PortByName::purgeOutput() {
    if (port_) port_->purgeOutput();
}

}  // namespace fw
