#include "editor/editor_sheet.h"

#include <cstring>

#include "editor/form_page.h"
#include "editor/lookup_page.h"
#include "editor/menu_page.h"
#include "editor/startup_page.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"

namespace fw {

namespace {
constexpr uint8_t kUploadPortBluetooth = 4;
constexpr uint8_t kDownloadPortBluetooth = 3;

constexpr std::size_t kSlotChars = kStartupLineBytes - 1;
}  // namespace

uint8_t bluetoothFlagsOf(const TerminalSettings& s) {
    uint8_t flags = 0;
    if (s.uploadPort == kUploadPortBluetooth) flags |= kBluetoothUpload;
    if (s.downloadPort == kDownloadPortBluetooth) flags |= kBluetoothDownload;
    return flags;
}

void ScreenTexts::set(int screen, int row, const char* text) {
    char* slot = texts.lines[screen][row];
    const std::size_t n = std::min(std::strlen(text), kSlotChars);
    if (strnlen(slot, kStartupLineBytes) == n && std::memcmp(slot, text, n) == 0) return;
    std::memcpy(slot, text, n);
    std::memset(slot + n, 0, kStartupLineBytes - n);
    changed[screen][row] = true;
}

EditorSheet::EditorSheet(ProgramModel& model, DefaultTexts& defaults)
    : model_(model), target_(defaults), defaults_(defaults), largeFont_(model.settings.largeFont != 0) {}

EditorSheet::~EditorSheet() = default;

void EditorSheet::openAt(SheetStart start) {
    startPage_ = start.page;
    if (start.item < 0) return;
    // The pages check the index as they do a choice from their lists.
    switch (start.page) {
        case SheetPageId::Form: page<FormPage>().chooseForm(start.item); break;
        case SheetPageId::Menu: page<MenuPage>().chooseMenu(start.item); break;
        case SheetPageId::Lookup: page<LookupPage>().chooseLookup(start.item); break;
        case SheetPageId::Startup: page<StartupPage>().chooseScreen(start.item); break;
        case SheetPageId::Barcode:
        case SheetPageId::Settings: break;
    }
}

std::span<FormDef, kFormCount> EditorSheet::workingForms() { return page<FormPage>().forms(); }

uint8_t& EditorSheet::bluetoothFlags() {
    if (!bluetooth_) bluetooth_ = bluetoothFlagsOf(model_.settings);
    return *bluetooth_;
}

ScreenTexts& EditorSheet::screenTexts() {
    if (screens_) return *screens_;
    screens_ = std::make_unique<ScreenTexts>();

    // The third port choices of the defaults follow the ports as the sheet
    // knows them (from the model, or as the Settings page changed them).
    const uint8_t flags = bluetoothFlags();
    setDefaultPortLine(defaults_, PortLine::UploadThird,
                       flags & kBluetoothUpload ? bluetoothPortLine(PortLine::UploadThird)
                                                : modemPortLine(PortLine::UploadThird));
    setDefaultPortLine(defaults_, PortLine::DownloadThird,
                       flags & kBluetoothDownload ? bluetoothPortLine(PortLine::DownloadThird)
                                                  : modemPortLine(PortLine::DownloadThird));

    for (int s = 0; s < kStartupScreenCount; ++s) {
        for (int r = 0; r < kStartupScreenLines; ++r) {
            char* slot = screens_->texts.lines[s][r];
            const ScreenLineSource src = screenLineSource(s, r);
            std::string_view text;
            if (src.kind == ScreenLineSource::Table)
                text = fieldText(messageLine(model_, src.index, src.line), kMessageTables[src.index].width);
            else if (src.kind == ScreenLineSource::ExtraUtility)
                text = fieldText(model_.settings.extraUtilityLines[src.index]);
            const std::size_t n = std::min(text.size(), kSlotChars);
            if (n > 0) std::memcpy(slot, text.data(), n);
            std::memset(slot + n, 0, kStartupLineBytes - n);
            // An empty extra line shows, and stores, its default.
            if (src.kind == ScreenLineSource::ExtraUtility && n == 0)
                screens_->set(s, r, defaultExtraUtilityLine(defaults_, src.index, largeFont_));
        }
    }
    takePortLine(PortLine::UploadThird);
    takePortLine(PortLine::DownloadThird);
    if (rewrittenPortLine(PortLine::UploadFourth)) takePortLine(PortLine::UploadFourth);
    return *screens_;
}

void EditorSheet::takePortLine(PortLine line) {
    const int t = portLineTable(line);
    const int i = portLineIndex(line, largeFont_);
    screens_->set(t, i, defaultLine(defaults_, t, i, largeFont_));
}

void EditorSheet::rewritePortLine(PortLine line, const PortLineText& text) {
    setDefaultPortLine(defaults_, line, text);
    portLines_[static_cast<int>(line)] = text;
    if (screens_) takePortLine(line);
}

void EditorSheet::restorePortLine(PortLine line, const PortLineText& from, const PortLineText& to) {
    const auto holds = [&from](std::string_view text) { return text == from.small || text == from.large; };
    const int t = portLineTable(line);
    char* small = defaults_.lines[t][portLineIndex(line, false)];
    char* large = defaults_.largeLines[t][portLineIndex(line, true)];
    PortLineText defaults{std::string(small, strnlen(small, sizeof defaults_.lines[t][0])),
                          std::string(large, strnlen(large, sizeof defaults_.largeLines[t][0]))};
    if (defaults.small == from.small) defaults.small = to.small;
    if (defaults.large == from.large) defaults.large = to.large;
    setDefaultPortLine(defaults_, line, defaults);
    if (!holds(portLineNow(line))) return;
    portLines_[static_cast<int>(line)] = to;
    if (screens_) {
        const int i = portLineIndex(line, largeFont_);
        screens_->set(t, i, to.forFont(largeFont_).c_str());
    }
}

std::string EditorSheet::portLineNow(PortLine line) const {
    const int t = portLineTable(line);
    const int i = portLineIndex(line, largeFont_);
    if (screens_) return std::string(screens_->line(t, i), strnlen(screens_->line(t, i), kStartupLineBytes));
    if (const auto& p = portLines_[static_cast<int>(line)]) return p->forFont(largeFont_);
    return std::string(fieldText(messageLine(model_, t, i), kMessageTables[t].width));
}

void EditorSheet::commit() {
    for (std::unique_ptr<SheetPage>& p : pages_)
        if (p) p->commit(*this);
    target_ = defaults_;
    model_.modified = true;
}

}  // namespace fw
