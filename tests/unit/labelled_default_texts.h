// Default texts whose every line says where it comes from, for the tests of
// the files that carry them.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "model/default_texts.h"
#include "model/message_tables.h"

namespace fw::test {

// Copies `text` into a char array, cut to fit and NUL-terminated.
template <std::size_t N>
inline void copyInto(char (&to)[N], const std::string& text) {
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(to, text.data(), n);
    std::memset(to + n, 0, N - n);
}

inline std::string two(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

// Default texts that say where they come from: "T07L3" is line 3 of table 7,
// "t07l3" its large-font twin, "Xtra2 small"/"xtra2" an extra utility line.
inline std::unique_ptr<DefaultTexts> makeDefaults() {
    auto d = std::make_unique<DefaultTexts>();
    std::memset(d.get(), 0, sizeof *d);
    for (int t = 0; t < kMessageTableCount; ++t) {
        for (int n = 0; n < kMessageTables[t].lines; ++n) {
            copyInto(d->lines[t][n], "T" + two(t) + "L" + std::to_string(n + 1));
            if (kMessageTables[t].twinBase != 0 && n < kMessageTables[t].twinLines)
                copyInto(d->largeLines[t][n], "t" + two(t) + "l" + std::to_string(n + 1));
        }
    }
    for (int n = 0; n < kExtraUtilityLineCount; ++n) {
        copyInto(d->extraUtility[n], "Xtra" + std::to_string(n + 1) + " small");
        copyInto(d->extraUtilityLarge[n], "xtra" + std::to_string(n + 1));
    }
    return d;
}

}  // namespace fw::test
