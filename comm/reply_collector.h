// Assembles the terminal's replies from the bytes the port delivers. A reply
// ends with CR; the bytes may come in any number of reads, so nobody needs to
// wait for a reply to arrive whole before reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fw {

constexpr std::size_t kReplyBufferSize = 1024;

class ReplyCollector {
public:
    // In the two download modes the terminal's replies are plain ASCII, and
    // bytes above 0x7F are line noise (an infrared link picks up plenty):
    // they are dropped. The data receive keeps them, as record data may
    // hold any byte but CR.
    explicit ReplyCollector(bool dropHighBytes) : dropHighBytes_(dropHighBytes) {}

    // Takes one byte. True when it was a CR and reply() now holds a whole
    // reply; the caller handles it and calls clear() before the next byte.
    // At most 1024 bytes are kept: later ones are dropped, but a CR still
    // ends the reply (which then does not end with its CR).
    bool add(uint8_t b) {
        if (dropHighBytes_ && b > 0x7F) return false;
        if (size_ < kReplyBufferSize) buffer_[size_++] = b;
        return b == '\r';
    }

    std::span<const uint8_t> reply() const { return {buffer_, size_}; }
    std::size_t size() const { return size_; }
    void clear() { size_ = 0; }

private:
    bool dropHighBytes_;
    std::size_t size_ = 0;
    uint8_t buffer_[kReplyBufferSize] = {};
};

// Whether `token` ("ACK\r", ...) occurs anywhere in `reply`: a reply with
// other bytes before its token still counts.
bool replyContains(std::span<const uint8_t> reply, std::string_view token);

}  // namespace fw
