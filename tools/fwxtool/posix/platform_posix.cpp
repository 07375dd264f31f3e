// fwxtool on Linux: termios ports, the terminal on stderr, SIGINT and SIGTERM.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "comm/posix/serial_port_posix.h"
#include "tools/fwxtool/platform.h"

namespace fw::tool {

std::unique_ptr<SerialSystem> serialSystemOf(const std::string& port) {
    return std::make_unique<PosixSerialSystem>(
        std::vector<SerialPortInfo>{SerialPortInfo{port, port, kPortSerial}});
}

// A device or a network port, by the name it is opened with.
std::unique_ptr<SerialPort> newSerialPort() { return PosixSerialSystem(std::vector<SerialPortInfo>{}).newPort(); }

std::vector<ListedPort> listPorts() {
    std::vector<ListedPort> list;
    for (const SerialPortInfo& p : listPosixSerialPorts())
        list.push_back(ListedPort{p.portName, p.valueName, p.kind, posixPortDescription(p)});
    return list;
}

bool errorStreamIsConsole() { return ::isatty(STDERR_FILENO) == 1; }

void consoleSize(std::size_t& columns, std::size_t& rows) {
    winsize ws{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) != 0) return;
    if (ws.ws_col > 20) columns = ws.ws_col;
    if (ws.ws_row > 0) rows = ws.ws_row;
}

namespace {

std::atomic<std::atomic<bool>*> gStop{nullptr};
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free, "read in a signal handler");

struct sigaction gOldInt {};
struct sigaction gOldTerm {};

extern "C" void onInterrupt(int) {
    if (std::atomic<bool>* stop = gStop.load()) stop->store(true);
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop) {
    gStop.store(&stop);
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    // Once caught, the next one has the default effect: it ends the program.
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, &gOldInt);
    ::sigaction(SIGTERM, &sa, &gOldTerm);
}

InterruptWatch::~InterruptWatch() {
    ::sigaction(SIGINT, &gOldInt, nullptr);
    ::sigaction(SIGTERM, &gOldTerm, nullptr);
    gStop.store(nullptr);
}

}  // namespace fw::tool
