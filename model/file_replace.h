// The few file operations that the standard library cannot express: creating
// a file only if its name is free, pushing written bytes through the system's
// cache to the disk, and replacing one file by another in a single step (one
// implementation per platform); and, on top of them, writing a whole file so
// that a failure never destroys the previous one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fw {

// A file name as the program holds it, UTF-8 on every system, in the
// system's own form: on Windows UTF-16, made absolute and extended-length
// ("\\?\C:\...") when it is too long for the plain form, so that a path of
// any length opens. Names the system gives in its own form (the settings
// folder under a user name) stay std::filesystem::path throughout.
std::filesystem::path systemPath(const std::string& name);

// Opens a file named as the program holds it (UTF-8), as std::fopen does
// with `mode`. The one way the program opens a file by a name a user gave:
// on Windows a narrow fopen would read the name in the ANSI code page.
// `exclusive`: no other program may open the file while it is open (on
// Windows; elsewhere files are not locked).
std::FILE* openFile(const std::string& name, const char* mode, bool exclusive = false);

// The extended-length form of an absolute Windows path whose length needs
// it: a drive path becomes "\\?\C:\...", a share "\\?\UNC\server\...".
// A short path, a relative one, and one already in a device or
// extended-length form come back as they are. `path` must be absolute and
// normalised (backslashes, no "." or ".." parts): the system does not
// normalise an extended-length path.
std::u16string extendedLengthPath(std::u16string_view path);
// From this length on, a path is given in the extended-length form: a
// folder's path must leave room for an 8.3 name below MAX_PATH (260).
constexpr std::size_t kExtendedPathFrom = 248;

// Whether a new file can be created in `folder` now (a program folder under
// "C:\Program Files" cannot be written by a user without elevation).
bool folderWritable(const std::filesystem::path& folder);

// The user's own folder for the settings of program `programName`: in the
// roaming application-data folder on Windows, under $XDG_CONFIG_HOME or
// ~/.config elsewhere. Not created here; empty when the system names none.
std::filesystem::path userSettingsFolder(const std::string& programName);

// Creates `path` and opens it for binary writing. Fails (nullptr, errno
// EEXIST) when a file of that name already exists, so two writers never
// share a temporary file.
std::FILE* createNewFile(const std::filesystem::path& path);

// Makes the bytes already flushed from `f` durable on the disk.
bool syncToDisk(std::FILE* f);

// Replaces `to` by `from` in one step: afterwards `to` is either the old file
// or the complete new one, never a mixture. `from` no longer exists on
// success; on failure both are left as they were. A target that another
// program holds for a moment is tried again briefly (replace_retry.h).
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes `size` bytes as the whole content of `path`: first to a new file
// beside it, flushed to the disk, which then replaces `path` in one step.
// Whatever fails on the way (disk full, folder gone, power lost), `path` is
// either its old self or the complete new file. Returns false on failure.
bool writeFileReplacing(const std::filesystem::path& path, const void* data, std::size_t size);
inline bool writeFileReplacing(const std::string& name, const void* data, std::size_t size) {
    return !name.empty() && writeFileReplacing(systemPath(name), data, size);
}
inline bool writeFileReplacing(const char* name, const void* data, std::size_t size) {
    return writeFileReplacing(std::string(name ? name : ""), data, size);
}

}  // namespace fw
