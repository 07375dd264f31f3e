// Program files on Windows: the text-mode traps of the C runtime (CR/LF
// translation, 0x1A read as end of file), a folder and a name with spaces,
// and replacing an existing file. Files are checked with the Win32 calls, not
// with the C runtime that wrote them, so a text-mode stream cannot hide its
// own translation by undoing it on the way back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "comm/program_image.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "model/program_model.h"

namespace fw {
namespace {

std::vector<uint8_t> readRaw(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    std::vector<uint8_t> bytes;
    if (GetFileSizeEx(h, &size)) bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
        got = 0;
    }
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

bool writeRaw(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

std::vector<uint8_t> expectedFile(const ProgramModel& m) {
    std::vector<uint8_t> bytes(kProgramFileSize, 0);
    std::memcpy(bytes.data(), kProgramHeader, 10);  // nine characters and their NUL
    std::memcpy(bytes.data() + 10, modelBody(m), kModelBodySize);
    return bytes;
}

// Where the first mismatch is, for a readable failure on 18,942 bytes.
::testing::AssertionResult sameBytes(const uint8_t* actual, const uint8_t* expected,
                                     std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (actual[i] != expected[i]) {
            return ::testing::AssertionFailure()
                   << "first difference at byte " << i << ": " << int(actual[i])
                   << " instead of " << int(expected[i]);
        }
    }
    return ::testing::AssertionSuccess();
}

class ProgramFileOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(MAX_PATH, temp);
        ASSERT_GT(n, 0u);
        ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
        dir_ = std::string(temp) + "Form wright dir";
        removeDir();  // left over by an interrupted run
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << "error " << GetLastError();
        loadDefaultTexts(*defaults_);
        newProgram(*model_, *defaults_);
    }

    void TearDown() override { removeDir(); }

    std::string path(const char* name) const { return dir_ + "\\" + name; }

    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(h, &found));
        FindClose(h);
        return names;
    }

    void removeDir() {
        for (const std::string& name : filesInDir()) DeleteFileA(path(name.c_str()).c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string dir_;
    std::unique_ptr<DefaultTexts> defaults_ = std::make_unique<DefaultTexts>();
    std::unique_ptr<ProgramModel> model_ = std::make_unique<ProgramModel>();
};

TEST_F(ProgramFileOnWindows, NewProgramSavedInFolderWithSpacesLoadsBack) {
    const std::string file = path("my program.FWX");
    ASSERT_TRUE(saveProgram(*model_, file));

    std::vector<uint8_t> bytes = readRaw(file);
    ASSERT_EQ(bytes.size(), kProgramFileSize);
    EXPECT_TRUE(sameBytes(bytes.data(), expectedFile(*model_).data(), kProgramFileSize));
    // The file is written beside the target and renamed: nothing else remains.
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"my program.FWX"});

    auto loaded = std::make_unique<ProgramModel>();
    LoadResult r = loadProgram(*loaded, *defaults_, file);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.format, FileFormat::Current);
    EXPECT_FALSE(r.imported());
    EXPECT_TRUE(sameBytes(modelBody(*loaded), modelBody(*model_), kModelBodySize));
}

TEST_F(ProgramFileOnWindows, ControlBytesSurviveSaveAndLoadByteForByte) {
    // Every byte value throughout the body, and the texts a text-mode stream
    // mangles: LF grows a CR, CR LF shrinks to LF, 0x1A ends the read.
    uint8_t* body = modelBody(*model_);
    for (std::size_t i = 0; i < kModelBodySize; ++i) body[i] = static_cast<uint8_t>(i * 7 + 3);
    setFieldText(model_->forms[0].prompt[0], "\r\n\x1a\n\r");
    setFieldText(model_->menus[0].caption, "Line\nfeed");
    setFieldText(model_->menus[9].itemName[9], "\x1a" "after EOF");
    model_->legacyWord[0] = 0x0D;
    model_->legacyWord[1] = 0x0A;
    model_->settings.version = kSettingsVersion;  // an older version would be upgraded on load

    const std::string file = path("control bytes.FWX");
    ASSERT_TRUE(saveProgram(*model_, file));
    std::vector<uint8_t> bytes = readRaw(file);
    ASSERT_EQ(bytes.size(), kProgramFileSize);
    EXPECT_TRUE(sameBytes(bytes.data(), expectedFile(*model_).data(), kProgramFileSize));

    auto loaded = std::make_unique<ProgramModel>();
    newProgram(*loaded, *defaults_);
    ASSERT_TRUE(loadProgram(*loaded, *defaults_, file).ok());
    EXPECT_TRUE(sameBytes(modelBody(*loaded), modelBody(*model_), kModelBodySize));
}

