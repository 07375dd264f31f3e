// fwx_load.exe as a user runs it, under Wine: started with and without a
// command line, its windows found and answered from this process, against
// the far ends that tests/win/loader_win.sh maps to COM ports:
//   COM1  the fake terminal, paced at 57600 bps
//   COM2  the fake terminal, refusing block 42 four times
//   COM3  the fake terminal, never answering
//   COM4  the fake terminal behind an infrared cradle at 9600 bps
//   COM5  the fake cradle's port with nothing behind it
//   COM12 the fake terminal (a port beyond the old fixed list)
// COM7 and COM8 are not there. The script names, in FW_LOADER_EXE, the copy
// of fwx_load.exe (its folder gets "fwx_load.ini"), and in FW_LOADER_REPORTS
// the folder whose subfolders com1..com5 and com12 hold each far end's report.txt
// and, once a download has run to its end, image.bin.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <cwchar>
#include <vector>

#include "loader/loader_program.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "window_test_support.h"

namespace fw {
namespace {

using namespace std::chrono_literals;
using wintest::saveWindowPicture;
using wintest::screenshotFolder;
using wintest::windowText;

constexpr char kCaption[] = "Download FWX: 1.10";
constexpr int kFileNameBox = 0x47c;    // cmb13 of the open dialog
constexpr int kFileNameEdit = 0x480;   // edt1

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The text of a message box: its static control that has one (the icon's
// has none).
std::string messageText(HWND box) {
    HWND child = nullptr;
    while ((child = FindWindowExA(box, child, "Static", nullptr)) != nullptr) {
        std::string text = windowText(child);
        if (!text.empty()) return text;
    }
    return {};
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One far end's report: key=value lines.
std::map<std::string, std::string> report(int com) {
    std::map<std::string, std::string> values;
    std::ifstream in(env("FW_LOADER_REPORTS") + "\\com" + std::to_string(com) + "\\report.txt");
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

// fwx_load.exe, started with a command line; ended when the test ends.
class Loader {
public:
    explicit Loader(const std::string& arguments) {
        std::string command = "\"" + env("FW_LOADER_EXE") + "\"";
        if (!arguments.empty()) command += " " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        // Wine's process creation has been seen to fail once on a loaded
        // machine; a second try tells that apart from a real fault.
        for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
            if (attempt > 0) std::this_thread::sleep_for(500ms);
            std::vector<char> line(command.begin(), command.end());
            line.push_back('\0');
            started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi_) != FALSE;
            if (!started_) startError_ = GetLastError();
        }
    }
    ~Loader() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }

    bool started() const { return started_; }
    DWORD startError() const { return startError_; }

    // A visible top-level window of the program with this class and caption.
    HWND find(const std::string& cls, const std::string& caption) const {
        struct Search {
            DWORD pid;
            const std::string* cls;
            const std::string* caption;
            HWND found;
        } search{pi_.dwProcessId, &cls, &caption, nullptr};
        EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
                char name[64] = {};
                GetClassNameA(hwnd, name, sizeof name);
                if (*s->cls != name || windowText(hwnd) != *s->caption) return TRUE;
                s->found = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND waitFor(const std::string& cls, const std::string& caption,
                 std::chrono::milliseconds limit = 20s) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (HWND w = find(cls, caption)) return w;
            if (exited()) return nullptr;
            std::this_thread::sleep_for(20ms);
        }
        return nullptr;
    }

    // The next message box: its text, after which `answer` is clicked.
    std::string answerBox(int answer, const std::string& picture = {},
                          std::chrono::milliseconds limit = 20s) const {
        HWND box = waitFor("#32770", kCaption, limit);
        if (!box) return "(no message box)";
        // Let it paint before it is pictured.
        std::this_thread::sleep_for(200ms);
        const std::string text = messageText(box);
        if (!picture.empty()) saveWindowPicture(box, screenshotFolder() + "\\" + picture);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        // Wait until it has gone, so that the next search finds the next box.
        for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i) std::this_thread::sleep_for(20ms);
        return text;
    }

