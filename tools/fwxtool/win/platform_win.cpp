// fwxtool on Windows: the Win32 serial driver, the registry's port list
// described by SetupAPI, the console, and Ctrl+C / Ctrl+Break.
#include <windows.h>

#include "comm/port_devices.h"
#include "comm/win/port_devices_win.h"
#include "comm/win/serial_port_win.h"
#include "texts/code_page.h"
#include "tools/fwxtool/platform.h"

namespace fw::tool {

namespace {

// The port named on the command line, as the only one of the list.
class NamedPortSystem final : public SerialSystem {
public:
    explicit NamedPortSystem(std::string port) : port_(std::move(port)) {}
    int enumSerialPort(int index, SerialPortInfo& info) override {
        if (index != 0) return kPortNone;
        info = SerialPortInfo{port_, port_, kPortSerial};
        return kPortSerial;
    }
    // A COM port or a network port, by the name it is opened with.
    std::unique_ptr<SerialPort> newPort() override { return WinSerialSystem().newPort(); }

private:
    std::string port_;
};

HANDLE errorHandle() { return GetStdHandle(STD_ERROR_HANDLE); }

}  // namespace

std::unique_ptr<SerialSystem> serialSystemOf(const std::string& port) {
    return std::make_unique<NamedPortSystem>(port);
}

std::unique_ptr<SerialPort> newSerialPort() { return WinSerialSystem().newPort(); }

std::vector<ListedPort> listPorts() {
    // SERIALCOMM, as the designer reads it; an entry it cannot read is
    // skipped, not the end of the list.
    constexpr int kMostEntries = 256;
    std::vector<SerialPortInfo> ports;
    for (int i = 0; i < kMostEntries; ++i) {
        SerialPortInfo info;
        if (enumSerialPort(i, info) != kPortNone) ports.push_back(info);
    }
    std::vector<ListedPort> list;
    for (const DescribedPort& p : mergePortDevices(ports, portDevices()))
        list.push_back(ListedPort{p.info.portName, p.info.valueName, p.info.kind, p.description});
    return list;
}

bool errorStreamIsConsole() {
    DWORD mode = 0;
    if (!GetConsoleMode(errorHandle(), &mode)) return false;
    // Lines redrawn in place need the console to take the cursor sequences.
    return SetConsoleMode(errorHandle(), mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void consoleSize(std::size_t& columns, std::size_t& rows) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(errorHandle(), &info)) return;
    const int width = info.srWindow.Right - info.srWindow.Left + 1;
    const int height = info.srWindow.Bottom - info.srWindow.Top + 1;
    if (width > 20) columns = std::size_t(width);
    if (height > 0) rows = std::size_t(height);
}

namespace {

std::atomic<std::atomic<bool>*> gStop{nullptr};

// Runs on a thread of its own. The first Ctrl+C or Ctrl+Break cancels every
// port; after that the handler lets the next one end the program.
BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    std::atomic<bool>* stop = gStop.exchange(nullptr);
    if (stop == nullptr) return FALSE;
    stop->store(true);
    return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop) {
    gStop.store(&stop);
    SetConsoleCtrlHandler(onControl, TRUE);
}

InterruptWatch::~InterruptWatch() {
    SetConsoleCtrlHandler(onControl, FALSE);
    gStop.store(nullptr);
}

}  // namespace fw::tool
