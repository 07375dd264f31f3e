// The Windows installer in a fresh Wine prefix (installer_win.sh makes it,
// and an older version of it, signed): a silent install of the older version
// for the current user, the installed designer starting, the newer version
// installed over it while the designer runs (closing it, keeping the user's
// settings), a .FWX file opened through its file type, and the uninstaller
// removing what was installed while the user's own files stay.
//
// The cases run in the order written and build on each other: each one
// starts from what the one before left installed.
#include <windows.h>
#include <shellapi.h>   // not part of <windows.h> with WIN32_LEAN_AND_MEAN
#include <shlobj.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "formwright_version.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "resources/resource_ids.h"
#include "window_test_support.h"

namespace {

namespace fs = std::filesystem;
using fw::wintest::saveWindowPicture;
using fw::wintest::screenshotFolder;

const char* const kInstalledFiles[] = {"fwk400.exe",      "fwx_load.exe", "fwxtool.exe", "user-guide.html",
                                       "THIRD-PARTY-NOTICES.txt", "MinGW-w64 runtime licences.txt",
                                       "GCC runtime licences.txt"};
const char* const kInstalledPrograms[] = {"fwk400.exe", "fwx_load.exe", "fwxtool.exe", "Uninstall.exe"};
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Formwright";
const char* const kShortcuts[] = {"Formwright.lnk", "Formwright Downloader.lnk", "Formwright User Guide.lnk",
                                  "Formwright command prompt.lnk", "Uninstall Formwright.lnk"};

std::string knownFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

fs::path installFolder() { return fs::path(knownFolder(CSIDL_LOCAL_APPDATA)) / "Programs" / "Formwright"; }
fs::path menuFolder() { return fs::path(knownFolder(CSIDL_PROGRAMS)) / "Formwright"; }

// The command line a shortcut starts its program with.
std::wstring shortcutArguments(const fs::path& link) {
    wchar_t arguments[2048] = {};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* shell = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shell)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(link.wstring().c_str(), STGM_READ)))
                shell->GetArguments(arguments, int(std::size(arguments)));
            file->Release();
        }
        shell->Release();
    }
    CoUninitialize();
    return arguments;
}

// The default value of a key under HKEY_CURRENT_USER, or "(none)".
std::string userValue(const std::string& key, const char* name = nullptr) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "(none)";
    return data;
}

bool waitFor(const std::function<bool()>& done, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return done();
}

// Runs a program and waits for it; its exit code, or -1.
int runAndWait(const std::string& commandLine, int seconds) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    CloseHandle(pi.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(seconds) * 1000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

// The first visible top-level window of process `pid` whose class is
// `className` (any when empty) and whose text is `title` (any when empty).
HWND findWindowOf(DWORD pid, const std::string& className, const std::string& title) {
    struct Search {
        DWORD pid;
        std::string className, title;
        HWND found = nullptr;
    } search{pid, className, title};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
            char buffer[512] = {};
            GetClassNameA(hwnd, buffer, sizeof buffer);
            if (!s->className.empty() && s->className != buffer) return TRUE;
            GetWindowTextA(hwnd, buffer, sizeof buffer);
            if (!s->title.empty() && s->title != buffer) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A designer that the test started: its process and terminal window.
struct RunningDesigner {
    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND terminal = nullptr;

    bool waitForWindow() {
        return waitFor([this] { return (terminal = findWindowOf(pid, "FWK400", "Formwright")) != nullptr; }, 60);
    }
    // Closes the terminal window (nothing is modified, so nothing is asked)
    // and waits for the process to end.
    bool close() {
        if (terminal) PostMessageA(terminal, WM_CLOSE, 0, 0);
        const bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(process, 1);
        CloseHandle(process);
        process = nullptr;
        return ended;
    }
    ~RunningDesigner() {
        if (process) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
};

// Whether a program carries an Authenticode signature: the size of its
// certificate table (the security entry of the PE optional header's data
// directories) is not zero. installer_win.sh checks what the signature
// covers; here it tells the older package's files from the newer's.
bool hasSignature(const fs::path& program) {
    std::ifstream in(program, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto dword = [&](std::size_t at) -> std::uint32_t {
        if (at + 4 > bytes.size()) return 0;
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    const std::uint32_t pe = dword(0x3C);
    if (dword(pe) != 0x00004550) return false;   // "PE\0\0"
    const std::size_t optional = std::size_t(pe) + 24;
    if (optional + 2 > bytes.size()) return false;
    // PE32+ (the 64-bit programs): the data directories start at 112, eight
    // bytes each; the certificate table is the fifth.
    if (std::uint8_t(bytes[optional]) != 0x0B || std::uint8_t(bytes[optional + 1]) != 0x02) return false;
    return dword(optional + 112 + 4 * 8 + 4) != 0;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Starts the installed designer (no file); its process, or null.
HANDLE startInstalledDesigner() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + (installFolder() / "fwk400.exe").string() + "\"";
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// "040904E4" strings and the fixed version of an installed program.
void expectVersion(const fs::path& program) {
    const std::string path = program.string();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << path;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, FW_VERSION_TEXT) << path;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\OriginalFilename",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(text, program.filename().string());
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(FW_VERSION_MINOR, FW_VERSION_MAJOR))) << path;
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, FW_VERSION_PATCH))) << path;
}

