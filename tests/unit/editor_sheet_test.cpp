#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/editor_sheet.h"
#include "editor/form_page.h"
#include "editor/lookup_page.h"
#include "model/program_defaults.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

// Pages that note when they commit, to see the order.
std::string commits;

struct FakeMenuPage : SheetPage {
    static constexpr SheetPageId kSheetPage = SheetPageId::Menu;
    explicit FakeMenuPage(EditorSheet&) {}
    void commit(EditorSheet&) override { commits += "M"; }
};

struct FakeStartupPage : SheetPage {
    static constexpr SheetPageId kSheetPage = SheetPageId::Startup;
    explicit FakeStartupPage(EditorSheet& sheet) {
        // A page that rewrites a default line does it in the working copy.
        std::memcpy(sheet.defaults().lines[0][0], "changed", 8);
    }
    void commit(EditorSheet& sheet) override {
        commits += "S";
        // Later pages see what earlier ones committed.
        EXPECT_EQ(sheet.model().forms[0].dataType[0], kTypeInteger);
    }
};

class Sheet : public test::NewProgramTest {
protected:
    void SetUp() override {
        model->modified = false;
        commits.clear();
    }
};

TEST_F(Sheet, CancelLeavesModelAndDefaultTextsByteIdentical) {
    const ProgramModel modelBefore = *model;
    const DefaultTexts textsBefore = *texts;
    {
        EditorSheet sheet(*model, *texts);
        sheet.page<FormPage>().setDataType(0, kTypeInteger);
        sheet.page<FakeStartupPage>();
        sheet.bluetoothFlags() = kBluetoothUpload | kBluetoothDownload;
    }
    EXPECT_EQ(std::memcmp(&modelBefore, model.get(), sizeof modelBefore), 0);
    EXPECT_EQ(std::memcmp(&textsBefore, texts.get(), sizeof textsBefore), 0);
}

TEST_F(Sheet, OkCommitsTheMadePagesInTabOrderThenTheTexts) {
    EditorSheet sheet(*model, *texts);
    sheet.page<FakeStartupPage>();   // made first, commits last
    sheet.page<FormPage>().setDataType(0, kTypeInteger);
    EXPECT_EQ(sheet.made<FakeMenuPage>(), nullptr);
    EXPECT_EQ(&sheet.page<FormPage>(), sheet.made<FormPage>());   // made once
    sheet.commit();
    EXPECT_EQ(commits, "S");
    EXPECT_STREQ(texts->lines[0][0], "changed");
    EXPECT_TRUE(model->modified);

    sheet.page<FakeMenuPage>();
    sheet.commit();
    EXPECT_EQ(commits, "SMS");
}

TEST_F(Sheet, BluetoothFlagsComeFromThePortsOnce) {
    model->settings.uploadPort = 4;
    model->settings.downloadPort = 3;
    EditorSheet sheet(*model, *texts);
    EXPECT_FALSE(sheet.hasBluetoothFlags());
    EXPECT_EQ(sheet.bluetoothFlags(), kBluetoothUpload | kBluetoothDownload);
    model->settings.uploadPort = 0;   // taken once, kept while the sheet is open
    EXPECT_EQ(sheet.bluetoothFlags(), kBluetoothUpload | kBluetoothDownload);
}

TEST_F(Sheet, OpensAtTheStartPageShowingItsItem) {
    {
        EditorSheet sheet(*model, *texts);
        EXPECT_EQ(sheet.startPage(), SheetPageId::Form);
        sheet.openAt({SheetPageId::Form, 2});
        EXPECT_EQ(sheet.startPage(), SheetPageId::Form);
        EXPECT_EQ(sheet.page<FormPage>().currentForm(), 2);
    }
    {
        EditorSheet sheet(*model, *texts);
        sheet.openAt({SheetPageId::Lookup, 1});
        EXPECT_EQ(sheet.startPage(), SheetPageId::Lookup);
        EXPECT_EQ(sheet.page<LookupPage>().currentLookup(), 1);
        EXPECT_FALSE(sheet.isMade(SheetPageId::Form));   // pages not shown stay unmade
    }
    {
        // An item the page does not have: the page opens on its first.
        EditorSheet sheet(*model, *texts);
        sheet.openAt({SheetPageId::Form, kFormCount});
        EXPECT_EQ(sheet.page<FormPage>().currentForm(), 0);
        sheet.openAt({SheetPageId::Settings, 4});
        EXPECT_EQ(sheet.startPage(), SheetPageId::Settings);
    }
    // Opening somewhere is not an edit.
    EXPECT_FALSE(model->modified);
}

}  // namespace
}  // namespace fw
