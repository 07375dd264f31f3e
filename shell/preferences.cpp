#include "shell/preferences.h"

#include <algorithm>

namespace fw {

void noteRecentFile(Preferences& prefs, const std::string& path) {
    prefs.lastFile = path;
    auto& list = prefs.recentFiles;
    auto found = std::find(list.begin(), list.end(), path);
    if (found != list.end()) {
        list.erase(found);
    } else if (static_cast<int>(list.size()) >= kMaxRecentFiles) {
        list.pop_back();
    }
    list.insert(list.begin(), path);
}

}  // namespace fw