    bool exited() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }

    // The exit code, or -1 when the program is still running after `limit`.
    int exitCode(std::chrono::milliseconds limit = 10s) const {
        if (WaitForSingleObject(pi_.hProcess, DWORD(limit.count())) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return int(code);
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    DWORD startError_ = 0;
};

class LoaderWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new std::string(wintest::makeTempFolder("loader"));
        auto defaults = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*defaults);
        auto m = std::make_unique<ProgramModel>();
        newProgram(*m, *defaults);
        m->menus[0].captionOn = 1;
        setFieldText(m->menus[0].caption, "Stock");
        m->forms[0].font = 1;
        for (int i = 0; i < 6; ++i) m->forms[0].dataType[i] = kTypeText;
        m->legacyBlock[0] = 4;
        program_ = new std::string(*folder_ + "\\stock.FWX");
        ASSERT_TRUE(saveProgram(*m, *program_));
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        std::filesystem::remove_all(*folder_, ec);
        delete folder_;
        delete program_;
    }

    // What a download of the program must deliver.
    static std::string expectedImage() {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(loader::readProgramFile(*program_, bytes), loader::ProgramFileStatus::ok);
        loader::LoaderProgram program(std::move(bytes));
        program.prepare();
        return std::string(reinterpret_cast<const char*>(program.image().bytes), kProgramImageSize);
    }

    static std::string image(int com) {
        return readFile(env("FW_LOADER_REPORTS") + "\\com" + std::to_string(com) + "\\image.bin");
    }

    // The far end's image, once written (it follows the last ACK closely).
    static std::string imageWhenWritten(int com) {
        for (int i = 0; i < 100; ++i) {
            std::string bytes = image(com);
            if (bytes.size() == kProgramImageSize) return bytes;
            std::this_thread::sleep_for(20ms);
        }
        return image(com);
    }

    // The command line of a silent run on COMn: the path in quotes (its
    // folder has a space in its name), link, port and speed.
    static std::string silent(int link, int com, int speed) {
        return "\"" + *program_ + "\"," + std::to_string(link) + "," + std::to_string(com) + "," +
               std::to_string(speed);
    }

    static std::string* folder_;
    static std::string* program_;
};

std::string* LoaderWin::folder_ = nullptr;
std::string* LoaderWin::program_ = nullptr;

TEST_F(LoaderWin, SilentDownloadShowsTheOwnerlessProgressWindowAndSucceeds) {
    Loader loader(silent(1, 1, 2));
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();

    HWND progress = loader.waitFor("#32770", "Progress (Download FWX: 1.01)");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(GetWindow(progress, GW_OWNER), nullptr);
    HWND bar = FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(windowText(bar), "Downloading");
    EXPECT_NE(FindWindowExA(progress, nullptr, "Static", "Downloading..."), nullptr);
    HWND cancel = GetDlgItem(progress, IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(windowText(cancel), "Cancel");
    RECT client{}, place{}, button{};
    GetClientRect(progress, &client);
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&place), 2);
    GetWindowRect(cancel, &button);
    MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(place.left, 14);
    EXPECT_EQ(place.top, button.top / 2);
    EXPECT_LT(place.bottom, button.top);
    EXPECT_EQ(place.right - place.left, client.right - 28);
    EXPECT_EQ(place.bottom - place.top, 20);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    // Picture it part of the way.
    for (int i = 0; i < 200 && SendMessageA(bar, PBM_GETPOS, 0, 0) < 30; ++i) std::this_thread::sleep_for(20ms);
    saveWindowPicture(progress, screenshotFolder() + "\\loader_progress.bmp");

    EXPECT_EQ(loader.answerBox(IDOK, "loader_downloaded.bmp"), "Downloaded completely!");
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(loader.exitCode(), 0);
    EXPECT_EQ(report(1)["frames"], "200");
    EXPECT_EQ(report(1)["bad_frames"], "0");
    EXPECT_TRUE(imageWhenWritten(1) == expectedImage());
}

// Cancel in the progress window ends the transfer where it stands: no
// message, no retry question, the program ends as not downloaded.
TEST_F(LoaderWin, CancelEndsTheTransferWithoutAWord) {
    Loader loader(silent(1, 1, 2));
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
    HWND progress = loader.waitFor("#32770", "Progress (Download FWX: 1.01)");
    ASSERT_NE(progress, nullptr);
    HWND bar = FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr);
    for (int i = 0; i < 200 && SendMessageA(bar, PBM_GETPOS, 0, 0) < 20; ++i) std::this_thread::sleep_for(20ms);
    saveWindowPicture(progress, screenshotFolder() + "\\loader_progress_cancel.bmp");
    SendMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(loader.exitCode(5s), 1);
    EXPECT_EQ(loader.find("#32770", kCaption), nullptr);
    EXPECT_LT(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
}

// A port beyond COM9, named on the command line as "COMn".
TEST_F(LoaderWin, TheCommandLineNamesAnyPortByItsName) {
    Loader loader("\"" + *program_ + "\",1,COM12,2");
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
    EXPECT_EQ(loader.answerBox(IDOK), "Downloaded completely!");
    EXPECT_EQ(loader.exitCode(), 0);
    EXPECT_TRUE(imageWhenWritten(12) == expectedImage());
}

