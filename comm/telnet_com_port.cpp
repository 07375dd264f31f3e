#include "comm/telnet_com_port.h"

#include <algorithm>

namespace fw {

using namespace telnet;

namespace {

// The server's answer to command c is c + 100.
constexpr uint8_t kAnswerOffset = 100;
// A subnegotiation longer than any COM-port answer is not ours; it is
// skipped without keeping its bytes.
constexpr std::size_t kLongestSubnegotiation = 64;

void put3(std::vector<uint8_t>& out, uint8_t verb, uint8_t option) {
    out.insert(out.end(), {kIac, verb, option});
}

void putEscaped(std::vector<uint8_t>& out, uint8_t b) {
    out.push_back(b);
    if (b == kIac) out.push_back(kIac);
}

}  // namespace

void TelnetComPort::start(std::vector<uint8_t>& out) {
    put3(out, kWill, kBinary);
    put3(out, kDo, kBinary);
    put3(out, kWill, kSuppressGoAhead);
    put3(out, kDo, kSuppressGoAhead);
    put3(out, kWill, kComPort);
    usBinary_ = himBinary_ = usSga_ = himSga_ = usComPort_ = true;
}

void TelnetComPort::encodeData(std::span<const uint8_t> data, std::vector<uint8_t>& out) {
    out.reserve(out.size() + data.size() + 8);
    for (uint8_t b : data) putEscaped(out, b);
}

void TelnetComPort::command(ComPortCommand command, uint32_t value, std::vector<uint8_t>& out) {
    out.insert(out.end(), {kIac, kSb, kComPort, static_cast<uint8_t>(command)});
    if (command == ComPortCommand::setBaudRate) {
        for (int shift = 24; shift >= 0; shift -= 8) putEscaped(out, static_cast<uint8_t>(value >> shift));
    } else {
        putEscaped(out, static_cast<uint8_t>(value));
    }
    out.insert(out.end(), {kIac, kSe});
}

std::optional<uint32_t> TelnetComPort::answer(ComPortCommand command) const {
    return answers_[static_cast<uint8_t>(command)];
}

void TelnetComPort::clearAnswer(ComPortCommand command) {
    answers_[static_cast<uint8_t>(command)].reset();
}

void TelnetComPort::received(std::span<const uint8_t> bytes, std::vector<uint8_t>& data,
                             std::vector<uint8_t>& out) {
    for (uint8_t b : bytes) {
        switch (state_) {
        case State::cr:
            // Outside BINARY a CR travels as CR NUL or CR LF.
            state_ = State::data;
            if (b == 0) break;
            [[fallthrough]];
        case State::data:
            if (b == kIac) {
                state_ = State::iac;
            } else {
                data.push_back(b);
                if (b == '\r' && !himBinary_) state_ = State::cr;
            }
            break;
        case State::iac:
            if (b == kIac) {
                data.push_back(kIac);
                state_ = State::data;
            } else if (b >= kWill && b <= kDont) {
                verb_ = b;
                state_ = State::option;
            } else if (b == kSb) {
                sub_.clear();
                state_ = State::sub;
            } else {
                state_ = State::data;  // NOP, GA, AYT and the like: nothing to do
            }
            break;
        case State::option:
            negotiate(verb_, b, out);
            state_ = State::data;
            break;
        case State::sub:
            if (b == kIac) {
                state_ = State::subIac;
            } else if (sub_.size() < kLongestSubnegotiation) {
                sub_.push_back(b);
            }
            break;
        case State::subIac:
            if (b == kSe) {
                subnegotiation();
                state_ = State::data;
            } else {
                // IAC IAC is a 0xFF of the value; anything else is a broken
                // subnegotiation, taken as ended.
                if (b == kIac && sub_.size() < kLongestSubnegotiation) sub_.push_back(b);
                state_ = b == kIac ? State::sub : State::data;
            }
            break;
        }
    }
}

void TelnetComPort::negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& out) {
    switch (verb) {
    case kDo:  // the server asks us to use an option
        if (option == kBinary || option == kSuppressGoAhead || option == kComPort) {
            bool& state = option == kBinary ? usBinary_ : option == kComPort ? usComPort_ : usSga_;
            if (!state) put3(out, kWill, option);
            state = true;
            if (option == kComPort) him_comPortDo_ = true, comPortRefused_ = false;
        } else {
            put3(out, kWont, option);
        }
        break;
    case kDont:
        if (option == kComPort) comPortRefused_ = true, him_comPortDo_ = false;
        if (option == kBinary && usBinary_) usBinary_ = false, put3(out, kWont, option);
        if (option == kSuppressGoAhead && usSga_) usSga_ = false, put3(out, kWont, option);
        if (option == kComPort && usComPort_) usComPort_ = false, put3(out, kWont, option);
        break;
    case kWill:  // the server offers to use an option
        if (option == kBinary || option == kSuppressGoAhead) {
            bool& state = option == kBinary ? himBinary_ : himSga_;
            if (!state) put3(out, kDo, option);
            state = true;
        } else {
            put3(out, kDont, option);
        }
        break;
    case kWont:
        if (option == kBinary && himBinary_) himBinary_ = false, put3(out, kDont, option);
        if (option == kSuppressGoAhead && himSga_) himSga_ = false, put3(out, kDont, option);
        break;
    }
}

void TelnetComPort::subnegotiation() {
    if (sub_.size() < 2 || sub_[0] != kComPort) return;
    const uint8_t code = sub_[1];
    if (code <= kAnswerOffset || code > kAnswerOffset + 12) return;
    const std::size_t n = sub_.size() - 2;
    uint32_t value = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 4); ++i) value = (value << 8) | sub_[2 + i];
    answers_[code - kAnswerOffset] = value;
}

void WireTime::sent(std::size_t count, uint32_t baudRate, int64_t nowMs) {
    if (baudRate == 0) return;
    if (idleAt_ < nowMs) idleAt_ = nowMs, remainderMicros_ = 0;
    const int64_t micros = static_cast<int64_t>(count) * 10 * 1'000'000 / baudRate + remainderMicros_;
    idleAt_ += micros / 1000;
    remainderMicros_ = micros % 1000;
}

}  // namespace fw
