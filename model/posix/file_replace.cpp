#include "model/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace fw {

std::filesystem::path systemPath(const std::string& name) { return std::filesystem::path(name); }

std::FILE* openFile(const std::string& name, const char* mode, bool) {
    return name.empty() ? nullptr : std::fopen(name.c_str(), mode);
}

bool folderWritable(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path userSettingsFolder(const std::string& programName) {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::filesystem::path(config) / programName;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / programName;
    return {};
}

std::FILE* createNewFile(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
}

bool syncToDisk(std::FILE* f) {
    return ::fsync(::fileno(f)) == 0;
}

bool replaceFile(const std::filesystem::path& fromPath, const std::filesystem::path& toPath) {
    const std::string& from = fromPath.native();
    const std::string& to = toPath.native();
    // rename() gives the new file the temporary file's mode; keep the mode
    // of the file being replaced, as rewriting it in place would have.
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(from.c_str(), old.st_mode & 07777);
    if (::rename(from.c_str(), to.c_str()) != 0) return false;

    // The rename itself lives in the folder: make it durable as well. A
    // failure here cannot be undone any more and is not one of the save.
    std::string::size_type slash = to.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : to.substr(0, slash));
    int dir = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace fw
