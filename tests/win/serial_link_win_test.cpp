// The serial link with the Win32 driver under Wine, against fake cradles on
// ptys that tests/win/serial_link_win.sh maps to COM ports:
//   COM1..COM5  cradles at 9600, 115200, 38400, 57600 and 19200
//   COM6        nothing behind it
//   COM7        a cradle at 9600, listed under a Bluetooth value name
//   COM8        a cradle at 38400 whose echo comes 150 ms after the test
//   COM99       listed, but no such device
// The script names the cradles' report file in FW_CRADLE_REPORT; each of its
// lines is "<pty> baud=<n> line=<n> echoes=<n> bytes=<n>", in COM order.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "comm/cradle.h"
#include "comm/network_port.h"
#include "comm/serial_link.h"
#include "comm/win/serial_port_win.h"

namespace fw {
namespace {

struct CradleState {
    unsigned baud = 0;
    unsigned line = 0;
    unsigned echoes = 0;
    unsigned bytes = 0;
};

unsigned field(const std::string& text, const std::string& name) {
    auto at = text.find(" " + name + "=");
    return at == std::string::npos ? 0u : unsigned(std::strtoul(text.c_str() + at + name.size() + 2, nullptr, 10));
}

std::vector<CradleState> readReport() {
    std::vector<CradleState> states;
    const char* path = std::getenv("FW_CRADLE_REPORT");
    if (!path) return states;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        states.push_back({field(line, "baud"), field(line, "line"), field(line, "echoes"),
                          field(line, "bytes")});
    }
    return states;
}

// The fake cradles write their report every 20 ms; give them time.
template <class Done>
CradleState cradleWhen(std::size_t index, Done done) {
    CradleState last;
    for (int i = 0; i < 100; ++i) {
        std::vector<CradleState> states = readReport();
        if (index < states.size()) {
            last = states[index];
            if (done(last)) break;
        }
        Sleep(20);
    }
    return last;
}

int indexOfPort(const std::string& name) {
    SerialPortInfo info;
    for (int i = 0; enumSerialPort(i, info) != kPortNone; ++i) {
        if (info.portName == name) return i;
    }
    return -1;
}

class SerialLinkWin : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("FW_CRADLE_REPORT")) GTEST_SKIP() << "run through serial_link_win.sh";
    }
    WinSerialSystem system;
};

TEST_F(SerialLinkWin, ListsThePortsWithTheirKinds) {
    std::vector<std::string> entries;
    SerialPortInfo info;
    for (int i = 0; enumSerialPort(i, info) != kPortNone; ++i) entries.push_back(portListEntry(info));
    for (int n = 1; n <= 6; ++n) {
        std::string expected = "COM" + std::to_string(n) + " - Serial port";
        EXPECT_NE(std::find(entries.begin(), entries.end(), expected), entries.end()) << expected;
    }
    EXPECT_NE(std::find(entries.begin(), entries.end(), "COM7 - Bluetooth port"), entries.end());
    EXPECT_EQ(enumSerialPort(int(entries.size()), info), kPortNone);
    EXPECT_EQ(enumSerialPort(-1, info), kPortNone);
}

TEST_F(SerialLinkWin, FindsTheCradleWithoutOpeningTheBluetoothPort) {
    // The Bluetooth entry comes first in the list, so the search passes it.
    ASSERT_LT(indexOfPort("COM7"), indexOfPort("COM1"));
    std::string name;
    EXPECT_EQ(findCradlePort(system, name), indexOfPort("COM1"));
    EXPECT_EQ(name, "COM1");
    EXPECT_EQ(readReport().at(6).bytes, 0u);
}

TEST_F(SerialLinkWin, SwitchesTheCradleFoundAtEachSpeed) {
    for (int i = 0; i < 5; ++i) {
        const std::string name = "COM" + std::to_string(i + 1);
        const int choice = (i + 2) % 5;
        std::unique_ptr<SerialPort> port;
        ASSERT_EQ(openLink(kLinkCradleIr, indexOfPort(name), choice, system, port), kLinkOpened)
            << name;
        const uint32_t chosen = kSpeedChoices[choice];
        CradleState state = cradleWhen(std::size_t(i), [chosen](const CradleState& s) {
            return s.baud == chosen && s.line == chosen;
        });
        EXPECT_EQ(state.baud, kSpeedChoices[choice]) << name;
        EXPECT_EQ(state.line, kSpeedChoices[choice]) << name;
        LineSettings line;
        ASSERT_TRUE(port->lineSettings(line));
        EXPECT_EQ(line.baudRate, kSpeedChoices[choice]);
        EXPECT_TRUE(line.dtr);
        EXPECT_TRUE(line.rts);
    }
}

TEST_F(SerialLinkWin, NoCradleGivesCannotConfigure) {
    std::unique_ptr<SerialPort> port;
    EXPECT_EQ(openLink(kLinkCradleIr, indexOfPort("COM6"), 0, system, port), kCannotConfigureIr);
    CradleState state = cradleWhen(5, [](const CradleState& s) { return s.bytes >= 5; });
    EXPECT_EQ(state.bytes, 5u);   // one echo test at each speed
}

