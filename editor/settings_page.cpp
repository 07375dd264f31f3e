#include "editor/settings_page.h"

#include <cstring>

#include "editor/number_box.h"
#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"
#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

namespace {

ListEntries textsFrom(unsigned first, int count) {
    ListEntries list;
    for (int i = 0; i < count; ++i) list.push_back(loadText(first + static_cast<unsigned>(i)));
    return list;
}

ControlState selectionState(int value, int count, bool enabled = true) {
    return selectedState(value >= 0 && value < count ? value : -1, enabled);
}

// A number box that holds at least 1: empty, not a number or 0 shows "1".
ControlReply atLeastOne(const std::string& typed, int maximum, uint8_t& value) {
    NumberEntry e = correctNumber(typed, maximum);
    if (e.value == 0) {
        e.value = 1;
        e.text = "1";
        e.putBack = typed != "1";
    }
    value = static_cast<uint8_t>(e.value);
    return replyTo(e);
}

// A fourth port line that the acoustic coupler may claim: empty, or blanks
// where the terminal expects the choice.
bool blankChoice(const std::string& line) {
    if (line.empty()) return true;
    // The twelve characters of the large font's line.
    const std::size_t width = textWidth(1);
    return line.size() >= width && line.compare(0, width, std::string(width, ' ')) == 0;
}

}  // namespace

void copyPageSettings(const TerminalSettings& from, TerminalSettings& to) {
    to.uploadPort = from.uploadPort;
    std::memcpy(to.uploadPhone, from.uploadPhone, sizeof to.uploadPhone);
    to.downloadPort = from.downloadPort;
    to.baudRate = from.baudRate;
    to.backlight = from.backlight;
    to.backlightIdle = from.backlightIdle;
    to.dataDeletion = from.dataDeletion;
    to.entryOption = from.entryOption;
    to.promptDuration = from.promptDuration;
    std::memcpy(to.securityItems, from.securityItems, sizeof to.securityItems);
    std::memcpy(to.password, from.password, sizeof to.password);
    std::memcpy(to.functionKeyMap, from.functionKeyMap, sizeof to.functionKeyMap);
    std::memcpy(to.reserved65, from.reserved65, sizeof to.reserved65);
    to.acousticCoupler = from.acousticCoupler;
    to.functionKeysOn = from.functionKeysOn;
    to.acVolume = from.acVolume;
    to.modemSpeed = from.modemSpeed;
    std::memcpy(to.downloadPhone, from.downloadPhone, sizeof to.downloadPhone);
    to.keyClick = from.keyClick;
    to.goodReadBeep = from.goodReadBeep;
    to.warningBeep = from.warningBeep;
    std::memcpy(to.securityBeeps, from.securityBeeps, sizeof to.securityBeeps);
    std::memcpy(to.reserved143, from.reserved143, sizeof to.reserved143);
}

void resetPageSettings(TerminalSettings& s) {
    s.uploadPort = s.downloadPort = s.baudRate = s.modemSpeed = s.backlight = s.dataDeletion = 0;
    s.backlightIdle = 2;
    s.entryOption = 1;
    s.promptDuration = 6;
    s.keyClick = 2;
    s.goodReadBeep = 1;
    s.warningBeep = 2;
    clearField(s.uploadPhone);
    clearField(s.downloadPhone);
    clearField(s.securityItems);
    clearField(s.password);
    clearField(s.functionKeyMap);
    clearField(s.reserved65);
    clearField(s.securityBeeps);
    clearField(s.reserved143);
}

ListEntries uploadPortList() { return textsFrom(textid::kPortFirst, 5); }

ListEntries downloadPortList() {
    ListEntries list = textsFrom(textid::kPortFirst, 3);
    list.push_back(loadText(textid::kPortBluetooth));
    return list;
}

ListEntries speedList() { return textsFrom(textid::kSpeedFirst, 5); }
ListEntries backlightList() { return textsFrom(textid::kBacklightFirst, 2); }
ListEntries dataDeletionList() { return textsFrom(textid::kDeletionFirst, 2); }
ListEntries entryOptionList() { return textsFrom(textid::kEntryOptionFirst, 3); }

ListEntries keyClickList() {
    ListEntries list{loadText(textid::kMute)};
    const std::string tone = loadText(textid::kTone);
    for (int n = 1; n <= 5; ++n) list.push_back(tone + " " + std::to_string(n));
    return list;
}

ListEntries beepList() {
    ListEntries list{loadText(textid::kMute)};
    for (const std::string& s : textsFrom(textid::kBeepFirst, 3)) list.push_back(s);
    return list;
}

