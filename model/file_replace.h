// The few file operations that the standard library cannot express: creating
// a file only if its name is free, pushing written bytes through the system's
// cache to the disk, and replacing one file by another in a single step (one
// implementation per platform); and, on top of them, writing a whole file so
// that a failure never destroys the previous one.
#pragma once

#include <cstddef>
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

// Writes `size` bytes as the whole content of `path`: first to a new file
// beside it, flushed to the disk, which then replaces `path` in one step.
// Whatever fails on the way (disk full, folder gone, power lost), `path` is
// either its old self or the complete new file. Returns false on failure.
bool writeFileReplacing(const std::string& path, const void* data, std::size_t size);

}  // namespace fw
