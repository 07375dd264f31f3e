// File names as the program holds them: UTF-8 everywhere, whatever the
// system's code page, and of any length. Runs natively and, in the Windows
// build, under Wine, where the names go through the wide API.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "model/file_replace.h"
#include "model/program_defaults.h"
#include "model/program_file.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

std::string utf8Of(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_names_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

TEST(ExtendedLengthPath, OnlyLongAbsolutePathsChangeForm) {
    const std::u16string longTail(300, u'a');
    EXPECT_EQ(extendedLengthPath(u"C:\\short.FWX"), u"C:\\short.FWX");
    EXPECT_EQ(extendedLengthPath(u"C:\\" + longTail), u"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(extendedLengthPath(u"\\\\server\\share\\" + longTail), u"\\\\?\\UNC\\server\\share\\" + longTail);
    // Already in a form of the system's own, or not absolute: left alone.
    EXPECT_EQ(extendedLengthPath(u"\\\\?\\C:\\" + longTail), u"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(extendedLengthPath(u"\\\\.\\COM12"), u"\\\\.\\COM12");
    EXPECT_EQ(extendedLengthPath(u"relative\\" + longTail), u"relative\\" + longTail);
    // The limit: a folder's path must leave room for an 8.3 name.
    const std::u16string atLimit = u"C:\\" + std::u16string(kExtendedPathFrom - 3, u'b');
    EXPECT_EQ(extendedLengthPath(atLimit), u"\\\\?\\" + atLimit);
    EXPECT_EQ(extendedLengthPath(atLimit.substr(1)), atLimit.substr(1));
}

TEST_F(FileNamesTest, AProgramRoundTripsUnderAGreekAndChineseName) {
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto model = std::make_unique<ProgramModel>();
    newProgram(*model, *defaults);
    model->settings.version = 2;
    const fs::path wide = dir / fs::path(u8"Πρόγραμμα 倉庫.FWX");
    const std::string name = utf8Of(wide);

    ASSERT_TRUE(saveProgram(*model, name));
    EXPECT_TRUE(fs::exists(wide)) << "saved under its own name, not a code-page guess at it";
    auto loaded = std::make_unique<ProgramModel>();
    EXPECT_TRUE(loadProgram(*loaded, *defaults, name).ok());

    std::FILE* f = openFile(name, "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(openFile(utf8Of(dir / fs::path(u8"Ωχ.FWX")), "rb"), nullptr);
}

TEST_F(FileNamesTest, APathOverTheOldLimitOpens) {
    // Folders of 60 characters until the file's path is well past 260.
    fs::path deep = dir;
    std::string name = utf8Of(dir);
    while (name.size() < 300) {
        deep /= std::string(60, 'd');
        name = utf8Of(deep);
        ASSERT_TRUE(fs::create_directory(systemPath(name))) << name.size();
    }
    const std::string file = name + "/" + std::string(40, 'f') + ".FWX";
    const std::string bytes = "long";
    ASSERT_TRUE(writeFileReplacing(file, bytes.data(), bytes.size()));
    std::FILE* f = openFile(file, "rb");
    ASSERT_NE(f, nullptr);
    char back[8] = {};
    EXPECT_EQ(std::fread(back, 1, sizeof back, f), bytes.size());
    std::fclose(f);
    EXPECT_EQ(std::string(back), bytes);
}

}  // namespace
}  // namespace fw
