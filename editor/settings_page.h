// The Settings page of the editor sheet: the working copy of the terminal's
// system settings, the port choices and what they do to the port lines of
// the terminal's own screens, and the page's box rules. Its three dialogs
// (security, function keys, acoustic coupler) work on a copy of this page's
// working copy and hand it back at their OK.
//
// Nothing reaches the model or the default texts before the sheet's OK: a
// port change rewrites the port lines through the sheet (its working
// default texts, its working screen texts when they exist, and the lines it
// keeps for the model's tables until commit()).
#pragma once

#include <string>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/program_model.h"

namespace fw {

// Port choices as the settings record stores them.
enum UploadPortChoice : uint8_t { kUploadCradleIr, kUploadIrDA, kUploadModem, kUploadAcoustic, kUploadBluetooth };
enum DownloadPortChoice : uint8_t { kDownloadCradleIr, kDownloadIrDA, kDownloadModem, kDownloadBluetooth };

// Copies the fields the Settings page and its dialogs edit from `from` to
// `to`, and nothing else: the start and delimiter settings, the large font,
// the code identifiers, the separate data files and the extra lines belong
// to other pages and dialogs that may have written them meanwhile.
void copyPageSettings(const TerminalSettings& from, TerminalSettings& to);

// Reset of the page: exactly the fields it names.
void resetPageSettings(TerminalSettings& s);

// List entries of the page.
ListEntries uploadPortList();
ListEntries downloadPortList();
ListEntries speedList();
ListEntries backlightList();
ListEntries dataDeletionList();
ListEntries entryOptionList();
ListEntries keyClickList();
ListEntries beepList();

constexpr int kPhoneChars = 20;

class SettingsPage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Settings;

    explicit SettingsPage(EditorSheet& sheet);

    void setWarningBox(WarningBox box) { warn_ = std::move(box); }

    const TerminalSettings& settings() const { return work_; }
    // The dialogs take a copy of this and hand it back at their OK.
    void takeFromDialog(const TerminalSettings& copy) { work_ = copy; }

    // ---- the controls ----
    ControlState uploadPortState() const;
    ControlState downloadPortState() const;
    ControlState uploadPhoneState() const;
    ControlState downloadPhoneState() const;
    ControlState modemSpeedState() const;
    ControlState baudRateState() const;
    ControlState listState(int field) const;      // the other lists, by ListField
    ControlState idleState() const;
    ControlState stayState() const;
    ControlState pressAnyKeyState() const;
    ControlState durationState() const;

    enum ListField { Backlight, DataDeletion, EntryOption, KeyClick, GoodReadBeep, WarningBeep, ModemSpeed, BaudRate };

    // A port choice: asks the warning for the acoustic coupler and
    // Bluetooth SPP; Cancel puts the list back on the stored port.
    ControlReply chooseUploadPort(int choice);
    ControlReply chooseDownloadPort(int choice);
    ControlReply typeUploadPhone(const std::string& text);
    ControlReply typeDownloadPhone(const std::string& text);
    ControlReply chooseList(int field, int choice);
    ControlReply typeIdle(const std::string& text);
    ControlReply typeDuration(const std::string& text);
    ControlReply chooseStay();
    ControlReply choosePressAnyKey();
    ControlReply reset();

    void commit(EditorSheet& sheet) override;

private:
    void leaveUploadBluetooth();
    void leaveDownloadBluetooth();

    EditorSheet& sheet_;
    TerminalSettings work_;
    int duration_ = 6;         // the duration box, also while "Press any key" is chosen
    bool pressAnyKey_ = false;
    WarningBox warn_;
};

}  // namespace fw
