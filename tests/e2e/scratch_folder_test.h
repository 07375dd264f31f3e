// What fwxtool's tests share: a folder of the test's own, made fresh before
// it and removed after it, and fwxtool run in this process on its arguments.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

}  // namespace fw::test
