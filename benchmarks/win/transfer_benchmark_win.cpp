// transfer_benchmark_win: figures of the designer's program download under
// Windows (Wine), through the real command, progress dialog and serial
// driver. Not a test: transfer_benchmark_win.sh maps
//   COM1  a terminal that takes the program at a paced 115,200 bps
//   COM2  a terminal that never answers
// and this prints, for the download, the time against the pure wire time
// and the process's CPU time over the whole download; for the silent
// terminal, the CPU time while the progress dialog waits.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "comm/win/serial_port_win.h"
#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "tests/win/window_test_support.h"

namespace {

using namespace fw;
using namespace fw::win;
using namespace fw::wintest;
using Clock = std::chrono::steady_clock;

// User and kernel time of this process, in seconds.
double processCpu() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

struct Moment {
    Clock::time_point wall;
    double cpu = 0;
    static Moment now() { return {Clock::now(), processCpu()}; }
};

double seconds(const Moment& a, const Moment& b) { return std::chrono::duration<double>(b.wall - a.wall).count(); }

// Dialogs and message boxes are seen and answered from a hook the moment
// they are activated, so that neither a poll of the harness nor a late
// look costs the process time or adds to the figures.
struct Seen {
    Moment progress;   // the progress dialog shown
    Moment box;        // the first message box of the run shown
    std::string boxText;
    int boxes = 0;
} seen;

LRESULT CALLBACK onActivate(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        const Moment now = Moment::now();
        HWND w = reinterpret_cast<HWND>(wp);
        const std::string caption = windowText(w);
        if (caption == "Progress") {
            seen.progress = now;
        } else if (caption == "Download" || caption == "Error") {
            if (seen.boxes++ == 0) {
                seen.box = now;
                seen.boxText = caption;
            }
            // "Time out!" first, then the question whether to retry.
            const int button = seen.boxes == 2 ? IDNO : IDOK;
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Runs the message loop for `ms` milliseconds.
void idle(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (DWORD now = GetTickCount(); now < end; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool usePort(DesignerSession& session, int com) {
    SerialPortInfo info;
    for (int i = 0; enumSerialPort(i, info) != kPortNone; ++i)
        if (info.portName == "COM" + std::to_string(com)) {
            session.document().prefs.comPortIndex = i;
            return true;
        }
    std::printf("COM%d is not listed\n", com);
    return false;
}

}  // namespace

int main() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registerDesignerClasses(instance)) return 1;
    auto session = std::make_unique<DesignerSession>();
    HWND terminal = createTerminalWindow(instance, *session, WS_POPUP);
    if (!terminal) return 1;
    ShowWindow(terminal, SW_SHOWNORMAL);
    pumpMessages();
    SetWindowsHookExA(WH_CBT, onActivate, nullptr, GetCurrentThreadId());
    session->preferences().downloadVia = kLinkOther;
    // A program that can run: the download goes without the question
    // whether to send a program with errors.
    session->model().forms[0].dataType[0] = kTypeText;
    session->model().forms[0].maxLength[0] = 13;
    session->preferences().baudRate = 0;   // 115200 bps

    // The designer with nothing to do: the start screen's clock runs.
    const Moment idleStart = Moment::now();
    idle(3000);
    const Moment idleEnd = Moment::now();
    std::printf("designer idle on its start screen: %.3f s CPU in %.3f s (%.2f %% of a core)\n",
                idleEnd.cpu - idleStart.cpu, seconds(idleStart, idleEnd),
                100 * (idleEnd.cpu - idleStart.cpu) / seconds(idleStart, idleEnd));

    // The download, paced as a terminal takes it.
    if (!usePort(*session, 1)) return 1;
    const Moment start = Moment::now();
    SendMessageA(terminal, WM_COMMAND, IDM_DOWNLOAD_APP, 0);
    if (seen.boxText != "Download") {
        std::printf("the download did not end with its message\n");
        return 1;
    }
    const Moment end = seen.box;
    // "QUARIX\r", 200 blocks of 103 bytes; 201 "ACK\r" back; 10 bits a byte.
    const double wire = (7 + 200 * 103 + 201 * 4) * 10.0 / 115200;
    const double wall = seconds(start, end);
    std::printf("designer program download paced at 115200 bps: %.3f s for %.3f s of wire time: ratio %.3f; "
                "%.3f s CPU (%.1f %% of a core)\n",
                wall, wire, wall / wire, end.cpu - start.cpu, 100 * (end.cpu - start.cpu) / wall);

    // A terminal that never answers: the dialog waits until "Time out!".
    if (!usePort(*session, 2)) return 1;
    seen = Seen{};
    SendMessageA(terminal, WM_COMMAND, IDM_DOWNLOAD_APP, 0);
    const double waited = seconds(seen.progress, seen.box);
    std::printf("progress dialog waiting on a silent terminal: %.3f s, %.3f s CPU (%.2f %% of a core)\n", waited,
                seen.box.cpu - seen.progress.cpu, 100 * (seen.box.cpu - seen.progress.cpu) / waited);

    session->model().modified = false;
    DestroyWindow(terminal);
    return 0;
}
