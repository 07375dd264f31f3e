// The default texts, loaded once for a whole fuzzing run: the targets that
// open and save program files need them for every input.
#pragma once

#include <memory>

#include "model/default_texts.h"

namespace fw::fuzz {

inline const DefaultTexts& defaults() {
    static const auto d = [] {
        auto texts = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*texts);
        return texts;
    }();
    return *d;
}

}  // namespace fw::fuzz
