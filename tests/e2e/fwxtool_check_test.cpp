// fwxtool check and report on real programs: the guide's example, every
// file of the round-trip corpus, and files that are no program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/e2e/scratch_folder_test.h"
#include "tools/fwxtool/check_commands.h"
#include "tools/fwxtool/commands.h"

namespace fw::tool {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = FW_SOURCE_DIR;

class CheckCommands : public test::ScratchFolderTest {
protected:
    int check(const std::string& program, bool json) {
        out_.str({});
        err_.str({});
        return commandCheck(program, json, out_, err_);
    }
    int report(const std::string& program, const std::string& page) {
        out_.str({});
        err_.str({});
        return commandReport(program, page, out_, err_);
    }
    std::ostringstream out_, err_;
};

TEST_F(CheckCommands, GuideExampleHasNoErrorAndAFullReport) {
    const std::string example = (kSource / "docs/example/stock-count.json").string();
    EXPECT_EQ(check(example, true), 0) << out_.str() << err_.str();
    const auto doc = nlohmann::json::parse(out_.str());
    EXPECT_EQ(doc["errors"], 0);
    EXPECT_EQ(doc["findings"].size(), doc["warnings"].get<std::size_t>());

    const std::string page = path("stock.html");
    ASSERT_EQ(report(example, page), 0) << err_.str();
    std::ifstream in(page);
    std::stringstream html;
    html << in.rdbuf();
    EXPECT_NE(html.str().find("<h1>stock-count.json</h1>"), std::string::npos);
    EXPECT_NE(html.str().find("<svg"), std::string::npos);
}

// Every program of the fuzzing corpora: checked and reported without a
// fault; a file that is no program is trouble (2), never a crash.
TEST_F(CheckCommands, EveryCorpusFileIsCheckedOrRefused) {
    int programs = 0;
    for (const char* corpus : {"fuzz_program_round_trip", "fuzz_program_file", "fuzz_program_document"}) {
        for (const auto& entry : fs::directory_iterator(kSource / "tests/fuzz/corpus" / corpus)) {
            const std::string file = entry.path().string();
            const int status = check(file, false);
            EXPECT_TRUE(status == 0 || status == 1 || status == 2) << file;
            if (status == 2) {
                EXPECT_FALSE(err_.str().empty()) << file;
                continue;
            }
            ++programs;
            EXPECT_NE(out_.str().find(" warning"), std::string::npos) << file;
            EXPECT_EQ(report(file, path(entry.path().filename().string() + ".html")), 0) << file << err_.str();
        }
    }
    EXPECT_GE(programs, 4);
}

TEST_F(CheckCommands, ExitStatusSaysWhetherThereIsAnError) {
    const std::string program = path("NEW.FWX");
    ASSERT_EQ(run({"new", program}, out_, err_), kExitOk);
    // A new program has nothing to run: one error.
    EXPECT_EQ(check(program, false), 1);
    EXPECT_NE(out_.str().find("error settings.startFrom: "), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("1 error, 0 warnings"), std::string::npos) << out_.str();

    EXPECT_EQ(check(path("missing.fwx"), false), 2);
    EXPECT_EQ(report(program, path("no-such-folder/r.html")), 2);
    EXPECT_NE(err_.str().find("cannot write"), std::string::npos);
    // From the command line; without -o the page goes beside the program.
    EXPECT_EQ(run({"report", program}, out_, err_), 0) << err_.str();
    EXPECT_TRUE(fs::exists(path("NEW.html")));
    EXPECT_EQ(run({"report", program, "-o", path("r.html")}, out_, err_), 0);
    EXPECT_TRUE(fs::exists(path("r.html")));
    EXPECT_EQ(run({"check", "--json", program}, out_, err_), 1);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "a", "b"}, {"check", program, "-o", "x"}, {"report", program, "-o"},
             {"report", program, "--json"}})
        EXPECT_EQ(run(bad, out_, err_), 2) << bad.size();
}

}  // namespace
}  // namespace fw::tool
