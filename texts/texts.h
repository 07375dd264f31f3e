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

// The built-in string table alone; nullptr when it has no text `id`.
const char* builtInText(unsigned id);

}  // namespace fw
