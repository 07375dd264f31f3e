#include "simulator/face_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace fw {
namespace {

TEST(FaceHitTest, EveryKeyAnswersOnItsCentreAndItsEdges) {
    for (const FaceKey& k : kFaceKeys) {
        SCOPED_TRACE(k.key);
        const int cx = (k.hitLeft + k.hitRight) / 2;
        const int cy = (k.hitTop + k.hitBottom) / 2;
        EXPECT_EQ(hitTest(cx, cy), k.key);
        EXPECT_EQ(hitTest(k.hitLeft, k.hitTop), k.key);
        EXPECT_EQ(hitTest(k.hitRight, k.hitTop), k.key);
        EXPECT_EQ(hitTest(k.hitLeft, k.hitBottom), k.key);
        EXPECT_EQ(hitTest(k.hitRight, k.hitBottom), k.key);
        // One pixel beyond each edge is body, never this key nor a neighbour.
        EXPECT_EQ(hitTest(k.hitLeft - 1, cy), 0);
        EXPECT_EQ(hitTest(k.hitRight + 1, cy), 0);
        EXPECT_EQ(hitTest(cx, k.hitTop - 1), 0);
        EXPECT_EQ(hitTest(cx, k.hitBottom + 1), 0);
    }
}

TEST(FaceHitTest, GapsBetweenKeysHitNothing) {
    EXPECT_EQ(hitTest(100, 278), 0);  // between up and down
    EXPECT_EQ(hitTest(100, 274), 0);
    EXPECT_EQ(hitTest(100, 283), 0);
    EXPECT_EQ(hitTest(100, 250), 0);  // ESC row, above the middle band
    EXPECT_EQ(hitTest(100, 305), 0);  // below the middle band, in the 13/16 row
    EXPECT_EQ(hitTest(105, 220), 0);  // between the two Enter keys
    EXPECT_EQ(hitTest(80, 320), 0);   // between 1 and 2
    EXPECT_EQ(hitTest(100, 338), 0);  // between rows
    EXPECT_EQ(hitTest(105, 100), 0);  // the display
    EXPECT_EQ(hitTest(-1, -1), 0);
    EXPECT_EQ(hitTest(500, 500), 0);
}

TEST(FaceHitTest, MiddleBandWinsOverTheRowsItOverlaps) {
    // y 260 is in the ESC/backspace row and y 290 in the "-"/"." row, but at
    // x 82-125 the up/down band is tried first and decides.
    EXPECT_EQ(hitTest(100, 260), 14);
    EXPECT_EQ(hitTest(82, 273), 14);
    EXPECT_EQ(hitTest(100, 290), 15);
    EXPECT_EQ(hitTest(125, 303), 15);
    // Left and right of the middle band those rows still work.
    EXPECT_EQ(hitTest(50, 260), 17);
    EXPECT_EQ(hitTest(160, 260), 18);
    EXPECT_EQ(hitTest(50, 290), 13);
    EXPECT_EQ(hitTest(160, 290), 16);
}

TEST(FaceKeys, TableIsConsistent) {
    std::set<int> seen;
    for (const FaceKey& k : kFaceKeys) {
        SCOPED_TRACE(k.key);
        seen.insert(k.key);
        ASSERT_EQ(faceKey(k.key), &k);
        EXPECT_EQ(k.releasedBitmapId(), 500 + k.key);
        EXPECT_EQ(k.pressedBitmapId(), 520 + k.key);
        // The hit area lies within the painted key; ESC and backspace also
        // take a three-pixel strip beside their right edge.
        const int slack = (k.key == 17 || k.key == 18) ? 3 : 0;
        EXPECT_GE(k.hitLeft, k.x);
        EXPECT_LE(k.hitRight, k.x + k.width - 1 + slack);
        EXPECT_GE(k.hitTop, k.y);
        EXPECT_LE(k.hitBottom, k.y + k.height - 1);
        // And the painted key lies within the face, clear of the display.
        EXPECT_GE(k.x, 0);
        EXPECT_LE(k.x + k.width, kFaceWidth);
        EXPECT_GT(k.y, kTextArea.bottom);
        EXPECT_LE(k.y + k.height, kFaceHeight);
    }
    EXPECT_EQ(seen.size(), 20u);
    EXPECT_EQ(faceKey(0), nullptr);
    EXPECT_EQ(faceKey(21), nullptr);
}

TEST(FaceKeys, PaintedKeysDoNotOverlap) {
    for (const FaceKey& a : kFaceKeys) {
        for (const FaceKey& b : kFaceKeys) {
            if (a.key >= b.key) continue;
            const FaceRect ra = a.drawn();
            const FaceRect rb = b.drawn();
            const bool apart = ra.right <= rb.left || rb.right <= ra.left ||
                               ra.bottom <= rb.top || rb.bottom <= ra.top;
            EXPECT_TRUE(apart) << "keys " << a.key << " and " << b.key;
        }
    }
}

TEST(FaceBitmaps, FortySixInNumberOrderWithTheKeySizes) {
    ASSERT_EQ(kFaceBitmaps.size(), 46u);
    for (std::size_t i = 0; i < kFaceBitmaps.size(); ++i) {
        EXPECT_EQ(kFaceBitmaps[i].id, 500 + static_cast<int>(i));
    }
    EXPECT_EQ(kFaceBitmaps[0].width, 210);
    EXPECT_EQ(kFaceBitmaps[0].height, 464);
    const FaceKey& k19 = *faceKey(19);
    for (int id : {k19.releasedBitmapId(), k19.pressedBitmapId()}) {
        EXPECT_EQ(kFaceBitmaps[static_cast<std::size_t>(id - 500)].width, 45);
        EXPECT_EQ(kFaceBitmaps[static_cast<std::size_t>(id - 500)].height, 39);
    }
    EXPECT_EQ(kFaceBitmaps[kBitmapCursor - 500].width, 9);
    EXPECT_EQ(kFaceBitmaps[kBitmapHighlight - 500].width, 144);
    EXPECT_EQ(kFaceBitmaps[kBitmapBlank - 500].height, 13);
    EXPECT_EQ(kFaceBitmaps[kBitmapAlphaOff - 500].width, 6);
    EXPECT_EQ(kFaceBitmaps[kBitmapAlphaOff - 500].height, 12);
}

// Everything painted on the display stays inside the text area (inclusive
// x 28-182, y 42-141), which is what the repaint rectangles cover.
TEST(FaceDisplay, EverythingPaintedStaysInTheTextArea) {
    auto inside = [](FacePoint p, int w, int h) {
        return p.x >= 28 && p.x + w - 1 <= 182 && p.y >= 42 && p.y + h - 1 <= 141;
    };
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 16; ++col) {
            EXPECT_TRUE(inside(cursorPosition(col, row), 9, 13)) << col << "," << row;
        }
        EXPECT_TRUE(inside(highlightBarPosition(row, false), 144, 13)) << row;
    }
    for (int line = 0; line < 4; ++line) {
        EXPECT_TRUE(inside(highlightBarPosition(line, true), 144, 13)) << line;
    }
    EXPECT_TRUE(inside(kClockBarPosition, 144, 13));
    EXPECT_TRUE(inside(kIndicatorPosition, 6, 12));

    EXPECT_EQ(linePosition(3, true), (FacePoint{29, 93}));
    EXPECT_EQ(linePosition(7, false), (FacePoint{29, 126}));
    EXPECT_EQ(cursorPosition(2, 1), (FacePoint{47, 55}));
    EXPECT_EQ(smallLineRect(0), (FaceRect{28, 42, 182, 59}));
    EXPECT_EQ(smallLineRect(7), (FaceRect{28, 126, 182, 143}));
}

