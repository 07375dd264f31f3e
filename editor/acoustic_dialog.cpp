#include "editor/acoustic_dialog.h"

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

namespace {
constexpr int kCounts[] = {2, 2, 3, 4, 3, 3};
}

AcousticDialog::AcousticDialog(const TerminalSettings& page) : copy_(page) {
    AcousticCoupler& ac = copy_.acousticCoupler;
    if (ac.acToneLength < kMinToneLength) ac.acToneLength = kMinToneLength;
    if (ac.acToneLength > kMaxToneLength) ac.acToneLength = kMaxToneLength;
    // Block transmission always sends the control characters and the tick
    // shows so, but the byte is the user's: it changes only when they tick
    // or turn block transmission on.
    for (int b = 0; b < kCharBoxes; ++b) boxes_[b] = GridBox::singleCharacter(charField(b));
}

uint8_t& AcousticDialog::charField(int box) {
    AcousticCoupler& ac = copy_.acousticCoupler;
    switch (box) {
    case StartOfText: return ac.acStartOfText;
    case EndOfText: return ac.acEndOfText;
    case PadChar: return ac.acPadChar;
    default: return ac.acEndOfBlock;
    }
}

ListEntries AcousticDialog::entries(int field) {
    switch (field) {
    case DataBits: return {"7", "8"};
    case StopBits: return {"1", "2"};
    case Parity: return {loadText(textid::kParityFirst), loadText(textid::kParityFirst + 1),
                         loadText(textid::kParityFirst + 2)};
    case Volume: return {"1", "2", "3", "4"};
    case BlockSize: return {"80", "256", "1024"};
    case BlockDelay: return {loadText(textid::kBlockDelayFirst), loadText(textid::kBlockDelayFirst + 1),
                             loadText(textid::kBlockDelayFirst + 2)};
    }
    return {};
}

ControlState AcousticDialog::listState(int field) const {
    const AcousticCoupler& ac = copy_.acousticCoupler;
    int value = 0;
    bool enabled = true;
    switch (field) {
    case DataBits: value = ac.acDataBits; break;
    case StopBits: value = ac.acStopBits; break;
    case Parity: value = ac.acParity; break;
    case Volume: value = copy_.acVolume; break;
    case BlockSize: value = ac.acBlockSize; enabled = ac.acBlockMode != 0; break;
    case BlockDelay: value = ac.acBlockDelay; enabled = ac.acBlockMode != 0; break;
    default: return {};
    }
    return selectedState(value < kCounts[field] ? value : -1, enabled);
}

ControlReply AcousticDialog::chooseList(int field, int choice) {
    if (field < DataBits || field > BlockDelay || choice < 0 || choice >= kCounts[field])
        return ControlReply::states();
    AcousticCoupler& ac = copy_.acousticCoupler;
    const uint8_t v = static_cast<uint8_t>(choice);
    switch (field) {
    case DataBits: ac.acDataBits = v; break;
    case StopBits: ac.acStopBits = v; break;
    case Parity: ac.acParity = v; break;
    case Volume: copy_.acVolume = v; break;
    case BlockSize: ac.acBlockSize = v; break;
    case BlockDelay: ac.acBlockDelay = v; break;
    }
    return ControlReply::states();
}

ControlState AcousticDialog::toneState() const {
    ControlState s;
    s.text = std::to_string(copy_.acousticCoupler.acToneLength);
    s.limit = 1;
    return s;
}

ControlReply AcousticDialog::typeTone(const std::string& text) {
    uint8_t& tone = copy_.acousticCoupler.acToneLength;
    if (text.size() == 1 && text[0] >= '0' + kMinToneLength && text[0] <= '0' + kMaxToneLength) {
        tone = static_cast<uint8_t>(text[0] - '0');
        return ControlReply::states();
    }
    return ControlReply::corrected(std::to_string(tone));
}

bool AcousticDialog::sendsControlChars() const {
    const AcousticCoupler& ac = copy_.acousticCoupler;
    return ac.acSendControlChars != 0 || ac.acBlockMode != 0;
}

ControlState AcousticDialog::controlCharsState() const {
    return checkedState(sendsControlChars(), copy_.acousticCoupler.acBlockMode == 0);
}

ControlState AcousticDialog::blockModeState() const {
    return checkedState(copy_.acousticCoupler.acBlockMode != 0);
}

ControlState AcousticDialog::blockCheckState() const {
    return checkedState(copy_.acousticCoupler.acSendBlockCheck != 0, copy_.acousticCoupler.acBlockMode != 0);
}

ControlState AcousticDialog::charBoxState(int box) const {
    ControlState s;
    if (box < 0 || box >= kCharBoxes) return s;
    const AcousticCoupler& ac = copy_.acousticCoupler;
    s.text = boxes_[box].text();
    s.enabled = box <= EndOfText ? sendsControlChars() : ac.acBlockMode != 0;
    return s;
}

ControlReply AcousticDialog::toggleControlChars(bool on) {
    AcousticCoupler& ac = copy_.acousticCoupler;
    if (ac.acBlockMode == 0) ac.acSendControlChars = on ? 1 : 0;
    return ControlReply::states();
}

ControlReply AcousticDialog::toggleBlockMode(bool on) {
    AcousticCoupler& ac = copy_.acousticCoupler;
    if (on == (ac.acBlockMode != 0)) return ControlReply::states();
    ac.acBlockMode = on ? 1 : 0;
    if (on) ac.acSendControlChars = 1;
    return ControlReply::states();
}

ControlReply AcousticDialog::toggleBlockCheck(bool on) {
    copy_.acousticCoupler.acSendBlockCheck = on ? 1 : 0;
    return ControlReply::states();
}

TerminalSettings AcousticDialog::ok() const {
    TerminalSettings s = copy_;
    AcousticCoupler& ac = s.acousticCoupler;
    ac.acStartOfText = boxes_[StartOfText].code();
    ac.acEndOfText = boxes_[EndOfText].code();
    ac.acPadChar = boxes_[PadChar].code();
    ac.acEndOfBlock = boxes_[EndOfBlock].code();
    return s;
}

ControlReply AcousticDialog::charChosen(int box) {
    if (box < 0 || box >= kCharBoxes) return ControlReply::states();
    charField(box) = boxes_[box].code();
    return ControlReply::everything();
}

}  // namespace fw
