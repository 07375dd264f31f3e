#include "shell/preferences_dialog_state.h"

#include <utility>

#include "comm/serial_link.h"

namespace fw {

namespace {

bool inRange(int value, std::size_t count) {
    return value >= 0 && static_cast<std::size_t>(value) < count;
}

}  // namespace

const std::vector<std::string>& linkEntries() {
    static const std::vector<std::string> entries{"Cradle-IR", "IrDA", "Serial-SPP"};
    return entries;
}

const std::vector<std::string>& baudRateEntries() {
    static const std::vector<std::string> entries{"115200 bps", "57600 bps", "38400 bps", "19200 bps",
                                                  "9600 bps"};
    return entries;
}

CradlePort searchCradle(SerialSystem& system) {
    CradlePort found;
    found.index = findCradlePort(system, found.name);
    if (found.index < 0) found.name.clear();
    return found;
}

int countSerialPorts(SerialSystem& system) {
    return static_cast<int>(listSerialPorts(system).size());
}

PreferencesDialogState::PreferencesDialogState(const Preferences& prefs, std::vector<SerialPortInfo> ports,
                                               const LanguageList& languages)
    : prefs_(prefs), ports_(std::move(ports)), languages_(languages) {
    std::vector<std::string> names;
    names.reserve(ports_.size());
    for (const SerialPortInfo& port : ports_) names.push_back(port.portName);
    // An unset port index is looked up from the port number here, once.
    port_ = fw::selectPort(prefs_, names);
    language_ = languageListIndex(languages_, prefs_.language);
}

std::vector<std::string> PreferencesDialogState::portEntries() const {
    std::vector<std::string> entries;
    entries.reserve(ports_.size());
    for (const SerialPortInfo& port : ports_) entries.push_back(portListEntry(port));
    return entries;
}

std::vector<std::string> PreferencesDialogState::languageEntries() const {
    std::vector<std::string> entries{kDefaultLanguageEntry};
    for (const LanguageFile& file : languages_.files) entries.push_back(file.name);
    return entries;
}

bool PreferencesDialogState::detectCradleEnabled() const {
    return !searching_ && hasPorts() && fw::detectCradleEnabled(prefs_.downloadVia, prefs_.receiveVia);
}

bool PreferencesDialogState::mayEnd(bool cancel) {
    if (!searching_) return true;
    if (cancel) cancelWanted_ = true;
    return false;
}

void PreferencesDialogState::selectDownloadVia(int index) {
    if (inRange(index, linkEntries().size())) prefs_.downloadVia = index;
}

void PreferencesDialogState::selectReceiveVia(int index) {
    if (inRange(index, linkEntries().size())) prefs_.receiveVia = index;
}

void PreferencesDialogState::selectPort(int index) {
    if (inRange(index, ports_.size())) port_ = index;
}

void PreferencesDialogState::selectBaudRate(int index) {
    if (inRange(index, baudRateEntries().size())) prefs_.baudRate = index;
}

void PreferencesDialogState::selectLanguage(int index) {
    if (inRange(index, languageEntries().size())) language_ = index;
}

CradleSearchReport PreferencesDialogState::cradleSearchEnded(int index, const std::string& name) {
    searching_ = false;
    CradleSearchReport report{false, "Cradle is not available!!", cancelWanted_};
    cancelWanted_ = false;
    if (index < 0) return report;
    selectPort(index);
    report.found = true;
    report.text = "Cradle is connected to " + name;
    return report;
}

Preferences PreferencesDialogState::accepted() const {
    Preferences stored = prefs_;
    if (port_ >= 0) {
        stored.comPortIndex = port_;
        // The number finds the port again when the list's order changes.
        const int number = comNumberOf(ports_[static_cast<std::size_t>(port_)].portName);
        if (number >= 1 && number <= 255) stored.comPortNumber = number;
    }
    stored.language = languageOfListIndex(languages_, language_);
    return stored;
}

bool transferNeedsPortChoice(int comPortIndex, int portCount) {
    return comPortIndex < 0 || comPortIndex >= portCount;
}

int transferLinkType(int via) {
    return via >= kLinkCradleIr && via <= kLinkOther ? via : -1;
}

}  // namespace fw
