#include "model/program_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/file_replace.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "tests/unit/labelled_default_texts.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

using test::copyInto;
using test::makeDefaults;
using test::two;

std::unique_ptr<ProgramModel> newModel(const DefaultTexts& d) {
    auto m = std::make_unique<ProgramModel>();
    newProgram(*m, d);
    return m;
}

// Every body byte from a simple generator, so that nothing stays at a value
// New or the loader might produce by accident.
void fillPattern(ProgramModel& m, uint32_t seed) {
    uint8_t* body = modelBody(m);
    for (std::size_t i = 0; i < kModelBodySize; ++i) {
        seed = seed * 1664525u + 1013904223u;
        body[i] = static_cast<uint8_t>(seed >> 24);
    }
}

bool sameBody(const ProgramModel& a, const ProgramModel& b) {
    return std::memcmp(modelBody(a), modelBody(b), kModelBodySize) == 0;
}

// A current-format file of the given model.
Bytes fileOf(const ProgramModel& m) {
    Bytes f(kProgramFileSize, 0);
    std::memcpy(f.data(), "K400-1.00", 10);
    std::memcpy(f.data() + 10, modelBody(m), kModelBodySize);
    return f;
}

// The text of a 21-byte slot, never past it.
std::size_t slotLength(const char* slot) {
    const void* nul = std::memchr(slot, 0, 21);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - slot) : 21;
}
std::string text(const char* slot) { return std::string(slot, slotLength(slot)); }

class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = fs::temp_directory_path() /
                ("fw_program_file_" + std::to_string(tick) + "_" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
    }

private:
    fs::path path_;
};

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ProgramFile, SavedNewProgramIsHeaderBodyAndZeroTrailer) {
    auto d = makeDefaults();
    auto m = newModel(*d);
    TempFolder dir;
    const std::string path = dir.file("NEW.FWX");
    ASSERT_TRUE(saveProgram(*m, path));

    Bytes f = readAll(path);
    ASSERT_EQ(f.size(), 18942u);
    EXPECT_EQ(0, std::memcmp(f.data(), "K400-1.00\0", 10));
    EXPECT_EQ(0, std::memcmp(f.data() + 10, modelBody(*m), kModelBodySize));
    for (std::size_t i = 18842; i < f.size(); ++i) ASSERT_EQ(f[i], 0) << "trailer byte " << i;
    EXPECT_EQ(dir.entryCount(), 1u) << "no temporary file is left beside the program";
}

TEST(ProgramFile, SaveLoadSaveKeepsEveryByte) {
    auto d = makeDefaults();
    auto original = newModel(*d);
    fillPattern(*original, 12345);
    original->settings.version = 2;   // an upgrade would rightly change bytes
    TempFolder dir;
    const std::string first = dir.file("A.FWX");
    const std::string second = dir.file("B.FWX");
    ASSERT_TRUE(saveProgram(*original, first));

    auto loaded = std::make_unique<ProgramModel>();
    fillPattern(*loaded, 999);
    loaded->modified = true;
    LoadResult r = loadProgram(*loaded, *d, first);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, FileFormat::Current);
    EXPECT_FALSE(r.imported());
    EXPECT_FALSE(loaded->modified);
    EXPECT_TRUE(sameBody(*original, *loaded));

    ASSERT_TRUE(saveProgram(*loaded, second));
    EXPECT_EQ(readAll(first), readAll(second));
}

TEST(ProgramFile, SaveReplacesAnExistingFileWhole) {
    auto d = makeDefaults();
    auto m = newModel(*d);
    TempFolder dir;
    const std::string path = dir.file("P.FWX");
    writeAll(path, Bytes(40000, 0xEE));   // longer than a program file
    ASSERT_TRUE(saveProgram(*m, path));
    EXPECT_EQ(readAll(path), fileOf(*m));
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ProgramFile, FailedSaveReturnsFalseAndLeavesTheOldFile) {
    auto d = makeDefaults();
    auto m = newModel(*d);
    TempFolder dir;
    EXPECT_FALSE(saveProgram(*m, dir.file("missing") + "/P.FWX"));
    EXPECT_FALSE(saveProgram(*m, ""));

    // A folder where the file should go cannot be replaced by it.
    const std::string folder = dir.file("FOLDER.FWX");
    fs::create_directory(folder);
    const Bytes inside{'k', 'e', 'e', 'p'};
    writeAll(dir.file("FOLDER.FWX") + "/kept.txt", inside);
    errno = 0;
    EXPECT_FALSE(saveProgram(*m, folder));
    // The message says why (the system's own number for it, not a bare I/O error).
    EXPECT_TRUE(errno == EISDIR || errno == EACCES) << errno;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(readAll(folder + "/kept.txt"), inside);
    EXPECT_EQ(dir.entryCount(), 1u) << "the temporary file is removed after a failure";
}

