// The transfers' own dialogs: the lookup file to send, the received-data
// file, the question that closes a receive and Notepad on its file. What
// is sent and what follows a result is the session's.
#include <windows.h>

#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog.h"

namespace fw::win {

// The received-data file: a new or replaced text file, in the current
// directory to begin with.
bool chooseReceiveFile(HWND owner, std::string& path) {
    char folder[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    path.clear();
    return chooseSaveFile(owner, kTextFile, path, n > 0 && n < MAX_PATH ? folder : nullptr);
}

// Notepad on the received file, not waited for. Started by its full name
// in the system folder: a bare "notepad.exe" is looked up in the program's
// and the current folder first, so a notepad.exe planted beside a data file
// would run.
void showInNotepad(const std::string& path) {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string file = n > 0 && n < MAX_PATH ? std::string(full) : path;
    char system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::string notepad = std::string(system, length) + "\\notepad.exe";
    // Quoted: a folder or file name with blanks is one argument.
    std::string commandLine = "\"" + notepad + "\" \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

bool askViewReceivedData(HWND owner, int records) {
    const std::string question = receiveDoneQuestion(records);
    const std::string caption = text(kTextUploadCaption);
    return MessageBoxA(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

}  // namespace fw::win
