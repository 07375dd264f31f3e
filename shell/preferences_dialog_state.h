// The Preferences dialog ("PreferencesDlg") apart from its window: the
// working copy of the preferences, what each list holds and selects, when
// "De&tect Cradle" can be used, what a cradle search reports, and what OK
// stores. The dialog procedure only copies between its controls and this.
//
// Also the port check that the three transfer commands make before they
// start.
#pragma once

#include <string>
#include <vector>

#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "shell/language.h"
#include "shell/preferences.h"

namespace fw {

constexpr char kPreferencesCaption[] = "FWK400 Preferences";

// "Cradle-IR", "IrDA", "Serial-SPP": both link lists, by link type.
const std::vector<std::string>& linkEntries();
// "115200 bps" .. "9600 bps", by speed choice.
const std::vector<std::string>& baudRateEntries();
constexpr char kDefaultLanguageEntry[] = "Default <English>";

// The box that ends a cradle search, captioned "Detecting Result".
constexpr char kDetectingResultCaption[] = "Detecting Result";
struct CradleSearchReport {
    bool found = false;     // information icon when found, warning otherwise
    std::string text;       // "Cradle is connected to COM3" / "Cradle is not available!!"
    bool closeDialog = false;   // Cancel came during the search: no box, the dialog ends
};

// "De&tect Cradle"'s search: the first port of the system's list on which a
// cradle answers (about two seconds a port), or index -1. A front end runs
// it beside the dialog and hands the result to cradleSearchEnded.
struct CradlePort {
    int index = -1;
    std::string name;
};
CradlePort searchCradle(SerialSystem& system);

int countSerialPorts(SerialSystem& system);

class PreferencesDialogState {
public:
    // `prefs` as just read from the settings file, the system's ports in
    // their order, and the language files found at start-up.
    PreferencesDialogState(const Preferences& prefs, std::vector<SerialPortInfo> ports,
                           const LanguageList& languages);

    // Without a serial port the dialog cannot be used: it shows "Don't have
    // any COM port device!" and closes as cancelled.
    bool hasPorts() const { return !ports_.empty(); }

    // The entries of "&COM port :" ("COM3 - Serial port") and "&Language :"
    // ("Default <English>", then the languages found).
    std::vector<std::string> portEntries() const;
    std::vector<std::string> languageEntries() const;
    // The language list and its label are disabled without a language file
    // to choose.
    bool languageListEnabled() const { return languages_.count >= 1; }

    int downloadVia() const { return prefs_.downloadVia; }
    int receiveVia() const { return prefs_.receiveVia; }
    int portSelection() const { return port_; }
    int baudRate() const { return prefs_.baudRate; }
    bool autoPreload() const { return prefs_.autoPreload; }
    bool alwaysOnTop() const { return prefs_.alwaysOnTop; }
    int languageSelection() const { return language_; }

    // "De&tect Cradle" is of use while either link is the cradle, and not
    // while a search runs.
    bool detectCradleEnabled() const;

    // The cradle search (about two seconds a port) runs beside the dialog,
    // which keeps answering. While it runs the port it will choose cannot be
    // chosen by hand and OK cannot store a choice it is about to change;
    // Cancel (the button, Esc, the close box) is kept until it ends.
    void cradleSearchStarted() { searching_ = true; }
    bool searching() const { return searching_; }
    bool portListEnabled() const { return !searching_ && hasPorts(); }
    bool okEnabled() const { return !searching_; }
    // OK or Cancel: true when the dialog may end now. A Cancel during a
    // search ends the dialog when the search does.
    bool mayEnd(bool cancel);

    // A list selection outside its list (no selection) changes nothing.
    void selectDownloadVia(int index);
    void selectReceiveVia(int index);
    void selectPort(int index);
    void selectBaudRate(int index);
    void selectLanguage(int index);
    void setAutoPreload(bool on) { prefs_.autoPreload = on; }
    void setAlwaysOnTop(bool on) { prefs_.alwaysOnTop = on; }

    // A cradle search ended: `index` the port it answered on (-1 for none)
    // and `name` that port's name. A found port becomes the selection (even
    // when the dialog then ends by the Cancel that came meanwhile: nothing
    // is stored then).
    CradleSearchReport cradleSearchEnded(int index, const std::string& name);

    // What OK stores: the working values, the selected port's position as
    // comPortIndex and its number as comPortNumber (as it was for a port
    // whose name carries none), and the chosen language ("0" for "Default
    // <English>").
    Preferences accepted() const;

private:
    Preferences prefs_;
    std::vector<SerialPortInfo> ports_;
    LanguageList languages_;
    int port_ = -1;
    int language_ = 0;
    bool searching_ = false;
    bool cancelWanted_ = false;
};

// The transfer commands' port check: the configured port must be chosen in
// the Preferences dialog first when it is unset or beyond the system's list.
bool transferNeedsPortChoice(int comPortIndex, int portCount);

// The link type a transfer passes on for a "Download via" or "Receive data
// via" value: the value itself for 0..2, -1 (the command ends silently) for
// any other.
int transferLinkType(int via);

}  // namespace fw
