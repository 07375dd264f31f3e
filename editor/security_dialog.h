// The Security dialog of the Settings page: the terminal's password and
// which of its functions the password protects. It works on a copy of the
// page's working copy; OK hands the copy back, Cancel drops it.
#pragma once

#include <string>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"   // WarningBox
#include "model/program_model.h"

namespace fw {

constexpr int kSecurityItemCount = 15;    // 12 functions and the three beeps
constexpr int kPasswordChars = 10;
// "Upload Port" .. "Warning Beep": the settings menu's own items, covered
// whole when "Settings" itself is protected.
constexpr int kFirstSettingsItem = 6;

class SecurityDialog {
public:
    explicit SecurityDialog(const TerminalSettings& page);

    void setWarningBox(WarningBox box) { warn_ = std::move(box); }

    ControlState passwordState() const;
    ControlState itemState(int item) const;

    // A password of more than ten characters, or one with a character that
    // is not a letter or a digit, is refused with a warning and the last
    // accepted text comes back.
    ControlReply typePassword(const std::string& text);
    ControlReply tick(int item, bool checked);

    // OK: the copy with the password and the ticks.
    TerminalSettings ok() const;

private:
    TerminalSettings copy_;
    std::string accepted_;
    bool ticks_[kSecurityItemCount] = {};
    WarningBox warn_;
};

}  // namespace fw
