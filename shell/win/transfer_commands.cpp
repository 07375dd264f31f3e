// The three transfer commands: the port check, the link type, the file
// dialogs, the transfer behind its progress dialog, and the messages that
// close it.
#include <windows.h>
#include <commdlg.h>

#include "comm/win/serial_port_win.h"
#include "resources/resource_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog.h"

namespace fw::win {

namespace {

// The lookup file of the last Download Lookup File, offered again by the
// next one (and by a retry).
std::string& lastLookupFile() {
    static std::string path;
    return path;
}

// The configured port must be in the system's list; when it is not, the
// user chooses one in the Preferences dialog first.
bool portChecked(HWND owner) {
    WinSerialSystem system;
    if (!transferNeedsPortChoice(designer().doc.prefs.comPortIndex, countSerialPorts(system))) return true;
    bool chosen = openPreferences(owner);
    placeTerminalWindow();
    return chosen;
}

// The received-data file: a new or replaced text file, in the current
// directory to begin with.
bool chooseReceiveFile(HWND owner, std::string& path) {
    char file[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "Lookup data files {*.TXT}\0*.TXT\0All files (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = n > 0 && n < MAX_PATH ? folder : nullptr;
    ofn.lpstrDefExt = "TXT";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&ofn)) return false;
    path = file;
    return true;
}

// Notepad on the received file, not waited for.
void showInNotepad(const std::string& path) {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string file = n > 0 && n < MAX_PATH ? std::string(full) : path;
    // Quoted: a folder or file name with blanks is one argument.
    std::string commandLine = "notepad.exe \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
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
            if (result == kTransferDone)
                messageBoxById(kTextDownloadCaption, kTextDownloadedCompletely, MB_OK | MB_ICONINFORMATION);
            break;
        }
        case IDM_RECEIVE_DATA: {
            int result = runDataReceive(owner, link);
            if (result != kTransferCancelled && result != kTransferDone)
                messageBoxById(kTextErrorBoxCaption, static_cast<unsigned>(result), MB_OK | MB_ICONWARNING);
            break;
        }
        default:
            break;
    }
}

int downloadToTerminal(HWND owner, int linkType, bool lookupFile) {
    for (;;) {
        TransferRequest request;
        request.kind = lookupFile ? TransferKind::lookup : TransferKind::program;
        request.link = transferLink(linkType);
        if (lookupFile) {
            std::string path = lastLookupFile();
            if (!chooseOpenFile(owner, kOpenTextFile, path)) return kTransferCancelled;
            lastLookupFile() = path;
            request.path = path;
        }
        const int result = runTransferWithProgress(owner, request).result;
        if (result == kTransferCancelled || result == kTransferDone) return result;
        messageBoxById(kTextErrorBoxCaption, static_cast<unsigned>(result), MB_OK | MB_ICONWARNING);
        if (messageBoxById(kTextErrorBoxCaption, kTextRetryQuestion, MB_YESNO | MB_ICONWARNING) != IDYES)
            return result;
    }
}

int receiveFromTerminal(HWND owner, int linkType) {
    TransferRequest request;
    request.kind = TransferKind::receive;
    request.link = transferLink(linkType);
    if (!chooseReceiveFile(owner, request.path)) return kTransferCancelled;
    const TransferRun run = runTransferWithProgress(owner, request);
    if (run.result != kTransferDone) return run.result;
    if (run.records > 0) {
        const std::string question = receiveDoneQuestion(run.records);
        const std::string caption = text(kTextUploadCaption);
        if (MessageBoxA(GetActiveWindow(), question.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) ==
            IDYES)
            showInNotepad(request.path);
    } else {
        // The session has already deleted the empty file.
        messageBoxById(kTextUploadCaption, kTextNoDataReceived, MB_OK | MB_ICONINFORMATION);
    }
    return kTransferDone;
}

int runProgramDownload(HWND owner, int linkType) { return downloadToTerminal(owner, linkType, false); }
int runLookupDownload(HWND owner, int linkType) { return downloadToTerminal(owner, linkType, true); }
int runDataReceive(HWND owner, int linkType) { return receiveFromTerminal(owner, linkType); }

}  // namespace fw::win
