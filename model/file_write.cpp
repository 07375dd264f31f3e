#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "model/file_replace.h"

namespace fw {

namespace {

// A name beside the target for the file being written: the same folder (a
// rename cannot cross volumes) and never the name of another writer's file.
std::filesystem::path temporaryNameBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned long long> counter{0};
    unsigned long long x = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= static_cast<unsigned long long>(
             std::chrono::system_clock::now().time_since_epoch().count()) * 0x9E3779B97F4A7C15ull;
    x ^= ++counter * 0xBF58476D1CE4E5B9ull;
    x ^= reinterpret_cast<std::uintptr_t>(&x);   // differs between processes
    x = (x ^ (x >> 31)) * 0x94D049BB133111EBull;
    x ^= x >> 29;
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(x & 0xFFFFFFFFu));
    std::filesystem::path name = target;
    name += ".~";
    name += tag;
    return name;
}

}  // namespace

bool writeFileReplacing(const std::filesystem::path& path, const void* data, std::size_t size) {
    if (path.empty()) return false;
    std::filesystem::path temp;
    std::FILE* f = nullptr;
    for (int attempt = 0; attempt < 8 && !f; ++attempt) {
        temp = temporaryNameBeside(path);
        errno = 0;
        f = createNewFile(temp);
        if (!f && errno != EEXIST) return false;
    }
    if (!f) return false;

    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = ok && syncToDisk(f);
    ok = std::fclose(f) == 0 && ok;
    ok = ok && replaceFile(temp, path);
    if (!ok) {
        const int why = errno;   // for the message; the clean-up must not change it
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        errno = why;
    }
    return ok;
}

}  // namespace fw

namespace fw {

std::u16string extendedLengthPath(std::u16string_view path) {
    if (path.size() < kExtendedPathFrom) return std::u16string(path);
    // "\\?\..." and "\\.\..." are the system's own forms already.
    if (path.size() >= 4 && path[0] == u'\\' && path[1] == u'\\' && (path[2] == u'?' || path[2] == u'.') &&
        path[3] == u'\\')
        return std::u16string(path);
    auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    if (path.size() >= 3 && letter(path[0]) && path[1] == u':' && path[2] == u'\\')
        return u"\\\\?\\" + std::u16string(path);
    if (path.size() >= 3 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'\\')
        return u"\\\\?\\UNC\\" + std::u16string(path.substr(2));
    return std::u16string(path);   // relative, or rooted without a drive: left to the system
}

}  // namespace fw