TEST_F(SerialLinkWin, EchoAfterTheDelayIsStillTaken) {
    // At 38400 the delay is 100 ms: the echo comes 50 ms into the window, and
    // only a read that waits for it sees it.
    std::unique_ptr<SerialPort> port;
    ASSERT_EQ(openLink(kLinkCradleIr, indexOfPort("COM8"), 4, system, port), kLinkOpened);
    CradleState state = cradleWhen(7, [](const CradleState& s) { return s.baud == 9600; });
    EXPECT_EQ(state.baud, 9600u);
}

TEST_F(SerialLinkWin, MissingPortsAndOtherLinks) {
    std::unique_ptr<SerialPort> port;
    EXPECT_EQ(openLink(kLinkOther, indexOfPort("COM99"), 0, system, port), kCannotOpenComPort);
    EXPECT_EQ(openLink(kLinkOther, 200, 0, system, port), kNoComPortDevice);
    // No probing: the port's line is set, nothing is written.
    unsigned before = readReport().at(5).bytes;
    EXPECT_EQ(openLink(kLinkIrda, indexOfPort("COM6"), 1, system, port), kLinkOpened);
    CradleState state = cradleWhen(5, [](const CradleState& s) { return s.line == 57600; });
    EXPECT_EQ(state.line, 57600u);
    EXPECT_EQ(state.bytes, before);
}

// What the driver leaves in the port description and time-outs, read back
// through the system: for a plain link, and in the cradle's command mode
// (RTS off). Another program first leaves flow control and abort-on-error
// switched on in the driver.
TEST_F(SerialLinkWin, LineSettingsReadBackAsTheTransferNeedsThem) {
    HANDLE other = CreateFileA("\\\\.\\COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DCB left{};
    left.DCBlength = sizeof left;
    ASSERT_TRUE(GetCommState(other, &left));
    left.fOutxCtsFlow = TRUE;
    left.fOutX = TRUE;
    left.fInX = TRUE;
    left.fAbortOnError = TRUE;
    left.fDsrSensitivity = TRUE;
    SetCommState(other, &left);
    CloseHandle(other);

    std::unique_ptr<SerialPort> port;
    ASSERT_EQ(openLink(kLinkOther, indexOfPort("COM6"), 2, system, port), kLinkOpened);
    HANDLE h = static_cast<WinSerialPort*>(static_cast<PortByName&>(*port).opened())->handle();
    auto expectTransferLine = [h](DWORD baud, bool rts) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        ASSERT_TRUE(GetCommState(h, &dcb));
        EXPECT_EQ(dcb.BaudRate, baud);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fDtrControl, DWORD(DTR_CONTROL_ENABLE));
        // Wine reads RTS back from the modem lines, which a pty does not
        // have: it reports "enabled" whatever was set. Only "on" is checked.
        if (rts) {
            EXPECT_EQ(dcb.fRtsControl, DWORD(RTS_CONTROL_ENABLE));
        }
        EXPECT_FALSE(dcb.fOutxCtsFlow);
        EXPECT_FALSE(dcb.fOutxDsrFlow);
        EXPECT_FALSE(dcb.fOutX);
        EXPECT_FALSE(dcb.fInX);
        EXPECT_FALSE(dcb.fDsrSensitivity);
        EXPECT_FALSE(dcb.fAbortOnError);
        EXPECT_NE(dcb.XonChar, dcb.XoffChar);
        COMMTIMEOUTS t{};
        ASSERT_TRUE(GetCommTimeouts(h, &t));
        EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
        EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
        EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 5u);
        EXPECT_EQ(t.WriteTotalTimeoutConstant, 50u);
    };
    expectTransferLine(38400, true);
    // The cradle's command mode, as its set-up asks for it.
    ASSERT_TRUE(port->applyLine(LineSettings{9600, true, false}));
    expectTransferLine(9600, false);
}

// A wait on a silent port blocks until its time is up, and another thread
// ends it at once; what came meanwhile is read afterwards.
TEST_F(SerialLinkWin, WaitsEndAtTheirTimeOrWhenWoken) {
    std::unique_ptr<SerialPort> port;
    ASSERT_EQ(openLink(kLinkOther, indexOfPort("COM6"), 0, system, port), kLinkOpened);
    uint8_t buffer[16];
    EXPECT_EQ(port->read(buffer), 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(port->waitReadable(300), PortWait::timedOut);
    EXPECT_GE(GetTickCount() - start, 250u);

    HANDLE waker = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            Sleep(100);
            static_cast<SerialPort*>(p)->wakeWaiter();
            return 0;
        },
        port.get(), 0, nullptr);
    start = GetTickCount();
    EXPECT_EQ(port->waitReadable(-1), PortWait::woken);
    EXPECT_LT(GetTickCount() - start, 5000u);
    WaitForSingleObject(waker, INFINITE);
    CloseHandle(waker);
    port->close();
}

}  // namespace
}  // namespace fw
