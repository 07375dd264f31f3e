// The terminal face drawn from shapes at any display scale: the body with
// the released keys in place, each key pressed, and the display's pieces.
// Drawn once per DPI when the window needs it (a fraction of a second), so
// no bitmaps of the face are shipped and every scale is sharp.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simulator/display_picture.h"
#include "simulator/face_geometry.h"
#include "simulator/face_scale.h"

namespace fw {

// Pixels 0x00RRGGBB, rows top-down, as a 32-bit DIB section holds them.
struct FacePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    FacePixels() = default;
    FacePixels(int w, int h, std::uint32_t colour)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), colour) {}
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Copies `piece` with its top-left corner at (x, y); what falls outside
    // is dropped.
    void paste(const FacePixels& piece, int x, int y);
};

// The display's ground, where its text goes.
constexpr std::uint32_t kDisplayGround = 0xA9B89A;

struct FaceArtwork {
    FaceScale scale;
    FacePixels body;                                  // window-sized, released keys drawn in
    std::array<FacePixels, kFaceKeyCount> pressed;    // key k's at scale.keyRect(k)
    std::array<FacePixels, kFaceKeyCount> released;
    // The display's pieces at one dot a pixel, by bitmap number.
    FacePixels cursor, highlight, blank, alphaOn, alphaOff;
    const FacePixels* displayPiece(int bitmapId) const;
};

FaceArtwork drawFaceArtwork(const FaceScale& scale);

// The face as it stands: the body, `pressedKey`'s pressed picture (0 for
// none) and the display's picture, its dots scale.dotSize() pixels square.
// `canvas` must be the window's size.
void composeFace(FacePixels& canvas, const FaceArtwork& art, int pressedKey, const DisplayPicture& display);

}  // namespace fw
