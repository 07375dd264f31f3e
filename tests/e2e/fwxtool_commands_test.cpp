#include "tests/e2e/scratch_folder_test.h"
#include "tools/fwxtool/commands.h"
#include "tools/fwxtool/file_commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"

namespace fw::tool {
namespace {

namespace fs = std::filesystem;

class ScratchDir : public test::ScratchFolderTest {
protected:
};

TEST(SummaryNames, TargetsAndCharacters) {
    EXPECT_EQ(targetName(0), "main");
    EXPECT_EQ(targetName(1), "form 1");
    EXPECT_EQ(targetName(10), "form 10");
    EXPECT_EQ(targetName(11), "menu 1");
    EXPECT_EQ(targetName(20), "menu 10");
    EXPECT_EQ(targetName(21), "invalid (21)");

    EXPECT_EQ(characterName(0), "nil");
    EXPECT_EQ(characterName(','), "\",\"");
    EXPECT_EQ(characterName(9), "HT");
    EXPECT_EQ(characterName(' '), "SP");
    EXPECT_EQ(characterName(0x7F), "DEL");
    EXPECT_EQ(characterName(0xE9), "233");
}

TEST(Summary, ListsWhatIsInUse) {
    auto m = std::make_unique<ProgramModel>();
    m->settings.startFrom = 1;
    m->settings.delimiter1 = ';';
    m->settings.delimiter2 = 9;
    m->settings.largeFont = 1;

    FormDef& f = m->forms[1];
    f.dataType[0] = kTypeText;
    f.dataType[3] = kTypeLookup;
    f.dataType[7] = kTypePrompt;
    f.nextTarget = targetMenu(2);
    f.escTarget = kTargetMain;
    m->forms[5].dataType[2] = kTypeInteger;
    m->forms[5].nextTarget = targetForm(6);
    m->forms[5].escTarget = targetForm(3);

    MenuDef& menu = m->menus[2];
    menu.font = 1;
    menu.captionOn = 1;
    setFieldText(menu.caption, "Stock \"A\"   ");
    setFieldText(menu.itemName[0], "Count");
    setFieldText(menu.itemName[1], "   ");
    setFieldText(menu.itemName[4], "Ship");
    setFieldText(m->menus[7].itemName[9], "Only");
    setFieldText(m->menus[7].caption, "Hidden");

    m->lookups[0].memberLength = 20;
    m->lookups[0].fieldCount = 2;
    m->lookups[1].memberLength = 9;
    m->lookups[1].fieldCount = 1;
    m->lookups[1].delimiter = ',';
    m->lookups[2].memberLength = 30;  // no fields: not defined

    std::ostringstream os;
    writeSummary(*m, os);
    EXPECT_EQ(os.str(),
              "program start: menu 1\n"
              "delimiters: \";\" and HT\n"
              "large font: on\n"
              "forms in use: 2\n"
              "  form 2: 3 lines, next menu 2, esc main\n"
              "  form 6: 1 line, next form 6, esc form 3\n"
              "menus in use: 2\n"
              "  menu 3: 2 items, caption \"Stock \\\"A\\\"\"\n"
              "  menu 8: 1 item, caption \"Hidden\" (not shown)\n"
              "lookups defined: 2\n"
              "  lookup 1: 2 fields, fixed length, member length 20\n"
              "  lookup 2: 1 field, delimiter \",\"\n");
    // Counting items must not normalise the caller's model.
    EXPECT_EQ(fieldText(menu.itemName[0]), "Count");
    EXPECT_EQ(menu.itemCount, 0);
}

TEST(Run, UsageErrorsGoToTheErrorStream) {
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {}, {"--frob"}, {"convert", "a"}, {"info", ""}}) {
        std::ostringstream out, err;
        EXPECT_EQ(run(bad, out, err), kExitUsage) << bad.size();
        EXPECT_FALSE(err.str().empty());
        EXPECT_TRUE(out.str().empty());
    }
}

TEST(Run, VersionGoesToStandardOutputAsNameAndThreeNumbers) {
    std::ostringstream out, err;
    EXPECT_EQ(run({"--version"}, out, err), kExitOk);
    EXPECT_TRUE(err.str().empty());
    // Scripts compare it: "fwxtool MAJOR.MINOR.PATCH" and nothing else.
    int major = -1, minor = -1, patch = -1;
    char end = 0;
    EXPECT_EQ(std::sscanf(out.str().c_str(), "fwxtool %d.%d.%d%c", &major, &minor, &patch, &end), 4) << out.str();
    EXPECT_EQ(end, '\n');
    EXPECT_GE(major, 4);
}

TEST_F(ScratchDir, OlderFileConvertsOntoNewDefaults) {
    {
        std::ofstream f(path("old.k2x"), std::ios::binary);
        std::string bytes(10510, '\0');
        bytes.replace(0, 8, "K2x-3.10");
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::ostringstream out, err;
    ASSERT_EQ(commandConvert(path("old.k2x"), path("conv"), out, err), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "read " + path("old.k2x") + ": older (K2x-3.10)\nsaved " +
                             path("conv.FWX") + "\n");
    EXPECT_EQ(fs::file_size(path("conv.FWX")), 18942u);

    // Fields the conversion does not write keep New's values: a new
    // program's acoustic coupler pad character is a space.
    std::ifstream f(path("conv.FWX"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const std::size_t settings = 18574;
    EXPECT_EQ(bytes[settings + 69 + 10], ' ');
    EXPECT_EQ(bytes[settings + 0], 2);  // version
}

TEST_F(ScratchDir, FailuresAreReportedOnErrorStream) {
    std::ostringstream out, err;
    EXPECT_EQ(commandInfo(path("none.FWX"), out, err), kExitFailure);
    EXPECT_EQ(err.str(), "fwxtool: cannot open '" + path("none.FWX") + "'\n");
    EXPECT_TRUE(out.str().empty());

    {
        std::ofstream f(path("bad.FWX"), std::ios::binary);
        f << std::string(18942, 'x');
    }
    err.str("");
    EXPECT_EQ(commandImage(path("bad.FWX"), path("bad.bin"), out, err), kExitFailure);
    EXPECT_NE(err.str().find("Format mismatch !!!"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("bad.bin")));
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace fw::tool
