// The Settings page of the editor sheet: the working copy of the terminal's
// system settings, the port choices and what they do to the port lines of
// the terminal's own screens, and the page's box rules. Its three dialogs
// (security, function keys, acoustic coupler) work on a copy of this page's
// working copy and hand it back at their OK.
//
// Nothing reaches the model or the default texts before the sheet's OK: a
// port change rewrites the working default texts of the sheet, the Startup
// page's working texts when that page exists, and lines kept here for the
// model's tables until commit().
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/program_model.h"

namespace fw {

// Shows a "Warning" box (exclamation icon) with text `textId`: with OK and
// Cancel when `okCancel`, else OK alone. Returns true for OK.
using WarningBox = std::function<bool(unsigned textId, bool okCancel)>;

// Port choices as the settings record stores them.
enum UploadPortChoice : uint8_t { kUploadCradleIr, kUploadIrDA, kUploadModem, kUploadAcoustic, kUploadBluetooth };
enum DownloadPortChoice : uint8_t { kDownloadCradleIr, kDownloadIrDA, kDownloadModem, kDownloadBluetooth };

// The choice lines of the two port screens that follow the port settings.
enum class PortLine { UploadThird, UploadFourth, DownloadThird };
constexpr int kPortLineCount = 3;

// Where a port line lies in its screen's table (0-based), with the
// twelve-character texts of the large font or the sixteen-character ones.
int portLineTable(PortLine line);
int portLineIndex(PortLine line, bool largeFont);

// The two variants of a port line's text.
struct PortLineText {
    std::string small;   // sixteen characters
    std::string large;   // twelve characters
    const std::string& forFont(bool largeFont) const { return largeFont ? large : small; }
};
// "3. Modem", "3. Bluetooth SPP" and "4. Acoustic Co." lines, through the
// text service (a language may word them).
PortLineText modemPortLine(PortLine line);
PortLineText bluetoothPortLine(PortLine line);
PortLineText acousticPortLine();

// Writes a port line into the sheet's working default texts (both fonts).
void setDefaultPortLine(DefaultTexts& defaults, PortLine line, const PortLineText& text);

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

    // The model line a port change wrote for commit, if any (for the
    // Startup page when it is made after the change).
    const std::optional<PortLineText>& pendingPortLine(PortLine line) const {
        return pending_[static_cast<int>(line)];
    }

private:
    // Rewrites a port line in the working defaults, the Startup page's
    // working texts and the lines kept for the model.
    void rewritePortLine(PortLine line, const PortLineText& text);
    // The line as the user sees it now: the Startup page's text, else the
    // model's with the pending change.
    std::string currentPortLine(PortLine line) const;
    bool largeFontNow() const;
    void leaveUploadBluetooth();
    void leaveDownloadBluetooth();

    EditorSheet& sheet_;
    TerminalSettings work_;
    int duration_ = 6;         // the duration box, also while "Press any key" is chosen
    bool pressAnyKey_ = false;
    std::optional<PortLineText> pending_[kPortLineCount];
    WarningBox warn_;
};

}  // namespace fw
