// The designer's three transfer commands under Windows (Wine), through the
// real menu commands, file dialogs, progress dialog and message boxes, with
// COM ports that tests/win/transfers_win.sh maps to fake terminals on ptys:
//   COM1  program download; block 7 refused twice
//   COM2  program download; "FULL\r" for block 3
//   COM3  a terminal that never answers
//   COM4  lookup download
//   COM5  receive of five records; record 1 comes twice (its "ACK\r" lost),
//         record 3 first with a wrong sum
//   COM6  receive with nothing to send: "OVER\r" at once
//   COM7  receive of four records; the line closes after the second
//   COM8  receive of one record
//   COM9  receive of one record
// FW_TERMINAL_REPORTS names the folder with one report folder per port
// (com1 .. com9, each with report.txt); the script compares the image and
// the lookup lines that the terminals assembled with expected_image.bin and
// expected_lookup.txt, which the cases leave there.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "check/checker.h"
#include "comm/program_image.h"
#include "comm/win/serial_port_win.h"
#include "resources/resource_ids.h"
#include "shell/language.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog_ids.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string reportsFolder() {
    const char* dir = std::getenv("FW_TERMINAL_REPORTS");
    return dir ? dir : "";
}

std::string portFolder(int com) { return reportsFolder() + "\\com" + std::to_string(com); }

using Report = std::map<std::string, int>;

Report readReport(int com) {
    Report r;
    std::ifstream in(portFolder(com) + "\\report.txt");
    std::string line;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq != std::string::npos) r[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    }
    return r;
}

// The terminal's report lags its exchange by a few milliseconds.
// The fake terminal is another process: on a busy machine its report may
// lag the designer by seconds.
Report reportWhen(int com, const std::string& key, int value) {
    Report r = readReport(com);
    for (int i = 0; i < 500 && r[key] != value; ++i) {
        Sleep(20);
        r = readReport(com);
    }
    return r;
}

int indexOfPort(const std::string& name) {
    SerialPortInfo info;
    for (int i = 0; enumSerialPort(i, info) != kPortNone; ++i)
        if (info.portName == name) return i;
    return -1;
}

// Whether the port is free: a transfer must release it whatever ended it.
bool portFree(int com) {
    WinSerialPort port;
    return port.open("COM" + std::to_string(com)) == PortOpen::opened;
}

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

// A message box as seen: its text and whether it asks Yes or No.
struct Box {
    std::string text;
    bool yesNo = false;
    bool seen = false;
};

std::function<void(HWND)> answer(Box& box, int button) {
    return [&box, button](HWND b) {
        box.text = messageText(b);
        box.yesNo = GetDlgItem(b, IDYES) && GetDlgItem(b, IDNO);
        box.seen = true;
        clickButton(b, button);
    };
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The file name box of a common file dialog.
std::string fileBoxText(HWND dialog) {
    HWND box = GetDlgItem(dialog, 0x47c);   // cmb13
    if (!box) box = GetDlgItem(dialog, 0x480);   // edt1
    return windowText(box);
}

INT_PTR CALLBACK idleDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The progress dialog's window height as its template makes it.
int templateHeight() {
    HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), "ProgressDlg", nullptr, idleDialogProc, 0);
    RECT r{};
    GetWindowRect(dlg, &r);
    DestroyWindow(dlg);
    return r.bottom - r.top;
}

// What a progress dialog showed when a case looked at it.
struct ProgressLook {
    std::string caption;
    std::string text;
    bool barVisible = false;
    bool topmost = false;
    HWND owner = nullptr;
    int height = 0;
    bool seen = false;
};

