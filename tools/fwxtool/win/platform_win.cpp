// fwxtool on Windows: the Win32 serial driver, the registry's port list
// described by SetupAPI, the console, and Ctrl+C / Ctrl+Break.
#include <windows.h>
#include <setupapi.h>
#include <devguid.h>

#include "comm/port_devices.h"
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

std::string deviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr) ||
        type != REG_SZ) {
        return {};
    }
    return utf8FromUtf16(reinterpret_cast<const char16_t*>(buffer));
}

std::string portNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LONG r = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) return {};
    return utf8FromUtf16(reinterpret_cast<const char16_t*>(name));
}

// The present devices of the "Ports (COM & LPT)" class.
std::vector<PortDevice> portDevices() {
    std::vector<PortDevice> devices;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return devices;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        PortDevice d;
        d.portName = portNameOf(set, device);
        if (d.portName.empty()) continue;
        d.friendlyName = deviceText(set, device, SPDRP_FRIENDLYNAME);
        d.maker = deviceText(set, device, SPDRP_MFG);
        d.product = deviceText(set, device, SPDRP_DEVICEDESC);
        devices.push_back(std::move(d));
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

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
