#include "check/flow_diagram.h"

#include <algorithm>
#include <deque>
#include <map>
#include <sstream>

#include "check/checker.h"
#include "check/html.h"
#include "model/fixed_text.h"
#include "texts/code_page.h"

namespace fw {

namespace {

constexpr int kLayerGap = 70;    // between the rows of boxes
constexpr int kBoxGap = 30;      // between boxes of a row
constexpr int kSideRoom = 110;   // left and right, for the arrows that run back and the loops
constexpr int kLane = 9;         // between two arrows that run back on one side

bool used(const ProgramModel& m, int target) {
    if (target == kTargetMain) return true;
    if (target <= kFormCount) return formHasInput(m.forms[target - 1]);
    if (target <= kFormCount + kMenuCount) return menuItemCount(m.menus[target - kFormCount - 1]) > 0;
    return false;
}

// The targets a page passes control to, with the label of each.
std::vector<FlowArrow> arrowsFrom(const ProgramModel& m, int target) {
    std::vector<FlowArrow> out;
    if (target == kTargetMain) {
        const int start = startTarget(m);
        if (start >= 0) out.push_back({kTargetMain, start, "Collect"});
        return out;
    }
    if (target <= kFormCount) {
        const FormDef& f = m.forms[target - 1];
        out.push_back({target, f.nextTarget, "Next"});
        out.push_back({target, f.escTarget, "ESC"});
        for (int k = 0; k < kBranchKeys; ++k)
            if (f.branch[k] != 0) out.push_back({target, f.branch[k], "FN + " + std::to_string(k + 1)});
        return out;
    }
    const MenuDef& menu = m.menus[target - kFormCount - 1];
    const int count = std::min(menuItemCount(menu), kItemsPerMenu);
    for (int k = 0; k < count; ++k)
        out.push_back({target, menu.itemNext[k],
                       "#" + std::to_string(k + 1) + " " + utf8FromCodePage(fieldText(menu.itemName[k]))});
    out.push_back({target, menu.escTarget, "ESC"});
    return out;
}

std::string subtitleOf(const ProgramModel& m, int target) {
    if (target == kTargetMain) return "start screen";
    if (target <= kFormCount) {
        const FormDef& f = m.forms[target - 1];
        for (int i = 0; i < kLinesPerForm; ++i)
            if (f.dataType[i] != kTypeNil && !fieldText(f.prompt[i]).empty())
                return utf8FromCodePage(fieldText(f.prompt[i]));
        return {};
    }
    const MenuDef& menu = m.menus[target - kFormCount - 1];
    return utf8FromCodePage(fieldText(menu.caption));
}

// Where a label may stand: its rough extent at the diagram's 11 px
// DejaVu Sans (wide letters, so a little generous), from its baseline point.
struct LabelBox {
    int x0, y0, x1, y1;
    bool meets(const LabelBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

LabelBox labelBox(int x, int y, const char* anchor, const std::string& text) {
    int letters = 0;
    for (unsigned char c : text) letters += (c & 0xC0) != 0x80;
    const int width = letters * 7 + 2;
    const int left = anchor[0] == 's' ? x : anchor[0] == 'e' ? x - width : x - width / 2;
    return {left - 1, y - 10, left + width + 1, y + 3};
}

struct LabelSpot {
    int x, y;
    const char* anchor;
};

std::string titleOf(int target) {
    if (target == kTargetMain) return "Main menu";
    if (target <= kFormCount) return "Form " + std::to_string(target);
    return "Menu " + std::to_string(target - kFormCount);
}

}  // namespace

const FlowBox* FlowDiagram::box(int target) const {
    for (const FlowBox& b : boxes)
        if (b.target == target) return &b;
    return nullptr;
}

FlowDiagram layoutFlow(const ProgramModel& m) {
    FlowDiagram d;
    constexpr int kCodes = kFormCount + kMenuCount + 1;
    int layer[kCodes];
    std::fill(layer, layer + kCodes, -1);

    // Layers, breadth first from the main menu.
    std::deque<int> queue{kTargetMain};
    layer[kTargetMain] = 0;
    std::vector<int> order{kTargetMain};
    while (!queue.empty()) {
        const int t = queue.front();
        queue.pop_front();
        for (const FlowArrow& a : arrowsFrom(m, t)) {
            if (a.to < 0 || a.to >= kCodes || !used(m, a.to) || layer[a.to] >= 0) continue;
            layer[a.to] = layer[t] + 1;
            order.push_back(a.to);
            queue.push_back(a.to);
        }
    }
    int deepest = 0;
    for (int t : order) deepest = std::max(deepest, layer[t]);
    // Pages nothing reaches stand in a row of their own at the bottom.
    bool unreached = false;
    for (int t = 1; t < kCodes; ++t)
        if (used(m, t) && layer[t] < 0) {
            layer[t] = deepest + 1;
            order.push_back(t);
            unreached = true;
        }
    const int layers = deepest + 1 + (unreached ? 1 : 0);

    // Arrows between boxes, one per pair, labels joined.
    std::map<std::pair<int, int>, std::string> joined;
    std::vector<std::pair<int, int>> pairs;
    for (int t : order)
        for (const FlowArrow& a : arrowsFrom(m, t)) {
            if (a.to < 0 || a.to >= kCodes || !used(m, a.to)) continue;
            const auto key = std::make_pair(a.from, a.to);
            auto it = joined.find(key);
            if (it == joined.end()) {
                joined[key] = a.label;
                pairs.push_back(key);
            } else {
                it->second += ", " + a.label;
            }
        }
    for (const auto& p : pairs) d.arrows.push_back({p.first, p.second, joined[p]});

    // Order in a layer: by the mean place of the callers in the layer above
    // (the order of discovery for the first layer and for ties).
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(layers));
    for (int t : order) rows[static_cast<std::size_t>(layer[t])].push_back(t);
    std::vector<double> place(kCodes, 0.0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) {
            std::vector<std::pair<double, int>> keyed;
            for (std::size_t i = 0; i < rows[r].size(); ++i) {
                const int t = rows[r][i];
                double sum = 0;
                int n = 0;
                for (const FlowArrow& a : d.arrows)
                    if (a.to == t && layer[a.from] == static_cast<int>(r) - 1) sum += place[a.from], ++n;
                keyed.push_back({n > 0 ? sum / n : 1e9 + static_cast<double>(i), t});
            }
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = 0; i < keyed.size(); ++i) rows[r][i] = keyed[i].second;
        }
        for (std::size_t i = 0; i < rows[r].size(); ++i) place[rows[r][i]] = static_cast<double>(i);
    }

