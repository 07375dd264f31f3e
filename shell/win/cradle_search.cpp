// "De&tect Cradle": the cradle search on the system's ports through the
// Win32 serial driver.
#include <string>

#include "comm/serial_link.h"
#include "comm/win/serial_port_win.h"
#include "shell/win/designer.h"

namespace fw::win {

int searchCradlePort(std::string& name) {
    WinSerialSystem system;
    return findCradlePort(system, name);
}

}  // namespace fw::win
