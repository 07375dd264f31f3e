// The Function Key dialog of the Settings page: which action each of FN+1
// to FN+7 starts on the terminal. Works on a copy of the page's working
// copy; OK hands it back.
#pragma once

#include "ui/control_state.h"
#include "model/program_model.h"

namespace fw {

constexpr int kFunctionActionCount = 20;

// "Nil", "Collect", ... "Calculator".
ListEntries functionActionList();

class FunctionKeyDialog {
public:
    explicit FunctionKeyDialog(const TerminalSettings& page);

    ControlState enableState() const;
    ControlState keyState(int key) const;   // key 0..6 is FN+1..FN+7

    ControlReply toggle(bool on);
    ControlReply chooseKey(int key, int action);

    TerminalSettings ok() const { return copy_; }

private:
    TerminalSettings copy_;
};

}  // namespace fw
