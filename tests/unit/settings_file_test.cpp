#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/settings_file.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

Preferences parse(const std::string& bytes) {
    Preferences p;
    p.lastFile = "stale";   // parsing starts from the defaults, not from this
    p.recentFiles = {"stale"};
    parseSettings(bytes.data(), bytes.size(), p);
    return p;
}

Preferences fullPreferences() {
    Preferences p;
    p.lastFile = "C:\\Programs\\stock.FWX";
    p.downloadVia = 2;
    p.receiveVia = 1;
    p.comPortNumber = 17;
    p.baudRate = 4;
    p.autoPreload = true;
    p.alwaysOnTop = true;
    p.language = "Deutsch";
    p.recentFiles = {"C:\\Programs\\stock.FWX", "C:\\a.FWX", "\\\\server\\share\\b.FWX", "D:\\c.FWX"};
    p.comPortIndex = 5;
    return p;
}

void expectSame(const Preferences& a, const Preferences& b) {
    EXPECT_EQ(a.lastFile, b.lastFile);
    EXPECT_EQ(a.downloadVia, b.downloadVia);
    EXPECT_EQ(a.receiveVia, b.receiveVia);
    EXPECT_EQ(a.comPortNumber, b.comPortNumber);
    EXPECT_EQ(a.baudRate, b.baudRate);
    EXPECT_EQ(a.autoPreload, b.autoPreload);
    EXPECT_EQ(a.alwaysOnTop, b.alwaysOnTop);
    EXPECT_EQ(a.language, b.language);
    EXPECT_EQ(a.recentFiles, b.recentFiles);
    EXPECT_EQ(a.comPortIndex, b.comPortIndex);
}

TEST(SettingsFormat, WritesTheFieldsInOrderAndReadsThemBackByteForByte) {
    const Preferences p = fullPreferences();
    const std::string bytes = formatSettings(p);
    EXPECT_EQ(bytes,
              "C:\\Programs\\stock.FWX\r2\r1\r17\r4\r1\r1\rDeutsch\r"
              "C:\\Programs\\stock.FWX\rC:\\a.FWX\r\\\\server\\share\\b.FWX\rD:\\c.FWX\r6\r");
    Preferences back = parse(bytes);
    expectSame(back, p);
    EXPECT_EQ(formatSettings(back), bytes);

    // The defaults, as a new installation writes them.
    EXPECT_EQ(formatSettings(Preferences{}), "Unknow\r0\r0\r1\r0\r0\r0\r0\r0\r");
    expectSame(parse(formatSettings(Preferences{})), Preferences{});
}

TEST(SettingsFormat, LettersKeepDefaultsButLaterFieldsAreStillTaken) {
    Preferences p = parse("C:\\x.FWX\rA\rb\rCOM\rz\rno\ryes\rFrancais\rC:\\r.FWX\r3\r");
    EXPECT_EQ(p.lastFile, "C:\\x.FWX");
    EXPECT_EQ(p.downloadVia, 0);
    EXPECT_EQ(p.receiveVia, 0);
    EXPECT_EQ(p.comPortNumber, 1);
    EXPECT_EQ(p.baudRate, 0);
    EXPECT_TRUE(p.autoPreload);   // anything but a leading "0" turns them on
    EXPECT_TRUE(p.alwaysOnTop);
    EXPECT_EQ(p.language, "Francais");
    EXPECT_EQ(p.recentFiles, std::vector<std::string>{"C:\\r.FWX"});
    EXPECT_EQ(p.comPortIndex, 2);
}

