// What the device manager says about the serial ports: the present devices
// of the "Ports (COM & LPT)" class, through SetupAPI. comm/port_devices.h
// merges them into the system's port list. Wine lists none.
#pragma once

#include <vector>

#include "comm/port_devices.h"

namespace fw {

// Every present port device that names its port; empty when the system
// gives none.
std::vector<PortDevice> portDevices();

}  // namespace fw
