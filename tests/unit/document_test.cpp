#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "shell/document.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fw_document_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        doc = std::make_unique<Document>();
        loadDefaultTexts(doc->defaults);
        newDocument(*doc);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    std::unique_ptr<Document> doc;
};

TEST_F(DocumentTest, RejectedOpenNeverLetsSaveOverwriteTheRejectedFile) {
    std::string good = path("good.FWX");
    doc->model.forms[0].dataType[0] = kTypeText;
    ASSERT_TRUE(saveDocument(*doc, good));

    std::string bad = path("bad.FWX");
    { std::ofstream(bad, std::ios::binary) << "not a program file"; }

    // Open: New first, then the rejected file. The name stays empty, so a
    // later Save has to ask for one instead of writing over bad.FWX.
    newDocument(*doc);
    EXPECT_EQ(openDocument(*doc, bad).status, LoadStatus::FormatMismatch);
    EXPECT_TRUE(doc->currentFile.empty());

    // A recent file that fails: the previous program and its name stay.
    ASSERT_TRUE(openDocument(*doc, good).ok());
    EXPECT_EQ(openDocument(*doc, bad).status, LoadStatus::FormatMismatch);
    EXPECT_EQ(doc->currentFile, good);
    EXPECT_EQ(doc->model.forms[0].dataType[0], kTypeText);
    EXPECT_EQ(fs::file_size(bad), 18u);
}

TEST_F(DocumentTest, SaveAndOpenKeepTheRecentListNewestFirst) {
    for (const char* name : {"a.FWX", "b.FWX", "c.FWX", "d.FWX"}) ASSERT_TRUE(saveDocument(*doc, path(name)));
    ASSERT_TRUE(openDocument(*doc, path("c.FWX")).ok());
    ASSERT_EQ(doc->prefs.recentFiles.size(), 4u);
    EXPECT_EQ(doc->prefs.recentFiles[0], path("c.FWX"));
    EXPECT_EQ(doc->prefs.recentFiles[1], path("d.FWX"));
    EXPECT_EQ(doc->prefs.recentFiles[3], path("a.FWX"));

    ASSERT_TRUE(saveDocument(*doc, path("e.FWX")));
    ASSERT_EQ(doc->prefs.recentFiles.size(), 4u);
    EXPECT_EQ(doc->prefs.recentFiles[0], path("e.FWX"));
    EXPECT_EQ(doc->prefs.recentFiles[3], path("b.FWX"));
    EXPECT_EQ(doc->prefs.lastFile, path("e.FWX"));
    EXPECT_FALSE(doc->model.modified);
}

TEST(ShellTextRules, ProgramExtensionIsAddedUnlessPresent) {
    EXPECT_EQ(withProgramExtension("C:\\a\\prog"), "C:\\a\\prog.FWX");
    EXPECT_EQ(withProgramExtension("C:\\a\\prog.fwx"), "C:\\a\\prog.fwx");
    EXPECT_EQ(withProgramExtension("C:\\a\\prog.FwXold"), "C:\\a\\prog.FwXold");
    EXPECT_EQ(withProgramExtension("C:\\my.dir\\prog"), "C:\\my.dir\\prog.FWX");
    EXPECT_EQ(withProgramExtension("prog.txt"), "prog.txt.FWX");
    EXPECT_EQ(withProgramExtension("prog.fw"), "prog.fw.FWX");
    EXPECT_EQ(withProgramExtension("prog.FWX.bak"), "prog.FWX.bak.FWX");
    EXPECT_EQ(withProgramExtension("C:\\old.fwx\\prog"), "C:\\old.fwx\\prog.FWX");
    EXPECT_EQ(withProgramExtension("/tmp/old.fwx/prog"), "/tmp/old.fwx/prog.FWX");
}

TEST(ShellTextRules, RecentFileLabelsShortenLongPaths) {
    EXPECT_EQ(recentFileLabel(0, "C:\\short.FWX"), "&1:  C:\\short.FWX");
    std::string forty(40, 'x');
    EXPECT_EQ(recentFileLabel(3, forty), "&4:  " + forty);
    std::string longPath = "C:\\Programs\\Warehouse\\Inventory\\scanner.FWX";   // 43 characters
    ASSERT_EQ(longPath.size(), 43u);
    EXPECT_EQ(recentFileLabel(1, longPath), "&2:  C:\\Programs\\War...\\Inventory\\scanner.FWX");
    // Characters, not bytes: a Greek or Chinese name is never cut inside a character.
    const std::string greek = "C:\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7\\\u5009\u5EAB\u5009\u5EAB\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7 \u5009\u5EAB \u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7 \u5009\u5EAB \u0391\u03C0\u03BF\u03B8\u03AE.FWX";
    EXPECT_EQ(recentFileLabel(0, greek), "&1:  C:\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7\\\u5009\u5EAB\u5009\u5EAB...\u03B7\\\u0391\u03C0\u03BF\u03B8\u03AE\u03BA\u03B7 \u5009\u5EAB \u0391\u03C0\u03BF\u03B8\u03AE.FWX");
}

TEST(ShellTextRules, SheetCaption) {
    EXPECT_EQ(editorSheetCaption(""), "Formwright - [ New file ]");
    EXPECT_EQ(editorSheetCaption("Unknow"), "Formwright - [ New file ]");
    EXPECT_EQ(editorSheetCaption("C:\\x.FWX"), "Formwright - [ C:\\x.FWX ]");
    EXPECT_EQ(editorSheetCaption("", "Formular", "Neu"), "Formular - [ Neu ]");
}

}  // namespace
}  // namespace fw
