#include "editor/number_box.h"

namespace fw {

NumberEntry correctNumber(std::string_view typed, int maximum) {
    std::string_view s = typed;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);

    bool isNumber = !s.empty();
    long value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            isNumber = false;
            break;
        }
        // Saturate early: a long paste must not overflow.
        if (value <= maximum) value = value * 10 + (c - '0');
    }
    NumberEntry e;
    e.value = !isNumber ? 0 : (value > maximum ? maximum : static_cast<int>(value));
    e.text = std::to_string(e.value);
    e.putBack = e.text != typed;
    return e;
}

TextEntry cutText(std::string_view typed, std::size_t limit) {
    TextEntry e;
    e.putBack = typed.size() > limit;
    e.text = std::string(typed.substr(0, limit));
    return e;
}

}  // namespace fw
