// The transfers over a serial device named by its path (/dev/ttyUSB0, a
// pty), with the termios driver: what fwxtool runs.
#pragma once

#include <string>

#include "comm/transfer_session.h"

namespace fw {

struct DeviceLink {
    std::string device;          // path of the tty
    int linkType = kLinkOther;
    int speedChoice = 0;         // 0 "115200 bps" .. 4 "9600 bps"
};

int downloadProgramToDevice(const DeviceLink& link, ProgramModel& model,
                            TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr);
int downloadLookupToDevice(const DeviceLink& link, const std::string& path,
                           TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr);
ReceiveOutcome receiveFromDevice(const DeviceLink& link, const std::string& path,
                                 TransferObserver* observer = nullptr,
                                 TransferCancel* cancel = nullptr);

}  // namespace fw
