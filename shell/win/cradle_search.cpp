// "De&tect Cradle": the cradle search on the system's ports through the
// Win32 serial driver. Declared in designer.h, which is not included here:
// comm/serial_link.h and shell/preferences.h both name the link types.
#include <string>

#include "comm/serial_link.h"
#include "comm/win/serial_port_win.h"

namespace fw::win {

int searchCradlePort(std::string& name) {
    WinSerialSystem system;
    return findCradlePort(system, name);
}

}  // namespace fw::win
