// The recovery copy: an unsaved program kept beside the settings file, so
// that a crash, a power cut or a Windows restart never takes the work with
// it. It is written after each editor OK while the program has unsaved
// changes, and goes once the changes are saved or given up; a copy still
// there at the next start is what an unclean end left, and is offered back.
#pragma once

#include <filesystem>
#include <string>

#include "model/program_file.h"
#include "model/settings_place.h"

namespace fw {

struct RecoveryFiles {
    std::filesystem::path program;   // the program, as a program file
    std::filesystem::path name;      // the name it was being edited under (UTF-8), empty for a new one
};

// "FWK400 recovery.FWX" and "FWK400 recovery.txt" in the folder the settings
// are written to.
RecoveryFiles recoveryFilesFor(const SettingsFiles& settings);

// Writes the copy whole or leaves the previous one (each file is replaced in
// one step).
bool writeRecovery(const RecoveryFiles& files, const ProgramModel& model, const std::string& currentFile);
bool recoveryExists(const RecoveryFiles& files);
// Loads the copy into `model` (left as it was when it cannot be read) and
// the name it was edited under into `currentFile`.
bool readRecovery(const RecoveryFiles& files, ProgramModel& model, const DefaultTexts& defaults,
                  std::string& currentFile);
void removeRecovery(const RecoveryFiles& files);

// The question at start-up (UTF-8).
std::string restoreRecoveryQuestion(const std::string& currentFile);

}  // namespace fw