    std::size_t widest = 1;
    for (const auto& row : rows) widest = std::max(widest, row.size());
    d.width = 2 * kSideRoom + static_cast<int>(widest) * (kFlowBoxWidth + kBoxGap) - kBoxGap;
    d.height = layers * (kFlowBoxHeight + kLayerGap) - kLayerGap + 40;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int rowWidth = static_cast<int>(rows[r].size()) * (kFlowBoxWidth + kBoxGap) - kBoxGap;
        const int left = (d.width - rowWidth) / 2;
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            FlowBox b;
            b.target = rows[r][i];
            b.title = titleOf(b.target);
            b.subtitle = subtitleOf(m, b.target);
            b.layer = static_cast<int>(r);
            b.order = static_cast<int>(i);
            b.x = left + static_cast<int>(i) * (kFlowBoxWidth + kBoxGap);
            b.y = 20 + static_cast<int>(r) * (kFlowBoxHeight + kLayerGap);
            b.reached = !(unreached && r + 1 == rows.size());
            d.boxes.push_back(std::move(b));
        }
    }
    return d;
}

std::string flowSvg(const FlowDiagram& d) {
    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"flow\" width=\"" << d.width << "\" height=\""
      << d.height << "\" viewBox=\"0 0 " << d.width << ' ' << d.height << "\" role=\"img\">\n"
      << "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"7\" "
         "markerHeight=\"7\" orient=\"auto-start-reverse\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#444\"/>"
         "</marker></defs>\n";
    int lanes[2] = {0, 0};   // arrows already running back on the left and on the right
    int boxesLeft = d.width, boxesRight = 0;
    for (const FlowBox& b : d.boxes) {
        boxesLeft = std::min(boxesLeft, b.x);
        boxesRight = std::max(boxesRight, b.x + kFlowBoxWidth);
    }
    // Boxes first, then the arrows' lines, then their labels on top with a
    // white edge, each where it meets no box and no label already placed.
    std::vector<LabelBox> taken;
    for (const FlowBox& b : d.boxes) {
        taken.push_back({b.x - 2, b.y - 2, b.x + kFlowBoxWidth + 2, b.y + kFlowBoxHeight + 2});
        const bool menu = b.target > kFormCount;
        s << "<g class=\"box\" data-target=\"" << b.target << "\"><rect x=\"" << b.x << "\" y=\"" << b.y
          << "\" width=\"" << kFlowBoxWidth << "\" height=\"" << kFlowBoxHeight << "\" rx=\"" << (menu ? 10 : 2)
          << "\" fill=\"" << (b.target == kTargetMain ? "#e8e8e8" : menu ? "#e4eefb" : "#eef6e6") << "\" stroke=\""
          << (b.reached ? "#333" : "#c00") << "\"" << (b.reached ? "" : " stroke-dasharray=\"4 2\"") << "/>"
          << "<text x=\"" << b.x + kFlowBoxWidth / 2 << "\" y=\"" << b.y + 18
          << "\" text-anchor=\"middle\" font-weight=\"bold\">" << htmlEscape(b.title) << "</text>";
        if (!b.subtitle.empty())
            s << "<text x=\"" << b.x + kFlowBoxWidth / 2 << "\" y=\"" << b.y + 35 << "\" text-anchor=\"middle\">"
              << htmlEscape(b.subtitle) << "</text>";
        s << "</g>\n";
    }
    std::ostringstream labels;
    for (const FlowArrow& a : d.arrows) {
        const FlowBox* from = d.box(a.from);
        const FlowBox* to = d.box(a.to);
        if (!from || !to) continue;
        s << "<g class=\"arrow\" data-from=\"" << a.from << "\" data-to=\"" << a.to << "\">";
        std::vector<LabelSpot> spots;   // the best first
        bool dashed = false;
        if (a.from == a.to) {
            // A loop on the right side of the box.
            const int x = from->x + kFlowBoxWidth, y = from->y;
            s << "<path d=\"M" << x << ',' << y + 12 << " C" << x + 40 << ',' << y - 6 << ' ' << x + 40 << ','
              << y + kFlowBoxHeight + 6 << ' ' << x << ',' << y + kFlowBoxHeight - 12 << "\"";
            // Right of the loop; where a box stands close, over or under it.
            for (int dy : {0, -16, 16}) spots.push_back({x + 34, y + kFlowBoxHeight / 2 + 4 + dy, "start"});
            spots.push_back({x + 22, y - 4, "middle"});
            spots.push_back({x + 22, y + kFlowBoxHeight + 13, "middle"});
        } else if (to->layer == from->layer) {
            // Along a row: straight across, above the middle; the label over
            // the gap, or above or below the boxes where the gap is too small.
            const bool right = to->x > from->x;
            const int x1 = right ? from->x + kFlowBoxWidth : from->x, x2 = right ? to->x : to->x + kFlowBoxWidth;
            const int y = from->y + 10;
            s << "<path d=\"M" << x1 << ',' << y << " L" << x2 << ',' << y << "\"";
            for (int ly : {y - 3, from->y - 5, from->y - 19, from->y + kFlowBoxHeight + 13})
                spots.push_back({(x1 + x2) / 2, ly, "middle"});
        } else if (to->layer > from->layer) {
            const int x1 = from->x + kFlowBoxWidth / 2, y1 = from->y + kFlowBoxHeight;
            const int x2 = to->x + kFlowBoxWidth / 2, y2 = to->y;
            const int ym = (y1 + y2) / 2;
            s << "<path d=\"M" << x1 << ',' << y1 << " C" << x1 << ',' << ym << ' ' << x2 << ',' << ym << ' ' << x2
              << ',' << y2 << "\"";
            // Near the end of the arrow, where arrows from one box have
            // spread apart; failing that, further up the curve, either side.
            for (const double t : {0.8, 0.65, 0.9, 0.5}) {
                const double u = 1 - t;
                const int px = int(u * u * u * x1 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x2);
                const int py = int(u * u * u * y1 + 3 * u * u * t * ym + 3 * u * t * t * ym + t * t * t * y2);
                spots.push_back({px + 4, py + 4, "start"});
                spots.push_back({px - 4, py + 4, "end"});
            }
        } else {
            // Back up: out of the top of the box into the gap above its row,
            // along a lane outside every box, and into the bottom of the
            // target from the gap below its row, so that no line crosses a
            // box. Boxes left of the middle go round the left, those in the
            // middle round either side in turn.
            const int centre = from->x + kFlowBoxWidth / 2 - d.width / 2;
            const int side = centre < -kFlowBoxWidth / 2  ? 0
                             : centre > kFlowBoxWidth / 2 ? 1
                                                          : (lanes[0] + lanes[1]) % 2;
            const bool left = side == 0;
            const int k = lanes[side]++;
            const int inset = 12 + 6 * (k % 5);
            const int x1 = left ? from->x + inset : from->x + kFlowBoxWidth - inset;
            const int x2 = left ? to->x + inset : to->x + kFlowBoxWidth - inset;
            const int y1 = from->y, y2 = to->y + kFlowBoxHeight;
            const int above = y1 - 8 - 5 * (k % 6), below = y2 + 8 + 5 * (k % 6);
            const int lane = left ? boxesLeft - 14 - kLane * k : boxesRight + 14 + kLane * k;
            s << "<path d=\"M" << x1 << ',' << y1 << " L" << x1 << ',' << above << " L" << lane << ',' << above << " L"
              << lane << ',' << below << " L" << x2 << ',' << below << " L" << x2 << ',' << y2 << "\"";
            // Beside the lane, up or down it from its middle; else over one of
            // the two stretches across; else inside the lane.
            const int middle = (above + below) / 2 + 4;
            const int x = lane + (left ? -3 : 3);
            const char* outside = left ? "end" : "start";
            spots.push_back({x, middle, outside});
            for (int step = 14; step <= (above - below) / 2; step += 14) {
                spots.push_back({x, middle + step, outside});
                spots.push_back({x, middle - step, outside});
            }
            for (int dy : {-3, 12}) {
                spots.push_back({(lane + x2) / 2, below + dy, "middle"});
                spots.push_back({(lane + x1) / 2, above + dy, "middle"});
            }
            spots.push_back({lane + (left ? 3 : -3), middle, left ? "start" : "end"});
            dashed = true;
        }
        s << (dashed ? " stroke-dasharray=\"5 3\"" : "") << " fill=\"none\" stroke=\"#444\" marker-end=\"url(#arrow)\"/>"
          << "</g>\n";
        LabelSpot chosen = spots.front();
        for (const LabelSpot& spot : spots) {
            const LabelBox box = labelBox(spot.x, spot.y, spot.anchor, a.label);
            if (std::none_of(taken.begin(), taken.end(), [&](const LabelBox& t) { return t.meets(box); })) {
                chosen = spot;
                break;
            }
        }
        taken.push_back(labelBox(chosen.x, chosen.y, chosen.anchor, a.label));
        labels << "<text class=\"label\" data-from=\"" << a.from << "\" data-to=\"" << a.to << "\" x=\"" << chosen.x
               << "\" y=\"" << chosen.y << "\" text-anchor=\"" << chosen.anchor
               << "\" stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">" << htmlEscape(a.label) << "</text>\n";
    }
    s << labels.str();
    s << "</svg>\n";
    return s.str();
}

}  // namespace fw
