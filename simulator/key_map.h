// The PC keyboard on the simulated terminal: which face key a PC key or a
// typed character stands for, and a typed character carried out on the
// engine. The table is the one the guide's "Keyboard" section lists.
#pragma once

#include <vector>

#include "simulator/simulation_engine.h"

namespace fw {

// Windows virtual-key codes of the keys that type no character.
constexpr int kVkBack = 0x08;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkUp = 0x26;
constexpr int kVkDown = 0x28;
constexpr int kVkF1 = 0x70;
constexpr int kVkF2 = 0x71;
constexpr int kVkF3 = 0x72;
constexpr int kVkF10 = 0x79;
constexpr int kVkApps = 0x5D;   // the Menu key

// The face key (1-20) a key that types no character presses, or 0.
int faceKeyForVirtualKey(int virtualKey);

// Shift+F10 and the Menu key open the command menu, as a right click does.
bool opensCommandMenu(int virtualKey, bool shift);

// A typed character as the terminal's keys give it.
struct TypedCharacter {
    enum class Entry {
        None,     // the terminal has no key for it (or it is a control character)
        Digit,    // the key pressed once with alphabetic entry off
        Letter,   // the key pressed `presses` times with alphabetic entry on
    };
    Entry entry = Entry::None;
    int key = 0;
    int presses = 0;
    constexpr bool operator==(const TypedCharacter&) const = default;
};

// Digits, '-' and '.' are their keys; letters (either case), the space and
// the signs on the keys (/ * + $ % #) are their key pressed as often as its
// letter cycle needs. Any other byte gives Entry::None.
TypedCharacter typedCharacter(char c);

// The character typed on the terminal: a digit with alphabetic entry off
// for that one key, a letter in alphabetic entry and set at once (no wait
// for the cycle to time out); alphabetic entry is left as the user had it.
// Outside form entry only digit keys act. Returns the first face key
// pressed (0 for none), for the window to show its press, and the update.
struct TypedResult {
    int key = 0;
    EngineUpdate update;
};
TypedResult typeCharacter(SimulationEngine& engine, char c);

// One line of the keyboard's help: the PC key and what it does.
struct KeyboardHelpLine {
    const char* pcKey;
    const char* terminalKey;
};
const std::vector<KeyboardHelpLine>& keyboardHelp();

}  // namespace fw
