// Where a window goes on the monitors there are: the terminal window where
// the user left it, unless no monitor shows enough of it any more (the
// monitor it was on is gone, or the desktop got smaller); and a window that
// opens over its owner on the owner's monitor.
#pragma once

#include <algorithm>
#include <climits>
#include <vector>

namespace fw {

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// How much of a window a monitor must show for the window to stay where it
// is: enough to see it and drag it back.
constexpr int kVisibleEnough = 48;

namespace placement_detail {

inline int overlap(int a0, int a1, int b0, int b1) { return std::max(0, std::min(a1, b1) - std::max(a0, b0)); }

// Squared distance between two rectangles' nearest points (0 when they meet).
inline long long gap(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = std::max({0, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// `start` moved so that [start, start + size) lies in [low, high) as far as
// it fits; where it does not, the start stays inside.
inline int fitInto(int start, int size, int low, int high) {
    if (start + size > high) start = high - size;
    return std::max(start, low);
}

}  // namespace placement_detail

// The top-left corner for `window` on monitors whose work areas are
// `workAreas` (the first is the main one). The window stays put when one
// work area shows at least kVisibleEnough x kVisibleEnough of it; else it
// moves onto the work area nearest to it, wholly inside when it fits (its
// top-left corner inside when it does not). No work area: it stays put.
inline ScreenPoint keepOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& workAreas) {
    using namespace placement_detail;
    const ScreenPoint here{window.left, window.top};
    if (workAreas.empty()) return here;
    const ScreenRect* nearest = nullptr;
    long long nearestGap = LLONG_MAX;
    for (const ScreenRect& area : workAreas) {
        const int across = overlap(window.left, window.right, area.left, area.right);
        const int down = overlap(window.top, window.bottom, area.top, area.bottom);
        if (across >= std::min(kVisibleEnough, window.width()) && down >= std::min(kVisibleEnough, window.height()))
            return here;
        if (const long long g = gap(window, area); g < nearestGap) {
            nearestGap = g;
            nearest = &area;
        }
    }
    return {fitInto(window.left, window.width(), nearest->left, nearest->right),
            fitInto(window.top, window.height(), nearest->top, nearest->bottom)};
}

// The top-left corner for a window of `width` x `height` centred over
// `owner`, kept inside `area` (the work area of the owner's
// monitor) as far as it fits.
inline ScreenPoint centreOver(const ScreenRect& owner, int width, int height, const ScreenRect& area) {
    using namespace placement_detail;
    const int x = owner.left + (owner.width() - width) / 2;
    const int y = owner.top + (owner.height() - height) / 2;
    return {fitInto(x, width, area.left, area.right), fitInto(y, height, area.top, area.bottom)};
}

}  // namespace fw