TEST(FaceClockLine, BlinkingColonAndRecordCount) {
    const std::string withColon = clockLine(1, 5, 14, 30, 0, 0, 12);
    EXPECT_EQ(withColon, "JAN05 14:30 0012");
    EXPECT_EQ(withColon.size(), 16u);
    EXPECT_EQ(clockLine(1, 5, 14, 30, 4, 0, 12), "JAN05 14:30 0012");
    EXPECT_EQ(clockLine(1, 5, 14, 30, 5, 0, 12), "JAN05 14 30 0012");
    EXPECT_EQ(clockLine(1, 5, 14, 30, 9, 0, 12), "JAN05 14 30 0012");
    EXPECT_EQ(clockLine(12, 31, 0, 0, 0, 0, 0), "DEC31 00:00 0000");
    EXPECT_EQ(clockLine(7, 1, 9, 5, 0, 0, 9999), "JUL01 09:05 9999");
}

TEST(FaceClockLine, SeparateDataFilesHideTheCount) {
    EXPECT_EQ(clockLine(1, 5, 14, 30, 0, 1, 12), "JAN05 14:30 ");
    EXPECT_EQ(clockLine(1, 5, 14, 30, 7, 1, 12), "JAN05 14 30 ");
}

TEST(FaceClockLine, OutOfRangeValuesKeepTheLineWidth) {
    // The four digits of the count, as a counter field shows them.
    EXPECT_EQ(clockLine(3, 2, 8, 0, 0, 0, 10000), "MAR02 08:00 0000");
    EXPECT_EQ(clockLine(3, 2, 8, 0, 0, 0, 123456), "MAR02 08:00 3456");
    EXPECT_EQ(clockLine(3, 2, 8, 0, 0, 0, -3), "MAR02 08:00 0000");
    EXPECT_EQ(clockLine(0, 2, 8, 0, 0, 0, 1), "???02 08:00 0001");
    EXPECT_EQ(clockLine(13, 2, 8, 0, 0, 0, 1).size(), 16u);
}

