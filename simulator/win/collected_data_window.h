// The "Collected data..." window: the records the simulated terminal has
// completed, kept current while the user goes on collecting on the face,
// with Save As and Clear. Modeless; one at a time.
#pragma once

#include <windows.h>

#include <functional>

#include "simulator/simulation_engine.h"

namespace fw::win {

// What the window is given; it must outlive the window.
struct CollectedDataContext {
    const SimulationEngine* engine = nullptr;
    // Save As with its dialogs over `window`; Clear. Both are the session's.
    std::function<void(HWND window)> saveAs;
    std::function<void()> clear;
    HWND window = nullptr;   // the open window, null while there is none
};

// Opens the window beside `owner` (the terminal window), or brings the open
// one to the front. Returns it, or null when it cannot be created.
HWND openCollectedDataWindow(HWND owner, HINSTANCE instance, CollectedDataContext& context);

// For the message loop: the window's keyboard navigation (Tab, Enter, Esc).
bool collectedDataDialogMessage(const CollectedDataContext& context, MSG* msg);

}  // namespace fw::win
