#include "comm/posix/transfer_runner_posix.h"

#include "comm/posix/serial_port_posix.h"

namespace fw {

namespace {

// A port list of one: the device asked for, whatever kind it is.
PosixSerialSystem systemOf(const DeviceLink& link) {
    return PosixSerialSystem({SerialPortInfo{link.device, link.device, kPortSerial}});
}

LinkChoice choiceOf(const DeviceLink& link) {
    return LinkChoice{link.linkType, 0, link.speedChoice};
}

}  // namespace

int downloadProgramToDevice(const DeviceLink& link, ProgramModel& model,
                            TransferObserver* observer, TransferCancel* cancel) {
    PosixSerialSystem system = systemOf(link);
    return runProgramDownload(system, choiceOf(link), model, observer, cancel);
}

int downloadLookupToDevice(const DeviceLink& link, const std::string& path,
                           TransferObserver* observer, TransferCancel* cancel) {
    PosixSerialSystem system = systemOf(link);
    return runLookupDownload(system, choiceOf(link), path, observer, cancel);
}

ReceiveOutcome receiveFromDevice(const DeviceLink& link, const std::string& path,
                                 TransferObserver* observer, TransferCancel* cancel) {
    PosixSerialSystem system = systemOf(link);
    return runDataReceive(system, choiceOf(link), path, observer, cancel);
}

}  // namespace fw
