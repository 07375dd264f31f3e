// fwk400.exe: the designer.
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "model/settings_place.h"
#include "shell/command_line.h"
#include "shell/designer_session.h"
#include "shell/instance_lock.h"
#include "shell/settings_file.h"
#include "shell/win/designer.h"
#include "ui/win/wide_text.h"

namespace {

struct LockSearch {
    const wchar_t* lock;
    HWND found;
};

BOOL CALLBACK findLockHolder(HWND hwnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<LockSearch*>(lParam);
    if (!GetPropW(hwnd, search.lock)) return TRUE;
    search.found = hwnd;
    return FALSE;
}

// Hands `file` (empty: none) to the designer that holds `lock` and brings it
// to the front. That designer may still be starting: its window is waited
// for a few seconds. False when none answered.
bool handOver(const std::wstring& lock, const std::string& file) {
    LockSearch search{lock.c_str(), nullptr};
    for (int tries = 0; tries < 100 && !search.found; ++tries) {
        EnumWindows(findLockHolder, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    if (!search.found) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(search.found, &process);
    // The start the user just made may give the foreground on.
    AllowSetForegroundWindow(process);
    if (file.empty()) {
        if (IsIconic(search.found)) ShowWindowAsync(search.found, SW_RESTORE);
        SetForegroundWindow(search.found);
        return true;
    }
    COPYDATASTRUCT data{fw::win::kHandOverFile, static_cast<DWORD>(file.size()), const_cast<char*>(file.data())};
    DWORD_PTR accepted = FALSE;
    return SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, 10000, &accepted) != 0 &&
           accepted == TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    // A program file on the command line (a double-clicked .FWX) opens at
    // start-up; the wide command line keeps every character of its name.
    const std::string file =
        fw::programFileArgument(commandLine ? fw::win::utf8FromWide(commandLine) : std::string());

    // One designer per settings folder: a second start hands its file over.
    const fw::SettingsFiles settings = fw::locateSettings(fw::win::wideFolderOfProgram(), fw::kSettingsFileName);
    const std::wstring lock = fw::win::wideFromUtf8(fw::designerLockName(settings.writeTo));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, lock.c_str());
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS && handOver(lock, file)) {
        CloseHandle(mutex);
        return 0;
    }
    fw::win::designer().lockName = lock;

    // The program being designed, its preferences and the simulated terminal
    // for as long as the designer runs (on the heap: the program model is
    // large for a stack).
    auto session = std::make_unique<fw::DesignerSession>();
    // A screen reader's questions (WM_GETOBJECT) are answered with objects
    // marshalled through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = fw::win::runDesigner(instance, showCommand, *session, file);
    if (SUCCEEDED(com)) CoUninitialize();
    if (mutex) CloseHandle(mutex);
    return result;
}