// ---- the page ----

SettingsPage::SettingsPage(EditorSheet& sheet) : sheet_(sheet), work_(sheet.model().settings) {
    sheet.bluetoothFlags();   // made now from the model's ports, unless the Startup page did
    pressAnyKey_ = work_.promptDuration == 0;
    duration_ = pressAnyKey_ ? 6 : work_.promptDuration;
}

void SettingsPage::leaveUploadBluetooth() {
    sheet_.restorePortLine(PortLine::UploadThird, bluetoothPortLine(PortLine::UploadThird),
                           modemPortLine(PortLine::UploadThird));
    sheet_.bluetoothFlags() &= static_cast<uint8_t>(~kBluetoothUpload);
}

void SettingsPage::leaveDownloadBluetooth() {
    sheet_.restorePortLine(PortLine::DownloadThird, bluetoothPortLine(PortLine::DownloadThird),
                           modemPortLine(PortLine::DownloadThird));
    sheet_.bluetoothFlags() &= static_cast<uint8_t>(~kBluetoothDownload);
}

ControlReply SettingsPage::chooseUploadPort(int choice) {
    if (choice < 0 || choice > kUploadBluetooth || choice == work_.uploadPort) return ControlReply::states();
    if (choice == kUploadAcoustic || choice == kUploadBluetooth) {
        const unsigned text = choice == kUploadAcoustic ? textid::kAcousticCouplerK420 : textid::kBluetoothK460;
        if (warn_ && !warn_(text, true)) return ControlReply::states();   // the list goes back
    }
    // Any change away from Bluetooth SPP gives the Modem line back where the
    // Bluetooth line still stands, the acoustic coupler included: the
    // terminal would otherwise offer a Bluetooth choice that the settings no
    // longer name. A line the user wrote stays.
    if (work_.uploadPort == kUploadBluetooth) leaveUploadBluetooth();
    if (choice == kUploadAcoustic && blankChoice(sheet_.portLineNow(PortLine::UploadFourth)))
        sheet_.rewritePortLine(PortLine::UploadFourth, acousticPortLine());
    if (choice == kUploadBluetooth) {
        sheet_.rewritePortLine(PortLine::UploadThird, bluetoothPortLine(PortLine::UploadThird));
        sheet_.bluetoothFlags() |= kBluetoothUpload;
    }
    work_.uploadPort = static_cast<uint8_t>(choice);
    return ControlReply::states();
}

ControlReply SettingsPage::chooseDownloadPort(int choice) {
    if (choice < 0 || choice > kDownloadBluetooth || choice == work_.downloadPort) return ControlReply::states();
    if (choice == kDownloadBluetooth) {
        if (warn_ && !warn_(textid::kBluetoothK460, true)) return ControlReply::states();
        sheet_.rewritePortLine(PortLine::DownloadThird, bluetoothPortLine(PortLine::DownloadThird));
        sheet_.bluetoothFlags() |= kBluetoothDownload;
    } else if (work_.downloadPort == kDownloadBluetooth) {
        leaveDownloadBluetooth();
    }
    work_.downloadPort = static_cast<uint8_t>(choice);
    return ControlReply::states();
}

ControlState SettingsPage::uploadPortState() const { return selectionState(work_.uploadPort, 5); }
ControlState SettingsPage::downloadPortState() const { return selectionState(work_.downloadPort, 4); }

ControlState SettingsPage::uploadPhoneState() const {
    ControlState s;
    s.enabled = work_.uploadPort == kUploadModem;
    s.text = std::string(fieldText(work_.uploadPhone));
    s.limit = kPhoneChars;
    return s;
}

ControlState SettingsPage::downloadPhoneState() const {
    ControlState s;
    s.enabled = work_.downloadPort == kDownloadModem;
    s.text = std::string(fieldText(work_.downloadPhone));
    s.limit = kPhoneChars;
    return s;
}

ControlState SettingsPage::modemSpeedState() const { return listState(ModemSpeed); }
ControlState SettingsPage::baudRateState() const { return listState(BaudRate); }

ControlState SettingsPage::listState(int field) const {
    const bool upModem = work_.uploadPort == kUploadModem;
    const bool downModem = work_.downloadPort == kDownloadModem;
    switch (field) {
    case Backlight: return selectionState(work_.backlight, 2);
    case DataDeletion: return selectionState(work_.dataDeletion, 2);
    case EntryOption: return selectionState(work_.entryOption, 3);
    case KeyClick: return selectionState(work_.keyClick, 6);
    case GoodReadBeep: return selectionState(work_.goodReadBeep, 4);
    case WarningBeep: return selectionState(work_.warningBeep, 4);
    case ModemSpeed: return selectionState(work_.modemSpeed, 5, upModem || downModem);
    case BaudRate: return selectionState(work_.baudRate, 5, !(upModem && downModem));
    }
    return {};
}

