#include "simulator/display_picture.h"

namespace fw {

DisplayPicture composeDisplay(const SimulationEngine& e, const std::string& clock) {
    DisplayPicture p;
    const bool inForm = e.mode() == EngineMode::Form;
    const FacePoint cursor = cursorPosition(e.cursorColumn(), e.cursorRow());
    if (inForm) p.bitmaps.push_back({kBitmapCursor, cursor});
    if (e.alphaOn()) p.bitmaps.push_back({kBitmapAlphaOn, kIndicatorPosition});
    const char pending = inForm ? e.pendingLetter() : 0;
    for (int i = 0; i < kDisplayLineCount; ++i) {
        const bool highlighted = e.highlight() == i + 1;
        if (highlighted) p.bitmaps.push_back({kBitmapHighlight, highlightBarPosition(i, e.largePitch())});
        std::string text(e.line(i));
        // The engine keeps the letter being chosen in the line at the
        // cursor's column; it is shown once, on the cursor block, below.
        if (pending && i == e.cursorRow() && e.cursorColumn() < static_cast<int>(text.size()) &&
            text[static_cast<std::size_t>(e.cursorColumn())] == pending)
            text[static_cast<std::size_t>(e.cursorColumn())] = ' ';
        if (text.find_first_not_of(' ') != std::string::npos)
            p.texts.push_back({linePosition(i, e.largePitch()), std::move(text), highlighted});
    }
    if (pending) p.texts.push_back({{cursor.x, cursor.y - 1}, std::string(1, pending), true});
    if (e.mode() == EngineMode::Start) {
        p.bitmaps.push_back({kBitmapBlank, kClockBarPosition});
        p.texts.push_back({kClockLinePosition, clock, false});
    }
    return p;
}

std::string displayText(const SimulationEngine& e) {
    std::string all;
    for (int i = 0; i < kDisplayLineCount; ++i) {
        const std::string_view line = e.line(i);
        const std::size_t end = line.find_last_not_of(' ');
        if (end == std::string_view::npos) continue;
        if (!all.empty()) all += '\n';
        if (e.highlight() == i + 1) all += "> ";
        all += line.substr(0, end + 1);
    }
    return all;
}

}  // namespace fw
