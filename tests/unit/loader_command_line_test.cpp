// The downloader's command line and its "fwx_load.ini".

#include "loader/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "loader/last_folder.h"

namespace fw::loader {
namespace {

TEST(LoaderCommandLine, ReadsLinkPortAndSpeedAtTheirPlacesAfterTheComma) {
    CommandLine c = parseCommandLine("C:\\Programs\\STOCK.FWX,2,3,1");
    EXPECT_EQ(c.file, "C:\\Programs\\STOCK.FWX");
    EXPECT_TRUE(c.silent);
    EXPECT_EQ(c.choices.link, kLinkCradleIr);
    EXPECT_EQ(c.choices.port, 2);    // COM3
    EXPECT_EQ(c.choices.speed, 0);   // 115200

    c = parseCommandLine("a.fwx,1,6,5");
    EXPECT_EQ(c.choices.link, kLinkRs232);
    EXPECT_EQ(c.choices.port, 5);    // COM6
    EXPECT_EQ(c.choices.speed, 4);   // 9600

    // Only the places count; what lies between them is not read.
    c = parseCommandLine("a.fwx,2x4y3");
    EXPECT_EQ(c.choices.link, kLinkCradleIr);
    EXPECT_EQ(c.choices.port, 3);
    EXPECT_EQ(c.choices.speed, 2);
}

TEST(LoaderCommandLine, DigitsOutsideTheirRangeOrMissingLeaveZero) {
    for (const char* text : {"a.fwx,3,7,6", "a.fwx,0,0,0", "a.fwx,x,y,z", "a.fwx,", "a.fwx,,,,,,"}) {
        const CommandLine c = parseCommandLine(text);
        EXPECT_EQ(c.choices.link, 0) << text;
        EXPECT_EQ(c.choices.port, 0) << text;
        EXPECT_EQ(c.choices.speed, 0) << text;
        EXPECT_EQ(c.file, "a.fwx") << text;
    }
    // Each choice stands alone: a bad port keeps the good link and speed.
    const CommandLine c = parseCommandLine("a.fwx,2,8,3");
    EXPECT_EQ(c.choices.link, kLinkCradleIr);
    EXPECT_EQ(c.choices.port, 0);
    EXPECT_EQ(c.choices.speed, 2);
    // A line that stops early.
    EXPECT_EQ(parseCommandLine("a.fwx,2,4").choices.port, 3);
    EXPECT_EQ(parseCommandLine("a.fwx,2,4").choices.speed, 0);
}

TEST(LoaderCommandLine, WithoutACommaOnlyTheFileIsGiven) {
    CommandLine c = parseCommandLine("D:\\work\\inventory.fwx");
    EXPECT_EQ(c.file, "D:\\work\\inventory.fwx");
    EXPECT_TRUE(c.silent);
    EXPECT_EQ(c.choices.link, 0);
    EXPECT_EQ(c.choices.port, 0);
    EXPECT_EQ(c.choices.speed, 0);

    // No file: the dialogs ask, even when choices are given.
    for (const char* text : {"", "   ", ",2,3,1"}) {
        c = parseCommandLine(text);
        EXPECT_TRUE(c.file.empty()) << text;
        EXPECT_FALSE(c.silent) << text;
    }
}

TEST(LoaderCommandLine, AQuotedPathMayHoldSpacesAndCommas) {
    CommandLine c = parseCommandLine(" \"C:\\My Programs, old\\A.FWX\",2,5,2 ");
    EXPECT_EQ(c.file, "C:\\My Programs, old\\A.FWX");
    EXPECT_EQ(c.choices.link, kLinkCradleIr);
    EXPECT_EQ(c.choices.port, 4);
    EXPECT_EQ(c.choices.speed, 1);

    c = parseCommandLine("\"C:\\My Programs\\A.FWX\"");
    EXPECT_EQ(c.file, "C:\\My Programs\\A.FWX");
    EXPECT_TRUE(c.silent);
}

TEST(LoaderCommandLine, PortNames) {
    EXPECT_EQ(portName(0), "COM1");
    EXPECT_EQ(portName(7), "COM8");
    EXPECT_EQ(portName(8), "");
    EXPECT_EQ(portName(-1), "");
}

TEST(LoaderCommandLine, AnyComPortByItsName) {
    // USB and Bluetooth adapters sit at COM9 and above: "COMnn" in place of the digit.
    CommandLine c = parseCommandLine("\"C:\\P\\A.FWX\",1,COM12,3");
    EXPECT_EQ(chosenPort(c.choices), "COM12");
    EXPECT_EQ(c.choices.speed, 2);
    c = parseCommandLine("A.FWX,2,com256,5");
    EXPECT_EQ(chosenPort(c.choices), "COM256");
    EXPECT_EQ(c.choices.link, kLinkCradleIr);
    EXPECT_EQ(c.choices.speed, 4);
    // The digit form stays as it was.
    c = parseCommandLine("A.FWX,1,6,2");
    EXPECT_EQ(chosenPort(c.choices), "COM6");
    EXPECT_EQ(c.choices.speed, 1);
    // No such port name: the first port, as for a digit out of range.
    for (const char* bad : {"A.FWX,1,COM0,2", "A.FWX,1,COM257,2", "A.FWX,1,COMX,2", "A.FWX,1,LPT1,2"})
        EXPECT_EQ(chosenPort(parseCommandLine(bad).choices), "COM1") << bad;
}

class LoaderLastFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("fwx_load ini test " + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir_);
        ini_ = (dir_ / "fwx_load.ini").string();
        std::filesystem::remove(ini_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string content() const {
        std::ifstream in(ini_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void put(const std::string& bytes) const {
        std::ofstream(ini_, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::filesystem::path dir_;
    std::string ini_;
};

TEST_F(LoaderLastFolder, HoldsTheFolderOfTheChosenFileWithoutALineEnd) {
    EXPECT_FALSE(readLastFolder(ini_).has_value());
    const std::string chosen = "C:\\Data\\Programs\\STOCK.FWX";
    ASSERT_TRUE(writeLastFolder(ini_, folderOf(chosen)));
    EXPECT_EQ(content(), "C:\\Data\\Programs");
    EXPECT_EQ(readLastFolder(ini_).value_or(""), "C:\\Data\\Programs");

    // Replaced, not appended to.
    ASSERT_TRUE(writeLastFolder(ini_, "D:"));
    EXPECT_EQ(content(), "D:");
}

TEST_F(LoaderLastFolder, ToleratesALineEndAndNamesNoFolderWhenEmpty) {
    put("C:\\Data\r\n");
    EXPECT_EQ(readLastFolder(ini_).value_or(""), "C:\\Data");
    put("");
    EXPECT_FALSE(readLastFolder(ini_).has_value());
}

TEST_F(LoaderLastFolder, RemembersPortAndSpeedBesideTheFolder) {
    ASSERT_TRUE(writeLastFolder(ini_, "C:\\Data"));
    LoaderMemory memory = readLoaderMemory(ini_);
    memory.port = "COM12";
    memory.speed = 3;
    put(formatLoaderMemory(memory));
    // A new folder keeps the port and the speed.
    ASSERT_TRUE(writeLastFolder(ini_, "D:\\\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1"));
    memory = readLoaderMemory(ini_);
    EXPECT_EQ(memory.folder, "D:\\\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1");
    EXPECT_EQ(memory.port, "COM12");
    EXPECT_EQ(memory.speed, 3);
    // A file of an older version: its folder in Windows-1252, nothing else.
    put("C:\\D\xE9p\xF4t");
    memory = readLoaderMemory(ini_);
    EXPECT_EQ(memory.folder, "C:\\D\u00E9p\u00F4t");
    EXPECT_TRUE(memory.port.empty());
    EXPECT_EQ(memory.speed, -1);
    // What is not a port or a speed is not taken.
    EXPECT_EQ(parseLoaderMemory("C:\r\nport=COM999\r\nspeed=9").port, "");
    EXPECT_EQ(parseLoaderMemory("C:\r\nport=COM999\r\nspeed=9").speed, -1);
}

TEST(LoaderFolderOf, CutsAtTheLastSeparator) {
    EXPECT_EQ(folderOf("C:\\a\\b\\c.fwx"), "C:\\a\\b");
    EXPECT_EQ(folderOf("C:\\c.fwx"), "C:");
    EXPECT_EQ(folderOf("/home/u/c.fwx"), "/home/u");
    EXPECT_EQ(folderOf("c.fwx"), "");
}

}  // namespace
}  // namespace fw::loader