TEST(ProgramFile, UnknownHeaderOrMissingFileLeavesTheModel) {
    auto d = makeDefaults();
    auto m = newModel(*d);
    fillPattern(*m, 7);
    m->modified = true;
    const auto before = std::make_unique<ProgramModel>(*m);

    auto other = newModel(*d);
    Bytes good = fileOf(*other);
    for (const char* header : {"K400-1.01", "k400-1.00", "K2x-4.01", "K2x-3.2", "FWX"}) {
        Bytes f = good;
        std::memcpy(f.data(), header, std::strlen(header));
        f.resize(std::max<std::size_t>(std::strlen(header), 10) + 18832);
        LoadResult r = loadProgramBytes(*m, *d, f.data(), f.size());
        EXPECT_EQ(r.status, LoadStatus::FormatMismatch) << header;
    }
    for (std::size_t n : {0u, 1u, 8u, 9u}) {
        EXPECT_EQ(loadProgramBytes(*m, *d, good.data(), n).status, LoadStatus::FormatMismatch) << n;
    }
    EXPECT_EQ(loadProgramBytes(*m, *d, nullptr, 0).status, LoadStatus::FormatMismatch);

    TempFolder dir;
    EXPECT_EQ(loadProgram(*m, *d, dir.file("absent.FWX")).status, LoadStatus::CannotOpen);
    EXPECT_EQ(loadProgram(*m, *d, dir.file("")).status, LoadStatus::CannotOpen) << "a folder";

    EXPECT_TRUE(sameBody(*m, *before));
    EXPECT_TRUE(m->modified);
}

TEST(ProgramFile, DetectsTheFormatByTheHeaderAlone) {
    auto bytes = [](const char* s) { return reinterpret_cast<const uint8_t*>(s); };
    EXPECT_EQ(detectFormat(bytes("K400-1.00"), 9), FileFormat::Current);
    EXPECT_EQ(detectFormat(bytes("K400-1.00X"), 10), FileFormat::Current) << "10th byte unchecked";
    EXPECT_EQ(detectFormat(bytes("K2x-4.00"), 8), FileFormat::Older400);
    EXPECT_EQ(detectFormat(bytes("K2x-3.10"), 8), FileFormat::Older310);
    EXPECT_EQ(detectFormat(bytes("K2x-3.00"), 8), FileFormat::Unknown);
    EXPECT_EQ(detectFormat(bytes("K400-1.0"), 8), FileFormat::Unknown);
}

// A file cut short would otherwise leave the tail of the previous program in
// the model; the trailer alone may be missing.
TEST(ProgramFile, ShortFilesAreRefusedWholeAndTheTrailerIsOptional) {
    auto d = makeDefaults();
    auto source = newModel(*d);
    fillPattern(*source, 42);
    source->settings.version = 2;
    const Bytes full = fileOf(*source);

    auto m = newModel(*d);
    const auto before = std::make_unique<ProgramModel>(*m);
    for (std::size_t n : {18841u, 16115u, 10510u, 10u}) {
        EXPECT_EQ(loadProgramBytes(*m, *d, full.data(), n).status, LoadStatus::FormatMismatch) << n;
        EXPECT_TRUE(sameBody(*m, *before)) << n;
    }
    for (std::size_t n : {18842u, 18900u, 18942u}) {
        auto target = newModel(*d);
        EXPECT_TRUE(loadProgramBytes(*target, *d, full.data(), n).ok()) << n;
        EXPECT_TRUE(sameBody(*target, *source)) << n;
    }

    // Extra bytes after a full file are ignored, on disk as in memory.
    TempFolder dir;
    Bytes longer = full;
    longer.resize(25000, 0x5A);
    writeAll(dir.file("LONG.FWX"), longer);
    auto target = newModel(*d);
    EXPECT_TRUE(loadProgram(*target, *d, dir.file("LONG.FWX")).ok());
    EXPECT_TRUE(sameBody(*target, *source));
    writeAll(dir.file("SHORT.FWX"), Bytes(full.begin(), full.begin() + 18841));
    EXPECT_EQ(loadProgram(*target, *d, dir.file("SHORT.FWX")).status, LoadStatus::FormatMismatch);
    EXPECT_TRUE(sameBody(*target, *source));
}

