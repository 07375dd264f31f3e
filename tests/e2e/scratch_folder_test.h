// What fwxtool's tests share: a folder of the test's own, made fresh before
// it and removed after it, and fwxtool run in this process on its arguments.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tools/fwxtool/commands.h"

namespace fw::test {

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("fw_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // The bytes of a file in the folder (or anywhere, given a full path).
    std::string readFile(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A new program with the test's own changes, saved in the folder.
    std::string saveNewProgram(const std::function<void(ProgramModel&)>& change,
                               const std::string& name = "prog.FWX") const {
        auto defaults = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*defaults);
        auto m = std::make_unique<ProgramModel>();
        newProgram(*m, *defaults);
        change(*m);
        const std::string file = path(name);
        EXPECT_TRUE(saveProgram(*m, file));
        return file;
    }

    // The image a download of `file` must deliver: as `fwxtool image` writes it.
    std::vector<uint8_t> expectedImage(const std::string& file) const;

    std::filesystem::path dir_;
};

// One run of fwxtool: its exit status, what it printed and how long it took.
struct Ran {
    int status = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

inline Ran runFwxtool(const std::vector<std::string>& args) {
    Ran ran;
    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    ran.status = tool::run(args, out, err);
    ran.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ran.out = out.str();
    ran.err = err.str();
    return ran;
}

inline std::vector<uint8_t> ScratchFolderTest::expectedImage(const std::string& file) const {
    const Ran ran = runFwxtool({"image", file, path("expected.bin")});
    EXPECT_EQ(ran.status, 0) << ran.err;
    const std::string bytes = readFile("expected.bin");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace fw::test
