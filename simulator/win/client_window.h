// The "Client" window: paints the terminal's body, keys and display, turns
// clicks on the painted keys into key presses for the simulation engine and
// drags its parent window from anywhere else.
#pragma once

#include <windows.h>

#include <functional>

#include "model/program_model.h"
#include "simulator/simulation_engine.h"

namespace fw::win {

// What the window is given at creation (CreateWindow's parameter); it must
// outlive the window.
struct ClientContext {
    SimulationEngine* engine = nullptr;
    const ProgramModel* model = nullptr;
    // The command popup menu at a screen point.
    std::function<void(int x, int y)> openCommandMenu;
    // Collect found nothing to run: the user has been told; start a program.
    std::function<void()> noProgram;
};

// The DPI the window is shown at (the system's before Windows 10 1607).
int windowDpi(HWND hwnd);

// The face drawn again for `dpi` and the window sized to it, as when the
// terminal window moves to a monitor of another scale.
void setClientDpi(HWND client, int dpi);

LRESULT CALLBACK clientWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
