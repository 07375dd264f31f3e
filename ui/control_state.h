// What a control of a page or dialog shows, what the user did to it, and
// what the core answers. Core objects compute ControlStates; the Win32
// binding (ui/win/binding.h) applies them and hands the user's input
// back, so no window procedure decides anything.
#pragma once

#include <string>
#include <vector>

namespace fw {

struct ControlState {
    bool enabled = true;
    bool visible = true;
    bool checked = false;    // check boxes and radio buttons
    int selection = -1;      // lists: the entry to select, -1 for none
    std::string text;        // boxes and labels: the text to show
    int limit = 0;           // boxes: characters that can be typed, 0 = any
};

// The control's value when the user changed it.
struct ControlInput {
    bool checked = false;
    int selection = -1;
    std::string text;        // boxes: what was typed, as the terminal's bytes
    std::string refusal;     // boxes: why a typed character was left out of `text`
};

// What the window must do after an event.
enum class Refresh {
    States,     // apply every control's enabled, visible, checked and selection
    Everything  // also every list's entries and every box's text (another
                // record is shown, a Reset, a switch of font)
};

struct ControlReply {
    bool putBack = false;    // the box must show `text` instead of what was typed
    std::string text;
    Refresh refresh = Refresh::States;
    unsigned warning = 0;    // a text shown in a "Warning" box first; 0 none

    static ControlReply states() { return {}; }
    static ControlReply everything() { return {false, {}, Refresh::Everything}; }
    static ControlReply corrected(std::string shown) { return {true, std::move(shown), Refresh::States}; }
};

// A typed entry's reply: the correction when there is one.
template <class Entry>
ControlReply replyTo(const Entry& e) {
    return e.putBack ? ControlReply::corrected(e.text) : ControlReply::states();
}

using ListEntries = std::vector<std::string>;

// States of the common kinds.
inline ControlState selectedState(int selection, bool enabled = true) {
    ControlState s;
    s.selection = selection;
    s.enabled = enabled;
    return s;
}
inline ControlState checkedState(bool checked, bool enabled = true) {
    ControlState s;
    s.checked = checked;
    s.enabled = enabled;
    return s;
}
inline ControlState enabledState(bool enabled) {
    ControlState s;
    s.enabled = enabled;
    return s;
}
// A label beside a control: only whether it can be used, never its text.
inline ControlState labelOf(const ControlState& control) {
    ControlState s;
    s.enabled = control.enabled;
    s.visible = control.visible;
    return s;
}

}  // namespace fw
