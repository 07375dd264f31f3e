#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/instance_lock.h"

namespace fw {
namespace {

TEST(DesignerCommandLine, TakesTheQuotedPathOrTheWholeLine) {
    // As the file association passes it, and with what a shell may add.
    EXPECT_EQ(programFileArgument("\"C:\\My Programs\\stock.FWX\""), "C:\\My Programs\\stock.FWX");
    EXPECT_EQ(programFileArgument("  \"C:\\a b\\c.FWX\"  /extra"), "C:\\a b\\c.FWX");
    // Typed without quotes: spaces belong to the path.
    EXPECT_EQ(programFileArgument("C:\\My Programs\\stock.FWX \r\n"), "C:\\My Programs\\stock.FWX");
    // An unclosed quote runs to the end.
    EXPECT_EQ(programFileArgument("\"C:\\x.FWX "), "C:\\x.FWX");
    // Nothing to open.
    EXPECT_EQ(programFileArgument(""), "");
    EXPECT_EQ(programFileArgument("   \t"), "");
    EXPECT_EQ(programFileArgument("\"\""), "");
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(DesignerLock, OneNamePerSettingsFolderHoweverItIsSpelled) {
    const std::string here = designerLockName(std::filesystem::path("/Users/Anna/Formwright") / "FWK400.ini");
    EXPECT_EQ(here.rfind("Formwright.Designer.", 0), 0u) << here;
    EXPECT_EQ(here.find_first_of("\\/"), std::string::npos) << "a lock name holds no separator";
    EXPECT_EQ(designerLockName(std::filesystem::path("/users/ANNA/formwright/") / "FWK400.ini"), here);
    // Another folder (another install, another user): another lock.
    EXPECT_NE(designerLockName(std::filesystem::path("/Users/Ben/Formwright") / "FWK400.ini"), here);
    EXPECT_NE(designerLockName(std::filesystem::path(u8"/Users/Anna/Formwright \u03A9") / "FWK400.ini"), here);
}

}  // namespace
}  // namespace fw
