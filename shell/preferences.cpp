#include "shell/preferences.h"

#include <algorithm>

#include "model/fixed_text.h"

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

bool detectCradleEnabled(int downloadVia, int receiveVia) {
    return downloadVia == kLinkCradleIr || receiveVia == kLinkCradleIr;
}

namespace {


// Whether `name` holds "M<number>" with no digit right after the number.
bool namesPortNumber(const std::string& name, int number) {
    const std::string wanted = "M" + std::to_string(number);
    for (std::size_t at = name.find(wanted); at != std::string::npos; at = name.find(wanted, at + 1)) {
        std::size_t end = at + wanted.size();
        if (end == name.size() || !isDigit(name[end])) return true;
    }
    return false;
}

}  // namespace

int comNumberOf(const std::string& portName) {
    if (portName.size() < 4 || portName.size() > 6) return 0;
    for (int i = 0; i < 3; ++i)
        if ((portName[static_cast<std::size_t>(i)] | 0x20) != "com"[i]) return 0;
    int n = 0;
    for (std::size_t i = 3; i < portName.size(); ++i) {
        if (!isDigit(portName[i])) return 0;
        n = n * 10 + (portName[i] - '0');
    }
    return n;
}

int resolvePort(const Preferences& prefs, const std::vector<std::string>& portNames) {
    const int count = static_cast<int>(portNames.size());
    const int index = prefs.comPortIndex;
    const int number = prefs.comPortNumber;
    if (index >= 0 && index < count) {
        const int there = comNumberOf(portNames[static_cast<std::size_t>(index)]);
        if (there == number || there == 0 || number == 1) return index;
    }
    if (number > 1) {
        for (int i = 0; i < count; ++i)
            if (comNumberOf(portNames[static_cast<std::size_t>(i)]) == number) return i;
    }
    return index;
}

int selectPort(Preferences& prefs, const std::vector<std::string>& portNames) {
    const int count = static_cast<int>(portNames.size());
    if (prefs.comPortIndex == -1) {
        for (int i = 0; i < count; ++i) {
            if (namesPortNumber(portNames[i], prefs.comPortNumber)) {
                prefs.comPortIndex = i;
                break;
            }
        }
    }
    if (count == 0) return -1;
    if (prefs.comPortIndex >= 0 && prefs.comPortIndex < count) return prefs.comPortIndex;
    return 0;
}

}  // namespace fw
