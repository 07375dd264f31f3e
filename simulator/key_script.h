// Key scripts: the simulated terminal driven from text instead of the
// painted face. A script is a sequence of words:
//
//   ENT ESC BS UP DOWN ALPHA MENU   a key, by the label on the face
//   0 .. 9  -  .                    the number keys
//   "TEXT"                          typed as the keypad types it
//   wait N                          N seconds pass on the terminal's clock
//   # ...                           a comment to the end of the line
//
// Key names are not case-sensitive. A text may hold what the keypad can
// type: digits, "-" and "." with alphabetic entry off; capital letters,
// space, "/", "*", "+", "$", "%" and "#" by repeated presses with it on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class ScriptStepKind { Key, Text, Wait };

struct ScriptStep {
    ScriptStepKind kind = ScriptStepKind::Key;
    int key = 0;              // Key: the face key, 1-20
    std::string text;         // Text: the characters to type
    long long seconds = 0;    // Wait
    std::string word;         // as written, for messages and traces
    int line = 1;             // where the word starts, 1-based
    int column = 1;
};

struct ScriptParse {
    std::vector<ScriptStep> steps;
    std::string error;        // empty when the script is good
    bool ok() const { return error.empty(); }
};

ScriptParse parseKeyScript(std::string_view script);

// The face key (1-20) a script names, or 0.
int keyByName(std::string_view name);

// How the keypad types `c`: `key` pressed `presses` times, with alphabetic
// entry on or off. False when the keypad cannot type it.
struct KeyStroke {
    int key = 0;
    int presses = 1;
    bool alpha = false;
};
bool keyStrokeFor(char c, KeyStroke& stroke);

// Longest wait a script may ask for: ten years.
constexpr long long kMaxWaitSeconds = 10LL * 366 * 24 * 3600;

}  // namespace fw