TEST(FaceOutline, ClosedStaircaseInsideTheWindow) {
    ASSERT_EQ(kTerminalOutline.size(), 141u);
    EXPECT_EQ(kTerminalOutline.front(), (FacePoint{0, 8}));
    EXPECT_EQ(kTerminalOutline.back(), (FacePoint{0, 8}));
    int minY = kFaceHeight;
    int maxY = 0;
    for (std::size_t i = 0; i < kTerminalOutline.size(); ++i) {
        const FacePoint p = kTerminalOutline[i];
        EXPECT_TRUE(p.x >= 0 && p.x <= kFaceWidth && p.y >= 0 && p.y <= kFaceHeight) << i;
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        if (i == 0) continue;
        const FacePoint q = kTerminalOutline[i - 1];
        const bool dx = p.x != q.x;
        const bool dy = p.y != q.y;
        EXPECT_NE(dx, dy) << "vertex " << i;
    }
    EXPECT_EQ(minY, 1);
    EXPECT_EQ(maxY, kFaceHeight);

    // Traced once round, without folding back on itself: the enclosed area
    // is most of the window.
    long twiceArea = 0;
    for (std::size_t i = 1; i < kTerminalOutline.size(); ++i) {
        const FacePoint a = kTerminalOutline[i - 1];
        const FacePoint b = kTerminalOutline[i];
        twiceArea += static_cast<long>(a.x) * b.y - static_cast<long>(b.x) * a.y;
    }
    EXPECT_LT(std::labs(twiceArea) / 2, static_cast<long>(kFaceWidth) * kFaceHeight);
    EXPECT_GT(std::labs(twiceArea) / 2, static_cast<long>(kFaceWidth) * kFaceHeight * 9 / 10);
}

// Every key sits inside the outline: the window region must not cut a key.
TEST(FaceOutline, KeysLieInsideTheOutline) {
    auto inside = [](double x, double y) {
        bool in = false;
        for (std::size_t i = 1; i < kTerminalOutline.size(); ++i) {
            const FacePoint a = kTerminalOutline[i - 1];
            const FacePoint b = kTerminalOutline[i];
            if ((a.y > y) != (b.y > y) &&
                x < a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y)) {
                in = !in;
            }
        }
        return in;
    };
    for (const FaceKey& k : kFaceKeys) {
        SCOPED_TRACE(k.key);
        EXPECT_TRUE(inside(k.x + 0.5, k.y + 0.5));
        EXPECT_TRUE(inside(k.x + k.width - 0.5, k.y + 0.5));
        EXPECT_TRUE(inside(k.x + 0.5, k.y + k.height - 0.5));
        EXPECT_TRUE(inside(k.x + k.width - 0.5, k.y + k.height - 0.5));
    }
}

}  // namespace
}  // namespace fw
