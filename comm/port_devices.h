// The serial ports of a Windows machine as a user knows them: the system's
// list of ports (the registry's SERIALCOMM, what the designer offers) with
// what the device manager says about each (friendly name, maker, product).
#pragma once

#include <string>
#include <vector>

#include "comm/serial_port.h"

namespace fw {

// A device of the "Ports" class as the device manager lists it.
struct PortDevice {
    std::string portName;       // its "PortName": "COM3"
    std::string friendlyName;   // "USB Serial Port (COM3)"
    std::string maker;          // "FTDI"
    std::string product;        // the device's description: "USB Serial Port"
};

struct DescribedPort {
    SerialPortInfo info;
    std::string description;    // empty when no device says anything
};

// Every port of `ports` (and only those: a device without a port in the list
// is not there to be opened), in the order of their numbers (COM2 before
// COM10), each described by the device of its name (in either case):
// "USB Serial Port (FTDI)": the friendly name without its own "(COMn)", or
// else the product, then the maker in brackets where it says something new.
std::vector<DescribedPort> mergePortDevices(const std::vector<SerialPortInfo>& ports,
                                            const std::vector<PortDevice>& devices);

// The port as a list a user picks from shows it: "COM3 - USB Serial Port
// (FTDI)", or the port's name alone when nothing describes it.
std::string portListText(const DescribedPort& port);

}  // namespace fw
