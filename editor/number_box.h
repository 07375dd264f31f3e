// The correction rules of the editor's number boxes and text boxes, applied
// on every change of the box.
//
// A number box without a number shows 0 and gives 0, a value above its
// maximum is shown and taken as the maximum, and leading zeros vanish
// ("007" shows 7). A text box cut to its limit has the cut text put back.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// What a box holds after a change, and whether the dialog has to put `text`
// back into the box because it differs from what was typed.
struct NumberEntry {
    int value = 0;
    std::string text;
    bool putBack = false;
};

struct TextEntry {
    std::string text;
    bool putBack = false;
};

// The number a box shows after `typed`: only decimal digits (surrounding
// blanks ignored) make a number; anything else gives 0.
NumberEntry correctNumber(std::string_view typed, int maximum);

// `typed` cut to `limit` characters.
TextEntry cutText(std::string_view typed, std::size_t limit);

}  // namespace fw