TEST_F(ProgramFileOnWindows, SavingOverAnExistingFileReplacesIt) {
    const std::string file = path("my program.FWX");
    ASSERT_TRUE(saveProgram(*model_, file));
    setFieldText(model_->forms[4].prompt[2], "Second save");
    ASSERT_TRUE(saveProgram(*model_, file));

    std::vector<uint8_t> bytes = readRaw(file);
    ASSERT_EQ(bytes.size(), kProgramFileSize);
    EXPECT_TRUE(sameBytes(bytes.data(), expectedFile(*model_).data(), kProgramFileSize));
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"my program.FWX"});

    EXPECT_FALSE(saveProgram(*model_, path("no such folder\\my program.FWX")));
}

// An older-family file of 10,510 bytes, laid out by hand. CR LF and 0x1A sit
// early in it so that a text-mode read would shift or cut everything after.
std::vector<uint8_t> olderFile() {
    std::vector<uint8_t> f(kOlderFileSize, 0);
    std::memcpy(f.data(), "K2x-4.00", 8);
    f[8] = 0x0D;   // old word
    f[9] = 0x0A;
    f[10] = 13;    // program start: menu 3
    f[11] = 0x1A;  // old barcode byte 0
    uint8_t* form = f.data() + 2535;  // old form 1
    form[0] = 1;                      // large font
    form[3] = 7;                      // date stamp mode 7, no time stamp
    form[15] = 9;                     // old "boolean"
    form[16] = 6;                     // old "prompt"
    std::memcpy(form + 23, "ABCDEFGHIJKLMNOPQRST", 20);
    std::memcpy(form + 23 + 21, "123456789012", 12);
    uint8_t* system = f.data() + 10466;
    system[4] = '3';  // backlight idle time as a digit
    std::memcpy(f.data() + 10486, "pw\r\n\x1a" "12345", 10);
    uint8_t* extension = f.data() + 10496;
    extension[0] = '@';
    extension[2] = ',';
    extension[3] = ';';
    extension[4] = '\t';
    extension[11] = 1;  // separate data files
    return f;
}

TEST_F(ProgramFileOnWindows, OlderFileIsConverted) {
    const std::string file = path("older program.K2X");
    ASSERT_TRUE(writeRaw(file, olderFile()));

    LoadResult r = loadProgram(*model_, *defaults_, file);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, FileFormat::Older400);
    EXPECT_TRUE(r.imported());

    EXPECT_EQ(model_->legacyWord[0], 0x0D);
    EXPECT_EQ(model_->legacyWord[1], 0x0A);
    EXPECT_EQ(model_->settings.startFrom, targetMenu(3));
    EXPECT_EQ(model_->barcode.bytes[0], 0x1A);

    const FormDef& form = model_->forms[0];
    EXPECT_EQ(form.stampPosition, 1);
    EXPECT_EQ(form.stampSplit, 0);
    EXPECT_EQ(form.dataType[0], kTypeBoolean);
    EXPECT_EQ(form.dataType[1], kTypePrompt);
    EXPECT_EQ(fieldText(form.prompt[0]), "ABCDEFGHIJKL");
    EXPECT_EQ(fieldText(form.prompt[1]), "123456789012");

    EXPECT_EQ(model_->settings.backlightIdle, 3);
    const uint8_t password[12] = {'p', 'w', '\r', '\n', 0x1A, '1', '2', '3', '4', '5', 0, 0};
    EXPECT_TRUE(sameBytes(model_->settings.password, password, sizeof password));
    EXPECT_EQ(model_->settings.separateDataFiles, 1);
    EXPECT_EQ(model_->lookups[0].delimiter, ',');
    EXPECT_EQ(model_->lookups[1].delimiter, ';');
    EXPECT_EQ(model_->lookups[2].delimiter, '\t');
}

TEST_F(ProgramFileOnWindows, LoadedProgramBuildsTheImage) {
    const std::string file = path("my program.FWX");
    ASSERT_TRUE(saveProgram(*model_, file));
    auto loaded = std::make_unique<ProgramModel>();
    ASSERT_TRUE(loadProgram(*loaded, *defaults_, file).ok());

    normaliseForDownload(*loaded);
    auto image = std::make_unique<ProgramImage>();
    std::memset(image->bytes, 0xAA, sizeof image->bytes);
    buildProgramImage(*loaded, *image);

    static_assert(sizeof image->bytes == 20000);
    EXPECT_TRUE(sameBytes(image->bytes, loaded->barcode.bytes, sizeof loaded->barcode.bytes));
    EXPECT_TRUE(sameBytes(image->bytes + 23, reinterpret_cast<const uint8_t*>(loaded->menus),
                          sizeof loaded->menus));
    const std::vector<uint8_t> zeros(20000 - 18830, 0);
    EXPECT_TRUE(sameBytes(image->bytes + 18830, zeros.data(), zeros.size()));

    ImageBlock last = makeImageBlock(*image, kImageBlockCount - 1);
    EXPECT_EQ(0, std::memcmp(last.data, image->bytes + 19900, kImageBlockDataSize));
}

}  // namespace
}  // namespace fw