std::function<void(HWND)> lookAndClose(ProgressLook& look, const std::string& picture) {
    return [&look, picture](HWND dlg) {
        look.caption = windowText(dlg);
        look.text = windowText(GetDlgItem(dlg, IDC_PROGRESS_TEXT));
        look.barVisible = IsWindowVisible(GetDlgItem(dlg, IDC_PROGRESS_BAR)) != FALSE;
        look.topmost = (GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        look.owner = GetWindow(dlg, GW_OWNER);
        RECT r{};
        GetWindowRect(dlg, &r);
        look.height = r.bottom - r.top;
        look.seen = true;
        if (!picture.empty()) saveWindowPicture(dlg, screenshotFolder() + "\\" + picture);
        // As a click on the close box does.
        PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
}

class TransfersWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(registerDesignerClasses(GetModuleHandleA(nullptr)));
    }

    void SetUp() override {
        if (reportsFolder().empty()) GTEST_SKIP() << "run through transfers_win.sh";
        clearDialogActions();
        folder = makeTempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        wintest::forgetRecoveryCopy();
        terminal = createTerminalWindow(GetModuleHandleA(nullptr), session, WS_POPUP);
        ASSERT_TRUE(IsWindow(terminal));
        ShowWindow(terminal, SW_SHOWNORMAL);
        UpdateWindow(terminal);
        pumpMessages();
        // A program that can run (form 1 asks for something): a program
        // with errors stops at the question whether to send it anyway.
        ProgramModel& model = session.document().model;
        model.forms[0].dataType[0] = kTypeText;
        model.forms[0].maxLength[0] = 13;
        model.modified = false;
        Preferences& prefs = session.preferences();
        prefs.downloadVia = kLinkOther;
        prefs.receiveVia = kLinkOther;
        prefs.baudRate = 0;
    }

    void TearDown() override {
        if (reportsFolder().empty()) return;
        setLanguageActive(false);
        languageTexts().clear();
        clearDialogActions();
        if (IsWindow(terminal)) {
            session.document().model.modified = false;
            DestroyWindow(terminal);
        }
        pumpMessages();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    void usePort(int com) {
        const int index = indexOfPort("COM" + std::to_string(com));
        ASSERT_GE(index, 0) << "COM" << com << " is not listed";
        session.document().prefs.comPortIndex = index;
    }

    void command(int id) {
        // The cases send programs that can run; one with errors would wait
        // for an answer to the question whether to send it anyway.
        if (id == IDM_DOWNLOAD_APP && errorCount(checkProgram(session.model())) > 0) {
            ADD_FAILURE() << "the program to send has errors";
            return;
        }
        SendMessageA(terminal, WM_COMMAND, id, 0);
    }

    DesignerSession session;   // what the terminal window's commands work on
    HWND terminal = nullptr;
    std::string folder;
};

// ---- program download ---------------------------------------------------

TEST_F(TransfersWin, ProgramDownloadSendsTheNormalisedImageAndResendsARefusedBlock) {
    usePort(1);
    ProgramModel& model = session.document().model;
    model.forms[1].dataType[2] = kTypeInteger;
    model.menus[0].itemName[0][0] = 'Q';
    model.modified = true;
    ProgramModel expected = model;
    normaliseForDownload(expected);
    ProgramImage image;
    buildProgramImage(expected, image);
    writeBytes(portFolder(1) + "\\expected_image.bin",
               std::string(reinterpret_cast<const char*>(image.bytes), sizeof image.bytes));

    Box done;
    onDialog("Download", answer(done, IDOK));
    command(IDM_DOWNLOAD_APP);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(done.text, "Downloaded completely!");

    Report r = reportWhen(1, "finished", 1);
    EXPECT_EQ(r["finished"], 1);
    EXPECT_EQ(r["openings"], 1);
    EXPECT_EQ(r["acked"], 200);
    EXPECT_EQ(r["frames"], 202);   // block 7 twice more
    EXPECT_EQ(r["bad_frames"], 0);
    // The normalisation stays in the program; it is no unsaved change of the user's.
    EXPECT_EQ(std::memcmp(&model, &expected, offsetof(ProgramModel, modified)), 0);
    EXPECT_TRUE(model.modified);
    EXPECT_TRUE(portFree(1));
}

TEST_F(TransfersWin, MemoryFullIsShownAndFollowedByTheRetryQuestion) {
    usePort(2);
    Box error, retry;
    onDialog("Error", answer(error, IDOK));
    onDialog("Error", answer(retry, IDNO));
    onDialog("Download", [](HWND box) { clickButton(box, IDOK); });
    command(IDM_DOWNLOAD_APP);
    EXPECT_EQ(error.text, "Memory full for Terminal!");
    EXPECT_EQ(retry.text, "Failed to download, would you like to retry?");
    EXPECT_TRUE(retry.yesNo);
    // No "Download" box after No.
    EXPECT_EQ(pendingDialogActions(), 1);
    EXPECT_TRUE(portFree(2));
}

TEST_F(TransfersWin, YesToTheRetryQuestionRunsTheDownloadAgain) {
    // A terminal that never answers: each attempt sends its eleven openings.
    usePort(3);
    const int before = readReport(3)["openings"];
    Box error, yes, again, no;
    onDialog("Error", answer(error, IDOK));
    onDialog("Error", answer(yes, IDYES));
    onDialog("Error", answer(again, IDOK));
    onDialog("Error", answer(no, IDNO));
    command(IDM_DOWNLOAD_APP);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(error.text, "Time out!");
    EXPECT_EQ(again.text, "Time out!");
    EXPECT_EQ(no.text, "Failed to download, would you like to retry?");
    EXPECT_EQ(reportWhen(3, "openings", before + 22)["openings"], before + 22);
    EXPECT_TRUE(portFree(3));
}

TEST_F(TransfersWin, ClosingTheDialogDuringTheCradleSetUpSendsNothing) {
    // No cradle answers on this port: the set-up would probe for seconds.
    usePort(3);
    session.document().prefs.downloadVia = kLinkCradleIr;
    const int before = readReport(3)["openings"];
    ProgressLook look;
    Box error;
    onDialog("Progress", lookAndClose(look, ""));
    onDialog("Error", answer(error, IDOK));
    command(IDM_DOWNLOAD_APP);
    ASSERT_TRUE(look.seen);
    EXPECT_FALSE(error.seen);
    EXPECT_EQ(pendingDialogActions(), 1);
    Sleep(500);
    EXPECT_EQ(readReport(3)["openings"], before);   // no "QUARIX\r"
    EXPECT_TRUE(portFree(3));
}

TEST_F(TransfersWin, ClosingTheProgressDialogCancelsWithoutAWord) {
    usePort(3);
    ProgressLook look;
    Box error;
    onDialog("Progress", lookAndClose(look, "progress_download.bmp"));
    onDialog("Error", answer(error, IDOK));
    command(IDM_DOWNLOAD_APP);
    ASSERT_TRUE(look.seen);
    EXPECT_EQ(look.caption, "Progress");
    EXPECT_EQ(look.text, "Downloading...");
    EXPECT_TRUE(look.barVisible);
    // In front of the terminal that owns it, not of every other program.
    EXPECT_FALSE(look.topmost);
    EXPECT_EQ(look.owner, terminal);
    EXPECT_EQ(look.height, templateHeight());
    EXPECT_FALSE(error.seen);
    EXPECT_EQ(pendingDialogActions(), 1);
    EXPECT_TRUE(portFree(3));
}

TEST_F(TransfersWin, ASilentTerminalTimesOutAfterTenResends) {
    usePort(3);
    const int openingsBefore = readReport(3)["openings"];
    Box error, retry;
    onDialog("Error", answer(error, IDOK));
    onDialog("Error", answer(retry, IDNO));
    const auto start = Clock::now();
    command(IDM_DOWNLOAD_APP);
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(error.text, "Time out!");
    EXPECT_TRUE(retry.yesNo);
    // The opening and ten resends, a second apart.
    EXPECT_EQ(reportWhen(3, "openings", openingsBefore + 11)["openings"], openingsBefore + 11);
    EXPECT_GT(seconds, 10.0);
    EXPECT_TRUE(portFree(3));
}

// ---- lookup download ------------------------------------------------------

TEST_F(TransfersWin, LookupDownloadSendsTheFileAndOffersItAgain) {
    usePort(4);
    const std::string lookup = folder + "\\lookup.TXT";
    // A blank line is skipped; the last line has no CR.
    writeBytes(lookup, "A001,Apple\r\nA002,Pear\r\n\r\nB003,Plum");
    writeBytes(portFolder(4) + "\\expected_lookup.txt", "A001,Apple\nA002,Pear\nB003,Plum\n");
    Box done;
    onDialog("", [lookup](HWND open) { chooseFileInDialog(open, lookup); });
    onDialog("Download", answer(done, IDOK));
    command(IDM_DOWNLOAD_LOOKUP);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(done.text, "Downloaded completely!");
    Report r = reportWhen(4, "over_seen", 1);
    EXPECT_EQ(r["over_seen"], 1);
    EXPECT_EQ(r["acked"], 3);
    EXPECT_TRUE(portFree(4));

    // The next time the same file is offered. Held by another program it
    // cannot be read: the message, the question, and Yes offers it again.
    HANDLE held = CreateFileA(lookup.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string offered, offeredAgain;
    Box error, retry;
    onDialog("", [&offered](HWND open) {
        offered = fileBoxText(open);
        clickButton(open, IDOK);
    });
    onDialog("Error", answer(error, IDOK));
    onDialog("Error", answer(retry, IDYES));
    onDialog("", [&offeredAgain](HWND open) {
        offeredAgain = fileBoxText(open);
        clickButton(open, IDCANCEL);
    });
    command(IDM_DOWNLOAD_LOOKUP);
    CloseHandle(held);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_NE(offered.find("lookup.TXT"), std::string::npos) << offered;
    EXPECT_EQ(error.text, "Cannot open the file!");
    EXPECT_TRUE(retry.yesNo);
    EXPECT_NE(offeredAgain.find("lookup.TXT"), std::string::npos) << offeredAgain;
}

// ---- data receive -----------------------------------------------------------

TEST_F(TransfersWin, ReceiveWritesEveryRecordOnceAndAsksToShowThem) {
    usePort(5);
    const std::string received = folder + "\\received";   // the dialog adds .TXT
    Box question;
    std::string questionCaption;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Upload Data", [&](HWND box) {
        questionCaption = windowText(box);
        answer(question, IDNO)(box);
    });
    command(IDM_RECEIVE_DATA);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(question.text, "Done : 5 records received.\nView the received data?");
    EXPECT_TRUE(question.yesNo);
    EXPECT_EQ(fileBytes(received + ".TXT"), "1001,APPLE\r\n1002,PEAR\r\n\r\n1004,\xE9t\xE9\r\n1005,END\r\n");
    Report r = reportWhen(5, "over_sent", 1);
    EXPECT_EQ(r["over_sent"], 1);
    EXPECT_EQ(r["acks_received"], 6);   // the repeated record is acknowledged again
    EXPECT_EQ(r["naks_received"], 1);   // the wrong sum
    EXPECT_TRUE(portFree(5));
}