TEST(ProgramFile, SettingsOfVersionOneAreUpgraded) {
    auto d = makeDefaults();
    auto source = newModel(*d);
    fillPattern(*source, 3);
    TerminalSettings& s = source->settings;
    s.version = 1;
    s.largeFont = 1;
    const auto expected = std::make_unique<ProgramModel>(*source);

    auto m = newModel(*d);
    const Bytes f = fileOf(*source);
    ASSERT_TRUE(loadProgramBytes(*m, *d, f.data(), f.size()).ok());
    const TerminalSettings& got = m->settings;
    EXPECT_EQ(got.version, 2);
    EXPECT_EQ(got.keyClick, 2);
    EXPECT_EQ(got.goodReadBeep, 1);
    EXPECT_EQ(got.warningBeep, 2);
    EXPECT_EQ(got.modemSpeed, 0);
    for (uint8_t b : got.downloadPhone) EXPECT_EQ(b, 0);
    for (uint8_t b : got.securityBeeps) EXPECT_EQ(b, 0);
    for (uint8_t b : got.reserved143) EXPECT_EQ(b, 0);
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(fieldText(got.extraUtilityLines[n]), "xtra" + std::to_string(n + 1)) << n;

    // Nothing else changes: put back what the upgrade writes and compare.
    ProgramModel& e = *expected;
    e.settings.version = 2;
    e.settings.keyClick = 2;
    e.settings.goodReadBeep = 1;
    e.settings.warningBeep = 2;
    e.settings.modemSpeed = 0;
    std::memcpy(e.settings.downloadPhone, got.downloadPhone, sizeof got.downloadPhone);
    std::memcpy(e.settings.securityBeeps, got.securityBeeps, 3);
    std::memcpy(e.settings.reserved143, got.reserved143, 7);
    std::memcpy(e.settings.extraUtilityLines, got.extraUtilityLines, sizeof got.extraUtilityLines);
    EXPECT_TRUE(sameBody(*m, e));

    // Version 0 with the small font takes the sixteen-character lines.
    source->settings.version = 0;
    source->settings.largeFont = 0;
    const Bytes f0 = fileOf(*source);
    ASSERT_TRUE(loadProgramBytes(*m, *d, f0.data(), f0.size()).ok());
    EXPECT_EQ(fieldText(m->settings.extraUtilityLines[1]), "Xtra2 small");
    EXPECT_EQ(m->settings.version, 2);
}

// ---- importMessages -------------------------------------------------------

// "m07-3" for line 3 of table 7, padded with dots to 21 characters.
std::string fullLine(int t, int n) {
    std::string line = "m" + two(t) + "-" + std::to_string(n + 1);
    line.resize(21, '.');
    return line;
}

// A model whose every message line and extra line names itself, filling its
// whole width without a NUL so that the cut to 12 / 16 characters shows.
std::unique_ptr<ProgramModel> messageSource(const DefaultTexts& d) {
    auto m = newModel(d);
    for (int t = 0; t < kMessageTableCount; ++t) {
        const int width = kMessageTables[t].width;
        for (int n = 0; n < kMessageTables[t].lines; ++n)
            std::memcpy(messageLine(*m, t, n), fullLine(t, n).data(), static_cast<std::size_t>(width));
    }
    for (int n = 0; n < 5; ++n) {
        setFieldText(m->settings.extraUtilityLines[n], "extra" + std::to_string(n + 1));
    }
    m->settings.largeFont = 1;
    return m;
}

std::string expectedLine(int t, int n) {
    return fullLine(t, n).substr(0, kMessageTables[t].width == 21 ? 16 : 12);
}

std::unique_ptr<ImportedTexts> pageTexts(const char* fill) {
    auto texts = std::make_unique<ImportedTexts>();
    std::memset(texts.get(), 0, sizeof *texts);
    for (auto& screen : texts->lines)
        for (auto& line : screen) copyInto(line, fill);
    texts->largeFont = false;
    return texts;
}

