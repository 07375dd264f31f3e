// Everything is drawn by the small rasteriser below: shapes are signed
// distance functions in face pixels (96 DPI), sampled 4 x 4 per window pixel
// at the window's own scale, so edges come out smooth at every size.
// Positions come from face_geometry.h, so the pictures always agree with the
// hit test and the display layout.
//
// The body is drawn first without keys; every key picture is then drawn
// over the piece of body it covers (keys are copied opaquely, so a key's
// corners must show the body behind it), and the released keys are pasted
// into the body.
#include "simulator/face_artwork.h"

#include "simulator/display_font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace fw::face_art {
namespace {

using fw::FaceKey;

// ---- Colours and images -----------------------------------------------------

struct Color {
    double r = 0, g = 0, b = 0;
};

Color rgb(unsigned hex) {
    return {((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0};
}
Color mix(Color a, Color b, double t) {
    if (t >= 1) return b;
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Color scale(Color c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Color add(Color c, double k) { return {c.r + k, c.g + k, c.b + k}; }

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// A picture in window pixels at scale `s` (window pixels per face pixel).
// Window pixel (x, y) of the picture is (x + ox, y + oy) of the whole
// face's window, so that a key drawn into a piece of the body lands on the
// same pixels as it would in the whole face. Shapes are given in face pixels.
struct Image {
    int w = 0;
    int h = 0;
    double s = 1;
    int ox = 0;
    int oy = 0;
    std::vector<Color> px;
    Image() = default;
    Image(int width, int height, Color c, double scale = 1, int originX = 0, int originY = 0)
        : w(width), h(height), s(scale), ox(originX), oy(originY),
          px(static_cast<size_t>(width) * static_cast<size_t>(height), c) {}
    Color& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    Color at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    void blend(int x, int y, Color c, double a) {
        if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
        Color& d = at(x, y);
        d = mix(d, c, a > 1 ? 1 : a);
    }
    // The face point at a window pixel's centre, and at a sub-pixel sample.
    double faceX(double x) const { return (x + ox) / s; }
    double faceY(double y) const { return (y + oy) / s; }
};

// The window pixels of face rectangle [x0, x1) x [y0, y1), every edge
// rounded to the nearest pixel edge so that small print stays crisp.
void fillFaceRect(Image& img, double x0, double y0, double x1, double y1, Color c, double opacity) {
    const int px0 = static_cast<int>(std::lround(x0 * img.s)) - img.ox;
    const int px1 = std::max(px0 + 1, static_cast<int>(std::lround(x1 * img.s)) - img.ox);
    const int py0 = static_cast<int>(std::lround(y0 * img.s)) - img.oy;
    const int py1 = std::max(py0 + 1, static_cast<int>(std::lround(y1 * img.s)) - img.oy);
    for (int y = py0; y < py1; ++y)
        for (int x = px0; x < px1; ++x) img.blend(x, y, c, opacity);
}

Image crop(const Image& src, const fw::FaceRect& r) {
    Image out(r.right - r.left, r.bottom - r.top, {}, src.s, r.left, r.top);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) out.at(x, y) = src.at(r.left - src.ox + x, r.top - src.oy + y);
    return out;
}

void paste(Image& dst, const Image& src) {
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) dst.at(src.ox - dst.ox + x, src.oy - dst.oy + y) = src.at(x, y);
}

// ---- Geometry -----------------------------------------------------------

struct P {
    double x, y;
};

double segmentDistance(P p, P a, P b) {
    double vx = b.x - a.x, vy = b.y - a.y;
    double wx = p.x - a.x, wy = p.y - a.y;
    double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? clamp01((wx * vx + wy * vy) / len2) : 0;
    double dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

// Signed distance to a rounded rectangle [x0, x1] x [y0, y1]; negative inside.
double roundRect(P p, double x0, double y0, double x1, double y1, double r) {
    double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    double hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    double qx = std::fabs(p.x - cx) - hx, qy = std::fabs(p.y - cy) - hy;
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

double ellipseApprox(P p, double cx, double cy, double rx, double ry) {
    double nx = (p.x - cx) / rx, ny = (p.y - cy) / ry;
    return (std::sqrt(nx * nx + ny * ny) - 1) * std::min(rx, ry);
}

// Even-odd point-in-polygon test; the polygon is closed implicitly.
bool insidePolygon(const std::vector<P>& poly, P p) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const P& a = poly[i];
        const P& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
    }
    return in;
}


// ---- Painting -----------------------------------------------------------

constexpr int kSamples = 4;

struct Box {
    int x0, y0, x1, y1;  // inclusive pixel range
};

// The window pixels that a face rectangle touches, with a pixel to spare.
Box clipBox(const Image& img, double x0, double y0, double x1, double y1) {
    return {std::max(0, static_cast<int>(std::floor(x0 * img.s)) - img.ox - 1),
            std::max(0, static_cast<int>(std::floor(y0 * img.s)) - img.oy - 1),
            std::min(img.w - 1, static_cast<int>(std::ceil(x1 * img.s)) - img.ox + 1),
            std::min(img.h - 1, static_cast<int>(std::ceil(y1 * img.s)) - img.oy + 1)};
}

Box wholeImage(const Image& img) { return {0, 0, img.w - 1, img.h - 1}; }

// Fills where sdf < 0 with the colour that paint() gives at the pixel centre,
// weighting each pixel by the share of its samples inside.
template <class Sdf, class Paint>
void fillShape(Image& img, Box box, Sdf sdf, Paint paint, double opacity = 1.0) {
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            int n = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    if (sdf(P{img.faceX(x + (sx + 0.5) / kSamples), img.faceY(y + (sy + 0.5) / kSamples)}) < 0) ++n;
            if (n == 0) continue;
            img.blend(x, y, paint(img.faceX(x + 0.5), img.faceY(y + 0.5)), opacity * n / (kSamples * kSamples));
        }
    }
}

template <class Sdf>
void fillSolid(Image& img, Box box, Sdf sdf, Color c, double opacity = 1.0) {
    fillShape(img, box, sdf, [c](double, double) { return c; }, opacity);
}

// A soft shape: full strength inside, fading out over `blur` face pixels
// either side of the edge. Shadows and glows.
template <class Sdf>
void fillSoft(Image& img, Box box, Sdf sdf, double blur, Color c, double opacity) {
    for (int y = box.y0; y <= box.y1; ++y)
        for (int x = box.x0; x <= box.x1; ++x)
            img.blend(x, y, c, opacity * smoothstep(blur, -blur, sdf(P{img.faceX(x + 0.5), img.faceY(y + 0.5)})));
}

// ---- Stroke font ------------------------------------------------------------
// Glyphs on a 6 x 10 grid (y down, 10 = baseline), made of polylines that are
// drawn with round caps. Used for the large legends.

struct Stroke {
    std::vector<P> pts;
};
using Glyph = std::vector<Stroke>;

// Elliptic arc from angle a0 to a1 in degrees; 0 points right, 90 down.
std::vector<P> arc(double cx, double cy, double rx, double ry, double a0, double a1) {
    std::vector<P> pts;
    int n = std::max(4, static_cast<int>(std::fabs(a1 - a0) / 10));
    for (int i = 0; i <= n; ++i) {
        double a = (a0 + (a1 - a0) * i / n) * 3.14159265358979 / 180;
        pts.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return pts;
}

std::vector<P> join(std::vector<P> a, const std::vector<P>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Glyph flip(Glyph g) {
    for (Stroke& s : g)
        for (P& p : s.pts) p = {6 - p.x, 10 - p.y};
    return g;
}

Glyph strokeGlyph(char c) {
    switch (c) {
    case '0': return {{arc(3, 5, 3, 5, 0, 360)}};
    case '1': return {{{{1.0, 2.4}, {3.6, 0}, {3.6, 10}}}};
    case '2': return {{join(arc(3, 3, 3, 3, 180, 385), {{0, 10}, {6.2, 10}})}};
    case '3':
        return {{join({{0.6, 1.2}}, arc(3, 2.5, 2.8, 2.5, 215, 450))},
                {join(arc(3, 7.5, 3.1, 2.5, 270, 520), {})}};
    case '4': return {{{{4.6, 10}, {4.6, 0}, {0, 7}, {6.3, 7}}}};
    case '5': return {{join({{5.6, 0}, {0.9, 0}, {0.5, 4.6}}, arc(3, 6.8, 3, 3.2, 225, 510))}};
    case '6': return {{arc(6.2, 7, 6.2, 7, 263, 180)}, {arc(3, 7, 3, 3, 0, 360)}};
    case '7': return {{{{0, 0}, {6, 0}, {2.2, 10}}}};
    case '8': return {{arc(3, 2.5, 2.6, 2.5, 0, 360)}, {arc(3, 7.4, 3, 2.6, 0, 360)}};
    case '9': return flip(strokeGlyph('6'));
    case '-': return {{{{0.2, 5.6}, {5.8, 5.6}}}};
    case '.': return {{{{3, 9.3}}}};
    case 'E': return {{{{5.6, 0}, {0, 0}, {0, 10}, {5.6, 10}}}, {{{0, 5}, {4.8, 5}}}};
    case 'K': return {{{{0, 0}, {0, 10}}}, {{{5.8, 0}, {0, 6.2}}}, {{{2.1, 4.1}, {6, 10}}}};
    case 'N': return {{{{0, 10}, {0, 0}, {6, 10}, {6, 0}}}};
    case 'T': return {{{{0, 0}, {6, 0}}}, {{{3, 0}, {3, 10}}}};
    case 'C': return {{arc(3.3, 5, 3.3, 5, -40, -320)}};
    case 'S':
        return {{join(arc(3, 2.55, 2.8, 2.55, -25, -270),
                      join(arc(3, 2.55, 2.8, 2.55, -270, -250),
                           arc(3, 7.45, 3.0, 2.55, -70, 160)))}};
    case 'a':  // alpha
        return {{arc(2.7, 6.6, 2.7, 3.2, -20, -340)}, {{{6.2, 3.3}, {5.0, 7.0}, {5.6, 9.2}, {6.6, 10}}}};
    default: return {};
    }
}

double glyphWidth(char c) { return c == '.' ? 2.0 : (c == '1' ? 5.0 : 6.0); }

// Draws text with its top-left corner at (x, y), `height` pixels tall.
double drawStrokeText(Image& img, const std::string& text, double x, double y, double height,
                      double penWidth, Color c, double opacity = 1.0) {
    const double s = height / 10;
    const double gap = 2.4 * s + penWidth * 0.4;
    double pen = x;
    for (char ch : text) {
        if (ch == ' ') {
            pen += 4 * s;
            continue;
        }
        Glyph g = strokeGlyph(ch);
        double ox = pen - (ch == '.' ? 2.0 * s : (ch == '1' ? 0.6 * s : 0));
        std::vector<std::pair<P, P>> segs;
        for (const Stroke& st : g) {
            auto at = [&](size_t i) { return P{ox + st.pts[i].x * s, y + st.pts[i].y * s}; };
            if (st.pts.size() == 1) segs.push_back({at(0), at(0)});
            for (size_t i = 0; i + 1 < st.pts.size(); ++i) segs.push_back({at(i), at(i + 1)});
        }
        const double r = penWidth / 2 * (ch == '.' ? 1.9 : 1.0);
        auto sdf = [&](P p) {
            double d = 1e9;
            for (const auto& sg : segs) d = std::min(d, segmentDistance(p, sg.first, sg.second));
            return d - r;
        };
        fillSolid(img, clipBox(img, ox - r, y - r, ox + 6 * s + r, y + 10 * s + r), sdf, c, opacity);
        pen += glyphWidth(ch) * s + gap;
    }
    return pen - gap - x;
}

double strokeTextWidth(const std::string& text, double height, double penWidth) {
    const double s = height / 10;
    const double gap = 2.4 * s + penWidth * 0.4;
    double w = 0;
    for (char ch : text) w += (ch == ' ' ? 4 * s : glyphWidth(ch) * s + gap);
    return text.empty() ? 0 : w - gap;
}

// ---- Bitmap font ------------------------------------------------------------
// 5 x 7 pixel glyphs for the small legends, drawn pixel-exact.

struct BitmapGlyph {
    char c;
    const char* rows[7];
};

const BitmapGlyph kSmallFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'$', {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."}},
    {'%', {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"}},
    {'#', {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
    {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
    {'*', {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
    {'_', {".....", ".....", ".....", ".....", "#...#", "#...#", "#####"}},  // space mark
};

const BitmapGlyph* smallGlyph(char c) {
    for (const BitmapGlyph& g : kSmallFont)
        if (g.c == c) return &g;
    return nullptr;
}

int smallTextWidth(const std::string& text) {
    int w = 0;
    for (char c : text) w += c == ' ' ? 3 : 6;
    return text.empty() ? 0 : w - 1;
}

void drawSmallText(Image& img, const std::string& text, int x, int y, Color c, double opacity = 1.0) {
    for (char ch : text) {
        if (ch == ' ') {
            x += 3;
            continue;
        }
        if (const BitmapGlyph* g = smallGlyph(ch)) {
            for (int r = 0; r < 7; ++r)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[r][col] == '#') fillFaceRect(img, x + col, y + r, x + col + 1, y + r + 1, c, opacity);
        }
        x += 6;
    }
}

// ---- Palette ----------------------------------------------------------------

const Color kOutside = rgb(0x202124);
const Color kBodyTop = rgb(0x3d4045);
const Color kBodyBottom = rgb(0x2a2c30);
const Color kBezel = rgb(0x1a1c1f);
const Color kLcd = rgb(0xa9b89a);       // the display's ground: black text reads well on it
const Color kLcdInk = rgb(0x1f2a22);    // "on" segments: cursor, highlight bar, indicator
const Color kWhiteInk = rgb(0xf0f2f4);
const Color kOrangeInk = rgb(0xf2a23a);
const Color kPrint = rgb(0xb8bcc2);     // printing on the body

// Light comes from the upper left, in front of the terminal.
struct Vec3 {
    double x, y, z;
};
Vec3 normalise(Vec3 v) {
    double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
const Vec3 kLight = normalise({-0.45, -0.75, 1.0});

// Shade a surface whose edges are rounded over `radius` pixels, given the
// signed distance to its edge (negative inside) and the distance's gradient.
Color shadeRounded(Color base, double inside, double gx, double gy, double radius, double shine,
                   bool inverted = false) {
    double t = clamp01(inside / radius);
    // Slope of a quarter-round profile: steep at the rim, flat inside.
    double slope = t >= 1 ? 0 : (1 - t) / std::sqrt(std::max(1e-3, 1 - (1 - t) * (1 - t)));
    slope = std::min(slope, 4.0);
    Vec3 n = normalise({gx * slope, gy * slope, 1});
    if (inverted) n = {-n.x, -n.y, n.z};
    double diff = n.x * kLight.x + n.y * kLight.y + n.z * kLight.z;
    Vec3 h = normalise({kLight.x, kLight.y, kLight.z + 1});
    double glint = std::pow(std::max(0.0, n.x * h.x + n.y * h.y + n.z * h.z), 24);
    double flat = kLight.z;  // what an untilted surface receives
    Color c = scale(base, 0.55 + 0.45 * diff / flat);
    return add(c, shine * glint * (1 - t * 0.7));
}

// ---- The body -----------------------------------------------------------

// The outline smoothed (Chaikin corner cutting) so that the body's shading
// follows the curve the staircase stands for rather than its steps.
std::vector<P> smoothOutline() {
    std::vector<P> poly;
    for (size_t i = 0; i + 1 < fw::kTerminalOutline.size(); ++i)
        poly.push_back({double(fw::kTerminalOutline[i].x), double(fw::kTerminalOutline[i].y)});
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<P> next;
        for (size_t i = 0; i < poly.size(); ++i) {
            P a = poly[i], b = poly[(i + 1) % poly.size()];
            next.push_back({a.x * 0.75 + b.x * 0.25, a.y * 0.75 + b.y * 0.25});
            next.push_back({a.x * 0.25 + b.x * 0.75, a.y * 0.25 + b.y * 0.75});
        }
        poly = next;
    }
    return poly;
}

// Panels and prints on the body, in face pixels.
constexpr double kBezelX0 = 9, kBezelY0 = 13, kBezelX1 = 201, kBezelY1 = 189, kBezelR = 13;
constexpr double kLcdX0 = 19, kLcdY0 = 31, kLcdX1 = 191, kLcdY1 = 152;

// The edges of a closed polygon that come within `reach` of the row at y.
std::vector<std::pair<P, P>> edgesNear(const std::vector<P>& poly, double y, double reach) {
    std::vector<std::pair<P, P>> near;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if (std::min(poly[i].y, poly[j].y) <= y + reach && std::max(poly[i].y, poly[j].y) >= y - reach)
            near.push_back({poly[j], poly[i]});
    }
    return near;
}

// Even-odd test over the edges of one row (those crossing it suffice).
bool insideEdges(const std::vector<std::pair<P, P>>& edges, P p) {
    bool in = false;
    for (const auto& [a, b] : edges)
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
    return in;
}

void drawBody(Image& img, const fw::FaceScale& faceScale) {
    // The window region keeps exactly the window pixels whose centres lie
    // inside the scaled staircase, so the body is cut by the same polygon.
    std::vector<P> stairs;
    for (const fw::FacePoint& v : faceScale.outline()) stairs.push_back({double(v.x), double(v.y)});
    stairs.pop_back();  // the closing corner repeats the first
    const std::vector<P> smooth = smoothOutline();

    // Distance to the body's edge (face pixels) at every pixel centre. The
    // shading only looks 7 face pixels in from the edge, so distances are
    // capped at 10 and each row looks only at the edges within that reach.
    constexpr double kReach = 10;
    std::vector<double> dist(static_cast<size_t>(img.w) * static_cast<size_t>(img.h));
    std::vector<std::vector<std::pair<P, P>>> stairRows(static_cast<size_t>(img.h));
    for (int y = 0; y < img.h; ++y) {
        const double fy = img.faceY(y + 0.5);
        const auto near = edgesNear(smooth, fy, kReach);
        stairRows[static_cast<size_t>(y)] = edgesNear(stairs, y + img.oy + 0.5, 0);
        for (int x = 0; x < img.w; ++x) {
            const P p{img.faceX(x + 0.5), fy};
            double d = kReach;
            for (const auto& [a, b] : near) d = std::min(d, segmentDistance(p, a, b));
            dist[static_cast<size_t>(y) * img.w + x] = insideEdges(near, p) ? -d : d;
        }
    }
    auto d = [&](int x, int y) {
        x = std::clamp(x, 0, img.w - 1);
        y = std::clamp(y, 0, img.h - 1);
        return dist[static_cast<size_t>(y) * img.w + x];
    };

    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            if (!insideEdges(stairRows[static_cast<size_t>(y)], {x + img.ox + 0.5, y + img.oy + 0.5})) {
                img.at(x, y) = kOutside;
                continue;
            }
            // The gradient per face pixel, from neighbours one window pixel away.
            double gx = (d(x + 1, y) - d(x - 1, y)) / 2 * img.s;
            double gy = (d(x, y + 1) - d(x, y - 1)) / 2 * img.s;
            double inside = -d(x, y);
            const double fx = img.faceX(x + 0.5), fy = img.faceY(y + 0.5);
            Color base = mix(kBodyTop, kBodyBottom, smoothstep(0, fw::kFaceHeight, fy));
            // A broad soft sheen down the left of the moulding.
            base = add(base, 0.025 * std::exp(-std::pow((fx - 55.0) / 40.0, 2)));
            Color c = shadeRounded(base, std::max(inside, 0.0), gx, gy, 7.0, 0.22);
            // The outermost pixel is the dark parting line of the moulding.
            if (inside < 0.9) c = mix(c, rgb(0x111214), 0.55 * (1 - clamp01(inside / 0.9)));
            img.at(x, y) = c;
        }
    }

    // Scanner window along the top edge: dark red glass.
    auto scanWin = [](P p) { return roundRect(p, 56, 1.5, 154, 7.5, 3); };
    fillShape(img, clipBox(img, 56, 1, 154, 8), scanWin, [](double, double y) {
        return mix(rgb(0x8a1f22), rgb(0x3a0a0c), clamp01((y - 1.5) / 6));
    });
    fillSolid(img, clipBox(img, 60, 2, 150, 4), [](P p) { return roundRect(p, 62, 2.3, 148, 3.6, 0.6); },
              rgb(0xff8080), 0.35);

    // Bezel round the display: a dark glossy panel set into the body.
    auto bezel = [](P p) { return roundRect(p, kBezelX0, kBezelY0, kBezelX1, kBezelY1, kBezelR); };
    Box bezelBox = clipBox(img, kBezelX0 - 3, kBezelY0 - 3, kBezelX1 + 3, kBezelY1 + 3);
    // A dark seam, then the panel, lit as a gently domed surface.
    fillSoft(img, bezelBox, [&](P p) { return bezel(p) - 1.0; }, 1.2, rgb(0x0c0d0e), 0.8);
    fillShape(img, bezelBox, bezel, [&](double x, double y) {
        const double e = 0.5;
        double gx = (bezel({x + e, y}) - bezel({x - e, y})) / (2 * e);
        double gy = (bezel({x, y + e}) - bezel({x, y - e})) / (2 * e);
        Color base = mix(rgb(0x24262a), kBezel, clamp01((y - kBezelY0) / (kBezelY1 - kBezelY0)));
        return shadeRounded(base, -bezel({x, y}), gx, gy, 4.0, 0.35);
    });
    // A faint diagonal reflection across the top of the bezel glass.
    fillShape(img, bezelBox, [&](P p) {
        return std::max(bezel(p) + 2, std::max(p.y - 30.0, (p.x + p.y * 1.6) - 150));
    }, [](double, double) { return rgb(0xffffff); }, 0.045);

    // The display window: a black frame line, then the liquid-crystal glass,
    // shaded at its rim by the frame but flat and plain where text goes.
    auto lcdOuter = [](P p) { return roundRect(p, kLcdX0 - 1.5, kLcdY0 - 1.5, kLcdX1 + 1.5, kLcdY1 + 1.5, 5); };
    auto lcd = [](P p) { return roundRect(p, kLcdX0, kLcdY0, kLcdX1, kLcdY1, 3.5); };
    Box lcdBox = clipBox(img, kLcdX0 - 3, kLcdY0 - 3, kLcdX1 + 3, kLcdY1 + 3);
    // Light catching the lower lip of the recess.
    fillSolid(img, lcdBox, [&](P p) { return roundRect(p, kLcdX0 - 1.5, kLcdY0 - 0.5, kLcdX1 + 1.5, kLcdY1 + 2.5, 5); },
              rgb(0x5a5e64), 0.8);
    fillSolid(img, lcdBox, lcdOuter, rgb(0x08090a));
    fillShape(img, lcdBox, lcd, [&](double x, double y) {
        // The frame throws a shadow onto the glass from the top and left.
        double fromTop = y - kLcdY0, fromLeft = x - kLcdX0;
        double fromBottom = kLcdY1 - y, fromRight = kLcdX1 - x;
        double shade = 0.30 * std::exp(-fromTop / 2.0) + 0.22 * std::exp(-fromLeft / 2.0) +
                       0.08 * std::exp(-fromBottom / 1.5) + 0.08 * std::exp(-fromRight / 1.5);
        // Past the rim the glass is exactly the display colour, which the
        // blank bar and the indicator's off state repeat.
        if (shade < 0.01) return kLcd;
        return scale(kLcd, 1 - std::min(shade, 0.5));
    });

    // Printing on the bezel under the display: the model name and a
    // scanner-ready lamp.
    {
        const std::string name = "K400";
        double h = 10, pen = 1.6;
        double w = strokeTextWidth(name, h, pen);
        drawStrokeText(img, name, 105 - w / 2, 163, h, pen, kPrint, 0.9);
        drawSmallText(img, "SERIES", 105 - smallTextWidth("SERIES") / 2, 177, kPrint, 0.45);
    }
    {
        const double lx = 180, ly = 168;
        fillSoft(img, clipBox(img, lx - 7, ly - 7, lx + 7, ly + 7),
                 [&](P p) { return ellipseApprox(p, lx, ly, 2.2, 2.2); }, 3.0, rgb(0x30ff60), 0.25);
        fillShape(img, clipBox(img, lx - 4, ly - 4, lx + 4, ly + 4),
                  [&](P p) { return ellipseApprox(p, lx, ly, 2.6, 2.6); },
                  [&](double x, double y) {
                      double r = std::hypot(x - lx + 0.8, y - ly + 0.8);
                      return mix(rgb(0xc8ffd0), rgb(0x1c9a3a), clamp01(r / 2.6));
                  });
        fillShape(img, clipBox(img, 26, 164, 34, 172), [](P p) { return ellipseApprox(p, 30, 168, 2.6, 2.6); },
                  [](double x, double y) {
                      double r = std::hypot(x - 29.2, y - 167.2);
                      return mix(rgb(0x6a4a20), rgb(0x2a1e10), clamp01(r / 2.6));
                  });
    }

    // Between the two Enter keys: the scan mark, a little barcode.
    {
        const int widths[] = {2, 1, 1, 3, 1, 2, 1, 1, 2, 3, 1, 1, 2, 1, 2};
        int x = 90;
        bool bar = true;
        for (int w : widths) {
            if (bar)
                fillFaceRect(img, x, 210, x + w, 225, kPrint, 0.75);
            x += w;
            bar = !bar;
        }
        // Red scan line across it.
        fillFaceRect(img, 86, 217, x + 4, 218, rgb(0xe03030), 0.85);
        drawSmallText(img, "SCAN", 105 - smallTextWidth("SCAN") / 2, 227, kPrint, 0.55);
    }

    // Speaker slots at the bottom.
    for (int i = 0; i < 4; ++i) {
        double yy = 438 + i * 5.0;
        double half = 16 - i * 2.5;
        auto slot = [&](P p) { return roundRect(p, 105 - half, yy, 105 + half, yy + 2.2, 1.1); };
        fillSolid(img, clipBox(img, 105 - half, yy, 105 + half, yy + 3), [&](P p) { return roundRect(p, 105 - half, yy + 0.6, 105 + half, yy + 2.8, 1.1); },
                  rgb(0x55595f), 0.6);
        fillSolid(img, clipBox(img, 105 - half, yy, 105 + half, yy + 3), slot, rgb(0x0d0e10), 0.95);
    }
}

// ---- Keys -------------------------------------------------------------------

enum class Cap { Number, Arrow, Escape, Enter, Back };

struct KeyLook {
    Cap cap;
    std::string big;    // stroke-font legend, or a symbol name
    std::string small;  // bitmap-font legend beside it
    Color smallColor;
};

KeyLook keyLook(int key) {
    switch (key) {
    case 1: return {Cap::Number, "1", "_", kOrangeInk};
    case 2: return {Cap::Number, "2", "ABC", kOrangeInk};
    case 3: return {Cap::Number, "3", "DEF", kOrangeInk};
    case 4: return {Cap::Number, "4", "GHI", kOrangeInk};
    case 5: return {Cap::Number, "5", "JKL", kOrangeInk};
    case 6: return {Cap::Number, "6", "MNO", kOrangeInk};
    case 7: return {Cap::Number, "7", "PQRS", kOrangeInk};
    case 8: return {Cap::Number, "8", "TUV", kOrangeInk};
    case 9: return {Cap::Number, "9", "WXYZ", kOrangeInk};
    case 10: return {Cap::Number, "alpha", "FN", kWhiteInk};
    case 11: return {Cap::Number, "0", "/ *", kOrangeInk};
    case 12: return {Cap::Number, "menu", "", kWhiteInk};
    case 13: return {Cap::Number, "-", "+ $", kOrangeInk};
    case 14: return {Cap::Arrow, "up", "", kWhiteInk};
    case 15: return {Cap::Arrow, "down", "", kWhiteInk};
    case 16: return {Cap::Number, ".", "% #", kOrangeInk};
    case 17: return {Cap::Escape, "ESC", "", kWhiteInk};
    case 18: return {Cap::Back, "back", "", kWhiteInk};
    default: return {Cap::Enter, "ENT", "", kWhiteInk};
    }
}

Color capColor(Cap cap) {
    switch (cap) {
    case Cap::Arrow: return rgb(0x737a84);
    case Cap::Escape: return rgb(0xa83a32);
    case Cap::Enter: return rgb(0x3a8a4c);
    case Cap::Back: return rgb(0x575d66);
    default: return rgb(0x50555d);
    }
}

// A filled polygon in window pixels.
void fillPolygon(Image& img, const std::vector<P>& poly, Color c, double opacity = 1.0) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const P& p : poly) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    fillSolid(img, clipBox(img, x0, y0, x1, y1), [&](P p) { return insidePolygon(poly, p) ? -1.0 : 1.0; }, c,
              opacity);
}

// Strokes in window pixels with round caps.
void drawPolyline(Image& img, const std::vector<P>& pts, double width, Color c, double opacity = 1.0) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const P& p : pts) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    double r = width / 2;
    fillSolid(img, clipBox(img, x0 - r, y0 - r, x1 + r, y1 + r), [&](P p) {
        double d = 1e9;
        for (size_t i = 0; i + 1 < pts.size(); ++i) d = std::min(d, segmentDistance(p, pts[i], pts[i + 1]));
        return d - r;
    }, c, opacity);
}

// The legend, centred on the cap face at (cx, cy), capH pixels tall.
void drawLegend(Image& img, const KeyLook& look, double cx, double cy, double capH, double ink) {
    const Color white = kWhiteInk;
    const std::string& big = look.big;
    if (big == "up" || big == "down") {
        double s = big == "up" ? -1 : 1;
        double hw = 6.5, hh = 4.2;
        fillPolygon(img, {{cx - hw, cy - s * hh}, {cx + hw, cy - s * hh}, {cx, cy + s * hh}}, white, ink);
        return;
    }
    if (big == "back") {
        // A left arrow over a small "BS".
        drawPolyline(img, {{cx + 9, cy - 4}, {cx - 6, cy - 4}}, 1.8, white, ink);
        drawPolyline(img, {{cx - 2, cy - 8}, {cx - 7, cy - 4}, {cx - 2, cy}}, 1.8, white, ink);
        drawSmallText(img, "BS", static_cast<int>(std::lround(cx - 5)), static_cast<int>(std::lround(cy + 3)),
                      kOrangeInk, ink);
        return;
    }
    if (big == "ENT") {
        double h = 8, pen = 1.5;
        double w = strokeTextWidth(big, h, pen);
        drawStrokeText(img, big, cx - w / 2, cy - 10, h, pen, white, ink);
        // The return arrow under it.
        double ay = cy + 6;
        drawPolyline(img, {{cx + 7, ay - 5}, {cx + 7, ay}, {cx - 6, ay}}, 1.6, white, ink);
        fillPolygon(img, {{cx - 9.5, ay}, {cx - 4.5, ay - 3.6}, {cx - 4.5, ay + 3.6}}, white, ink);
        return;
    }
    if (big == "ESC") {
        double h = 9, pen = 1.6;
        double w = strokeTextWidth(big, h, pen);
        drawStrokeText(img, big, cx - w / 2, cy - h / 2 - 0.5, h, pen, white, ink);
        return;
    }
    if (big == "menu") {
        const std::string label = "MENU";
        double total = 9 + 4 + smallTextWidth(label);
        double x = cx - total / 2;
        for (int i = 0; i < 3; ++i)
            drawPolyline(img, {{x + 1, cy - 4 + i * 4.0}, {x + 8, cy - 4 + i * 4.0}}, 1.6, white, ink);
        drawSmallText(img, label, static_cast<int>(std::lround(x + 13)), static_cast<int>(std::lround(cy - 3.5)),
                      white, ink);
        return;
    }

    // A big sign with small letters beside it.
    std::string sign = big == "alpha" ? std::string("a") : big;
    double h = std::min(11.0, capH - 10);
    double pen = 1.7;
    double bigW = strokeTextWidth(sign, h, pen);
    int smallW = smallTextWidth(look.small);
    double gap = look.small.empty() ? 0 : 5;
    double total = bigW + gap + smallW;
    double x = cx - total / 2;
    Color bigColor = big == "alpha" ? kOrangeInk : white;
    drawStrokeText(img, sign, x, cy - h / 2 - 0.5, h, pen, bigColor, ink);
    if (!look.small.empty()) {
        int sx = static_cast<int>(std::lround(x + bigW + gap));
        int sy = static_cast<int>(std::lround(cy + h / 2 - 7.5));
        drawSmallText(img, look.small, sx, sy, look.smallColor, ink);
    }
}

// Draws key k over `img`, the piece of body it covers.
void drawKey(Image& img, const FaceKey& k, bool pressed) {
    const KeyLook look = keyLook(k.key);
    const Color base = capColor(look.cap);
    const double w = k.width, h = k.height;
    // Cap at rest: inset from the key's area, with room below for its shadow.
    double x0 = k.x + 2, y0 = k.y + 1.5, x1 = k.x + w - 2, y1 = k.y + h - 3.5;
    const double r = std::min(7.0, (y1 - y0) / 2.6);

    auto restCap = [=](P p) { return roundRect(p, x0, y0, x1, y1, r); };
    const Box all = wholeImage(img);

    // The well the key sits in shows as a dark ring.
    fillSoft(img, all, [&](P p) { return restCap(p) - 1.0; }, 1.0, rgb(0x121315), 0.55);

    if (!pressed) {
        // Drop shadow below and to the right.
        fillSoft(img, all, [&](P p) { return restCap({p.x - 0.6, p.y - 1.8}); }, 1.6, rgb(0x000000), 0.55);
    } else {
        // Pushed in: the cap drops into its well, the well's upper rim now
        // shades the cap, and the cap is darker.
        fillSolid(img, all, restCap, rgb(0x0e0f10), 0.9);
        x0 += 1;
        x1 += 1;
        y0 += 2;
        y1 += 2;
    }
    auto cap = [=](P p) { return roundRect(p, x0, y0, x1, y1, r); };

    const Color face = pressed ? scale(base, 0.78) : base;
    fillShape(img, all, cap, [&](double x, double y) {
        const double e = 0.5;
        double gx = (cap({x + e, y}) - cap({x - e, y})) / (2 * e);
        double gy = (cap({x, y + e}) - cap({x, y - e})) / (2 * e);
        // Slightly domed top: lighter above, darker below.
        double v = (y - y0) / (y1 - y0);
        Color c = scale(face, pressed ? 0.92 + 0.12 * v : 1.12 - 0.2 * v);
        return shadeRounded(c, -cap({x, y}), gx, gy, 3.2, pressed ? 0.06 : 0.28, pressed);
    });
    if (pressed) {
        // Inner shadow along the top and left where the well overhangs.
        for (int y = 0; y < img.h; ++y) {
            for (int x = 0; x < img.w; ++x) {
                P p{img.faceX(x + 0.5), img.faceY(y + 0.5)};
                if (cap(p) >= 0) continue;
                double s = 0.40 * std::exp(-(p.y - y0) / 1.6) + 0.25 * std::exp(-(p.x - x0) / 1.6);
                img.blend(x, y, rgb(0x000000), std::min(s, 0.6));
            }
        }
    }

    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    drawLegend(img, look, cx, cy, y1 - y0, pressed ? 0.8 : 1.0);
}

// ---- Display pieces -----------------------------------------------------

Image blankBar() { return Image(144, 13, kLcd); }

Image inkBar(int w, int h, bool rounded) {
    Image img(w, h, kLcd);
    if (rounded)
        fillSolid(img, {0, 0, w - 1, h - 1}, [=](P p) { return roundRect(p, 0, 0, w, h, 1.6); }, kLcdInk);
    else
        for (auto& c : img.px) c = kLcdInk;
    return img;
}

Image alphaIndicator(bool on) {
    Image img(6, 12, kLcd);
    if (!on) return img;
    // A small inverse "A" tab: the letter cut out of a dark block.
    static const char* rows[12] = {
        "######", "##..##", "#.##.#", "#.##.#", "#....#", "#.##.#",
        "#.##.#", "#.##.#", "######", "......", "######", "......",
    };
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 6; ++x)
            if (rows[y][x] == '#') img.at(x, y) = kLcdInk;
    return img;
}

// ---- Output -----------------------------------------------------------------

uint8_t byteOf(double v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255)); }

