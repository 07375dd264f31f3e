#include "model/file_replace.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>

#include "model/replace_retry.h"
#include "texts/code_page.h"

namespace fw {

std::filesystem::path systemPath(const std::string& name) {
    if (name.empty()) return {};
    const std::u16string utf16 = utf16FromUtf8(name);
    std::wstring wide(utf16.begin(), utf16.end());
    if (wide.size() < kExtendedPathFrom) return std::filesystem::path(wide);
    // Long: the extended-length form, which the system takes only absolute
    // and normalised; GetFullPathNameW does both.
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return std::filesystem::path(wide);
    full.resize(n);
    const std::u16string extended = extendedLengthPath(std::u16string(full.begin(), full.end()));
    return std::filesystem::path(std::wstring(extended.begin(), extended.end()));
}

std::FILE* openFile(const std::string& name, const char* mode, bool exclusive) {
    if (name.empty() || !mode) return nullptr;
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfsopen(systemPath(name).c_str(), wideMode.c_str(), exclusive ? _SH_DENYRW : _SH_DENYNO);
}

bool folderWritable(const std::filesystem::path& folder) {
    // A probe that vanishes by itself when closed. CreateFile, not the
    // folder's attributes: "Program Files" is not read-only, its access list
    // keeps users out.
    std::filesystem::path probe = folder / L"~fw-write-probe.";
    probe += std::to_wstring(GetCurrentProcessId());
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

std::filesystem::path userSettingsFolder(const std::string& programName) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0])
        return {};
    return std::filesystem::path(folder) / systemPath(programName);
}

std::FILE* createNewFile(const std::filesystem::path& path) {
    int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) _close(fd);
    return f;
}

bool syncToDisk(std::FILE* f) {
    return _commit(_fileno(f)) == 0;
}

namespace {

// What a scanner, the indexer or a sync client holding the old file for a
// moment makes MoveFileEx report.
bool heldForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_USER_MAPPED_FILE;
}

// The C library's number for why a move failed, for the messages that say so.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return EBUSY;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    default: return EIO;
    }
}

}  // namespace

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return replaceWithRetry(
        [&] {
            // Write-through: the call returns only once the move is on the disk.
            if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return ReplaceAttempt::Done;
            const DWORD error = GetLastError();
            errno = errnoOf(error);
            return heldForAMoment(error) ? ReplaceAttempt::Busy : ReplaceAttempt::Failed;
        },
        [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}

}  // namespace fw
