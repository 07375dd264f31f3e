// The Menu page's rules on its working copy, its file-name dialog, and what
// the sheet's OK and Cancel make of them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/editor_sheet.h"
#include "editor/form_page.h"
#include "editor/menu_page.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class MenuPageTest : public test::NewProgramTest {};

TEST_F(MenuPageTest, PassDownWithSeparateDataFilesFollowsTheSaveOptions) {
    model->settings.separateDataFiles = 1;
    MenuPage p(*model);
    EXPECT_FALSE(p.passDownState().enabled);
    EXPECT_FALSE(p.passDownState().checked);

    p.checkSaveCaption(true);
    EXPECT_TRUE(p.passDownState().checked);
    EXPECT_FALSE(p.passDownState().enabled);
    EXPECT_TRUE(p.editFileNameState().enabled);

    p.checkSaveSelectedItem(true);
    p.checkSaveCaption(false);
    EXPECT_TRUE(p.passDownState().checked);
    p.checkSaveSelectedItem(false);
    EXPECT_FALSE(p.passDownState().checked);
}

TEST_F(MenuPageTest, PassDownWithoutSeparateDataFilesIsTheUsersChoiceOnlyWhileSomethingIsSaved) {
    MenuPage p(*model);
    EXPECT_FALSE(p.passDownState().enabled);
    EXPECT_FALSE(p.editFileNameState().enabled);

    p.checkSaveSelectedItem(true);
    EXPECT_TRUE(p.passDownState().enabled);
    EXPECT_FALSE(p.passDownState().checked);
    p.checkPassDown(true);
    EXPECT_TRUE(p.passDownState().checked);
    // Turning separate files on and off again keeps the rule, not the choice.
    p.checkSeparateDataFiles(true);
    EXPECT_FALSE(p.passDownState().enabled);
    p.checkSeparateDataFiles(false);
    EXPECT_TRUE(p.passDownState().checked);
    p.checkSaveSelectedItem(false);
    EXPECT_FALSE(p.passDownState().checked);
    EXPECT_FALSE(p.passDownState().enabled);
}

TEST_F(MenuPageTest, OkAppliesThePassDownRuleToMenusNeverShown) {
    model->menus[2].saveCaption = 1;              // saves, does not pass down
    model->menus[6].passDown = 1;                 // passes down, saves nothing
    model->menus[7].saveSelectedItem = 1;
    model->menus[7].passDown = 1;
    MenuPage p(*model);
    p.checkSeparateDataFiles(true);               // on menu 1 only
    p.commit(*model);
    EXPECT_EQ(model->settings.separateDataFiles, 1);
    EXPECT_EQ(model->menus[2].passDown, 1);
    EXPECT_EQ(model->menus[6].passDown, 0);
    EXPECT_EQ(model->menus[7].passDown, 1);

    // Without separate files a saving menu keeps the user's choice.
    MenuPage q(*model);
    q.checkSeparateDataFiles(false);
    q.commit(*model);
    EXPECT_EQ(model->menus[2].passDown, 1);
    EXPECT_EQ(model->settings.separateDataFiles, 0);
}

TEST_F(MenuPageTest, ResetEmptiesAllTenMenusAndShowsMenuOne) {
    for (MenuDef& m : model->menus) {
        m.font = 1;
        m.captionOn = 1;
        setFieldText(m.caption, "Caption");
        setFieldText(m.itemName[9], "Item");
        m.itemNext[9] = 12;
        m.escTarget = 3;
        m.saveCaption = m.saveSelectedItem = m.passDown = 1;
        m.itemCount = 4;
        m.selectedItem = 2;
        m.reserved249 = 9;
        m.rest[0] = 0x5A;
    }
    model->settings.separateDataFiles = 1;
    MenuPage p(*model);
    EXPECT_EQ(p.chooseMenu(4).refresh, Refresh::Everything);
    EXPECT_EQ(p.chooseMenu(4).refresh, Refresh::States);   // already shown
    EXPECT_EQ(p.reset().refresh, Refresh::Everything);
    EXPECT_EQ(p.currentMenu(), 0);
    EXPECT_FALSE(p.separateDataFilesState().checked);
    p.commit(*model);
    for (const MenuDef& m : model->menus) {
        EXPECT_EQ(m.font, 0);
        EXPECT_EQ(m.captionOn, 0);
        EXPECT_EQ(fieldText(m.caption), "");
        EXPECT_EQ(fieldText(m.itemName[9]), "");
        EXPECT_EQ(m.itemNext[9] + m.escTarget, 0);
        EXPECT_EQ(m.saveCaption + m.saveSelectedItem + m.passDown, 0);
        EXPECT_EQ(m.itemCount + m.selectedItem + m.reserved249, 0);
        EXPECT_EQ(m.rest[0], 0x5A);   // not the page's to clear
    }
    EXPECT_EQ(model->settings.separateDataFiles, 0);
}

