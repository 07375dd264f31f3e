#include "simulator/face_scale.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "simulator/face_artwork.h"

namespace fw {
namespace {

constexpr int kScales[] = {96, 120, 144, 168, 192};   // 100, 125, 150, 175, 200 %

TEST(FaceScale, WindowSizeFollowsTheDpiRoundedToThePixel) {
    const struct { int dpi, width, height; } expected[] = {
        {96, 210, 464}, {120, 262, 580}, {144, 315, 696}, {168, 367, 812}, {192, 420, 928}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.dpi);
        const FaceScale s(e.dpi);
        EXPECT_EQ(s.windowWidth(), e.width);
        EXPECT_EQ(s.windowHeight(), e.height);
        // The outline is the window's edge at every scale.
        int right = 0, bottom = 0;
        for (const FacePoint& p : s.outline()) {
            right = std::max(right, p.x);
            bottom = std::max(bottom, p.y);
        }
        EXPECT_EQ(right, e.width);
        EXPECT_EQ(bottom, e.height);
    }
    // A DPI the system should never report is taken as the face's own or
    // the largest kept, never as zero or a negative size.
    EXPECT_EQ(FaceScale(0).windowWidth(), 210);
    EXPECT_EQ(FaceScale(-144).windowHeight(), 464);
    EXPECT_EQ(FaceScale(1 << 30).windowWidth(), 2100);
}

TEST(FaceScale, HitTestAtEveryScaleFindsTheKeyUnderThePointer) {
    // At 100 % the window pixel is the face pixel.
    for (int y = 0; y < kFaceHeight; y += 3)
        for (int x = 0; x < kFaceWidth; x += 2) ASSERT_EQ(FaceScale(96).hitTest(x, y), hitTest(x, y)) << x << "," << y;
    // At 200 % each face pixel is a 2 x 2 block of window pixels.
    const FaceScale twice(192);
    for (int y = 0; y < kFaceHeight; y += 3)
        for (int x = 0; x < kFaceWidth; x += 2) {
            ASSERT_EQ(twice.hitTest(2 * x, 2 * y), hitTest(x, y));
            ASSERT_EQ(twice.hitTest(2 * x + 1, 2 * y + 1), hitTest(x, y));
        }
    for (int dpi : kScales) {
        const FaceScale s(dpi);
        for (const FaceKey& k : kFaceKeys) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, key " << k.key);
            // The middle of the drawn key, and its hit area's corners.
            const FaceRect r = s.keyRect(k.key);
            const int cx = s.scaled((k.hitLeft + k.hitRight) / 2), cy = s.scaled((k.hitTop + k.hitBottom) / 2);
            EXPECT_EQ(s.hitTest(cx, cy), k.key);
            EXPECT_GE(cx, r.left);
            EXPECT_LT(cx, r.right);
            EXPECT_EQ(s.hitTest(s.scaled(k.hitLeft), s.scaled(k.hitTop)), k.key);
            EXPECT_EQ(s.hitTest(s.scaled(k.hitRight + 1) - 1, s.scaled(k.hitBottom + 1) - 1), k.key);
            // The window pixel just left of the scaled hit area is body.
            EXPECT_EQ(s.hitTest(s.scaled(k.hitLeft) - 1, cy), 0);
            EXPECT_EQ(s.hitTest(cx, s.scaled(k.hitBottom + 1)), 0);
        }
    }
}

TEST(FaceScale, DisplayDotsAreWholePixelSquaresCentredInTheTextArea) {
    const struct { int dpi, dot; } expected[] = {{96, 1}, {120, 1}, {144, 1}, {168, 1}, {192, 2}, {288, 3}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.dpi);
        const FaceScale s(e.dpi);
        EXPECT_EQ(s.dotSize(), e.dot);
        const FaceRect area = s.toWindow(kTextArea);
        const FaceRect dots = s.displayToWindow(kTextArea);
        EXPECT_EQ(dots.right - dots.left, e.dot * (kTextArea.right - kTextArea.left));
        EXPECT_EQ(dots.bottom - dots.top, e.dot * (kTextArea.bottom - kTextArea.top));
        EXPECT_LE(std::abs((dots.left - area.left) - (area.right - dots.right)), 1);
        EXPECT_LE(std::abs((dots.top - area.top) - (area.bottom - dots.bottom)), 1);
        EXPECT_GE(dots.left, area.left);
        EXPECT_LE(dots.bottom, area.bottom);
    }
    // A repaint of a part reaching outside the display stays on the display.
    const FaceScale s(192);
    EXPECT_EQ(s.displayToWindow({0, 0, 1000, 1000}), s.displayToWindow(kTextArea));
    const FaceRect line = s.displayToWindow(smallLineRect(1));
    EXPECT_EQ(line.top, s.dotOrigin().y + 2 * 12);
    EXPECT_EQ(line.bottom - line.top, 2 * 17);
}

