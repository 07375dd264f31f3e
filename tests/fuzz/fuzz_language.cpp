// Fuzzing the language file reader: the name line and the "id=text" lines.
// Beyond "no crash", every slot must stay a NUL-terminated text of at most 80
// characters whatever the file says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "shell/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const auto texts = [] {
        auto t = std::make_unique<fw::LanguageTexts>();
        t->clear();
        return t;
    }();
    const char* bytes = reinterpret_cast<const char*>(data);

    std::string name = fw::languageName(bytes, size);
    if (name.size() > 40 || name.find('\r') != std::string::npos) std::abort();

    // The table is kept between inputs, as it is kept between languages.
    fw::parseLanguageFile(bytes, size, *texts);
    for (unsigned id = 0; id < fw::LanguageTexts::kSlots; ++id)
        if (!std::memchr(texts->slots[id], 0, fw::LanguageTexts::kMaxChars + 1)) std::abort();
    return 0;
}