// Opens `path` as a double-click does: the shell's "open" of its type.
// Wine 8 does not see the per-user file types (HKCU\Software\Classes) in
// HKEY_CLASSES_ROOT, as Windows does; where the shell finds no type, the
// command is taken from the per-user registration as Windows would take it.
// The started process, or null.
HANDLE startThroughFileType(const std::string& path) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&info) && info.hProcess) return info.hProcess;

    const std::string type = userValue("Software\\Classes\\.FWX");
    std::string command = userValue("Software\\Classes\\" + type + "\\shell\\open\\command");
    const std::string::size_type arg = command.find("%1");
    if (type == "(none)" || arg == std::string::npos) return nullptr;
    command.replace(arg, 2, path);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The cases after the first need what it installed.
#define REQUIRE_INSTALLED()                                                              \
    if (!fs::exists(installFolder() / "fwk400.exe")) GTEST_SKIP() << "nothing installed"

// A program file whose first form has a text line, saved at `path`.
bool saveSampleProgram(const fs::path& path) {
    auto texts = std::make_unique<fw::DefaultTexts>();
    fw::loadDefaultTexts(*texts);
    auto model = std::make_unique<fw::ProgramModel>();
    fw::newProgram(*model, *texts);
    model->forms[0].dataType[0] = fw::kTypeText;
    return fw::saveProgram(*model, path.string());
}

// A folder the user cannot write to (here one on a file system that takes no
// new files: Wine's user may write anywhere else) is refused before
// anything is installed. A folder that needs administrator rights is
// refused the same way on Windows.
TEST(Installer, RefusesAFolderItCannotWriteTo) {
    const std::string installer = environment("FW_INSTALLER");
    ASSERT_FALSE(installer.empty()) << "FW_INSTALLER names the installer";
    EXPECT_EQ(runAndWait("\"" + installer + "\" /S /D=Z:\\proc\\Formwright", 60), 2);
    EXPECT_EQ(userValue(kUninstallKey, "DisplayName"), "(none)");
    EXPECT_FALSE(fs::exists(menuFolder()));
}

// The older version first: the newer one is installed over it below.
TEST(Installer, InstallsSilentlyForTheCurrentUser) {
    const std::string installer = environment("FW_OLDER_INSTALLER");
    ASSERT_FALSE(installer.empty()) << "FW_OLDER_INSTALLER names the older installer";
    ASSERT_FALSE(fs::exists(installFolder())) << "the prefix must be fresh";

    EXPECT_EQ(runAndWait("\"" + installer + "\" /S", 120), 0);

    for (const char* name : kInstalledFiles) EXPECT_TRUE(fs::exists(installFolder() / name)) << name;
    EXPECT_TRUE(fs::exists(installFolder() / "Uninstall.exe"));
    EXPECT_TRUE(fs::exists(installFolder() / "images" / "designer.png"));
    for (const char* name : kShortcuts) EXPECT_TRUE(fs::exists(menuFolder() / name)) << name;
    expectVersion(installFolder() / "fwk400.exe");
    expectVersion(installFolder() / "fwx_load.exe");
    expectVersion(installFolder() / "fwxtool.exe");
    // The older package was made with a certificate: the programs and the
    // uninstaller (signed before it was packed) carry its signature.
    for (const char* name : kInstalledPrograms) EXPECT_TRUE(hasSignature(installFolder() / name)) << name;
    // fwxtool's console has the install folder on its own PATH; the user's
    // PATH is left alone.
    EXPECT_NE(shortcutArguments(menuFolder() / "Formwright command prompt.lnk")
                  .find(L"set \"PATH=" + installFolder().wstring() + L";%PATH%\""),
              std::wstring::npos);
    EXPECT_EQ(userValue("Environment", "Path").find("Formwright"), std::string::npos);

    // The file type, for this user only.
    EXPECT_EQ(userValue("Software\\Classes\\.FWX"), "Formwright.Program");
    EXPECT_EQ(userValue("Software\\Classes\\Formwright.Program\\shell\\open\\command"),
              "\"" + (installFolder() / "fwk400.exe").string() + "\" \"%1\"");
    EXPECT_EQ(userValue(kUninstallKey, "DisplayVersion"), environment("FW_OLDER_VERSION"));
}

