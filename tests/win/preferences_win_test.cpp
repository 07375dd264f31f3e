// The Preferences dialog, the settings file and language files in the real
// designer under Windows (Wine), with COM ports that
// tests/win/preferences_win.sh maps to fake cradles on ptys:
//   COM1   nothing behind it
//   COM2   a cradle at 19200
//   COM3   a cradle at 9600, listed under a Bluetooth value name
//   COM20  listed under a virtual port's value name; no such device
//   COM21  listed under a value name without a backslash; no such device
// The script names the cradles' report file in FW_CRADLE_REPORT (lines
// "<pty> baud=<n> line=<n> echoes=<n> bytes=<n>", in COM order) and runs a
// private copy of this program, so that its folder (the designer's program
// folder, where the settings and language files live) is its own.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "comm/win/serial_port_win.h"
#include "resources/resource_ids.h"
#include "shell/language.h"
#include "shell/settings_file.h"
#include "shell/win/designer.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;
namespace fs = std::filesystem;

constexpr char kSerialComm[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr char kPreferences[] = "FWK400 Preferences";

// ---- the port list in the registry ------------------------------------

using PortValue = std::pair<std::string, std::string>;   // value name, port name

std::vector<PortValue> listedPorts() {
    std::vector<PortValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        char data[64] = {};
        DWORD dataLength = sizeof data - 1;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                          &dataLength) != ERROR_SUCCESS)
            break;
        values.emplace_back(std::string(name, nameLength), std::string(data));
    }
    RegCloseKey(key);
    return values;
}

// Lists exactly `values`, in this order.
void setListedPorts(const std::vector<PortValue>& values) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ | KEY_SET_VALUE, &key), ERROR_SUCCESS);
    for (const PortValue& v : listedPorts()) RegDeleteValueA(key, v.first.c_str());
    for (const PortValue& v : values) {
        RegSetValueExA(key, v.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.second.c_str()),
                       static_cast<DWORD>(v.second.size() + 1));
    }
    RegCloseKey(key);
}

int indexOfPort(const std::string& name) {
    SerialPortInfo info;
    for (int i = 0; enumSerialPort(i, info) != kPortNone; ++i)
        if (info.portName == name) return i;
    return -1;
}

unsigned cradleBytesSeen(std::size_t cradle) {
    const char* path = std::getenv("FW_CRADLE_REPORT");
    std::ifstream in(path ? path : "");
    std::string line;
    for (std::size_t i = 0; std::getline(in, line); ++i) {
        if (i != cradle) continue;
        auto at = line.find(" bytes=");
        return at == std::string::npos ? 0u : unsigned(std::strtoul(line.c_str() + at + 7, nullptr, 10));
    }
    return 0;
}

// ---- controls ---------------------------------------------------------