TEST_F(TransfersWin, ReceiveOfNothingSaysSoAndLeavesNoFile) {
    usePort(6);
    const std::string received = folder + "\\nothing.TXT";
    Box box;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Upload Data", answer(box, IDOK));
    command(IDM_RECEIVE_DATA);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(box.text, "No data received!");
    EXPECT_FALSE(fs::exists(received));
    EXPECT_TRUE(portFree(6));
}

TEST_F(TransfersWin, ALineLostMidReceiveKeepsTheRecordsAcknowledged) {
    usePort(7);
    const std::string received = folder + "\\cut.TXT";
    Box error;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Error", answer(error, IDOK));
    command(IDM_RECEIVE_DATA);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(error.text, "Error on uploading!");
    EXPECT_FALSE(error.yesNo);   // no retry for a receive
    EXPECT_EQ(fileBytes(received), "2001,A\r\n2002,B\r\n");
}

TEST_F(TransfersWin, ReceiveLayoutShowsTheCountInPlaceOfTheBar) {
    usePort(3);
    const std::string received = folder + "\\waiting.TXT";
    ProgressLook look;
    Box error;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Progress", lookAndClose(look, "progress_receive.bmp"));
    onDialog("Error", answer(error, IDOK));
    command(IDM_RECEIVE_DATA);
    ASSERT_TRUE(look.seen);
    EXPECT_EQ(look.caption, "Progress");
    EXPECT_EQ(look.text, "Data received : 0");
    EXPECT_FALSE(look.barVisible);
    EXPECT_FALSE(look.topmost);
    EXPECT_EQ(look.height, templateHeight() * 5 / 7);
    EXPECT_FALSE(error.seen);
    EXPECT_EQ(pendingDialogActions(), 1);
    EXPECT_TRUE(portFree(3));
}

