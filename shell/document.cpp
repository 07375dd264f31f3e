#include "shell/document.h"

#include <cctype>
#include <cstdio>

#include "model/program_defaults.h"
#include "shell/settings_file.h"

namespace fw {

void newDocument(Document& doc) {
    doc.currentFile.clear();
    newProgram(doc.model, doc.defaults);
}

LoadResult openDocument(Document& doc, const std::string& path) {
    LoadResult r = loadProgram(doc.model, doc.defaults, path);
    if (!r.ok()) return r;
    doc.model.modified = false;
    if (r.imported()) {
        doc.currentFile.clear();
    } else {
        doc.currentFile = path;
        noteRecentFile(doc.prefs, path);
        // A settings file that cannot be written is silently not written.
        storeSettings(doc.settings, doc.prefs);
    }
    return r;
}

bool saveDocument(Document& doc, const std::string& path) {
    if (!saveProgram(doc.model, path)) return false;
    doc.currentFile = path;
    doc.model.modified = false;
    noteRecentFile(doc.prefs, path);
    storeSettings(doc.settings, doc.prefs);
    return true;
}

std::string withProgramExtension(const std::string& chosen) {
    // Only the file's own name counts: a folder called "old.fwx" does not
    // give the file an extension.
    const std::string::size_type slash = chosen.find_last_of("\\/");
    const std::string::size_type start = slash == std::string::npos ? 0 : slash + 1;
    const std::string::size_type dot = chosen.rfind('.');
    if (dot != std::string::npos && dot >= start) {
        std::string ext = chosen.substr(dot + 1, 3);
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == "FWX") return chosen;
    }
    return chosen + ".FWX";
}

std::string recentFileLabel(int k, const std::string& path) {
    char number[16];
    std::snprintf(number, sizeof number, "&%d:  ", k + 1);
    if (path.size() <= 40) return number + path;
    return number + path.substr(0, 15) + "..." + path.substr(path.size() - 22);
}

std::string editorSheetCaption(const std::string& currentFile, const std::string& prefix,
                               const std::string& newFileText) {
    bool named = !currentFile.empty() && currentFile != kUnknownFile;
    return prefix + " - [ " + (named ? currentFile : newFileText) + " ]";
}

}  // namespace fw