TEST(SettingsFormat, NumbersOutsideTheirRangesKeepDefaults) {
    // 3 links, port 0 and 256, baud 5; flags "0" and "0abc" are off.
    Preferences p = parse("f\r3\r9\r256\r5\r0\r0abc\rL\r");
    EXPECT_EQ(p.downloadVia, 0);
    EXPECT_EQ(p.receiveVia, 0);
    EXPECT_EQ(p.comPortNumber, 1);
    EXPECT_EQ(p.baudRate, 0);
    EXPECT_FALSE(p.autoPreload);
    EXPECT_FALSE(p.alwaysOnTop);

    EXPECT_EQ(parse("f\r0\r0\r0\r").comPortNumber, 1);
    EXPECT_EQ(parse("f\r0\r0\r255\r").comPortNumber, 255);
    EXPECT_EQ(parse("f\r0\r0\r99999999999999999999\r").comPortNumber, 1);
    // Only the first character counts for the link and speed choices, so a
    // value out of range never gets in.
    Preferences q = parse("f\r21\r1x\r3\r40\r");
    EXPECT_EQ(q.downloadVia, 2);
    EXPECT_EQ(q.receiveVia, 1);
    EXPECT_EQ(q.baudRate, 4);
}

TEST(SettingsFormat, PortIndexFieldMustBeADigitRunOf1To127) {
    const std::string head = "f\r0\r0\r1\r0\r0\r0\r0\r";
    EXPECT_EQ(parse(head + "0\r").comPortIndex, -1);
    EXPECT_EQ(parse(head + "128\r").comPortIndex, -1);
    EXPECT_EQ(parse(head + "1\r").comPortIndex, 0);
    EXPECT_EQ(parse(head + "127\r").comPortIndex, 126);
    EXPECT_EQ(parse(head + "12a\r").comPortIndex, -1);
    EXPECT_EQ(parse(head + "99999999999999999999\r").comPortIndex, -1);
    // The index ends the reading: nothing after it is a recent file.
    Preferences p = parse(head + "C:\\a\r4\rC:\\b\r");
    EXPECT_EQ(p.recentFiles, std::vector<std::string>{"C:\\a"});
    EXPECT_EQ(p.comPortIndex, 3);
}

TEST(SettingsFormat, EmptyFieldsAreSkippedAndMissingFieldsKeepDefaults) {
    Preferences p = parse("\r\rC:\\x.FWX\r\r\r1\r");
    EXPECT_EQ(p.lastFile, "C:\\x.FWX");
    EXPECT_EQ(p.downloadVia, 1);
    EXPECT_EQ(p.receiveVia, 0);
    EXPECT_EQ(p.language, "0");
    EXPECT_EQ(p.comPortIndex, -1);
    // A last field without its CR is still a field.
    EXPECT_EQ(parse("f\r0\r0\r1\r0\r0\r0\rItaliano").language, "Italiano");
}

TEST(SettingsFormat, AFifthRecentFileStopsTheReading) {
    Preferences p = parse("f\r0\r0\r1\r0\r0\r0\r0\rA\rB\rC\rD\rE\r9\r");
    EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(p.comPortIndex, -1);   // never reached
}

TEST(SettingsFormat, OverlongTextsAreRefusedOrCutNeverOverrun) {
    const std::string longPath = "C:\\" + std::string(258, 'p');   // 261 characters
    const std::string maxPath = "C:\\" + std::string(257, 'p');    // 260
    Preferences p = parse(longPath + "\r0\r0\r1\r0\r0\r0\r" + std::string(50, 'L') + "\r" +
                          longPath + "\r" + maxPath + "\r7\r");
    EXPECT_EQ(p.lastFile, "Unknow");   // a cut path would name another file
    EXPECT_EQ(p.language, std::string(40, 'L'));
    EXPECT_EQ(p.recentFiles, std::vector<std::string>{maxPath});
    EXPECT_EQ(p.comPortIndex, 6);
}

TEST(SettingsFormat, GarbageAndNulBytesAreHandledSafely) {
    // A NUL ends the text, as it ends a C string: nothing after it counts.
    const std::string withNul("C:\\x.FWX\r2\0\r1\r9\r", 16);
    Preferences p = parse(withNul);
    EXPECT_EQ(p.lastFile, "C:\\x.FWX");
    EXPECT_EQ(p.downloadVia, 2);
    EXPECT_EQ(p.receiveVia, 0);

    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 37 + 11) & 0xFF);
    Preferences g = parse(garbage);
    // Whatever the garbage gave must survive a write and a read unchanged.
    const std::string written = formatSettings(g);
    EXPECT_EQ(formatSettings(parse(written)), written);
    EXPECT_LE(written.size(), kSettingsFileCap);

    Preferences none;
    parseSettings(nullptr, 10, none);
    expectSame(none, Preferences{});
}

