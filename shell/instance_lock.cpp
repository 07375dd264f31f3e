#include "shell/instance_lock.h"

#include <cstdint>
#include <cstdio>

namespace fw {

std::string designerLockName(const std::filesystem::path& settingsFile) {
    const std::u8string spelled = settingsFile.parent_path().u8string();
    std::string folder(spelled.begin(), spelled.end());
    for (char& c : folder) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    // FNV-1a, 64 bits: a lock name may not hold the path's backslashes, and
    // must stay short whatever its length.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : folder) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "Formwright.Designer.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace fw