TEST(ImportMessages, FillsTheScreensByTheirMapping) {
    auto d = makeDefaults();
    auto source = messageSource(*d);
    Bytes f = fileOf(*source);
    std::memcpy(f.data(), "K400-9.99", 9);   // another version of the same family

    auto texts = pageTexts("old");
    LoadResult r = importMessagesBytes(*texts, *d, f.data(), f.size());
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(texts->largeFont);

    // A plain screen: its table line by line, the rows past it empty.
    EXPECT_EQ(text(texts->lines[kMsgMainMenu][0]), expectedLine(kMsgMainMenu, 0));
    EXPECT_EQ(text(texts->lines[kMsgMainMenu][3]), expectedLine(kMsgMainMenu, 3));
    EXPECT_EQ(text(texts->lines[kMsgMainMenu][4]), "");
    EXPECT_EQ(text(texts->lines[kMsgUtilities][7]), expectedLine(kMsgUtilities, 7));
    EXPECT_EQ(text(texts->lines[kMsgErrorMessages][5]), expectedLine(kMsgErrorMessages, 5));
    EXPECT_EQ(text(texts->lines[kMsgSetPassword][1]), expectedLine(kMsgSetPassword, 1));

    // "Settings ": lines 2..7, the Buzzer line, then line 8.
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(text(texts->lines[kMsgSettings][r]), expectedLine(kMsgSettings, r + 1)) << r;
    EXPECT_EQ(text(texts->lines[kMsgSettings][6]), "extra2");
    EXPECT_EQ(text(texts->lines[kMsgSettings][7]), expectedLine(kMsgSettings, 7));

    // "Misc - continuous ": its three lines, then extra lines 1, 3, 4, 5.
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][r]), expectedLine(kMsgMiscContinuous, r));
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][3]), "extra1");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][4]), "extra3");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][5]), "extra4");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][6]), "extra5");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][7]), "");

    // Every slot holds a terminated text.
    for (auto& screen : texts->lines)
        for (auto& line : screen) EXPECT_LT(slotLength(line), 21u);
}

TEST(ImportMessages, OlderSettingsKeepThePagesExtraLinesOrTakeDefaults) {
    auto d = makeDefaults();
    auto source = messageSource(*d);
    source->settings.version = 1;
    const Bytes f = fileOf(*source);

    auto texts = pageTexts("");
    copyInto(texts->lines[kMsgSettings][6], "own buzzer");
    copyInto(texts->lines[kMsgMiscContinuous][5], "own beep");
    ASSERT_TRUE(importMessagesBytes(*texts, *d, f.data(), f.size()).ok());
    EXPECT_EQ(text(texts->lines[kMsgSettings][6]), "own buzzer");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][5]), "own beep");
    // Empty ones take the default of the file's (large) font.
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][3]), "xtra1");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][4]), "xtra3");
    EXPECT_EQ(text(texts->lines[kMsgMiscContinuous][6]), "xtra5");
    // The message tables themselves are still taken from the file.
    EXPECT_EQ(text(texts->lines[kMsgSettings][0]), expectedLine(kMsgSettings, 1));
    EXPECT_TRUE(texts->largeFont);
}

TEST(ImportMessages, RefusedFilesLeaveTheTextsAlone) {
    auto d = makeDefaults();
    auto source = messageSource(*d);
    const Bytes good = fileOf(*source);
    auto texts = pageTexts("mine");
    texts->largeFont = false;
    const auto before = std::make_unique<ImportedTexts>(*texts);
    auto unchanged = [&] { return std::memcmp(texts.get(), before.get(), sizeof *texts) == 0; };

    Bytes wrong = good;
    std::memcpy(wrong.data(), "K2x-4.00", 8);
    EXPECT_EQ(importMessagesBytes(*texts, *d, wrong.data(), wrong.size()).status,
              LoadStatus::FormatMismatch);
    EXPECT_TRUE(unchanged());
    for (std::size_t n : {0u, 4u, 18841u}) {
        EXPECT_EQ(importMessagesBytes(*texts, *d, good.data(), n).status, LoadStatus::FormatMismatch) << n;
        EXPECT_TRUE(unchanged()) << n;
    }

    TempFolder dir;
    EXPECT_EQ(importMessages(*texts, *d, dir.file("absent.FWX")).status, LoadStatus::CannotOpen);
    EXPECT_TRUE(unchanged());
    writeAll(dir.file("OK.FWX"), Bytes(good.begin(), good.begin() + 18842));
    EXPECT_TRUE(importMessages(*texts, *d, dir.file("OK.FWX")).ok()) << "the trailer is not needed";
    EXPECT_TRUE(texts->largeFont);
}

// File names as the program holds them: UTF-8 everywhere, whatever the
// system's code page, and of any length (under Wine, through the wide API).
std::string utf8Of(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_names_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        fs::create_directories(dir);
    }
    void TearDown() override {
        // Deepest first, each by its own name: the library's recursive
        // removal does not reach below the old path limit on Windows.
        std::error_code ignored;
        for (auto k = made.rbegin(); k != made.rend(); ++k) fs::remove(systemPath(*k), ignored);
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
    std::vector<std::string> made;   // files and folders (UTF-8), in the order made
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
        made.push_back(name);
    }
    const std::string file = name + "/" + std::string(40, 'f') + ".FWX";
    const std::string bytes = "long";
    made.push_back(file);
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