TEST(SettingsFormat, OnlyTheFirst1300BytesAndOnlyWholeFieldsCount) {
    const std::string head = "f\r0\r0\r1\r0\r0\r0\r0\r";   // 16 bytes
    ASSERT_EQ(head.size(), 16u);
    std::string bytes = head;
    std::vector<std::string> paths;
    for (char c : {'a', 'b', 'c'}) {
        paths.push_back("C:\\" + std::string(200, c));
        bytes += paths.back() + "\r";
    }
    // A recent file that runs over byte 1300 would come back as another,
    // shorter path; it is dropped with the rest of the file.
    bytes += "C:\\" + std::string(700, 'd') + "\r5\r";
    Preferences p = parse(bytes);
    EXPECT_EQ(p.recentFiles, paths);
    EXPECT_EQ(p.comPortIndex, -1);

    // A port index that crosses the cap would read as another number.
    std::string indexCut = head + std::string(1300 - head.size() - 2, 'z') + "\r1" + "23\r";
    ASSERT_EQ(indexCut.size(), 1303u);
    EXPECT_EQ(parse(indexCut).comPortIndex, -1);
    std::string indexWhole = head + std::string(1300 - head.size() - 4, 'z') + "\r12\r";
    ASSERT_EQ(indexWhole.size(), 1300u);
    EXPECT_EQ(parse(indexWhole).comPortIndex, 11);
    EXPECT_EQ(parse(indexWhole + "junk\r").comPortIndex, 11);
}

TEST(SettingsFormat, UnreadableTextsAreNeverWritten) {
    Preferences p;
    p.lastFile = "";
    p.language = "";
    p.recentFiles = {"C:\\one\rtwo.FWX", "", "2024\\plan.FWX", "C:\\ok.FWX", std::string("C:\\n\0l", 6),
                     "C:\\" + std::string(300, 'q'), "E:\\e.FWX", "F:\\f.FWX", "G:\\g.FWX", "H:\\h.FWX"};
    p.comPortIndex = 2;
    const std::string bytes = formatSettings(p);
    EXPECT_EQ(bytes, "Unknow\r0\r0\r1\r0\r0\r0\r0\rC:\\ok.FWX\rE:\\e.FWX\rF:\\f.FWX\rG:\\g.FWX\r3\r");
    Preferences back = parse(bytes);
    EXPECT_EQ(back.comPortIndex, 2);

    Preferences cr;
    cr.lastFile = "C:\\a\rb";
    cr.language = std::string(45, 'L');
    cr.downloadVia = 2;
    Preferences crBack = parse(formatSettings(cr));
    EXPECT_EQ(crBack.lastFile, "Unknow");
    EXPECT_EQ(crBack.downloadVia, 2);   // no field shifted
    EXPECT_EQ(crBack.language, std::string(40, 'L'));
}

TEST(SettingsFormat, LongRecentPathsNeverPushThePortIndexPastTheCap) {
    Preferences p;
    p.lastFile = "C:\\" + std::string(257, 'l');
    p.language = std::string(40, 'L');
    for (char c : {'a', 'b', 'c', 'd'}) p.recentFiles.push_back("C:\\" + std::string(257, c));
    p.comPortIndex = 126;
    const std::string bytes = formatSettings(p);
    EXPECT_LE(bytes.size(), kSettingsFileCap);
    Preferences back = parse(bytes);
    EXPECT_EQ(back.comPortIndex, 126);
    ASSERT_EQ(back.recentFiles.size(), 3u);   // the oldest gave way
    EXPECT_EQ(back.recentFiles[2], p.recentFiles[2]);
}