// Notepad's window showing `name`, waited for up to a few seconds.
HWND notepadShowing(const std::string& name) {
    struct Find {
        std::string name;
        HWND found = nullptr;
    } find{name};
    for (int i = 0; i < 100 && !find.found; ++i) {
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (lstrcmpiA(cls, "Notepad") == 0 && windowText(w).find(f->name) != std::string::npos) {
                    f->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        if (!find.found) Sleep(100);
    }
    return find.found;
}

// The file a window's process was started from.
std::string processImageOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return ok ? std::string(path, size) : std::string();
}

TEST_F(TransfersWin, YesShowsTheReceivedFileInNotepad) {
    usePort(8);
    // The folder's name has a blank in it. A notepad.exe planted beside the
    // data file, with that folder the current one, must not be the one run.
    const std::string received = folder + "\\one record.TXT";
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string realNotepad = std::string(system) + "\\notepad.exe";
    ASSERT_TRUE(CopyFileA(realNotepad.c_str(), (folder + "\\notepad.exe").c_str(), FALSE));
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    Box question;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Upload Data", answer(question, IDYES));
    command(IDM_RECEIVE_DATA);
    SetCurrentDirectoryA(before);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(question.text, "Done : 1 records received.\nView the received data?");
    HWND notepad = notepadShowing("one record");
    ASSERT_TRUE(notepad) << "no Notepad window on the received file";
    const std::string image = processImageOf(notepad);
    EXPECT_EQ(lstrcmpiA(image.c_str(), realNotepad.c_str()), 0) << image;
    // Another process's control: GetWindowText would not ask it.
    HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    char shown[64] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, "only one\r\n");
    PostMessageA(notepad, WM_CLOSE, 0, 0);
}

