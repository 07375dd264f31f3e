#include "editor/editor_sheet.h"

namespace fw {

namespace {
constexpr uint8_t kUploadPortBluetooth = 4;
constexpr uint8_t kDownloadPortBluetooth = 3;
}  // namespace

uint8_t bluetoothFlagsOf(const TerminalSettings& s) {
    uint8_t flags = 0;
    if (s.uploadPort == kUploadPortBluetooth) flags |= kBluetoothUpload;
    if (s.downloadPort == kDownloadPortBluetooth) flags |= kBluetoothDownload;
    return flags;
}

EditorSheet::EditorSheet(ProgramModel& model, DefaultTexts& defaults)
    : model_(model), target_(defaults), defaults_(defaults) {}

EditorSheet::~EditorSheet() = default;

uint8_t& EditorSheet::bluetoothFlags() {
    if (!bluetooth_) bluetooth_ = bluetoothFlagsOf(model_.settings);
    return *bluetooth_;
}

void EditorSheet::commit() {
    for (std::unique_ptr<SheetPage>& p : pages_)
        if (p) p->commit(*this);
    target_ = defaults_;
    model_.modified = true;
}

}  // namespace fw