TEST(Installer, TheInstalledDesignerStartsAndShowsItsWindow) {
    REQUIRE_INSTALLED();
    HANDLE process = startInstalledDesigner();
    ASSERT_NE(process, nullptr);
    RunningDesigner designer{process, GetProcessId(process)};

    ASSERT_TRUE(designer.waitForWindow());
    RECT r;
    GetWindowRect(designer.terminal, &r);
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(r.bottom - r.top, 464);
    Sleep(500);   // its first paint
    saveWindowPicture(designer.terminal, screenshotFolder() + "\\installed_designer.bmp");
    EXPECT_TRUE(designer.close());
}

// The settings the user chose, in the designer's settings file (beside it in
// a folder it can write): the link, the port, 38400 bit/s, German.
const std::string kUserSettings = "Unknow\r0\r0\r1\r3\r0\r0\rDeutsch\r1\r";
const std::string kUserLanguage = "Deutsch\r\n1131=Programm speichern ?\r\n";

// A designer busy in a dialog is not interrupted: the installer leaves it,
// and without anyone to answer (silent) it stops with nothing replaced.
TEST(Installer, ADesignerBusyInADialogStopsTheNewerVersionWithNothingReplaced) {
    REQUIRE_INSTALLED();
    const std::string installer = environment("FW_INSTALLER");
    ASSERT_FALSE(installer.empty()) << "FW_INSTALLER names the installer";
    HANDLE process = startInstalledDesigner();
    ASSERT_NE(process, nullptr);
    RunningDesigner designer{process, GetProcessId(process)};
    ASSERT_TRUE(designer.waitForWindow());
    PostMessageA(designer.terminal, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(waitFor([&] { return (about = findWindowOf(designer.pid, "#32770", "")) != nullptr; }, 30))
        << "no About box";
    ASSERT_FALSE(IsWindowEnabled(designer.terminal));

    // NSIS's exit code for an installation its script stopped.
    EXPECT_EQ(runAndWait("\"" + installer + "\" /S", 120), 2);
    EXPECT_EQ(WaitForSingleObject(designer.process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the designer ended";
    EXPECT_TRUE(hasSignature(installFolder() / "fwk400.exe")) << "replaced";
    EXPECT_EQ(userValue(kUninstallKey, "DisplayVersion"), environment("FW_OLDER_VERSION"));

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(designer.terminal) != FALSE; }, 30));
    EXPECT_TRUE(designer.close());
}

