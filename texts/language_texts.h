// The texts of the active language file, which the text service consults
// before the string table. Filled by the language-file reader (shell/).
#pragma once

#include <cstddef>
#include <cstring>

namespace fw {

struct LanguageTexts {
    static constexpr unsigned kSlots = 1800;      // text numbers 0..1799
    static constexpr std::size_t kMaxChars = 80;

    char slots[kSlots][kMaxChars + 1];

    // The text of slot `id`: empty when the slot is empty, nullptr when there
    // is no such slot.
    const char* text(unsigned id) const { return id < kSlots ? slots[id] : nullptr; }

    // Stores `text` (cut to kMaxChars) in slot `id`; an empty text clears
    // it. Numbers outside the table are ignored.
    void set(unsigned id, const char* text, std::size_t size) {
        if (id >= kSlots) return;
        if (size > kMaxChars) size = kMaxChars;
        std::memcpy(slots[id], text, size);
        slots[id][size] = '\0';
    }

    void clear() { std::memset(slots, 0, sizeof slots); }
};

// The process-wide table and whether loadText uses it. The table starts
// empty and the flag off.
LanguageTexts& languageTexts();
bool languageActive();
void setLanguageActive(bool active);

}  // namespace fw
