#include "shell/document.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <system_error>

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

namespace {

// Where character `n` of UTF-8 text starts (its size past the last one):
// a path is cut between characters, never inside one.
std::size_t characterStart(const std::string& utf8, std::size_t n) {
    std::size_t i = 0;
    for (; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (n-- == 0) return i;
    }
    return i;
}

}  // namespace

std::string recentFileLabel(int k, const std::string& path) {
    char number[16];
    std::snprintf(number, sizeof number, "&%d:  ", k + 1);
    std::size_t count = 0;
    for (unsigned char c : path) count += (c & 0xC0) != 0x80;
    if (count <= 40) return number + path;
    return number + path.substr(0, characterStart(path, 15)) + "..." + path.substr(characterStart(path, count - 22));
}

static std::string reasonOf(int error) {
    return error != 0 ? std::generic_category().message(error) : "Unknown error";
}

std::string cannotOpenMessage(const std::string& path, int error) {
    return "Cannot open the file " + path + ":\n" + reasonOf(error) + ".";
}

std::string cannotWriteMessage(const std::string& path, int error) {
    return "Cannot write the file " + path + ":\n" + reasonOf(error) + ".";
}

bool fileIsGone(int error) { return error == ENOENT || error == ENOTDIR; }

std::string goneRecentFileQuestion(const std::string& path, int error) {
    return cannotOpenMessage(path, error) + "\n\nRemove it from the list of recent files?";
}

bool forgetRecentFile(Document& doc, const std::string& path) {
    auto& list = doc.prefs.recentFiles;
    const auto found = std::find(list.begin(), list.end(), path);
    if (found == list.end()) return false;
    list.erase(found);
    if (doc.prefs.lastFile == path) doc.prefs.lastFile = list.empty() ? std::string(kUnknownFile) : list.front();
    storeSettings(doc.settings, doc.prefs);
    return true;
}

std::string editorSheetCaption(const std::string& currentFile, const std::string& prefix,
                               const std::string& newFileText) {
    bool named = !currentFile.empty() && currentFile != kUnknownFile;
    return prefix + " - [ " + (named ? currentFile : newFileText) + " ]";
}

}  // namespace fw
