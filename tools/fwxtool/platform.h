// What fwxtool asks of the system it runs on, one implementation in posix/
// and one in win/: the serial ports, the console and Ctrl+C.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "comm/serial_port.h"

namespace fw::tool {

// The serial system of one port named on the command line: a list of that
// port alone, whatever kind it is ("/dev/ttyUSB0", "COM12", "\\.\COM12").
std::unique_ptr<SerialSystem> serialSystemOf(const std::string& port);

// A port of this system's driver, not yet opened.
std::unique_ptr<SerialPort> newSerialPort();

// One port of `fwxtool ports`.
struct ListedPort {
    std::string device;        // what a command names: "/dev/ttyUSB0", "COM3"
    std::string path;          // the system's own name of it
    int kind = kPortNone;      // kPortSerial, kPortBluetooth, other: virtual
    std::string description;   // maker and product where the system says them
};
std::vector<ListedPort> listPorts();

// Whether the error stream is a console on which lines can be redrawn, and
// its size in characters (left alone when it cannot be had).
bool errorStreamIsConsole();
void consoleSize(std::size_t& columns, std::size_t& rows);

// While one lives, Ctrl+C (and Ctrl+Break, or a TERM) sets `stop` instead
// of ending the program: every port cancels. A second one ends it at once.
class InterruptWatch {
public:
    explicit InterruptWatch(std::atomic<bool>& stop);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
};

}  // namespace fw::tool
