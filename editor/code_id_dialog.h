// The Code ID dialog: "Enable code ID" and a pair of up to two identifier
// codes for each of fifteen symbologies, edited through the character grid,
// five built-in sets and "Clear".
//
// It works on a copy of the pairs taken when it opens and writes
// `codeIdOn` and `codeId` straight into the model at its OK, marking the
// program modified. It keeps nothing else of the terminal settings, so a
// page that later writes back its own settings fields cannot meet a stale
// copy from here.
#pragma once

#include <cstdint>

#include "editor/character_grid.h"
#include "ui/control_state.h"
#include "model/program_model.h"

namespace fw {

constexpr int kCodeIdCount = 15;
constexpr int kCodeIdPresetCount = 5;

// "Code 39" .. "Plessey", the order of the pairs in `codeId`.
extern const char* const kCodeIdLabels[kCodeIdCount];
// "Set 1" .. "Set 5": the pairs each loads (second code 0 unless the set has two).
extern const uint8_t kCodeIdPresets[kCodeIdPresetCount][kCodeIdCount][2];

class CodeIdDialog {
public:
    explicit CodeIdDialog(const TerminalSettings& s);

    ControlState enableState() const;
    ControlReply setEnabled(bool on);   // enables the rest; the pairs stay

    // The labels, the boxes and the six buttons follow "Enable code ID".
    ControlState labelState(int k) const;
    ControlState boxState(int k) const;
    ControlState buttonState() const;

    // The box of symbology k, which the character grid edits in place.
    GridBox& box(int k) { return boxes_[k]; }
    const GridBox& box(int k) const { return boxes_[k]; }
    // The pair of symbology k as it will be stored.
    uint8_t code(int k, int which) const { return boxes_[k].codes()[which]; }

    ControlReply loadPreset(int set);   // 0 .. 4
    ControlReply clear();

    // OK: `codeIdOn` and `codeId`; nothing else of the record changes. A
    // pair the user did not edit keeps its bytes, also those a box cannot
    // show (a code after a 0, as in {0, 'B'}).
    void store(TerminalSettings& s) const;
    void commit(ProgramModel& m) const;

private:
    void setPairs(const uint8_t (*pairs)[2]);

    bool on_;
    GridBox boxes_[kCodeIdCount];
    uint8_t stored_[kCodeIdCount][2];        // the pairs as the dialog found them
    uint8_t opened_[kCodeIdCount][2];        // what their boxes held then
    bool replaced_[kCodeIdCount] = {};       // a set or "Clear" wrote the pair
};

}  // namespace fw