// Names are UTF-8 now; an older designer wrote them in the system's ANSI
// code page. Such a name is read through that code page (Windows-1252 when
// none is given), a UTF-8 one never is, and the length limit counts
// characters, not bytes.
TEST(SettingsFormat, OldAnsiNamesAreConvertedAndLimitsCountCharacters) {
    const std::string greek = "C:\\\xCE\x91\xCF\x80\xCE\xBF\xCE\xB8\xCE\xAE\xCE\xBA\xCE\xB7 \xE5\x80\x89\xE5\xBA\xAB.FWX";
    const std::string head = "C:\\M\xFCller.FWX\r0\r0\r1\r0\r1\r0\r0\r";
    const std::string bytes = head + greek + "\rC:\\\xC0\xC1.FWX\r3\r";
    Preferences p = parse(bytes);
    EXPECT_EQ(p.lastFile, "C:\\M\xC3\xBCller.FWX");
    EXPECT_EQ(p.recentFiles, (std::vector<std::string>{greek, "C:\\\xC3\x80\xC3\x81.FWX"}));
    EXPECT_EQ(p.comPortIndex, 2);

    // A Cyrillic system: C0 C1 are "АБ" there.
    SystemCodePageReader cyrillic = [](std::string_view old) {
        std::string out;
        for (char c : old) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80) out += c;
            else if (b == 0xC0 || b == 0xC1) out += {char(0xD0), char(0x90 + (b - 0xC0))};
            else out += '?';
        }
        return out;
    };
    Preferences q;
    parseSettings(bytes.data(), bytes.size(), q, cyrillic);
    EXPECT_EQ(q.recentFiles, (std::vector<std::string>{greek, "C:\\\xD0\x90\xD0\x91.FWX"}));
    // Written back as UTF-8, it reads as the same names.
    Preferences back = parse(formatSettings(q));
    EXPECT_EQ(back.recentFiles, q.recentFiles);
    EXPECT_EQ(q.lastFile, "C:\\M?ller.FWX");
    EXPECT_EQ(back.lastFile, q.lastFile);

    // 260 characters of three bytes each are a name; 261 are none.
    std::string name = "C:\\";
    while (pathUnits(name) < kMaxPathChars) name += "\xE5\x80\x89";
    ASSERT_EQ(name.size(), 3u + 3 * 257);
    Preferences wide;
    wide.lastFile = name;
    EXPECT_EQ(parse(formatSettings(wide)).lastFile, name);
    wide.lastFile = "C:\\a.FWX";
    wide.recentFiles = {name, name + "\xE5\x80\x89"};
    EXPECT_EQ(parse(formatSettings(wide)).recentFiles, std::vector<std::string>{name});
    EXPECT_EQ(parse("C:\\" + std::string(name.substr(3)) + "\xE5\x80\x89\r").lastFile, "Unknow");
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = settingsPath(dir.string() + static_cast<char>(fs::path::preferred_separator));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir;
    std::string path;
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefaults) {
    EXPECT_EQ(fs::path(path).filename().string(), "FWK400.ini");
    Preferences p = fullPreferences();
    EXPECT_FALSE(readSettings(path, p));
    expectSame(p, Preferences{});
    EXPECT_EQ(startupFile(p), "");

    { std::ofstream(path, std::ios::binary); }   // empty
    p = fullPreferences();
    EXPECT_FALSE(readSettings(path, p));
    expectSame(p, Preferences{});
}

TEST_F(SettingsFileTest, WriteReplacesTheFileAndReadsBack) {
    { std::ofstream(path, std::ios::binary) << std::string(5000, 'o'); }
    const Preferences p = fullPreferences();
    ASSERT_TRUE(writeSettings(path, p));
    EXPECT_EQ(contents(), formatSettings(p));
    Preferences back;
    ASSERT_TRUE(readSettings(path, back));
    expectSame(back, p);
    EXPECT_EQ(startupFile(back), "C:\\Programs\\stock.FWX");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    back.autoPreload = false;
    EXPECT_EQ(startupFile(back), "");
    back.autoPreload = true;
    back.lastFile = "Unknow";
    EXPECT_EQ(startupFile(back), "");
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(writeSettings(path, fullPreferences()));
    const std::string before = contents();
    EXPECT_FALSE(writeSettings((dir / "missing" / "FWK400.ini").string(), Preferences{}));
    EXPECT_FALSE(writeSettings("", Preferences{}));
    // A folder in the way of the file: the write fails and the folder stays.
    fs::create_directories(dir / "taken");
    EXPECT_FALSE(writeSettings((dir / "taken").string(), Preferences{}));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    EXPECT_EQ(contents(), before);
}

