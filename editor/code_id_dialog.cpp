#include "editor/code_id_dialog.h"

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
    setPairs(s.codeId);
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
    if (set >= 0 && set < kCodeIdPresetCount) setPairs(kCodeIdPresets[set]);
    return ControlReply::everything();
}

ControlReply CodeIdDialog::clear() {
    static constexpr uint8_t kNone[kCodeIdCount][2] = {};
    setPairs(kNone);
    return ControlReply::everything();
}

void CodeIdDialog::store(TerminalSettings& s) const {
    s.codeIdOn = on_ ? 1 : 0;
    for (int k = 0; k < kCodeIdCount; ++k) {
        s.codeId[k][0] = code(k, 0);
        s.codeId[k][1] = code(k, 1);
    }
}

void CodeIdDialog::commit(ProgramModel& m) const {
    store(m.settings);
    m.modified = true;
}

}  // namespace fw
