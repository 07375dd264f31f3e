#include <gtest/gtest.h>

#include "shell/command_line.h"

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