TEST_F(MenuPageTest, LargeFontLimitsTypingButKeepsLongItemsUntilEdited) {
    setFieldText(model->menus[0].itemName[0], "sixteen chars 16");
    MenuPage p(*model);
    EXPECT_EQ(p.itemNameState(0).limit, 16);
    EXPECT_EQ(p.chooseFont(1).refresh, Refresh::Everything);
    EXPECT_EQ(p.itemNameState(0).limit, 12);
    EXPECT_EQ(p.captionBoxState().limit, 12);
    EXPECT_EQ(p.itemNameState(0).text, "sixteen chars 16");

    const ControlReply r = p.typeItemName(0, "sixteen chars 1");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "sixteen char");
    EXPECT_EQ(fieldText(p.menu().itemName[0]), "sixteen char");
    EXPECT_FALSE(p.typeItemName(1, "twelve chars").putBack);

    EXPECT_FALSE(p.captionBoxState().enabled);
    p.checkCaption(true);
    EXPECT_TRUE(p.captionBoxState().enabled);
    EXPECT_EQ(p.typeCaption("a caption too long").text, "a caption to");
}

TEST_F(MenuPageTest, TargetsAreStoredPerMenu) {
    MenuPage p(*model);
    p.chooseMenu(3);
    p.chooseEsc(20);
    p.chooseItemNext(9, 11);
    p.commit(*model);
    EXPECT_EQ(model->menus[3].escTarget, 20);
    EXPECT_EQ(model->menus[3].itemNext[9], 11);
    EXPECT_EQ(model->menus[0].escTarget, 0);
}

class FileNameDialogTest : public MenuPageTest {
protected:
    void SetUp() override {
        MenuPageTest::SetUp();
        for (int n = 0; n < kFormCount; ++n) {
            model->forms[n].fileNameOn = 1;
            setFieldText(model->forms[n].fileName, "DATA" + std::to_string(n));
        }
        model->forms[1].fileNameOn = 0;   // a name without its flag is not shown
    }
};

TEST_F(FileNameDialogTest, ShowsNamesOnlyForCheckedForms) {
    FormPage forms(*model);
    FileNameDialog d(forms.forms());
    EXPECT_TRUE(d.checkState(0).checked);
    EXPECT_EQ(d.nameState(0).text, "DATA0");
    EXPECT_TRUE(d.nameState(0).enabled);
    EXPECT_EQ(d.nameState(0).limit, 16);
    EXPECT_FALSE(d.checkState(1).checked);
    EXPECT_EQ(d.nameState(1).text, "");
    EXPECT_FALSE(d.nameState(1).enabled);

    EXPECT_EQ(d.typeName(2, "a name of twenty ch").text, "a name of twenty");
}

TEST_F(FileNameDialogTest, ResetThenCancelChangesNothingResetThenOkClearsAll) {
    EditorSheet sheet(*model, *texts);
    // The dialog edits the Form page's working copy, made for it.
    const std::span<FormDef, kFormCount> forms = sheet.workingForms();
    EXPECT_EQ(sheet.made<FormPage>()->forms().data(), forms.data());
    {
        FileNameDialog d(forms);
        d.reset();
        EXPECT_FALSE(d.nameState(0).enabled);
        EXPECT_EQ(d.nameState(0).text, "");
    }   // Cancel
    EXPECT_EQ(fieldText(forms[0].fileName), "DATA0");

    FileNameDialog d(forms);
    d.reset();
    d.check(4, true);                 // checked with an empty box
    d.ok(forms);
    // Nothing reaches the model before the sheet's OK.
    EXPECT_EQ(fieldText(model->forms[0].fileName), "DATA0");
    sheet.commit();
    for (int n = 0; n < kFormCount; ++n) {
        EXPECT_EQ(model->forms[n].fileNameOn, n == 4 ? 1 : 0) << n;
        EXPECT_EQ(fieldText(model->forms[n].fileName), "") << n;
    }
}

TEST_F(FileNameDialogTest, UncheckedRowLosesItsNameAtOk) {
    FormPage forms(*model);
    FileNameDialog d(forms.forms());
    d.check(0, false);
    d.typeName(3, "NEW");
    d.ok(forms.forms());
    EXPECT_EQ(forms.form(0).fileNameOn, 0);
    EXPECT_EQ(fieldText(forms.form(0).fileName), "");
    EXPECT_EQ(fieldText(forms.form(3).fileName), "NEW");
}

TEST_F(MenuPageTest, SheetCancelLeavesTheModelUntouched) {
    const ProgramModel before = *model;
    {
        EditorSheet sheet(*model, *texts);
        MenuPage& p = sheet.page<MenuPage>();
        p.reset();
        p.checkSeparateDataFiles(true);
        p.typeItemName(0, "Gone");
    }
    EXPECT_EQ(std::memcmp(&before, model.get(), sizeof before), 0);
}

}  // namespace
}  // namespace fw
