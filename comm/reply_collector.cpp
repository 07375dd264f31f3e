#include "comm/reply_collector.h"

#include <algorithm>

namespace fw {

bool replyContains(std::span<const uint8_t> reply, std::string_view token) {
    if (token.empty()) return true;
    auto it = std::search(reply.begin(), reply.end(), token.begin(), token.end(),
                          [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    return it != reply.end();
}

}  // namespace fw
