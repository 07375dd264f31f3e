#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include "shell/settings_file.h"

namespace fw {
namespace {

const ScreenRect kMain{0, 0, 1920, 1040};        // the taskbar below
const ScreenRect kLeft{-1280, 0, 0, 984};        // a second monitor on its left

ScreenRect terminalAt(int x, int y) { return {x, y, x + 315, y + 696}; }

TEST(WindowPlacement, TheWindowStaysWhereTheUserLeftItWhileAMonitorShowsEnough) {
    EXPECT_EQ(keepOnScreen(terminalAt(300, 50), {kMain}), (ScreenPoint{300, 50}));
    EXPECT_EQ(keepOnScreen(terminalAt(-900, 100), {kMain, kLeft}), (ScreenPoint{-900, 100}));
    // Mostly off the edge, but a corner big enough to grab stays in sight.
    EXPECT_EQ(keepOnScreen(terminalAt(1920 - 48, 1040 - 48), {kMain}), (ScreenPoint{1872, 992}));
    EXPECT_EQ(keepOnScreen(terminalAt(-315 + 48, -696 + 48), {kMain}), (ScreenPoint{-267, -648}));
    // No monitors known: nothing to judge by.
    EXPECT_EQ(keepOnScreen(terminalAt(-5000, 7), {}), (ScreenPoint{-5000, 7}));
}

TEST(WindowPlacement, AWindowOnAMonitorThatIsGoneComesBackOnTheNearestOne) {
    // The left monitor was unplugged: the window comes onto the main one,
    // at its left edge, at the same height.
    EXPECT_EQ(keepOnScreen(terminalAt(-900, 100), {kMain}), (ScreenPoint{0, 100}));
    // Only a sliver shows: not enough to grab.
    EXPECT_EQ(keepOnScreen(terminalAt(1920 - 47, 200), {kMain}), (ScreenPoint{1920 - 315, 200}));
    // Below a smaller desktop: wholly inside, above the taskbar.
    EXPECT_EQ(keepOnScreen(terminalAt(400, 2000), {kMain, kLeft}), (ScreenPoint{400, 1040 - 696}));
    // Far to the left of both: onto the left monitor, the nearer one.
    EXPECT_EQ(keepOnScreen(terminalAt(-4000, 100), {kMain, kLeft}), (ScreenPoint{-1280, 100}));
    // A window larger than the monitor keeps its top-left corner inside.
    EXPECT_EQ(keepOnScreen({3000, 3000, 3000 + 2000, 3000 + 1200}, {kMain}), (ScreenPoint{0, 0}));
}

TEST(WindowPlacement, ADialogCentresOverItsOwnerOnTheOwnersMonitor) {
    EXPECT_EQ(centreOver({-900, 100, -585, 796}, 215, 96, kLeft), (ScreenPoint{-850, 400}));
    // Near the monitor's edge it is pulled in, not pushed onto the next one.
    EXPECT_EQ(centreOver({-300, 100, 15, 796}, 415, 96, kLeft), (ScreenPoint{-415, 400}));
}

TEST(WindowPlacement, ThePositionIsKeptInTheSettingsWhichOlderFilesStillRead) {
    Preferences prefs;
    prefs.comPortIndex = 2;
    prefs.hasWindowPosition = true;
    prefs.windowX = -1000;
    prefs.windowY = 25;
    const std::string text = formatSettings(prefs);
    EXPECT_NE(text.find("\r3\rWindow=-1000,25\r"), std::string::npos);
    Preferences back;
    parseSettings(text.data(), text.size(), back);
    EXPECT_TRUE(back.hasWindowPosition);
    EXPECT_EQ(back.windowX, -1000);
    EXPECT_EQ(back.windowY, 25);
    EXPECT_EQ(back.comPortIndex, 2);

    // A file written before the position was kept: no position, nothing lost.
    const std::string older = "Unknow\r0\r0\r1\r0\r0\r0\r0\r3\r";
    parseSettings(older.data(), older.size(), back);
    EXPECT_FALSE(back.hasWindowPosition);
    EXPECT_EQ(back.comPortIndex, 2);
    // Never written when unset.
    EXPECT_EQ(formatSettings(Preferences{}).find("Window="), std::string::npos);

    // A damaged field gives no position; the rest still reads.
    for (const char* bad : {"Window=", "Window=12", "Window=1,2,3", "Window=a,b", "Window=1,-", "Window=--1,2",
                            "Window=99999999999999999999,1", "window=1,2", "Window=1, 2"}) {
        const std::string damaged = older + bad + "\r";
        parseSettings(damaged.data(), damaged.size(), back);
        EXPECT_FALSE(back.hasWindowPosition) << bad;
        EXPECT_EQ(back.comPortIndex, 2) << bad;
    }
}

}  // namespace
}  // namespace fw
