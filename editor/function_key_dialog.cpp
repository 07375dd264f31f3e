#include "editor/function_key_dialog.h"

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

ListEntries functionActionList() {
    ListEntries list;
    for (unsigned i = 0; i < kFunctionActionCount; ++i) list.push_back(loadText(textid::kFunctionActionFirst + i));
    return list;
}

FunctionKeyDialog::FunctionKeyDialog(const TerminalSettings& page) : copy_(page) {}

ControlState FunctionKeyDialog::enableState() const {
    return checkedState(copy_.functionKeysOn != 0);
}

ControlState FunctionKeyDialog::keyState(int key) const {
    ControlState s;
    if (key < 0 || key >= kFunctionKeys) return s;
    const int action = copy_.functionKeyMap[key];
    s.selection = action < kFunctionActionCount ? action : -1;
    s.enabled = copy_.functionKeysOn != 0;
    return s;
}

ControlReply FunctionKeyDialog::toggle(bool on) {
    copy_.functionKeysOn = on ? 1 : 0;
    return ControlReply::states();
}

ControlReply FunctionKeyDialog::chooseKey(int key, int action) {
    if (key >= 0 && key < kFunctionKeys && action >= 0 && action < kFunctionActionCount)
        copy_.functionKeyMap[key] = static_cast<uint8_t>(action);
    return ControlReply::states();
}

}  // namespace fw
