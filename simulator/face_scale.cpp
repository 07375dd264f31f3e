#include "simulator/face_scale.h"

#include <algorithm>

namespace fw {

namespace {
// 960 DPI is ten times the face: well past any display sold, and it keeps
// the window's pixel arithmetic far from overflow.
constexpr int kLargestDpi = 960;

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

FaceScale::FaceScale(int dpi) : dpi_(std::clamp(dpi, kBaseDpi, kLargestDpi)) {}

int FaceScale::scaled(int v) const {
    // The first window pixel whose centre lies in face pixel v: v * dpi / 96
    // rounded with halves down, so that toFace() of it gives v back.
    return floorDiv(2 * v * dpi_ - kBaseDpi + 2 * kBaseDpi - 1, 2 * kBaseDpi);
}

FaceRect FaceScale::toWindow(const FaceRect& r) const {
    return {scaled(r.left), scaled(r.top), scaled(r.right), scaled(r.bottom)};
}

FacePoint FaceScale::toFace(int x, int y) const {
    // The centre x + 1/2 in face pixels is (2x + 1) * 96 / (2 * dpi).
    return {floorDiv((2 * x + 1) * kBaseDpi, 2 * dpi_), floorDiv((2 * y + 1) * kBaseDpi, 2 * dpi_)};
}

int FaceScale::hitTest(int x, int y) const {
    const FacePoint p = toFace(x, y);
    return fw::hitTest(p.x, p.y);
}

FaceRect FaceScale::keyRect(int key) const {
    const FaceKey* k = faceKey(key);
    return k ? toWindow(k->drawn()) : FaceRect{0, 0, 0, 0};
}

std::vector<FacePoint> FaceScale::outline() const {
    std::vector<FacePoint> points;
    points.reserve(kTerminalOutline.size());
    for (const FacePoint& p : kTerminalOutline) points.push_back({scaled(p.x), scaled(p.y)});
    return points;
}

int FaceScale::dotSize() const {
    const FaceRect area = toWindow(kTextArea);
    const int across = (area.right - area.left) / (kTextArea.right - kTextArea.left);
    const int down = (area.bottom - area.top) / (kTextArea.bottom - kTextArea.top);
    return std::max(1, std::min(across, down));
}

FacePoint FaceScale::dotOrigin() const {
    const FaceRect area = toWindow(kTextArea);
    const int n = dotSize();
    const int width = n * (kTextArea.right - kTextArea.left);
    const int height = n * (kTextArea.bottom - kTextArea.top);
    return {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
}

FaceRect FaceScale::displayToWindow(const FaceRect& r) const {
    const int left = std::clamp(r.left, kTextArea.left, kTextArea.right);
    const int right = std::clamp(r.right, kTextArea.left, kTextArea.right);
    const int top = std::clamp(r.top, kTextArea.top, kTextArea.bottom);
    const int bottom = std::clamp(r.bottom, kTextArea.top, kTextArea.bottom);
    const int n = dotSize();
    const FacePoint o = dotOrigin();
    return {o.x + n * (left - kTextArea.left), o.y + n * (top - kTextArea.top), o.x + n * (right - kTextArea.left),
            o.y + n * (bottom - kTextArea.top)};
}

}  // namespace fw
