// The program being designed and the file it belongs to.
//
// `currentFile` always names the file the model was last read from or saved
// to (empty for a new or imported program): it changes only when a load or a
// save succeeds. So after a rejected Open or a failed recent-file load a later
// Save can never write the model over the file that was refused.
#pragma once

#include <string>

#include "model/default_texts.h"
#include "model/program_file.h"
#include "model/program_model.h"
#include "shell/preferences.h"
#include "shell/settings_file.h"

namespace fw {

struct Document {
    ProgramModel model{};
    DefaultTexts defaults{};
    std::string currentFile;
    Preferences prefs;
    // Where the preferences are kept; a successful open or save rewrites them
    // with the new recent files. Empty: nowhere.
    SettingsFiles settings;
};

// New: forgets the file name and resets the model to a new program.
void newDocument(Document& doc);

// Reads `path` into the model. On success the file becomes the current one
// (a current-format file also goes to the top of the recent files; an older
// file is converted and left without a name, so the next Save asks for one)
// and `modified` is cleared, and the settings file is rewritten. On failure
// nothing changes.
LoadResult openDocument(Document& doc, const std::string& path);

// Writes the model to `path`. On success the file becomes the current one,
// goes to the top of the recent files, `modified` is cleared and the
// settings file is rewritten.
bool saveDocument(Document& doc, const std::string& path);

// The name Save As uses: ".FWX" is appended unless the text after the last
// "." of the file's name already begins with FWX (any case).
std::string withProgramExtension(const std::string& chosen);

// The text of recent-file entry k (0-based): "&1:  " and the path, a path of
// more than 40 characters shown as its first 15, "..." and its last 22. UTF-8,
// as the path.
std::string recentFileLabel(int k, const std::string& path);

// What a user is told of a program file that cannot be opened: its name and
// the system's reason (`error`, an errno value), in UTF-8.
std::string cannotOpenMessage(const std::string& path, int error);
// The same for a file that cannot be written.
std::string cannotWriteMessage(const std::string& path, int error);
// The same for a recent-file entry whose file is gone, asking whether to
// take it off the list.
std::string goneRecentFileQuestion(const std::string& path, int error);
// Whether `error` says the file is not there (rather than unreadable).
bool fileIsGone(int error);

// Takes `path` off the recent files; true when it was on the list.
bool forgetRecentFile(Document& doc, const std::string& path);

// The editor sheet's caption: prefix, " - [ ", the file or "New file", " ]",
// all UTF-8.
// `prefix` and `newFileText` are the language's texts when one is active.
std::string editorSheetCaption(const std::string& currentFile, const std::string& prefix = "Formwright",
                               const std::string& newFileText = "New file");

}  // namespace fw
