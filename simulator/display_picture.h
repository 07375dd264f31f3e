// What the window paints on the terminal's display, computed from the
// engine: the bitmaps (cursor, indicator, highlight bar, clock bar) and the
// text runs with their colours. The window draws exactly this, bitmaps
// first, then the texts, so that what appears on the display is decided
// here and can be checked without a window.
#pragma once

#include <string>
#include <vector>

#include "simulator/face_geometry.h"
#include "simulator/simulation_engine.h"

namespace fw {

struct DisplayBitmap {
    int id;
    FacePoint at;
};

struct DisplayText {
    FacePoint at;
    std::string text;
    bool light;   // white: on the highlight bar or on the cursor block
};

struct DisplayPicture {
    std::vector<DisplayBitmap> bitmaps;
    std::vector<DisplayText> texts;
};

// The display as it stands. `clock` is the main menu's clock line; it is
// drawn only while the engine shows the start screen.
DisplayPicture composeDisplay(const SimulationEngine& engine, const std::string& clock);

// The display's text as a screen reader reads it (Windows-1252 bytes): the
// lines that show something, without their trailing blanks, one a line; a
// letter being chosen is in its place; the highlighted line is marked with
// "> " in front, as the bar shows it.
std::string displayText(const SimulationEngine& engine);

}  // namespace fw