TEST(PreferencesDialogRules, PortSelectionAndCradleButton) {
    const std::vector<std::string> ports = {"COM1", "COM30", "COM3", "COM4"};
    Preferences p;
    p.comPortNumber = 3;
    EXPECT_EQ(selectPort(p, ports), 2);   // COM30 is not COM3
    EXPECT_EQ(p.comPortIndex, 2);

    Preferences gone;
    gone.comPortNumber = 9;
    EXPECT_EQ(selectPort(gone, ports), 0);   // not in the list: the first port
    EXPECT_EQ(gone.comPortIndex, -1);
    gone.comPortIndex = 7;
    EXPECT_EQ(selectPort(gone, ports), 0);
    EXPECT_EQ(selectPort(gone, {}), -1);

    EXPECT_TRUE(detectCradleEnabled(0, 2));
    EXPECT_TRUE(detectCradleEnabled(1, 0));
    EXPECT_FALSE(detectCradleEnabled(1, 2));
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

// Where the settings live: beside the program while that folder is
// writable, else in the user's folder; read from where they are written
// when they are there.
TEST(SettingsPlace, WrittenBesideAWritableProgramElseInTheUserFolder) {
    const fs::path beside = "prog/FWK400.ini", user = "appdata/Formwright/FWK400.ini";
    static bool besideThere, userThere;
    auto exists = [](const fs::path& p) { return p == "prog/FWK400.ini" ? besideThere : userThere; };

    // An existing install in a writable folder keeps its file.
    besideThere = true, userThere = false;
    SettingsFiles f = chooseSettingsFiles(beside, true, user, exists);
    EXPECT_EQ(f.readFrom, beside);
    EXPECT_EQ(f.writeTo, beside);
    EXPECT_EQ(f.fallback, user);

    // Unpacked under Program Files with a file beside it: that file is read
    // once, every write goes to the user's folder...
    f = chooseSettingsFiles(beside, false, user, exists);
    EXPECT_EQ(f.readFrom, beside);
    EXPECT_EQ(f.writeTo, user);
    EXPECT_TRUE(f.fallback.empty());
    // ...and is read from there first next time.
    userThere = true;
    EXPECT_EQ(chooseSettingsFiles(beside, false, user, exists).readFrom, user);
    // A folder made writable again still finds the user's file until one is
    // written beside the program.
    besideThere = false;
    f = chooseSettingsFiles(beside, true, user, exists);
    EXPECT_EQ(f.readFrom, user);
    EXPECT_EQ(f.writeTo, beside);
    // Without a user folder there is only the program's.
    f = chooseSettingsFiles(beside, false, fs::path(), exists);
    EXPECT_EQ(f.writeTo, beside);
    EXPECT_EQ(f.readFrom, beside);
}

TEST_F(SettingsFileTest, AWriteThatFailsGoesToTheFallbackAndARereadNeverGivesDefaults) {
    SettingsFiles files{dir / "gone" / "FWK400.ini", dir / "gone" / "FWK400.ini",
                        dir / "user" / "Formwright" / "FWK400.ini"};
    const Preferences p = fullPreferences();
    ASSERT_TRUE(storeSettings(files, p));
    EXPECT_EQ(files.writeTo, dir / "user" / "Formwright" / "FWK400.ini");
    EXPECT_EQ(files.readFrom, files.writeTo);
    EXPECT_TRUE(files.fallback.empty());
    Preferences back;
    ASSERT_TRUE(rereadSettings(files, back));
    expectSame(back, p);

    // A file that cannot be read again leaves what is in memory.
    fs::remove(files.writeTo);
    Preferences kept = p;
    EXPECT_FALSE(rereadSettings(files, kept));
    expectSame(kept, p);
    // No fallback: the failure is reported and nothing moves.
    SettingsFiles only = settingsAt(dir / "gone" / "FWK400.ini");
    EXPECT_FALSE(storeSettings(only, p));
    EXPECT_EQ(only.writeTo, dir / "gone" / "FWK400.ini");
}

}  // namespace
}  // namespace fw
