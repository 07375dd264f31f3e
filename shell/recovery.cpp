#include "shell/recovery.h"

#include <fstream>
#include <memory>
#include <system_error>

#include "model/file_replace.h"

namespace fw {

namespace {

constexpr std::size_t kMaxNameBytes = 32768 * 3;

}  // namespace

RecoveryFiles recoveryFilesFor(const SettingsFiles& settings) {
    if (settings.writeTo.empty()) return {};
    const std::filesystem::path folder = settings.writeTo.parent_path();
    return {folder / "FWK400 recovery.FWX", folder / "FWK400 recovery.txt"};
}

bool writeRecovery(const RecoveryFiles& files, const ProgramModel& model, const std::string& currentFile) {
    if (files.program.empty()) return false;
    const std::vector<uint8_t> bytes = programFileBytes(model);
    // The name first: a copy is never read under the name of another.
    return writeFileReplacing(files.name, currentFile.data(), currentFile.size()) &&
           writeFileReplacing(files.program, bytes.data(), bytes.size());
}

bool recoveryExists(const RecoveryFiles& files) {
    std::error_code ec;
    return !files.program.empty() && std::filesystem::is_regular_file(files.program, ec);
}

bool readRecovery(const RecoveryFiles& files, ProgramModel& model, const DefaultTexts& defaults,
                  std::string& currentFile) {
    if (!recoveryExists(files)) return false;
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(files.program, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const LoadResult r = loadProgramBytes(model, defaults, bytes.data(), bytes.size());
    if (!r.ok()) return false;
    std::string name;
    std::ifstream in(files.name, std::ios::binary);
    if (in) {
        name.resize(kMaxNameBytes);
        in.read(name.data(), static_cast<std::streamsize>(name.size()));
        name.resize(static_cast<std::size_t>(in.gcount()));
    }
    currentFile = name;
    return true;
}

void removeRecovery(const RecoveryFiles& files) {
    std::error_code ignored;
    if (!files.program.empty()) std::filesystem::remove(files.program, ignored);
    if (!files.name.empty()) std::filesystem::remove(files.name, ignored);
}

std::string restoreRecoveryQuestion(const std::string& currentFile) {
    const std::string what = currentFile.empty() ? "a new program" : currentFile;
    return "The designer ended last time without saving the changes to " + what +
           ".\n\nRestore the unsaved changes?";
}

}  // namespace fw
