// The text service: every text shown is loaded by its number.
#pragma once

#include <cstddef>
#include <string>

namespace fw {

// Copies text `id` into `buffer` (at most capacity - 1 characters, always
// NUL-terminated when capacity > 0) and returns its length; 0 when there is
// no such text.
int loadText(unsigned id, char* buffer, std::size_t capacity);

// The same, as a string (texts are at most a few hundred characters).
std::string loadText(unsigned id);

// Captions of windows under a language file. The windows carry their
// English texts in their templates; a language file adds texts for them
// under numbers of its own. A text the language leaves empty keeps the
// English one, so a language file need not name every text to leave no
// control blank.
// The active language's text `id`; empty when no language is active or the
// language has no text for it.
std::string languageCaption(unsigned id);
// The same, falling back to `builtIn`.
std::string captionText(unsigned id, const std::string& builtIn);

// The built-in string table alone; nullptr when it has no text `id`.
const char* builtInText(unsigned id);

}  // namespace fw
