#include "editor/code_id_dialog.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace fw {

const char* const kCodeIdLabels[kCodeIdCount] = {
    "Code 39",   "Italian Pharmacode", "French Pharmacode", "Industrial 25", "Interleave 25",
    "Matrix 25", "Codabar",            "Code 93",           "Code 128",      "UPCE",
    "EAN8",      "EAN13",              "UPCA",              "MSI",           "Plessey",
};

// Rows are the sets, columns the symbologies in label order.
const uint8_t kCodeIdPresets[kCodeIdPresetCount][kCodeIdCount][2] = {
    {{'A'}, {'A'}, {'A'}, {'C'}, {'D'}, {'E'}, {'F'}, {'I'}, {'H'}, {'S'}, {'P'}, {'M'}, {'J'}, {'V'}, {'W'}},
    {{'C'}, {'C'}, {'C'}, {'H'}, {'I'}, {'G'}, {'N'}, {'L'}, {'K'}, {'E'}, {'B'}, {'A'}, {'A'}, {'V'}, {'W'}},
    {{'Y'}, {'Y'}, {'Y'}, {'H'}, {'Z'}, {'G'}, {'X'}, {'L'}, {'K'}, {'C'}, {'B'}, {'A'}, {'A'}, {'D'}, {'E'}},
    {{'M'}, {'M'}, {'M'}, {'H'}, {'I'}, {'G'}, {'N'}, {'L'}, {'K'}, {'E'}, {'F', 'F'}, {'F'}, {'A'}, {'P'}, {'Q'}},
    {{'A'}, {'A'}, {'A'}, {'S'}, {'S'}, {'S'}, {'F'}, {'G'}, {'C'}, {'E'}, {'E'}, {'E'}, {'E'}, {'M'}, {'P'}},
};

CodeIdDialog::CodeIdDialog(const TerminalSettings& s) : on_(s.codeIdOn != 0) {
    std::memcpy(stored_, s.codeId, sizeof stored_);
    setPairs(s.codeId);
    for (int k = 0; k < kCodeIdCount; ++k) {
        opened_[k][0] = code(k, 0);
        opened_[k][1] = code(k, 1);
        replaced_[k] = false;
    }
}

void CodeIdDialog::setPairs(const uint8_t (*pairs)[2]) {
    for (int k = 0; k < kCodeIdCount; ++k) boxes_[k] = GridBox::multiCode(pairs[k], 2, kCodeIdCapacity);
}

ControlState CodeIdDialog::enableState() const {
    return checkedState(on_);
}

ControlReply CodeIdDialog::setEnabled(bool on) {
    on_ = on;
    return ControlReply::states();
}

ControlState CodeIdDialog::labelState(int) const {
    return enabledState(on_);
}

ControlState CodeIdDialog::boxState(int k) const {
    ControlState s;
    s.enabled = on_;
    s.text = boxes_[k].text();
    return s;
}

ControlState CodeIdDialog::buttonState() const { return labelState(0); }

ControlReply CodeIdDialog::loadPreset(int set) {
    if (set < 0 || set >= kCodeIdPresetCount) return ControlReply::states();
    setPairs(kCodeIdPresets[set]);
    std::fill(std::begin(replaced_), std::end(replaced_), true);
    return ControlReply::everything();
}

ControlReply CodeIdDialog::clear() {
    static constexpr uint8_t kNone[kCodeIdCount][2] = {};
    setPairs(kNone);
    std::fill(std::begin(replaced_), std::end(replaced_), true);
    return ControlReply::everything();
}

void CodeIdDialog::store(TerminalSettings& s) const {
    s.codeIdOn = on_ ? 1 : 0;
    for (int k = 0; k < kCodeIdCount; ++k) {
        // The grid edits a box in place; a box that holds what it showed at
        // opening was not edited, whatever the grid was opened for.
        const bool edited = replaced_[k] || code(k, 0) != opened_[k][0] || code(k, 1) != opened_[k][1];
        s.codeId[k][0] = edited ? code(k, 0) : stored_[k][0];
        s.codeId[k][1] = edited ? code(k, 1) : stored_[k][1];
    }
}

void CodeIdDialog::commit(ProgramModel& m) const {
    store(m.settings);
    m.modified = true;
}

}  // namespace fw
