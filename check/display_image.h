// The report's pictures of the terminal: a form or a menu as the simulated
// display shows it when it opens, drawn from the same picture and font the
// designer's window paints, and a sample entry that fills every input line.
#pragma once

#include <string>

#include "check/png.h"
#include "model/default_texts.h"
#include "model/program_model.h"
#include "simulator/simulation_engine.h"

namespace fw {

// The display area of the face (text area and a small margin) as the engine
// shows it now, each face pixel `scale` x `scale` image pixels.
RgbImage displayImage(const SimulationEngine& engine, int scale);

// The page of `target` (1-10 a form, 11-20 a menu) just opened, on a copy
// of the program tidied as Collect tidies it.
RgbImage pageImage(const ProgramModel& model, const DefaultTexts& defaults, int target, int scale);

// The clock every sample entry runs on, so that a report is the same each
// time it is made: 5 January 2024, 14:30:00.
LocalTime sampleTime();

// Form `form` (0-based) entered on the simulated terminal: every input line
// filled to its maximum length with a character its type accepts, Enter
// after each. `recorded` is false when the form completes no record (an
// entry it does not accept); `text` is the record's bytes.
struct SampleEntry {
    bool recorded = false;
    std::string text;
    std::string values[kLinesPerForm];
};
SampleEntry sampleEntry(const ProgramModel& model, const DefaultTexts& defaults, int form);

// The character a sample fills a line of `type` with.
char sampleCharacter(int type);

}  // namespace fw
