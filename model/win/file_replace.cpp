#include "model/file_replace.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

namespace fw {

std::FILE* createNewFile(const std::string& path) {
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) _close(fd);
    return f;
}

bool syncToDisk(std::FILE* f) {
    return _commit(_fileno(f)) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
    // Write-through: the call returns only once the move is on the disk.
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace fw
