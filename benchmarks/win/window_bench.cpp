// Times the designer's window under Windows (Wine): from process start to the
// first painted frame, and from a key click to the repainted display.
//
// Run through tools/bench/window_bench.sh, which notes the time before Wine
// starts the process; this program prints the wall-clock time (Unix epoch,
// which Wine's system time follows) once the first frame is painted.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "shell/win/designer.h"
#include "simulator/face_geometry.h"

namespace {

double unixSeconds() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // 100 ns ticks since 1601 to seconds since 1970.
    return static_cast<double>(t.QuadPart - 116444736000000000ULL) / 1e7;
}

double microsecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace fw;
    using namespace fw::win;
    if (!registerDesignerClasses(instance)) return 1;
    auto session = std::make_unique<DesignerSession>();
    HWND terminal = createTerminalWindow(instance, *session, WS_POPUP);
    if (!terminal) return 1;
    ShowWindow(terminal, SW_SHOWNORMAL);
    RedrawWindow(terminal, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::printf("first frame at %.3f\n", unixSeconds());

    // Key clicks: each one goes to the engine and is painted before the next.
    HWND client = terminalClient(terminal);
    const int keys[] = {3, 15, 15, 14, 17, 2, 17, 3, 1, 17, 17};
    const int rounds = 200;
    int clicks = 0;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int r = 0; r < rounds; ++r) {
        for (int key : keys) {
            const FaceKey* k = faceKey(key);
            LPARAM at = MAKELPARAM((k->hitLeft + k->hitRight) / 2, (k->hitTop + k->hitBottom) / 2);
            SendMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(client, WM_LBUTTONUP, 0, at);
            UpdateWindow(client);
            ++clicks;
        }
    }
    std::printf("key click to repainted display: %.0f us on average over %d clicks\n",
                microsecondsSince(start) / clicks, clicks);
    std::fflush(stdout);
    session->model().modified = false;
    DestroyWindow(terminal);
    return 0;
}