ControlReply SettingsPage::chooseList(int field, int choice) {
    static constexpr int kCounts[] = {2, 2, 3, 6, 4, 4, 5, 5};
    if (field < 0 || field > BaudRate || choice < 0 || choice >= kCounts[field]) return ControlReply::states();
    const uint8_t v = static_cast<uint8_t>(choice);
    switch (field) {
    case Backlight: work_.backlight = v; break;
    case DataDeletion: work_.dataDeletion = v; break;
    case EntryOption: work_.entryOption = v; break;
    case KeyClick: work_.keyClick = v; break;
    case GoodReadBeep: work_.goodReadBeep = v; break;
    case WarningBeep: work_.warningBeep = v; break;
    case ModemSpeed: work_.modemSpeed = v; break;
    case BaudRate: work_.baudRate = v; break;
    }
    return ControlReply::states();
}

ControlReply SettingsPage::typeUploadPhone(const std::string& text) {
    TextEntry e = cutText(text, kPhoneChars);
    setFieldText(work_.uploadPhone, e.text);
    return replyTo(e);
}

ControlReply SettingsPage::typeDownloadPhone(const std::string& text) {
    TextEntry e = cutText(text, kPhoneChars);
    setFieldText(work_.downloadPhone, e.text);
    return replyTo(e);
}

ControlState SettingsPage::idleState() const {
    ControlState s;
    s.text = std::to_string(work_.backlightIdle);
    s.limit = 1;
    return s;
}

ControlReply SettingsPage::typeIdle(const std::string& text) { return atLeastOne(text, 9, work_.backlightIdle); }

ControlState SettingsPage::stayState() const {
    return checkedState(!pressAnyKey_, work_.entryOption != 0);
}

ControlState SettingsPage::pressAnyKeyState() const {
    return checkedState(pressAnyKey_, work_.entryOption != 0);
}

ControlState SettingsPage::durationState() const {
    ControlState s;
    s.text = std::to_string(duration_);
    s.limit = 2;
    s.enabled = work_.entryOption != 0 && !pressAnyKey_;
    return s;
}

ControlReply SettingsPage::typeDuration(const std::string& text) {
    uint8_t value = 1;
    ControlReply reply = atLeastOne(text, 99, value);
    duration_ = value;
    if (!pressAnyKey_) work_.promptDuration = value;
    return reply;
}

ControlReply SettingsPage::chooseStay() {
    pressAnyKey_ = false;
    work_.promptDuration = static_cast<uint8_t>(duration_);
    return ControlReply::states();
}

ControlReply SettingsPage::choosePressAnyKey() {
    pressAnyKey_ = true;
    work_.promptDuration = 0;
    return ControlReply::states();
}

ControlReply SettingsPage::reset() {
    // The ports go back to Cradle-IR: a Bluetooth port left behind would
    // keep its flag and its screen line for a port no longer chosen. Only
    // the Bluetooth line the port choice wrote goes; the screens are
    // otherwise left as they are.
    if (work_.uploadPort == kUploadBluetooth) leaveUploadBluetooth();
    if (work_.downloadPort == kDownloadBluetooth) leaveDownloadBluetooth();
    resetPageSettings(work_);
    pressAnyKey_ = false;
    duration_ = work_.promptDuration;
    return ControlReply::everything();
}

void SettingsPage::commit(EditorSheet& sheet) {
    ProgramModel& m = sheet.model();
    copyPageSettings(work_, m.settings);
    m.settings.bluetoothFlags = sheet.bluetoothFlags();
    // The port lines in the model's tables, for its font now; a Startup page
    // that exists commits after this page and writes its own lines over
    // these when it switched the font.
    const bool large = m.settings.largeFont != 0;
    for (int i = 0; i < kPortLineCount; ++i) {
        const PortLine line = static_cast<PortLine>(i);
        const std::optional<PortLineText>& text = sheet.rewrittenPortLine(line);
        if (!text) continue;
        const int t = portLineTable(line);
        const std::size_t width = kMessageTables[t].width;
        setFieldText(messageLine(m, t, portLineIndex(line, large)), width, text->forFont(large), charsOfLine(width));
    }
}

}  // namespace fw
