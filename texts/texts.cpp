#include "texts/texts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "texts/language_texts.h"

namespace fw {

namespace {

struct TextEntry {
    uint16_t id;
    const char* text;
};

constexpr TextEntry kStringTable[] = {
#define FW_TEXT(id, text) {id, text},
#include "resources/string_table.inc"
#undef FW_TEXT
};

// builtInText searches by halves, so a text added out of order (or twice)
// would silently vanish; refuse to compile instead.
constexpr bool strictlyAscending() {
    for (std::size_t i = 1; i < std::size(kStringTable); ++i) {
        if (kStringTable[i - 1].id >= kStringTable[i].id) return false;
    }
    return true;
}
static_assert(strictlyAscending(), "string_table.inc must be sorted by id, each id once");

// The active language's text wins over the string table, unless its slot for
// `id` is empty: a language file need not name every text.
const char* findText(unsigned id) {
    if (languageActive()) {
        const char* text = languageTexts().text(id);
        if (text && *text) return text;
    }
    return builtInText(id);
}

}  // namespace

LanguageTexts& languageTexts() {
    // 145 KB: static, never on a stack.
    static LanguageTexts texts{};
    return texts;
}

namespace {
bool& activeFlag() {
    static bool active = false;
    return active;
}
}  // namespace

bool languageActive() { return activeFlag(); }
void setLanguageActive(bool active) { activeFlag() = active; }

const char* builtInText(unsigned id) {
    const auto* end = std::end(kStringTable);
    const auto* it = std::lower_bound(std::begin(kStringTable), end, id,
                                      [](const TextEntry& e, unsigned key) { return e.id < key; });
    return (it != end && it->id == id) ? it->text : nullptr;
}

int loadText(unsigned id, char* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    const char* text = findText(id);
    std::size_t n = text ? std::strlen(text) : 0;
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(buffer, text ? text : "", n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string loadText(unsigned id) {
    const char* text = findText(id);
    return text ? std::string(text) : std::string();
}

std::string languageCaption(unsigned id) {
    if (!languageActive()) return {};
    return loadText(id);
}

std::string captionText(unsigned id, const std::string& builtIn) {
    std::string text = languageCaption(id);
    return text.empty() ? builtIn : text;
}

}  // namespace fw