TEST(Installer, TheNewerVersionClosesTheRunningDesignerAndKeepsTheSettings) {
    REQUIRE_INSTALLED();
    const std::string installer = environment("FW_INSTALLER");
    ASSERT_FALSE(installer.empty()) << "FW_INSTALLER names the installer";
    std::ofstream(installFolder() / "FWK400.ini", std::ios::binary) << kUserSettings;
    std::ofstream(installFolder() / "Deutsch.lng", std::ios::binary) << kUserLanguage;
    HANDLE process = startInstalledDesigner();
    ASSERT_NE(process, nullptr);
    RunningDesigner designer{process, GetProcessId(process)};
    ASSERT_TRUE(designer.waitForWindow());

    EXPECT_EQ(runAndWait("\"" + installer + "\" /S", 120), 0);
    // Asked to close (nothing unsaved, so nothing asked), it ended before
    // its files were replaced.
    EXPECT_EQ(WaitForSingleObject(designer.process, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "still running";
    CloseHandle(designer.process);
    designer.process = nullptr;

    // The newer package's files, unsigned, in place of the older's.
    for (const char* name : kInstalledPrograms) EXPECT_FALSE(hasSignature(installFolder() / name)) << name;
    for (const char* name : kInstalledFiles) EXPECT_TRUE(fs::exists(installFolder() / name)) << name;
    EXPECT_EQ(userValue(kUninstallKey, "DisplayVersion"), FW_VERSION_TEXT);
    EXPECT_EQ(userValue("Software\\Classes\\.FWX"), "Formwright.Program");
    for (const char* name : kShortcuts) EXPECT_TRUE(fs::exists(menuFolder() / name)) << name;

    // The designer may have written its settings back as it closed (with
    // its window's place at the end): what the user chose is still there.
    EXPECT_EQ(fileBytes(installFolder() / "FWK400.ini").substr(0, kUserSettings.size() - 2),
              kUserSettings.substr(0, kUserSettings.size() - 2));
    EXPECT_EQ(fileBytes(installFolder() / "Deutsch.lng"), kUserLanguage);
}

TEST(Installer, AProgramFileOpensInTheDesignerThroughItsFileType) {
    REQUIRE_INSTALLED();
    const fs::path folder = fs::path(fw::wintest::makeTempFolder("association"));
    const fs::path file = folder / "stock count.FWX";
    ASSERT_TRUE(saveSampleProgram(file));

    const std::string path = file.string();
    HANDLE process = startThroughFileType(path);
    ASSERT_NE(process, nullptr) << GetLastError();
    RunningDesigner designer{process, GetProcessId(process)};
    ASSERT_TRUE(designer.waitForWindow());

    // The file loaded and became the current one: the editor's caption names
    // it. A file that did not load would leave "New file" there.
    PostMessageA(designer.terminal, WM_COMMAND, IDM_EDIT, 0);
    const std::string caption = "Formwright - [ " + path + " ]";
    HWND sheet = nullptr;
    EXPECT_TRUE(waitFor([&] { return (sheet = findWindowOf(designer.pid, "", caption)) != nullptr; }, 30))
        << "no editor sheet captioned " << caption;
    if (sheet) PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(sheet); }, 30));
    EXPECT_TRUE(designer.close());

    std::error_code ec;
    fs::remove_all(folder, ec);
}

TEST(Installer, UninstallingRemovesWhatWasInstalledAndKeepsTheUsersFiles) {
    REQUIRE_INSTALLED();
    // What the user made in the install folder: a program saved there, the
    // designer's settings and a language file.
    const fs::path userProgram = installFolder() / "my program.FWX";
    ASSERT_TRUE(saveSampleProgram(userProgram));
    if (!fs::exists(installFolder() / "FWK400.ini"))
        std::ofstream(installFolder() / "FWK400.ini", std::ios::binary) << kUserSettings;
    std::ofstream(installFolder() / "Deutsch.lng", std::ios::binary) << kUserLanguage;

    // The uninstaller runs a copy of itself from the temp folder and returns
    // at once: wait for its work to show. Its last step is the removal of
    // its own registry key, after the files (waiting for the files alone
    // races with the key).
    EXPECT_EQ(runAndWait("\"" + (installFolder() / "Uninstall.exe").string() + "\" /S", 60), 0);
    EXPECT_TRUE(waitFor(
        [] {
            return !fs::exists(installFolder() / "Uninstall.exe") &&
                   userValue(kUninstallKey, "DisplayName") == "(none)";
        },
        60));

    for (const char* name : kInstalledFiles) EXPECT_FALSE(fs::exists(installFolder() / name)) << name;
    EXPECT_FALSE(fs::exists(installFolder() / "images"));
    EXPECT_FALSE(fs::exists(menuFolder()));
    EXPECT_EQ(userValue("Software\\Classes\\.FWX"), "(none)");
    EXPECT_EQ(userValue("Software\\Classes\\Formwright.Program"), "(none)");
    EXPECT_EQ(userValue(kUninstallKey, "DisplayName"), "(none)");

    EXPECT_EQ(fs::file_size(userProgram), 18942u);
    EXPECT_TRUE(fs::exists(installFolder() / "FWK400.ini"));
    EXPECT_TRUE(fs::exists(installFolder() / "Deutsch.lng"));
}

}  // namespace
