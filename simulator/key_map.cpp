#include "simulator/key_map.h"

#include <cstring>

namespace fw {

namespace {

// Keys whose letter cycle holds the character, and where in the cycle it
// lies (the engine's cycles: 1 " ", 2 "ABC" ... 9 "WXYZ", 11 "/*", 13 "+$",
// 16 "%#").
struct LetterKey {
    int key;
    const char* cycle;
};
constexpr LetterKey kLetterKeys[] = {{1, " "},   {2, "ABC"},  {3, "DEF"}, {4, "GHI"},  {5, "JKL"}, {6, "MNO"},
                                     {7, "PQRS"}, {8, "TUV"}, {9, "WXYZ"}, {11, "/*"}, {13, "+$"}, {16, "%#"}};

}  // namespace

int faceKeyForVirtualKey(int vk) {
    switch (vk) {
        case kVkReturn: return 19;
        case kVkEscape: return kKeyEsc;
        case kVkBack: return 18;
        case kVkUp: return 14;
        case kVkDown: return 15;
        case kVkF1: return kKeyAlpha;
        case kVkF2: return kKeyMenu;
        case kVkF3: return 20;
        default: return 0;
    }
}

bool opensCommandMenu(int vk, bool shift) { return vk == kVkApps || (vk == kVkF10 && shift); }

TypedCharacter typedCharacter(char c) {
    using Entry = TypedCharacter::Entry;
    if (c >= '1' && c <= '9') return {Entry::Digit, c - '0', 1};
    if (c == '0') return {Entry::Digit, 11, 1};
    if (c == '-') return {Entry::Digit, 13, 1};
    if (c == '.') return {Entry::Digit, 16, 1};
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == '\0') return {};
    for (const LetterKey& k : kLetterKeys) {
        if (const char* at = std::strchr(k.cycle, upper)) return {Entry::Letter, k.key, static_cast<int>(at - k.cycle) + 1};
    }
    return {};
}

TypedResult typeCharacter(SimulationEngine& engine, char c) {
    const TypedCharacter t = typedCharacter(c);
    TypedResult r;
    if (t.entry == TypedCharacter::Entry::None) return r;
    const bool inForm = engine.mode() == EngineMode::Form;
    if (!inForm) {
        if (t.entry == TypedCharacter::Entry::Digit) {
            r.key = t.key;
            r.update = engine.pressKey(t.key);
        }
        return r;
    }
    r.key = t.key;
    // A letter still being chosen on the painted keys is set first, so
    // that the typed character starts its own cycle.
    r.update = engine.finishLetter();
    if (engine.mode() != EngineMode::Form) return r;
    const bool wantAlpha = t.entry == TypedCharacter::Entry::Letter;
    const bool flip = engine.alphaOn() != wantAlpha;
    if (flip) engine.toggleAlpha();
    for (int i = 0; i < t.presses; ++i) r.update.merge(engine.pressKey(t.key));
    if (wantAlpha) r.update.merge(engine.finishLetter());
    // The character may have finished the form; alphabetic entry stays the
    // user's either way.
    if (flip) engine.toggleAlpha();
    return r;
}

const std::vector<KeyboardHelpLine>& keyboardHelp() {
    static const std::vector<KeyboardHelpLine> help = {
        {"0-9", "the digit keys"},
        {"A-Z, space, / * + $ % #", "the letter on its key, set at once"},
        {"- and .", "the - and . keys"},
        {"Enter", "ENT"},
        {"Esc", "ESC"},
        {"Backspace", "BS"},
        {"Up, Down", "the arrow keys"},
        {"F1", "the alpha/FN key"},
        {"F2", "MENU (the command menu)"},
        {"F3", "the right ENT key"},
        {"Shift+F10, Menu key", "the command menu"},
    };
    return help;
}

}  // namespace fw
