// The application's flow as a diagram: the main menu, the forms and menus in
// use as boxes, the targets between them as arrows. A small layered layout
// of our own: each page goes one layer below the first page that reaches it
// (breadth first from the main menu), pages in a layer are ordered by where
// their callers stand, and arrows that run back up go round the side.
#pragma once

#include <string>
#include <vector>

#include "model/program_model.h"

namespace fw {

struct FlowBox {
    int target = 0;        // 0 the main menu, 1-10 form, 11-20 menu
    std::string title;     // "Form 3", "Menu 1", "Main menu"
    std::string subtitle;  // the menu's caption or the form's first prompt (UTF-8)
    int layer = 0;
    int order = 0;         // place in the layer, from the left
    int x = 0, y = 0;      // top-left corner
    bool reached = true;   // false: no menu, target or start reaches it
};

struct FlowArrow {
    int from = 0;          // target codes of the boxes
    int to = 0;
    std::string label;     // "Next", "ESC", "#2 Count", "FN + 1", "Collect"; several joined by ", "
};

struct FlowDiagram {
    std::vector<FlowBox> boxes;
    std::vector<FlowArrow> arrows;
    int width = 0;
    int height = 0;

    const FlowBox* box(int target) const;
};

constexpr int kFlowBoxWidth = 150;
constexpr int kFlowBoxHeight = 44;

FlowDiagram layoutFlow(const ProgramModel& model);

// The diagram as an inline <svg> element.
std::string flowSvg(const FlowDiagram& diagram);

}  // namespace fw
