// fwxtool simulate on programs made with fwxtool in the test itself: the
// display it prints, the records it lists and writes, and its failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/e2e/scratch_folder_test.h"
#include "tools/fwxtool/commands.h"

namespace fw::tool {
namespace {

namespace fs = std::filesystem;

class Simulate : public test::ScratchFolderTest {
protected:
    int fwxtool(const std::vector<std::string>& args) {
        out_.str({});
        err_.str({});
        return run(args, out_, err_);
    }

    // A program made by `fwxtool new`, then given a form: an item text with
    // a TAB suffix, a quantity fixed at three digits, the date and time at
    // the end, saved to the one data file and starting again.
    std::string shopProgram() {
        const std::string file = path("SHOP.FWX");
        EXPECT_EQ(fwxtool({"new", file}), kExitOk) << err_.str();
        auto texts = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*texts);
        auto m = std::make_unique<ProgramModel>();
        newProgram(*m, *texts);
        EXPECT_TRUE(loadProgram(*m, *texts, file).ok());
        m->settings.delimiter1 = ',';
        m->settings.delimiter2 = 0;
        FormDef& f = m->forms[0];
        f.dataType[0] = kTypeText;
        setFieldText(f.prompt[0], "ITEM:");
        f.maxLength[0] = 10;
        f.suffixOn[0] = 1;
        setFieldText(f.suffixCode[0], "\t");
        f.dataType[1] = kTypeInteger;
        setFieldText(f.prompt[1], "QTY:");
        f.maxLength[1] = 3;
        f.fixedLengthOn[1] = 1;
        f.fixedLength[1] = 3;
        f.alignment[1] = 3;
        f.recordAction = 0;
        f.nextTarget = targetForm(1);
        f.escTarget = kTargetMain;
        f.stampPosition = 2;
        f.stampDateStyle = 0;
        f.stampYear = f.stampMonth = f.stampDay = 1;
        f.stampYearDigits = 0;
        f.stampDateSepOn = 1;
        setFieldText(f.stampDateSep, "/");
        f.stampSplit = 1;
        f.stampHour = f.stampMinute = 1;
        f.stampSecond = 0;
        f.stampTimeSepOn = 1;
        setFieldText(f.stampTimeSep, ":");
        EXPECT_TRUE(saveProgram(*m, file));
        return file;
    }

    static std::string bytesOf(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(Simulate, TwoRecordsPrintedAndWrittenAsAReceiveWould) {
    const std::string program = shopProgram();
    const std::string records = path("DATA.TXT");
    ASSERT_EQ(fwxtool({"simulate", program, "--time", "2024-01-05T14:30:00", "--keys",
                       "1 \"AB1\" ENT \"7\" ENT wait 60 \"C\" ENT \"12\" ENT ESC", "--records", records}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(err_.str(), "");
    EXPECT_EQ(out_.str(),
              R"(>|1.Collect   |
 |2.Upload    |
 |3.Utilities |
 |            |
 |                |
 |                |
 |                |
 |                |
  JAN05 14:31 0002
records: 2, saved: 2
No.   Form     Record action         Data file         Record
    1 form 1   save                  data file         AB1<TAB>,007,2024/01/05,14:30
    2 form 1   save                  data file         C<TAB>,012,2024/01/05,14:31
)");
    EXPECT_EQ(bytesOf(records), "AB1\t,007,2024/01/05,14:30\r\nC\t,012,2024/01/05,14:31\r\n");
}

TEST_F(Simulate, TraceShowsEveryStep) {
    const std::string program = shopProgram();
    ASSERT_EQ(fwxtool({"simulate", program, "--time", "2024-01-05T14:30:00", "--trace", "--keys", "1 \"A\""}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(out_.str(),
              R"(start
>|1.Collect   |
 |2.Upload    |
 |3.Utilities |
 |            |
 |                |
 |                |
 |                |
 |                |
  JAN05 14:30 0000
1
 |ITEM:           |
 |QTY:            |
 |                |
 |                |
 |                |
 |                |
 |                |
 |                |
"A"
 |ITEM:A          |
 |QTY:            |
 |                |
 |                |
 |                |
 |                |
 |                |
 |                |
records: 0, saved: 0
)");
}

TEST_F(Simulate, BadScriptsAndFilesAndTimes) {
    const std::string program = shopProgram();
    EXPECT_EQ(fwxtool({"simulate", program, "--keys", "1 \"AB\"\nENTR"}), kExitUsage);
    EXPECT_EQ(err_.str(), "fwxtool simulate: --keys: line 2, column 1: unknown key 'ENTR'\n");

    const std::string script = path("keys.txt");
    std::ofstream(script) << "# collect\n1 \"a\"\n";
    EXPECT_EQ(fwxtool({"simulate", program, "--keys-file", script}), kExitUsage);
    EXPECT_NE(err_.str().find(script + ": line 2, column 4: 'a' in '\"a' cannot be typed"), std::string::npos)
        << err_.str();
    EXPECT_EQ(fwxtool({"simulate", program, "--keys-file", path("none.txt")}), kExitFailure);
    EXPECT_EQ(fwxtool({"simulate", path("none.FWX")}), kExitFailure);
    EXPECT_EQ(fwxtool({"simulate", program, "--time", "2024-02-30T00:00:00"}), kExitUsage);
    EXPECT_EQ(fwxtool({"simulate", program, "--keys", "1", "--keys-file", script}), kExitUsage);
    EXPECT_EQ(fwxtool({"simulate"}), kExitUsage);
    EXPECT_EQ(fwxtool({"simulate", program, "--records", path("no/such/folder/DATA.TXT"), "--keys", "1 ENT"}),
              kExitFailure);
    EXPECT_EQ(fwxtool({"simulate", "--help"}), kExitOk);
    EXPECT_NE(out_.str().find("wait N"), std::string::npos);

    // A program with nothing to run: Collect has nowhere to go.
    const std::string empty = path("EMPTY.FWX");
    ASSERT_EQ(fwxtool({"new", empty}), kExitOk);
    EXPECT_EQ(fwxtool({"simulate", empty, "--keys", "DOWN UP 1"}), kExitFailure);
    EXPECT_NE(err_.str().find("line 1, column 9: 1: No executable program"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace fw::tool