TEST_F(TransfersWin, ALanguageFileNamesTheProgressAndTheReceiveTexts) {
    const char language[] =
        "Testish\r\n"
        "4=Fertig: \r\n"
        "5= Saetze. Zeigen?\r\n"
        "6=Empfangen:\r\n"
        "7=Fortschritt\r\n"
        "8=Lade...\r\n"
        "1124=Daten holen\r\n";
    parseLanguageFile(language, sizeof language - 1, languageTexts());
    setLanguageActive(true);

    usePort(3);
    ProgressLook download, receive;
    onDialog("Fortschritt", lookAndClose(download, ""));
    command(IDM_DOWNLOAD_APP);
    const std::string waiting = folder + "\\waiting.TXT";
    onDialog("", [waiting](HWND save) { chooseFileInDialog(save, waiting); });
    onDialog("Fortschritt", lookAndClose(receive, ""));
    command(IDM_RECEIVE_DATA);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(download.text, "Lade...");
    EXPECT_EQ(receive.text, "Empfangen: 0");

    usePort(9);
    const std::string received = folder + "\\one.TXT";
    Box question;
    onDialog("", [received](HWND save) { chooseFileInDialog(save, received); });
    onDialog("Daten holen", answer(question, IDNO));
    command(IDM_RECEIVE_DATA);
    ASSERT_EQ(pendingDialogActions(), 0);
    EXPECT_EQ(question.text, "Fertig: 1 Saetze. Zeigen?");
}

}  // namespace
}  // namespace fw::win
