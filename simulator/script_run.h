// The simulated terminal without a window: a key script run against the
// engine on a clock that only moves when the script waits, so that the same
// script on the same program always gives the same display and records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "simulator/key_script.h"
#include "simulator/simulation_engine.h"

namespace fw {

// "YYYY-MM-DDTHH:MM:SS", a real date and time of day; false otherwise.
bool parseLocalTime(std::string_view text, LocalTime& time);
// `time` moved on by `seconds` (not negative), across days, months and years.
LocalTime addSeconds(const LocalTime& time, long long seconds);

class ScriptedTerminal {
public:
    // Starts on the start screen at `start`.
    ScriptedTerminal(ProgramModel& model, const DefaultTexts& defaults, const LocalTime& start);
    ScriptedTerminal(const ScriptedTerminal&) = delete;
    ScriptedTerminal& operator=(const ScriptedTerminal&) = delete;

    // Carries out one step as a user at the face would: a key is a click on
    // it; a text switches alphabetic entry on or off as its characters need
    // (in form entry), presses each key as often as the letter needs, lets
    // the 700 ms pass where the next letter is on the same key, and ends
    // with its last letter committed; a wait ticks the engine and moves the
    // clock on.
    void step(const ScriptStep& step);

    // Collect found nothing to run ("Please define your program!").
    bool nothingToRun() const { return nothingToRun_; }

    SimulationEngine& engine() { return engine_; }
    const SimulationEngine& engine() const { return engine_; }
    const LocalTime& now() const { return now_; }

    // The display as text: the 8 lines between bars, the highlighted one
    // marked with ">", control codes made visible; on the start screen the
    // clock line follows.
    std::vector<std::string> displayLines() const;

private:
    void note(const EngineUpdate& u) { nothingToRun_ = nothingToRun_ || u.defineProgram; }
    void commitLetter();

    const ProgramModel& model_;
    LocalTime now_;
    SimulationEngine engine_;
    bool nothingToRun_ = false;
};

}  // namespace fw
