// The three transfer commands: the port check, the link type, the transfer
// and its result.
#include <windows.h>

#include "comm/win/serial_port_win.h"
#include "model/program_file.h"
#include "resources/resource_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

constexpr unsigned kTextDownloadCaption = 1123;
constexpr unsigned kTextDownloadedCompletely = 1132;

// The configured port must be in the system's list; when it is not, the
// user chooses one in the Preferences dialog first.
bool portChecked(HWND owner) {
    WinSerialSystem system;
    if (!transferNeedsPortChoice(designer().doc.prefs.comPortIndex, countSerialPorts(system))) return true;
    bool chosen = openPreferences(owner);
    placeTerminalWindow();
    return chosen;
}

}  // namespace

void transferCommand(HWND owner, int command) {
    if (!portChecked(owner)) return;
    const Preferences& prefs = designer().doc.prefs;
    const int link = transferLinkType(command == IDM_RECEIVE_DATA ? prefs.receiveVia : prefs.downloadVia);
    if (link < 0) return;

    switch (command) {
        case IDM_DOWNLOAD_APP:
        case IDM_DOWNLOAD_LOOKUP: {
            int result = command == IDM_DOWNLOAD_APP ? runProgramDownload(owner, link)
                                                     : runLookupDownload(owner, link);
            if (result == 1) messageBoxById(kTextDownloadCaption, kTextDownloadedCompletely, MB_OK | MB_ICONINFORMATION);
            break;
        }
        case IDM_RECEIVE_DATA: {
            int result = runDataReceive(owner, link);
            if (result != 0 && result != 1)
                messageBoxById(kTextErrorCaption, static_cast<unsigned>(result), MB_OK | MB_ICONWARNING);
            break;
        }
        default:
            break;
    }
}

// The transfers are not wired in yet: each ends as if cancelled.
int runProgramDownload(HWND, int) { return 0; }
int runLookupDownload(HWND, int) { return 0; }
int runDataReceive(HWND, int) { return 0; }

}  // namespace fw::win
