#include "simulator/key_map.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/fixed_text.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

using Entry = TypedCharacter::Entry;

TEST(KeyMap, EveryCharacterGoesToTheKeyThatCarriesIt) {
    EXPECT_EQ(typedCharacter('1'), (TypedCharacter{Entry::Digit, 1, 1}));
    EXPECT_EQ(typedCharacter('9'), (TypedCharacter{Entry::Digit, 9, 1}));
    EXPECT_EQ(typedCharacter('0'), (TypedCharacter{Entry::Digit, 11, 1}));
    EXPECT_EQ(typedCharacter('-'), (TypedCharacter{Entry::Digit, 13, 1}));
    EXPECT_EQ(typedCharacter('.'), (TypedCharacter{Entry::Digit, 16, 1}));
    // Letters of either case through the key's cycle, as often as needed.
    EXPECT_EQ(typedCharacter('A'), (TypedCharacter{Entry::Letter, 2, 1}));
    EXPECT_EQ(typedCharacter('c'), (TypedCharacter{Entry::Letter, 2, 3}));
    EXPECT_EQ(typedCharacter('S'), (TypedCharacter{Entry::Letter, 7, 4}));
    EXPECT_EQ(typedCharacter('z'), (TypedCharacter{Entry::Letter, 9, 4}));
    EXPECT_EQ(typedCharacter(' '), (TypedCharacter{Entry::Letter, 1, 1}));
    EXPECT_EQ(typedCharacter('*'), (TypedCharacter{Entry::Letter, 11, 2}));
    EXPECT_EQ(typedCharacter('+'), (TypedCharacter{Entry::Letter, 13, 1}));
    EXPECT_EQ(typedCharacter('#'), (TypedCharacter{Entry::Letter, 16, 2}));
    // What no key gives, and the control characters that come with Enter,
    // Esc and Backspace (those act through their virtual keys).
    for (char c : {'\0', '\r', '\x1b', '\b', '@', ',', '\xE9', '\xFF'})
        EXPECT_EQ(typedCharacter(c).entry, Entry::None) << int(c);
}

TEST(KeyMap, KeysWithoutACharacterAndTheCommandMenu) {
    EXPECT_EQ(faceKeyForVirtualKey(kVkReturn), 19);
    EXPECT_EQ(faceKeyForVirtualKey(kVkEscape), 17);
    EXPECT_EQ(faceKeyForVirtualKey(kVkBack), 18);
    EXPECT_EQ(faceKeyForVirtualKey(kVkUp), 14);
    EXPECT_EQ(faceKeyForVirtualKey(kVkDown), 15);
    EXPECT_EQ(faceKeyForVirtualKey(kVkF1), kKeyAlpha);
    EXPECT_EQ(faceKeyForVirtualKey(kVkF2), kKeyMenu);
    EXPECT_EQ(faceKeyForVirtualKey(kVkF3), 20);
    EXPECT_EQ(faceKeyForVirtualKey('A'), 0);   // letters come as characters
    EXPECT_EQ(faceKeyForVirtualKey(kVkF10), 0);
    EXPECT_TRUE(opensCommandMenu(kVkApps, false));
    EXPECT_TRUE(opensCommandMenu(kVkF10, true));
    EXPECT_FALSE(opensCommandMenu(kVkF10, false));
    EXPECT_FALSE(opensCommandMenu(kVkF2, true));
}

class Typing : public test::NewProgramTest {
protected:
    SimulationEngine& engine() {
        if (!sim) sim = std::make_unique<SimulationEngine>(*model, *texts);
        return *sim;
    }
    void type(const std::string& s) {
        for (char c : s) typeCharacter(engine(), c);
    }
    std::string value(int i) { return std::string(engine().value(i)); }
    std::unique_ptr<SimulationEngine> sim;
};

TEST_F(Typing, MixedTextGoesInAsTypedWithoutTheWaitAndAlphaStaysTheUsers) {
    FormDef& f = model->forms[0];
    f.dataType[0] = kTypeText;
    setFieldText(f.prompt[0], "Name:");
    SimulationEngine& e = engine();
    // On the start screen a digit is its key: 1 is Collect, letters do nothing.
    EXPECT_EQ(typeCharacter(e, 'x').key, 0);
    EXPECT_EQ(e.mode(), EngineMode::Start);
    EXPECT_EQ(typeCharacter(e, '1').key, 1);
    ASSERT_EQ(e.mode(), EngineMode::Form);

    // Two letters of one key follow each other without a tick between.
    type("cab-12 Zs.0");
    EXPECT_EQ(value(0), "CAB-12 ZS.0");
    EXPECT_EQ(e.pendingLetter(), 0);
    EXPECT_FALSE(e.alphaOn());

    // With alphabetic entry on, digits still go in as digits.
    e.toggleAlpha();
    type("7q");
    EXPECT_EQ(value(0), "CAB-12 ZS.07Q");
    EXPECT_TRUE(e.alphaOn());

    // A letter half chosen on the painted keys is set before the typed one.
    e.pressKey(2);
    e.pressKey(2);
    type("d");
    EXPECT_EQ(value(0), "CAB-12 ZS.07QBD");
    EXPECT_EQ(typeCharacter(e, '@').key, 0);
    EXPECT_EQ(value(0), "CAB-12 ZS.07QBD");
}

TEST_F(Typing, ARefusedLetterShowsTheErrorAndLeavesTheField) {
    FormDef& f = model->forms[0];
    f.dataType[0] = kTypeInteger;
    setFieldText(f.prompt[0], "N:");
    SimulationEngine& e = engine();
    type("17a");
    EXPECT_EQ(e.mode(), EngineMode::Error);
    e.pressKey(19);
    EXPECT_EQ(e.mode(), EngineMode::Form);
    EXPECT_EQ(value(0), "7");
}

TEST(KeyMap, TheHelpNamesEveryMappedKey) {
    std::string all;
    for (const KeyboardHelpLine& l : keyboardHelp()) all += std::string(l.pcKey) + "\n";
    for (const char* key : {"Enter", "Esc", "Backspace", "F1", "F2", "F3", "Shift+F10", "0-9", "A-Z"})
        EXPECT_NE(all.find(key), std::string::npos) << key;
}

}  // namespace
}  // namespace fw