// A face whose body is one colour, to see what composing puts on it.
FaceArtwork plainArtwork(int dpi) {
    FaceArtwork art;
    art.scale = FaceScale(dpi);
    art.body = FacePixels(art.scale.windowWidth(), art.scale.windowHeight(), 0x123456);
    for (int k = 1; k <= kFaceKeyCount; ++k) {
        const FaceRect r = art.scale.keyRect(k);
        art.pressed[static_cast<std::size_t>(k - 1)] = FacePixels(r.right - r.left, r.bottom - r.top, 0x00FF00);
    }
    art.cursor = FacePixels(9, 13, 0x000000);
    return art;
}

TEST(FaceCompose, TextGoesOnTheDisplayAsWholeDotsAndOnlyThePressedKeyChanges) {
    const FaceArtwork art = plainArtwork(192);
    DisplayPicture picture;
    picture.texts.push_back({linePosition(0, false), "|", false});
    picture.bitmaps.push_back({kBitmapCursor, cursorPosition(3, 2)});
    FacePixels canvas;
    composeFace(canvas, art, 5, picture);
    ASSERT_EQ(canvas.width, 420);
    ASSERT_EQ(canvas.height, 928);
    const FaceRect key = art.scale.keyRect(5);
    const FaceRect dots = art.scale.displayToWindow(kTextArea);
    int dark = 0;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const std::uint32_t c = canvas.at(x, y);
            const bool onKey = x >= key.left && x < key.right && y >= key.top && y < key.bottom;
            const bool onDots = x >= dots.left && x < dots.right && y >= dots.top && y < dots.bottom;
            if (onKey) ASSERT_EQ(c, 0x00FF00u);
            else if (!onDots) ASSERT_EQ(c, 0x123456u) << x << "," << y;
            else if (c == 0) {
                ++dark;
                // A dark dot is a whole 2 x 2 square on the dot grid.
                const int dx = (x - dots.left) / 2 * 2 + dots.left, dy = (y - dots.top) / 2 * 2 + dots.top;
                ASSERT_EQ(canvas.at(dx, dy), 0u);
                ASSERT_EQ(canvas.at(dx + 1, dy + 1), 0u);
            } else {
                ASSERT_EQ(c, kDisplayGround);
            }
        }
    }
    EXPECT_EQ(dark % 4, 0);
    // The cursor block, 9 x 13 dots, at its place on the dot grid.
    const FacePoint at = cursorPosition(3, 2);
    const FaceRect cursor = art.scale.displayToWindow({at.x, at.y, at.x + 9, at.y + 13});
    EXPECT_EQ(canvas.at(cursor.left, cursor.top), 0u);
    EXPECT_EQ(canvas.at(cursor.right - 1, cursor.bottom - 1), 0u);
    EXPECT_EQ(canvas.at(cursor.right, cursor.top), kDisplayGround);
}

TEST(FaceArtwork, DrawnAtTheWindowsScaleWithAPlainDisplayAndTheCornersCutAway) {
    const FaceArtwork art = drawFaceArtwork(FaceScale(144));
    ASSERT_EQ(art.body.width, 315);
    ASSERT_EQ(art.body.height, 696);
    // Black text must read on a plain ground wherever the display's dots go.
    const FaceRect dots = art.scale.displayToWindow(kTextArea);
    for (int y = dots.top; y < dots.bottom; ++y)
        for (int x = dots.left; x < dots.right; ++x) ASSERT_EQ(art.body.at(x, y), kDisplayGround) << x << "," << y;
    // Outside the outline the corners are the same plain colour; inside, the
    // body is not.
    EXPECT_EQ(art.body.at(0, 0), art.body.at(art.body.width - 1, 0));
    EXPECT_NE(art.body.at(0, 0), art.body.at(art.body.width / 2, art.body.height / 2));
    for (int k = 1; k <= kFaceKeyCount; ++k) {
        const FaceRect r = art.scale.keyRect(k);
        const FacePixels& pressed = art.pressed[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(pressed.width, r.right - r.left);
        EXPECT_EQ(pressed.height, r.bottom - r.top);
        // A pressed key looks pressed: not the released picture.
        EXPECT_NE(pressed.pixels, art.released[static_cast<std::size_t>(k - 1)].pixels);
    }
}

}  // namespace
}  // namespace fw
