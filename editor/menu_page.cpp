#include "editor/menu_page.h"

#include <cstring>

#include "editor/number_box.h"
#include "model/fixed_text.h"

namespace fw {

namespace {




// A text box of the page: the stored text, typing limited to the width.
// A text longer than the width (typed under the small font) stays shown
// until it is edited.
ControlState textBox(std::string_view text, int width, bool enabled = true) {
    ControlState s;
    s.text = std::string(text);
    s.limit = width;
    s.enabled = enabled;
    return s;
}

void clearMenu(MenuDef& m) {
    m.font = 0;
    m.captionOn = 0;
    clearField(m.caption);
    for (int k = 0; k < kItemsPerMenu; ++k) {
        clearField(m.itemName[k]);
        m.itemNext[k] = 0;
    }
    m.escTarget = 0;
    m.saveCaption = m.saveSelectedItem = m.passDown = 0;
    m.itemCount = m.selectedItem = m.reserved249 = 0;
}

}  // namespace


bool applyPassDownRule(MenuDef& m, bool separateDataFiles) {
    const bool saves = m.saveCaption != 0 || m.saveSelectedItem != 0;
    if (separateDataFiles) {
        m.passDown = saves ? 1 : 0;
        return false;
    }
    if (!saves) {
        m.passDown = 0;
        return false;
    }
    return true;
}

MenuPage::MenuPage(const ProgramModel& model) {
    std::memcpy(menus_, model.menus, sizeof menus_);
    separate_ = model.settings.separateDataFiles != 0;
    applyRule();
}

ControlReply MenuPage::applyRule() {
    passDownUsable_ = applyPassDownRule(current(), separate_);
    return ControlReply::states();
}

ControlReply MenuPage::chooseMenu(int index) {
    if (index < 0 || index >= kMenuCount || index == current_) return ControlReply::states();
    current_ = index;
    applyRule();
    return ControlReply::everything();
}

ControlReply MenuPage::chooseFont(int font) {
    if (font < 0) return ControlReply::states();
    current().font = static_cast<uint8_t>(font);
    // The new width goes into every text box's limit.
    return ControlReply::everything();
}

ControlReply MenuPage::chooseEsc(int target) {
    if (target >= 0) current().escTarget = static_cast<uint8_t>(target);
    return ControlReply::states();
}

ControlReply MenuPage::chooseItemNext(int item, int target) {
    if (item >= 0 && item < kItemsPerMenu && target >= 0) current().itemNext[item] = static_cast<uint8_t>(target);
    return ControlReply::states();
}

ControlReply MenuPage::typeCaption(std::string_view text) {
    const TextEntry e = cutText(text, static_cast<std::size_t>(textWidth()));
    setFieldText(current().caption, e.text);
    return replyTo(e);
}

ControlReply MenuPage::typeItemName(int item, std::string_view text) {
    if (item < 0 || item >= kItemsPerMenu) return ControlReply::states();
    const TextEntry e = cutText(text, static_cast<std::size_t>(textWidth()));
    setFieldText(current().itemName[item], e.text);
    return replyTo(e);
}

ControlReply MenuPage::checkCaption(bool on) {
    current().captionOn = on ? 1 : 0;
    return ControlReply::states();
}

ControlReply MenuPage::checkSaveCaption(bool on) {
    current().saveCaption = on ? 1 : 0;
    return applyRule();
}

ControlReply MenuPage::checkSaveSelectedItem(bool on) {
    current().saveSelectedItem = on ? 1 : 0;
    return applyRule();
}

ControlReply MenuPage::checkPassDown(bool on) {
    if (passDownUsable_) current().passDown = on ? 1 : 0;
    return ControlReply::states();
}

ControlReply MenuPage::checkSeparateDataFiles(bool on) {
    separate_ = on;
    return applyRule();
}

ControlReply MenuPage::reset() {
    for (MenuDef& m : menus_) clearMenu(m);
    separate_ = false;
    current_ = 0;
    applyRule();
    return ControlReply::everything();
}

ControlState MenuPage::nameState() const { return selectedState(current_); }
ControlState MenuPage::fontState() const { return selectedState(menu().font); }
ControlState MenuPage::escState() const { return selectedState(menu().escTarget); }
ControlState MenuPage::captionCheckState() const { return checkedState(menu().captionOn != 0); }

ControlState MenuPage::captionBoxState() const {
    return textBox(fieldText(menu().caption), textWidth(), menu().captionOn != 0);
}

ControlState MenuPage::saveCaptionState() const { return checkedState(menu().saveCaption != 0); }
ControlState MenuPage::saveSelectedItemState() const { return checkedState(menu().saveSelectedItem != 0); }
ControlState MenuPage::passDownState() const { return checkedState(menu().passDown != 0, passDownUsable_); }
ControlState MenuPage::separateDataFilesState() const { return checkedState(separate_); }

ControlState MenuPage::editFileNameState() const {
    return enabledState(separate_);
}

ControlState MenuPage::itemNameState(int item) const {
    return textBox(fieldText(menu().itemName[item]), textWidth());
}

ControlState MenuPage::itemNextState(int item) const { return selectedState(menu().itemNext[item]); }

void MenuPage::commit(ProgramModel& model) {
    // The rule holds for every menu, not only for those the user happened
    // to show: the same edits must give the same program.
    for (MenuDef& m : menus_) applyPassDownRule(m, separate_);
    std::memcpy(model.menus, menus_, sizeof menus_);
    model.settings.separateDataFiles = separate_ ? 1 : 0;
}

// ---- file-name dialog ----

FileNameDialog::FileNameDialog(std::span<const FormDef, kFormCount> forms) {
    for (int n = 0; n < kFormCount; ++n) {
        const FormDef& f = forms[n];
        on_[n] = f.fileNameOn != 0;
        if (on_[n]) names_[n] = std::string(fieldText(f.fileName));
    }
}

ControlReply FileNameDialog::check(int form, bool on) {
    if (form >= 0 && form < kFormCount) on_[form] = on;
    return ControlReply::states();
}

ControlReply FileNameDialog::typeName(int form, std::string_view text) {
    if (form < 0 || form >= kFormCount) return ControlReply::states();
    const TextEntry e = cutText(text, kNameChars);
    names_[form] = e.text;
    return replyTo(e);
}

ControlReply FileNameDialog::reset() {
    for (int n = 0; n < kFormCount; ++n) {
        on_[n] = false;
        names_[n].clear();
    }
    return ControlReply::everything();
}

ControlState FileNameDialog::checkState(int form) const {
    return checkedState(on_[form]);
}

ControlState FileNameDialog::nameState(int form) const {
    ControlState s;
    s.text = names_[form];
    s.limit = kNameChars;
    s.enabled = on_[form];
    return s;
}

void FileNameDialog::ok(std::span<FormDef, kFormCount> forms) const {
    for (int n = 0; n < kFormCount; ++n) {
        FormDef& f = forms[n];
        f.fileNameOn = on_[n] ? 1 : 0;
        if (on_[n])
            setFieldText(f.fileName, names_[n]);
        else
            clearField(f.fileName);
    }
}

}  // namespace fw