std::vector<std::string> comboEntries(HWND dlg, int id) {
    std::vector<std::string> entries;
    HWND combo = GetDlgItem(dlg, id);
    int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[128] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

void setCheck(HWND dlg, int id, bool on) {
    CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

// The text of a message box: its static controls that hold text.
std::string messageText(HWND box) {
    std::string text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM out) -> BOOL {
            char cls[16] = {};
            GetClassNameA(child, cls, sizeof cls);
            std::string t = windowText(child);
            if (lstrcmpiA(cls, "Static") == 0 && !t.empty()) *reinterpret_cast<std::string*>(out) += t;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// ---- the fixture --------------------------------------------------------

class PreferencesWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(registerDesignerClasses(GetModuleHandleA(nullptr)));
        originalPorts = listedPorts();
    }

    void SetUp() override {
        if (!std::getenv("FW_CRADLE_REPORT")) GTEST_SKIP() << "run through preferences_win.sh";
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        programFolder = fs::path(path).parent_path().string() + "\\";
        settingsFile = programFolder + "FWK400.ini";
        languageFile = programFolder + "Formwright test.lng";
        removeFiles();
        setListedPorts(originalPorts);
        clearDialogActions();
        folder = makeTempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        createTerminal();
    }

    void TearDown() override {
        if (!std::getenv("FW_CRADLE_REPORT")) return;
        clearDialogActions();
        destroyTerminal();
        removeFiles();
        setListedPorts(originalPorts);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    void removeFiles() {
        std::error_code ec;
        fs::remove(settingsFile, ec);
        fs::remove(languageFile, ec);
    }

    void createTerminal() {
        wintest::forgetRecoveryCopy();
        terminal = createTerminalWindow(GetModuleHandleA(nullptr), session, kTerminalStyle);
        ASSERT_TRUE(IsWindow(terminal));
        ShowWindow(terminal, SW_SHOWNORMAL);
        UpdateWindow(terminal);
        pumpMessages();
    }

    void destroyTerminal() {
        if (IsWindow(terminal)) {
            session.document().model.modified = false;
            DestroyWindow(terminal);
        }
        pumpMessages();
    }

    void restart() {
        destroyTerminal();
        createTerminal();
    }

    void command(int id) { SendMessageA(terminal, WM_COMMAND, id, 0); }

    std::string menuText(int position) {
        char buffer[300] = {};
        GetMenuStringA(terminalPopupMenu(terminal), static_cast<UINT>(position), buffer, sizeof buffer, MF_BYPOSITION);
        return buffer;
    }

    static std::vector<PortValue> originalPorts;
    // What the terminal window's commands work on; it outlives a restart.
    DesignerSession session;
    HWND terminal = nullptr;
    std::string programFolder;
    std::string settingsFile;
    std::string languageFile;
    std::string folder;
};

std::vector<PortValue> PreferencesWin::originalPorts;

TEST_F(PreferencesWin, TheTerminalWindowMinimisesFromTheTaskbarWithoutACaption) {
    const LONG style = GetWindowLongA(terminal, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    // What the taskbar button sends.
    SendMessageA(terminal, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    pumpMessages();
    EXPECT_TRUE(IsIconic(terminal));
    SendMessageA(terminal, WM_SYSCOMMAND, SC_RESTORE, 0);
    pumpMessages();
    EXPECT_FALSE(IsIconic(terminal));
}

TEST_F(PreferencesWin, ShowsThePortsWithTheirKindsAndTheStoredChoices) {
    std::vector<std::string> links, ports, speeds, languages;
    std::string caption, portShown;
    bool languageEnabled = true, languageLabelEnabled = true, detectAtFirst = false;
    bool detectWithoutCradleLinks = true, detectWithReceiveCradle = false;
    onDialog(kPreferences, [&](HWND dlg) {
        caption = windowText(dlg);
        links = comboEntries(dlg, IDC_PREF_DOWNLOAD_VIA);
        ports = comboEntries(dlg, IDC_PREF_PORT);
        speeds = comboEntries(dlg, IDC_PREF_BAUD);
        languages = comboEntries(dlg, IDC_PREF_LANGUAGE);
        portShown = textOf(dlg, IDC_PREF_PORT);
        languageEnabled = enabled(dlg, IDC_PREF_LANGUAGE);
        languageLabelEnabled = enabled(dlg, IDC_PREF_LANGUAGE_LABEL);
        detectAtFirst = enabled(dlg, IDC_PREF_DETECT_CRADLE);
        saveWindowPicture(dlg, screenshotFolder() + "\\preferences_dialog.bmp");
        choose(dlg, IDC_PREF_DOWNLOAD_VIA, 1);
        choose(dlg, IDC_PREF_RECEIVE_VIA, 2);
        detectWithoutCradleLinks = enabled(dlg, IDC_PREF_DETECT_CRADLE);
        choose(dlg, IDC_PREF_RECEIVE_VIA, 0);
        detectWithReceiveCradle = enabled(dlg, IDC_PREF_DETECT_CRADLE);
        clickButton(dlg, IDCANCEL);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);

    EXPECT_EQ(caption, "FWK400 Preferences");
    EXPECT_EQ(links, (std::vector<std::string>{"Cradle-IR", "IrDA", "Serial-SPP"}));
    EXPECT_EQ(speeds, (std::vector<std::string>{"115200 bps", "57600 bps", "38400 bps", "19200 bps", "9600 bps"}));
    ASSERT_EQ(ports.size(), 5u);
    for (const char* entry : {"COM1 - Serial port", "COM2 - Serial port", "COM3 - Bluetooth port",
                              "COM20 - Virtual port", "COM21"}) {
        EXPECT_NE(std::find(ports.begin(), ports.end(), entry), ports.end()) << entry;
    }
    // Without a settings file the port is COM1 (port number 1).
    EXPECT_EQ(portShown, "COM1 - Serial port");
    EXPECT_EQ(languages, std::vector<std::string>{"Default <English>"});
    EXPECT_FALSE(languageEnabled);
    EXPECT_FALSE(languageLabelEnabled);
    EXPECT_TRUE(detectAtFirst);
    EXPECT_FALSE(detectWithoutCradleLinks);
    EXPECT_TRUE(detectWithReceiveCradle);
    // Cancel stores nothing.
    EXPECT_FALSE(fs::exists(settingsFile));
    EXPECT_EQ(session.document().prefs.downloadVia, 0);
}

TEST_F(PreferencesWin, DetectCradleSelectsThePortOfTheCradle) {
    const int com2 = indexOfPort("COM2");
    ASSERT_GE(com2, 0);
    const unsigned bluetoothBytes = cradleBytesSeen(2);
    std::string result, shownAfter;
    bool detectDuringBox = true, detectAfter = false;
    // The search runs beside the dialog: right after the click the dialog
    // is busy (Detect and OK wait) yet answers another thread at once.
    bool waitingAfterClick = false, answered = false;
    std::thread probe;
    onDialog(kPreferences, [&](HWND dlg) {
        // Sent, not posted: the click has been handled when this returns.
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_PREF_DETECT_CRADLE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_PREF_DETECT_CRADLE)));
        waitingAfterClick = !enabled(dlg, IDC_PREF_DETECT_CRADLE) && !enabled(dlg, IDOK);
        probe = std::thread([dlg, &answered] {
            DWORD_PTR r = 0;
            answered = SendMessageTimeoutA(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 500, &r) != 0;
        });
    });
    onDialog("Detecting Result", [&](HWND box) {
        result = messageText(box);
        detectDuringBox = enabled(GetWindow(box, GW_OWNER), IDC_PREF_DETECT_CRADLE);
        clickButton(box, IDOK);
    });
    onDialog(kPreferences, [&](HWND dlg) {
        shownAfter = textOf(dlg, IDC_PREF_PORT);
        detectAfter = enabled(dlg, IDC_PREF_DETECT_CRADLE);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    if (probe.joinable()) probe.join();
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_TRUE(waitingAfterClick);
    EXPECT_TRUE(answered);
    EXPECT_EQ(result, "Cradle is connected to COM2");
    EXPECT_FALSE(detectDuringBox);
    EXPECT_TRUE(detectAfter);
    EXPECT_EQ(shownAfter, "COM2 - Serial port");
    EXPECT_EQ(session.document().prefs.comPortIndex, com2);
    // The Bluetooth port's cradle was never talked to.
    EXPECT_EQ(cradleBytesSeen(2), bluetoothBytes);
}

TEST_F(PreferencesWin, DetectCradleWithoutACradleKeepsThePort) {
    std::vector<PortValue> withoutCradle;
    for (const PortValue& v : originalPorts)
        if (v.second != "COM2") withoutCradle.push_back(v);
    setListedPorts(withoutCradle);
    std::string result, shownAfter;
    onDialog(kPreferences, [](HWND dlg) { clickButton(dlg, IDC_PREF_DETECT_CRADLE); });
    onDialog("Detecting Result", [&](HWND box) {
        result = messageText(box);
        clickButton(box, IDOK);
    });
    onDialog(kPreferences, [&](HWND dlg) {
        shownAfter = textOf(dlg, IDC_PREF_PORT);
        clickButton(dlg, IDCANCEL);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(result, "Cradle is not available!!");
    EXPECT_EQ(shownAfter, "COM1 - Serial port");
}

TEST_F(PreferencesWin, WithoutAPortTheDialogOpensAndTheTransferEnds) {
    setListedPorts({});
    // The language and "Always on top." can still be set; the port list is off.
    bool portListOff = false;
    onDialog(kPreferences, [&](HWND dlg) {
        portListOff = !enabled(dlg, IDC_PREF_PORT);
        clickButton(dlg, IDCANCEL);
    });
    EXPECT_FALSE(openPreferences(terminal, session));
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_TRUE(portListOff);

    // A transfer asks for the port, hears there is none, and ends there.
    onDialog("Error", [](HWND box) { clickButton(box, IDOK); });
    command(IDM_DOWNLOAD_APP);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_FALSE(fs::exists(settingsFile));
}

TEST_F(PreferencesWin, TransferCommandsChooseAMissingPortFirst) {
    // Unset: Preferences opens; Cancel ends the command with nothing stored.
    ASSERT_EQ(session.document().prefs.comPortIndex, -1);
    bool asked = false;
    onDialog(kPreferences, [&](HWND dlg) {
        asked = true;
        clickButton(dlg, IDCANCEL);
    });
    command(IDM_RECEIVE_DATA);
    EXPECT_TRUE(asked);
    EXPECT_EQ(session.document().prefs.comPortIndex, -1);

    // OK stores the port, and the window is back in its place.
    SetWindowPos(terminal, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    onDialog(kPreferences, [](HWND dlg) {
        choose(dlg, IDC_PREF_PORT, 1);
        clickButton(dlg, IDOK);
    });
    // The command goes on to the lookup file dialog.
    onDialog("", [](HWND open) { clickButton(open, IDCANCEL); });
    command(IDM_DOWNLOAD_LOOKUP);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(session.document().prefs.comPortIndex, 1);
    RECT r;
    GetWindowRect(terminal, &r);
    EXPECT_EQ(r.left, kTerminalX);
    EXPECT_EQ(r.top, kTerminalY);

    // A port in the list: no question (and, with a link outside the
    // list, no transfer either).
    session.document().prefs.downloadVia = 3;
    onDialog(kPreferences, [](HWND dlg) { clickButton(dlg, IDCANCEL); });
    command(IDM_DOWNLOAD_APP);
    EXPECT_EQ(pendingDialogActions(), 1);
    clearDialogActions();

    // A port that has gone from the list since: asked again.
    session.document().prefs.comPortIndex = static_cast<int>(originalPorts.size());
    asked = false;
    onDialog(kPreferences, [&](HWND dlg) {
        asked = true;
        clickButton(dlg, IDCANCEL);
    });
    command(IDM_DOWNLOAD_APP);
    EXPECT_TRUE(asked);
}

TEST_F(PreferencesWin, SettingsSurviveARestartByteForByte) {
    // A saved program to preload.
    std::string program = folder + "\\last.FWX";
    session.document().model.forms[1].dataType[2] = kTypeInteger;
    session.document().currentFile = program;
    command(IDM_SAVE);
    ASSERT_TRUE(fs::exists(program));
    ASSERT_EQ(readSettings(settingsFile, session.document().prefs), true);
    EXPECT_EQ(session.document().prefs.lastFile, program);

    const int com2 = indexOfPort("COM2");
    onDialog(kPreferences, [com2](HWND dlg) {
        choose(dlg, IDC_PREF_DOWNLOAD_VIA, 1);
        choose(dlg, IDC_PREF_RECEIVE_VIA, 2);
        choose(dlg, IDC_PREF_PORT, com2);
        choose(dlg, IDC_PREF_BAUD, 4);
        setCheck(dlg, IDC_PREF_AUTO_PRELOAD, true);
        setCheck(dlg, IDC_PREF_ALWAYS_ON_TOP, true);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    const std::string written = fileBytes(settingsFile);
    // The port's number (COM2) is kept beside its position.
    EXPECT_EQ(written, program + "\r1\r2\r2\r4\r1\r1\r0\r" + program + "\r" + std::to_string(com2 + 1) + "\r");
    EXPECT_TRUE(GetWindowLongA(terminal, GWL_EXSTYLE) & WS_EX_TOPMOST);

    restart();
    const Preferences& prefs = session.document().prefs;
    EXPECT_EQ(formatSettings(prefs), written);
    EXPECT_EQ(session.document().currentFile, program);
    EXPECT_EQ(session.document().model.forms[1].dataType[2], kTypeInteger);
    EXPECT_TRUE(GetWindowLongA(terminal, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(menuText(16), recentFileLabel(0, program));

    // The dialog shows what was stored, and OK writes the same bytes again.
    std::vector<int> shown;
    bool autoPreload = false, onTop = false;
    onDialog(kPreferences, [&](HWND dlg) {
        for (int id : {IDC_PREF_DOWNLOAD_VIA, IDC_PREF_RECEIVE_VIA, IDC_PREF_PORT, IDC_PREF_BAUD})
            shown.push_back(selection(dlg, id));
        autoPreload = IsDlgButtonChecked(dlg, IDC_PREF_AUTO_PRELOAD) == BST_CHECKED;
        onTop = IsDlgButtonChecked(dlg, IDC_PREF_ALWAYS_ON_TOP) == BST_CHECKED;
        setCheck(dlg, IDC_PREF_ALWAYS_ON_TOP, false);
        setCheck(dlg, IDC_PREF_ALWAYS_ON_TOP, true);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, com2, 4}));
    EXPECT_TRUE(autoPreload);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(fileBytes(settingsFile), written);

    restart();
    EXPECT_EQ(fileBytes(settingsFile), written);
    EXPECT_EQ(formatSettings(session.document().prefs), written);

    // Open reads the file again and starts at the last file; cancelling it
    // leaves a new program without a file.
    session.document().prefs.recentFiles.clear();
    std::string startName;
    onDialog("", [&startName](HWND open) {
        startName = windowText(GetDlgItem(open, 0x47c));
        if (startName.empty()) startName = windowText(GetDlgItem(open, 0x480));
        clickButton(open, IDCANCEL);
    });
    command(IDM_OPEN);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_NE(startName.find("last.FWX"), std::string::npos) << startName;
    EXPECT_EQ(session.document().prefs.recentFiles, std::vector<std::string>{program});
    EXPECT_TRUE(session.document().currentFile.empty());
    SetWindowPos(terminal, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// preferences_win.sh runs this once more from a copy of the program in a
// folder mounted read-only, as "C:\\Program Files" is to a user: the settings
// go to the user's own folder, and neither Open, which reads them again, nor
// a restart falls back to the defaults.
TEST_F(PreferencesWin, SettingsSurviveOpenWhenTheProgramFolderCannotBeWritten) {
    if (!std::getenv("FW_PROGRAM_FOLDER_READ_ONLY"))
        GTEST_SKIP() << "run from a read-only folder by preferences_win.sh";
    ASSERT_FALSE(std::ofstream(programFolder + "probe.txt")) << "the program folder is writable";
    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    const std::string userFile = std::string(appData) + "\\Formwright\\FWK400.ini";

    const int com2 = indexOfPort("COM2");
    onDialog(kPreferences, [com2](HWND dlg) {
        choose(dlg, IDC_PREF_PORT, com2);
        choose(dlg, IDC_PREF_BAUD, 4);
        setCheck(dlg, IDC_PREF_AUTO_PRELOAD, true);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    const std::string written = fileBytes(userFile);
    ASSERT_FALSE(written.empty()) << "nothing written in " << userFile;
    EXPECT_EQ(written, formatSettings(session.document().prefs));
    EXPECT_EQ(session.document().prefs.comPortNumber, 2);

    onDialog("", [](HWND open) { clickButton(open, IDCANCEL); });
    command(IDM_OPEN);
    EXPECT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(formatSettings(session.document().prefs), written);

    restart();
    EXPECT_EQ(formatSettings(session.document().prefs), written);
    std::error_code ec;
    fs::remove(userFile, ec);
}

TEST_F(PreferencesWin, LanguageFileReplacesTheTextsItNames) {
    {
        std::ofstream lng(languageFile, std::ios::binary);
        lng << "Testish\r\n"
               "2=Formmacher\r\n"
               "3=Neue Datei\r\n"
               "11=FWK400 Einstellungen\r\n"
               "12=&Laden ueber :\r\n"
               "14=&Schnittstelle :\r\n"
               "16=&Letzte Datei laden.\r\n"
               "18=&Sprache :\r\n"
               "19=Wiege &suchen\r\n"
               "51=Formular\r\n"
               "1101=&Neu\tStrg+N\r\n"
               "1104=Speichern &unter...\r\n"
               "1106=&Einstellungen...\r\n"
               "1111=&Beenden\tAlt+F4\r\n"
               "1131=Aktuelles Programm speichern ?\r\n"
               "1218=Jawohl\r\n"
               "1219=Abbrechen\r\n";
    }
    restart();   // language files are found at start-up
    EXPECT_FALSE(languageActive());

    std::vector<std::string> languages;
    onDialog(kPreferences, [&](HWND dlg) {
        languages = comboEntries(dlg, IDC_PREF_LANGUAGE);
        EXPECT_TRUE(enabled(dlg, IDC_PREF_LANGUAGE));
        choose(dlg, IDC_PREF_LANGUAGE, 1);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(languages, (std::vector<std::string>{"Default <English>", "Testish"}));
    EXPECT_EQ(session.document().prefs.language, "Testish");
    EXPECT_TRUE(languageActive());

    // The menu at once; texts the file leaves out stay English.
    EXPECT_EQ(menuText(0), "&Neu\tStrg+N");
    EXPECT_EQ(menuText(1), "&Open...\tCtrl+O");
    EXPECT_EQ(menuText(3), "Speichern &unter...");
    EXPECT_EQ(menuText(6), "&Einstellungen...");
    EXPECT_EQ(menuText(17), "&Beenden\tAlt+F4");
    EXPECT_EQ(GetMenuItemID(terminalPopupMenu(terminal), 0), static_cast<UINT>(IDM_NEW));
    EXPECT_EQ(GetMenuItemID(terminalPopupMenu(terminal), 17), static_cast<UINT>(IDM_EXIT));

    // The dialog's captions, a restart later (the choice was stored).
    restart();
    EXPECT_TRUE(languageActive());
    EXPECT_EQ(menuText(0), "&Neu\tStrg+N");
    std::vector<std::string> labels;
    onDialog("FWK400 Einstellungen", [&](HWND dlg) {
        for (int id : {IDC_PREF_DOWNLOAD_LABEL, IDC_PREF_RECEIVE_LABEL, IDC_PREF_PORT_LABEL,
                       IDC_PREF_AUTO_PRELOAD, IDC_PREF_LANGUAGE_LABEL, IDC_PREF_DETECT_CRADLE, IDOK, IDCANCEL})
            labels.push_back(textOf(dlg, id));
        EXPECT_EQ(selection(dlg, IDC_PREF_LANGUAGE), 1);
        saveWindowPicture(dlg, screenshotFolder() + "\\preferences_dialog_language.bmp");
        clickButton(dlg, IDCANCEL);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(labels, (std::vector<std::string>{"&Laden ueber :", "&Receive data via :", "&Schnittstelle :",
                                                "&Letzte Datei laden.", "&Sprache :", "Wiege &suchen", "Jawohl",
                                                "Abbrechen"}));

    // The unsaved-changes question.
    std::string question;
    session.document().model.modified = true;
    onDialog("Velmora's K400 Formwright", [&](HWND box) {
        question = messageText(box);
        clickButton(box, IDCANCEL);
    });
    SendMessageA(terminal, WM_CLOSE, 0, 0);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(question, "Aktuelles Programm speichern ?");
    session.document().model.modified = false;

    // The editor sheet and the About box.
    std::string sheetCaption, firstTab, secondTab, sheetOk, aboutOk;
    onDialog("", [&](HWND sheet) {
        sheetCaption = windowText(sheet);
        HWND tab = PropSheet_GetTabControl(sheet);
        for (int i = 0; i < 2; ++i) {
            char text[32] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            (i == 0 ? firstTab : secondTab) = text;
        }
        sheetOk = textOf(sheet, IDOK);
        clickButton(sheet, IDCANCEL);
    });
    command(IDM_EDIT);
    onDialog("The K400 Formwright", [&](HWND box) {
        aboutOk = textOf(box, IDOK);
        clickButton(box, IDOK);
    });
    command(IDM_ABOUT);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(sheetCaption, "Formmacher - [ Neue Datei ]");
    EXPECT_EQ(firstTab, "Formular");
    EXPECT_EQ(secondTab, "Menu");
    EXPECT_EQ(sheetOk, "Jawohl");
    EXPECT_EQ(aboutOk, "Jawohl");

    // Back to the built-in texts.
    onDialog("FWK400 Einstellungen", [](HWND dlg) {
        choose(dlg, IDC_PREF_LANGUAGE, 0);
        clickButton(dlg, IDOK);
    });
    command(IDM_PREFERENCES);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_FALSE(languageActive());
    EXPECT_EQ(session.document().prefs.language, "0");
    EXPECT_EQ(menuText(0), "&New\tCtrl+N");
    EXPECT_EQ(menuText(17), "E&xit\tAlt+F4");
}

}  // namespace
}  // namespace fw::win