TEST_F(LoaderWin, ARefusedBlockAsksToRetryAndYesDownloadsAgain) {
    Loader loader(silent(1, 2, 1));
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
    EXPECT_EQ(loader.answerBox(IDOK, "loader_error.bmp"), "Error on downloading!");
    // The progress window went before the message.
    EXPECT_EQ(loader.find("#32770", "Progress (Download FWX: 1.01)"), nullptr);
    HWND question = loader.waitFor("#32770", kCaption);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(GetDlgItem(question, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(question, IDNO), nullptr);
    EXPECT_EQ(loader.answerBox(IDYES, "loader_retry.bmp"), "Failed to download!\nWould you like to retry?");
    EXPECT_EQ(loader.answerBox(IDOK), "Downloaded completely!");
    EXPECT_EQ(loader.exitCode(), 0);
    EXPECT_EQ(report(2)["openings"], "2");
    EXPECT_EQ(report(2)["frames"], std::to_string(43 + 3 + 200));
    EXPECT_TRUE(imageWhenWritten(2) == expectedImage());
}

TEST_F(LoaderWin, ASilentTerminalIsNotReadyAndNoEndsWithoutAnotherMessage) {
    Loader loader(silent(1, 3, 1));
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
    EXPECT_EQ(loader.answerBox(IDOK, "loader_not_ready.bmp", 20s), "Terminal is not ready!");
    EXPECT_EQ(loader.answerBox(IDNO), "Failed to download!\nWould you like to retry?");
    EXPECT_EQ(loader.exitCode(3s), 1);
    EXPECT_EQ(report(3)["openings"], "3");
}

TEST_F(LoaderWin, CradleIrSetsUpTheCradleAndDownloadsThroughIt) {
    Loader loader(silent(2, 4, 2));   // Cradle-IR, COM4, 57600
    ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
    EXPECT_EQ(loader.answerBox(IDOK), "Downloaded completely!");
    EXPECT_EQ(loader.exitCode(), 0);
    EXPECT_EQ(report(4)["cradle_baud"], "57600");
    EXPECT_EQ(report(4)["cradle_echoes"], "1");
    EXPECT_TRUE(imageWhenWritten(4) == expectedImage());
}

TEST_F(LoaderWin, EveryFailureBeforeTheTransferShowsItsMessage) {
    {
        Loader loader(silent(2, 5, 1));   // no cradle answers on COM5
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        EXPECT_EQ(loader.answerBox(IDOK, "loader_no_cradle.bmp"), "Can not configure the IR device!");
        EXPECT_EQ(loader.exitCode(), 1);
    }
    {
        Loader loader("\"" + *folder_ + "\\absent.FWX\",1,1,1");
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        EXPECT_EQ(loader.answerBox(IDOK), "Can't open the file!");
        EXPECT_EQ(loader.exitCode(), 1);
    }
    {
        const std::string shortFile = *folder_ + "\\short.FWX";
        std::ofstream(shortFile, std::ios::binary) << "K400-1.00";
        Loader loader(shortFile);
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        EXPECT_EQ(loader.answerBox(IDOK), "Format mismatch !!!");
        EXPECT_EQ(loader.exitCode(), 1);
    }
}

// Where the port list holds `port`; -1 when it does not.
int portIndex(HWND list, const std::string& port) {
    const std::wstring wide(port.begin(), port.end());
    return int(SendMessageW(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(wide.c_str())));
}

// The open dialog and Comm Properties, answered as a user would.
TEST_F(LoaderWin, ThroughItsDialogs) {
    const std::string ini = std::filesystem::path(env("FW_LOADER_EXE")).parent_path().string() +
                            "\\fwx_load.ini";
    std::filesystem::remove(ini);
    {
        Loader loader("");
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        HWND open = loader.waitFor("#32770", "Open");
        ASSERT_NE(open, nullptr);
        std::this_thread::sleep_for(300ms);
        saveWindowPicture(open, screenshotFolder() + "\\loader_open.bmp");
        HWND box = GetDlgItem(open, kFileNameBox);
        if (!box) box = GetDlgItem(open, kFileNameEdit);
        SetWindowTextA(box, program_->c_str());
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

        HWND props = loader.waitFor("#32770", "Comm Properties (Download FWX: 1.10)");
        ASSERT_NE(props, nullptr);
        // Three lists with their entries, all at the first; the ports are
        // the system's (COM1..COM8 mapped here, and what Wine adds).
        const std::vector<std::vector<std::string>> lists = {
            {"RS232 or IrDA", "Cradle-IR"},
            {"COM1", "COM2", "COM3", "COM4", "COM5", "COM7", "COM8", "COM12"},
            {"115200", "57600", "38400", "19200", "9600"}};
        HWND combo = nullptr;
        std::vector<HWND> combos;
        while ((combo = FindWindowExA(props, combo, "ComboBox", nullptr)) != nullptr) combos.push_back(combo);
        ASSERT_EQ(combos.size(), 3u);
        for (std::size_t i = 0; i < 3; i += 2) {
            ASSERT_EQ(SendMessageA(combos[i], CB_GETCOUNT, 0, 0), LRESULT(lists[i].size())) << i;
            EXPECT_EQ(SendMessageA(combos[i], CB_GETCURSEL, 0, 0), 0) << i;
            for (std::size_t k = 0; k < lists[i].size(); ++k) {
                // Asked in UTF-16: Wine hands only the first character of an
                // ANSI list text to another process.
                wchar_t text[32] = {};
                SendMessageW(combos[i], CB_GETLBTEXT, WPARAM(k), reinterpret_cast<LPARAM>(text));
                EXPECT_EQ(std::string(text, text + wcslen(text)), lists[i][k]) << i << " " << k;
            }
        }
        for (const char* label : {"&Download via :", "&COM port :", "&Baud rate :"}) {
            EXPECT_NE(FindWindowExA(props, nullptr, "Static", label), nullptr) << label;
        }
        for (const std::string& port : lists[1]) EXPECT_GE(portIndex(combos[1], port), 0) << port;
        EXPECT_EQ(SendMessageA(combos[1], CB_GETCURSEL, 0, 0), portIndex(combos[1], "COM1"));
        SendMessageA(combos[1], CB_SETCURSEL, WPARAM(portIndex(combos[1], "COM12")), 0);
        SendMessageA(combos[2], CB_SETCURSEL, 1, 0);   // 57600
        std::this_thread::sleep_for(200ms);
        saveWindowPicture(props, screenshotFolder() + "\\loader_properties.bmp");
        PostMessageA(props, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

        EXPECT_EQ(loader.answerBox(IDOK), "Downloaded completely!");
        EXPECT_EQ(loader.exitCode(), 0);
        EXPECT_TRUE(imageWhenWritten(12) == expectedImage());
    }
    // The chosen file's folder, no trailing backslash; then the port and speed.
    EXPECT_EQ(readFile(ini), *folder_ + "\r\nport=COM12\r\nspeed=1");

    // The open dialog starts there: a name alone is found in that folder.
    // COM7 opens but refuses the line settings; COM8 does not open.
    for (const auto& [port, message] : {std::pair<std::string, std::string>{"COM7", "Failed to initialize the COM port!"},
                                        std::pair<std::string, std::string>{"COM8", "Can't open the COM port!"}}) {
        Loader loader("");
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        HWND open = loader.waitFor("#32770", "Open");
        ASSERT_NE(open, nullptr);
        HWND box = GetDlgItem(open, kFileNameBox);
        if (!box) box = GetDlgItem(open, kFileNameEdit);
        SetWindowTextA(box, "stock.FWX");
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        HWND props = loader.waitFor("#32770", "Comm Properties (Download FWX: 1.10)");
        ASSERT_NE(props, nullptr);
        SendDlgItemMessageA(props, 1002, CB_SETCURSEL, WPARAM(portIndex(GetDlgItem(props, 1002), port)), 0);
        PostMessageA(props, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(loader.answerBox(IDOK), message);
        EXPECT_EQ(loader.exitCode(), 1);
    }
    {
        // Cancel in either dialog ends the program without a word.
        Loader loader("");
        ASSERT_TRUE(loader.started()) << "CreateProcess: error " << loader.startError();
        HWND open = loader.waitFor("#32770", "Open");
        ASSERT_NE(open, nullptr);
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_EQ(loader.exitCode(), 1);

        Loader again("");
        open = again.waitFor("#32770", "Open");
        ASSERT_NE(open, nullptr);
        HWND box = GetDlgItem(open, kFileNameBox);
        if (!box) box = GetDlgItem(open, kFileNameEdit);
        SetWindowTextA(box, program_->c_str());
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        HWND props = again.waitFor("#32770", "Comm Properties (Download FWX: 1.10)");
        ASSERT_NE(props, nullptr);
        PostMessageA(props, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_EQ(again.exitCode(), 1);
        EXPECT_EQ(again.find("#32770", kCaption), nullptr);
    }
}

}  // namespace
}  // namespace fw
