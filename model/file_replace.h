// The few file operations of the program file that the standard library
// cannot express: creating a file only if its name is free, pushing written
// bytes through the system's cache to the disk, and replacing one file by
// another in a single step. One implementation per platform.
#pragma once

#include <cstdio>
#include <string>

namespace fw {

// Creates `path` and opens it for binary writing. Fails (nullptr, errno
// EEXIST) when a file of that name already exists, so two writers never
// share a temporary file.
std::FILE* createNewFile(const std::string& path);

// Makes the bytes already flushed from `f` durable on the disk.
bool syncToDisk(std::FILE* f);

// Replaces `to` by `from` in one step: afterwards `to` is either the old file
// or the complete new one, never a mixture. `from` no longer exists on
// success; on failure both are left as they were.
bool replaceFile(const std::string& from, const std::string& to);

}  // namespace fw
