// The Acoustic Coupler dialog of the Settings page: the coupler's line
// settings, its control characters and block transmission. Works on a copy
// of the page's working copy; OK hands it back.
#pragma once

#include <string>

#include "editor/character_grid.h"
#include "ui/control_state.h"
#include "model/program_model.h"

namespace fw {

constexpr int kMinToneLength = 1;
constexpr int kMaxToneLength = 5;

class AcousticDialog {
public:
    enum ListField { DataBits, StopBits, Parity, Volume, BlockSize, BlockDelay };
    enum CharBox { StartOfText, EndOfText, PadChar, EndOfBlock };
    static constexpr int kCharBoxes = 4;

    explicit AcousticDialog(const TerminalSettings& page);

    static ListEntries entries(int field);

    ControlState listState(int field) const;
    ControlState toneState() const;
    ControlState controlCharsState() const;
    ControlState blockModeState() const;
    ControlState blockCheckState() const;
    ControlState charBoxState(int box) const;

    ControlReply chooseList(int field, int choice);
    // A number from 1 to 5 is stored; anything else puts it back.
    ControlReply typeTone(const std::string& text);
    ControlReply toggleControlChars(bool on);
    ControlReply toggleBlockMode(bool on);
    ControlReply toggleBlockCheck(bool on);

    // The single-character boxes; the grid's OK writes the box, which the
    // copy takes at once.
    GridBox& charBox(int box) { return boxes_[box]; }
    ControlReply charChosen(int box);

    const AcousticCoupler& coupler() const { return copy_.acousticCoupler; }
    // OK: the copy with the four boxes' codes.
    TerminalSettings ok() const;

    // "Transmit Control Character" as ticked: its byte, or block mode.
    bool sendsControlChars() const;

private:
    uint8_t& charField(int box);

    TerminalSettings copy_;
    GridBox boxes_[kCharBoxes];
};

}  // namespace fw
