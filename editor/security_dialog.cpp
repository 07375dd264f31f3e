#include "editor/security_dialog.h"

#include "model/fixed_text.h"
#include "resources/text_ids.h"

namespace fw {

namespace {
bool letterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
}  // namespace

SecurityDialog::SecurityDialog(const TerminalSettings& page) : copy_(page) {
    accepted_ = std::string(fieldText(copy_.password));
    for (int i = 0; i < 12; ++i) ticks_[i] = copy_.securityItems[i] != 0;
    for (int i = 0; i < 3; ++i) ticks_[12 + i] = copy_.securityBeeps[i] != 0;
}

ControlState SecurityDialog::passwordState() const {
    ControlState s;
    s.text = accepted_;
    s.limit = kPasswordChars;
    return s;
}

ControlState SecurityDialog::itemState(int item) const {
    ControlState s;
    if (item < 0 || item >= kSecurityItemCount) return s;
    s.checked = ticks_[item];
    s.enabled = !(ticks_[0] && item >= kFirstSettingsItem);
    return s;
}

ControlReply SecurityDialog::typePassword(const std::string& text) {
    unsigned refusal = 0;
    if (text.size() > static_cast<std::size_t>(kPasswordChars)) {
        refusal = textid::kPasswordTooLong;
    } else {
        for (char c : text)
            if (!letterOrDigit(c)) refusal = textid::kInvalidCharacter;
    }
    if (refusal) {
        if (warn_) warn_(refusal, false);
        return ControlReply::corrected(accepted_);
    }
    accepted_ = text;
    return ControlReply::states();
}

ControlReply SecurityDialog::tick(int item, bool checked) {
    if (item >= 0 && item < kSecurityItemCount) ticks_[item] = checked;
    return ControlReply::states();
}

TerminalSettings SecurityDialog::ok() const {
    TerminalSettings s = copy_;
    setFieldText(s.password, accepted_);
    for (int i = 0; i < 12; ++i) s.securityItems[i] = ticks_[i] ? 1 : 0;
    for (int i = 0; i < 3; ++i) s.securityBeeps[i] = ticks_[12 + i] ? 1 : 0;
    return s;
}

}  // namespace fw
