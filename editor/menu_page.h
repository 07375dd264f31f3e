// The Menu page of the editor sheet: the working copy of the ten menus and
// of the "separate data files" option, and every rule of the page; and the
// file-name dialog it opens, which names the data file of each form.
//
// Nothing reaches the model before commit(); dropping the object is Cancel.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/form_rules.h"
#include "model/program_model.h"

namespace fw {

// The "Pass down" box of a menu, for the "separate data files" option:
// with separate files, a menu that saves its caption or selected item
// passes down, and the user cannot choose; without, a menu that saves
// neither cannot pass down, and otherwise the user chooses. Applies the
// rule to `menu` and tells whether the box can be used.
bool applyPassDownRule(MenuDef& menu, bool separateDataFiles);

class MenuPage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Menu;

    explicit MenuPage(const ProgramModel& model);
    explicit MenuPage(EditorSheet& sheet) : MenuPage(sheet.model()) {}

    // ---- the working copy ----
    int currentMenu() const { return current_; }
    const MenuDef& menu() const { return menus_[current_]; }
    const MenuDef& menu(int index) const { return menus_[index]; }
    bool separateDataFiles() const { return separate_; }
    int textWidth() const { return fw::textWidth(menu().font); }

    // ---- events ----
    // Another menu shown: everything again; the one shown: nothing to do.
    ControlReply chooseMenu(int index);
    ControlReply chooseFont(int font);
    ControlReply chooseEsc(int target);
    ControlReply chooseItemNext(int item, int target);
    // Over-long texts are cut to the width and put back.
    ControlReply typeCaption(std::string_view text);
    ControlReply typeItemName(int item, std::string_view text);
    ControlReply checkCaption(bool on);
    ControlReply checkSaveCaption(bool on);
    ControlReply checkSaveSelectedItem(bool on);
    ControlReply checkPassDown(bool on);
    ControlReply checkSeparateDataFiles(bool on);
    // All ten menus back to their empty defaults, separate files off,
    // menu 1 shown. Asks nothing.
    ControlReply reset();

    // ---- what the page shows ----
    ControlState nameState() const;
    ControlState fontState() const;
    ControlState escState() const;
    ControlState captionCheckState() const;
    ControlState captionBoxState() const;
    ControlState saveCaptionState() const;
    ControlState saveSelectedItemState() const;
    ControlState passDownState() const;
    ControlState separateDataFilesState() const;
    ControlState editFileNameState() const;
    ControlState itemNameState(int item) const;
    ControlState itemNextState(int item) const;

    // ---- OK ----
    // Copies the menus and the option into the model, with the pass-down
    // rule applied to all ten menus, not only to those that were shown.
    void commit(ProgramModel& model);
    void commit(EditorSheet& sheet) override { commit(sheet.model()); }

private:
    MenuDef& current() { return menus_[current_]; }
    ControlReply applyRule();

    MenuDef menus_[kMenuCount]{};
    bool separate_ = false;
    int current_ = 0;
    bool passDownUsable_ = true;   // the current menu's "Pass down" box
};

// The dialog "Edit file name for each Form": a check box and a name box per
// form. It reads the working copy of the forms (the sheet's workingForms())
// when it opens and writes it only at its OK.
class FileNameDialog {
public:
    static constexpr int kNameChars = 16;

    explicit FileNameDialog(std::span<const FormDef, kFormCount> forms);

    ControlReply check(int form, bool on);
    ControlReply typeName(int form, std::string_view text);
    // Unchecks, disables and empties every row; nothing stored before OK.
    ControlReply reset();

    ControlState checkState(int form) const;
    ControlState nameState(int form) const;

    // `fileNameOn` from each check box; `fileName` from its box when
    // checked, else emptied.
    void ok(std::span<FormDef, kFormCount> forms) const;

private:
    bool on_[kFormCount]{};
    std::string names_[kFormCount];
};

}  // namespace fw
