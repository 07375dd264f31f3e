// The terminal face at a display scale: the window's size, where each key
// and the display land in window pixels, the hit test and the outline at
// that scale. The face is designed at 96 DPI (face pixels, face_geometry.h);
// a window at another DPI is drawn at its own size, never stretched.
#pragma once

#include <vector>

#include "simulator/face_geometry.h"

namespace fw {

constexpr int kBaseDpi = 96;

class FaceScale {
public:
    // A DPI below 96 or absurdly large is taken as 96 or the largest kept.
    explicit FaceScale(int dpi = kBaseDpi);

    int dpi() const { return dpi_; }
    double factor() const { return static_cast<double>(dpi_) / kBaseDpi; }

    // A face coordinate in window pixels: the first window pixel of face
    // pixel v (v * dpi / 96 to the nearest, halves down).
    int scaled(int facePixels) const;
    int windowWidth() const { return scaled(kFaceWidth); }
    int windowHeight() const { return scaled(kFaceHeight); }
    FaceRect toWindow(const FaceRect& faceRect) const;

    // The face pixel under window pixel (x, y): the one holding its centre.
    FacePoint toFace(int x, int y) const;
    // The key (1-20) under a window pixel, or 0.
    int hitTest(int x, int y) const;
    // Where key `key` is drawn, in window pixels (empty for another number).
    FaceRect keyRect(int key) const;
    // The window's outline (the region it is cut to), every corner scaled.
    std::vector<FacePoint> outline() const;

    // The display shows its dots (one face pixel of the text area each) as
    // squares of a whole number of window pixels, the largest that fits the
    // text area at this scale, centred in it: a dot never straddles pixels.
    int dotSize() const;
    FacePoint dotOrigin() const;   // window pixel of the text area's first dot
    // The window pixels of a part of the text area (face pixels), for
    // repainting; parts outside the text area are cut to it.
    FaceRect displayToWindow(const FaceRect& faceRect) const;

private:
    int dpi_;
};

}  // namespace fw