std::uint32_t pixelOf(Color c) {
    return static_cast<std::uint32_t>(byteOf(c.r)) << 16 | static_cast<std::uint32_t>(byteOf(c.g)) << 8 | byteOf(c.b);
}

FacePixels pixelsOf(const Image& img) {
    FacePixels out(img.w, img.h, 0);
    for (size_t i = 0; i < img.px.size(); ++i) out.pixels[i] = pixelOf(img.px[i]);
    return out;
}

}  // namespace
}  // namespace fw::face_art

namespace fw {

void FacePixels::paste(const FacePixels& piece, int x0, int y0) {
    const int left = std::max(0, -x0), top = std::max(0, -y0);
    const int right = std::min(piece.width, width - x0), bottom = std::min(piece.height, height - y0);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) at(x0 + x, y0 + y) = piece.at(x, y);
}

const FacePixels* FaceArtwork::displayPiece(int id) const {
    switch (id) {
        case kBitmapCursor: return &cursor;
        case kBitmapHighlight: return &highlight;
        case kBitmapBlank: return &blank;
        case kBitmapAlphaOn: return &alphaOn;
        case kBitmapAlphaOff: return &alphaOff;
        default: return nullptr;
    }
}

FaceArtwork drawFaceArtwork(const FaceScale& faceScale) {
    using namespace face_art;
    FaceArtwork art;
    art.scale = faceScale;
    Image body(faceScale.windowWidth(), faceScale.windowHeight(), kOutside, faceScale.factor());
    drawBody(body, faceScale);
    const Image bare = body;
    for (const FaceKey& k : kFaceKeys) {
        const size_t i = static_cast<size_t>(k.key - 1);
        for (bool pressed : {false, true}) {
            Image key = crop(bare, faceScale.keyRect(k.key));
            drawKey(key, k, pressed);
            (pressed ? art.pressed : art.released)[i] = pixelsOf(key);
            if (!pressed) paste(body, key);
        }
    }
    art.body = pixelsOf(body);
    art.cursor = pixelsOf(inkBar(9, 13, false));
    art.highlight = pixelsOf(inkBar(144, 13, true));
    art.blank = pixelsOf(blankBar());
    art.alphaOn = pixelsOf(alphaIndicator(true));
    art.alphaOff = pixelsOf(alphaIndicator(false));
    return art;
}

