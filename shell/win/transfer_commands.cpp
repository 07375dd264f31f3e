// The transfers' own dialogs: the lookup file to send, the received-data
// file, the question that closes a receive and Notepad on its file. What
// is sent and what follows a result is the session's.
#include <windows.h>

#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

namespace fw::win {

// The received-data file: a new or replaced text file, in the folder of the
// last one, else in the user's Documents: never the current folder, which
// for the Start-menu shortcut is the install folder, where nobody looks.
bool chooseReceiveFile(HWND owner, std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash != std::string::npos ? path.substr(0, slash) : documentsFolder();
    path.clear();
    return chooseSaveFile(owner, kTextFile, path, folder);
}

// Notepad on the received file, not waited for. Started by its full name
// in the system folder: a bare "notepad.exe" is looked up in the program's
// and the current folder first, so a notepad.exe planted beside a data file
// would run.
void showInNotepad(const std::string& path) {
    const std::wstring name = wideFromUtf8(path);
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    const std::wstring file = n > 0 && n < full.size() ? full.substr(0, n) : name;
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring notepad = std::wstring(system, length) + L"\\notepad.exe";
    // Quoted: a folder or file name with blanks is one argument.
    std::wstring commandLine = L"\"" + notepad + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

bool askViewReceivedData(HWND owner, int records) {
    const std::string question = receiveDoneQuestion(records);
    const std::string caption = text(kTextUploadCaption);
    return textBox(owner, question, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

}  // namespace fw::win