void composeFace(FacePixels& canvas, const FaceArtwork& art, int pressedKey, const DisplayPicture& display) {
    canvas = art.body;
    if (const FaceKey* k = faceKey(pressedKey)) {
        const FaceRect r = art.scale.keyRect(k->key);
        canvas.paste(art.pressed[static_cast<std::size_t>(k->key - 1)], r.left, r.top);
    }
    // The display at one dot a pixel first: its ground, the pieces, the text.
    const int dotsAcross = kTextArea.right - kTextArea.left;
    const int dotsDown = kTextArea.bottom - kTextArea.top;
    FacePixels dots(dotsAcross, dotsDown, kDisplayGround);
    for (const DisplayBitmap& b : display.bitmaps)
        if (const FacePixels* piece = art.displayPiece(b.id))
            dots.paste(*piece, b.at.x - kTextArea.left, b.at.y - kTextArea.top);
    const DisplayInk ink = drawDisplayText(display);
    for (int y = 0; y < dotsDown; ++y) {
        for (int x = 0; x < dotsAcross; ++x) {
            const Ink i = ink.at(x + kTextArea.left, y + kTextArea.top);
            if (i == Ink::Dark) dots.at(x, y) = 0x000000;
            else if (i == Ink::Light) dots.at(x, y) = 0xFFFFFF;
        }
    }
    // Then every dot as an n x n square.
    const int n = art.scale.dotSize();
    const FacePoint o = art.scale.dotOrigin();
    for (int y = 0; y < dotsDown * n; ++y) {
        const int cy = o.y + y;
        if (cy < 0 || cy >= canvas.height) continue;
        for (int x = 0; x < dotsAcross * n; ++x) {
            const int cx = o.x + x;
            if (cx >= 0 && cx < canvas.width) canvas.at(cx, cy) = dots.at(x / n, y / n);
        }
    }
}

}  // namespace fw
