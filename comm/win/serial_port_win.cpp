#include "comm/win/serial_port_win.h"

#include <cstring>
#include <limits>

namespace fw {

namespace {

void closeHandle(HANDLE& h, HANDLE empty) {
    if (h != empty) CloseHandle(h);
    h = empty;
}

// Manual-reset, as an overlapped record's event should be: the wait for the
// result then cannot eat a signal that the completion check needs.
HANDLE makeIoEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace

WinSerialPort::~WinSerialPort() {
    close();
}

PortOpen WinSerialPort::open(const std::string& name) {
    close();
    if (name.empty()) return PortOpen::deviceFailed;
    // "\\.\" reaches COM10 and above too; exclusive, and only a port that
    // exists.
    std::string path = "\\\\.\\" + name;
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return PortOpen::deviceFailed;

    readEvent_ = makeIoEvent();
    writeEvent_ = makeIoEvent();
    waitEvent_ = makeIoEvent();
    wakeEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!readEvent_ || !writeEvent_ || !waitEvent_ || !wakeEvent_) {
        close();
        return PortOpen::eventFailed;
    }
    SetCommMask(handle_, EV_RXCHAR);
    return PortOpen::opened;
}

void WinSerialPort::endPendingWait() {
    if (!waitPending_) return;
    // A new event mask completes a pending WaitCommEvent; then wait for the
    // completion, so that the record is no longer the system's.
    SetCommMask(handle_, EV_RXCHAR);
    DWORD unused = 0;
    if (!GetOverlappedResult(handle_, &waitRecord_, &unused, FALSE) &&
        GetLastError() == ERROR_IO_INCOMPLETE) {
        CancelIoEx(handle_, &waitRecord_);
        GetOverlappedResult(handle_, &waitRecord_, &unused, TRUE);
    }
    waitPending_ = false;
}

void WinSerialPort::close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        endPendingWait();
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    waitPending_ = false;
    closeHandle(readEvent_, nullptr);
    closeHandle(writeEvent_, nullptr);
    closeHandle(waitEvent_, nullptr);
    closeHandle(wakeEvent_, nullptr);
}

bool WinSerialPort::setQueueSizes(std::size_t input, std::size_t output) {
    if (!isOpen() || input > MAXDWORD || output > MAXDWORD) return false;
    return SetupComm(handle_, DWORD(input), DWORD(output)) != FALSE;
}

bool WinSerialPort::setTimeouts(const SerialTimeouts& t) {
    if (!isOpen()) return false;
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = t.readInterval;
    ct.ReadTotalTimeoutMultiplier = t.readTotalMultiplier;
    ct.ReadTotalTimeoutConstant = t.readTotalConstant;
    ct.WriteTotalTimeoutMultiplier = t.writeTotalMultiplier;
    ct.WriteTotalTimeoutConstant = t.writeTotalConstant;
    return SetCommTimeouts(handle_, &ct) != FALSE;
}

bool WinSerialPort::lineSettings(LineSettings& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!isOpen() || !GetCommState(handle_, &dcb)) return false;
    line.baudRate = dcb.BaudRate;
    line.dtr = dcb.fDtrControl == DTR_CONTROL_ENABLE;
    line.rts = dcb.fRtsControl == RTS_CONTROL_ENABLE;
    return true;
}

bool WinSerialPort::applyLine(const LineSettings& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!isOpen() || !GetCommState(handle_, &dcb)) return false;
    dcb.BaudRate = line.baudRate;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    // RTS goes through the port description, never EscapeCommFunction:
    // under Wine that fails on a pty while SetCommState works.
    dcb.fDtrControl = line.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fRtsControl = line.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    return SetCommState(handle_, &dcb) != FALSE;
}

bool WinSerialPort::write(std::span<const uint8_t> bytes) {
    if (!isOpen()) return false;
    if (bytes.empty()) return true;
    if (bytes.size() > MAXDWORD) return false;
    OVERLAPPED record{};
    record.hEvent = writeEvent_;
    ResetEvent(writeEvent_);
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, &record)) {
        if (GetLastError() != ERROR_IO_PENDING) return false;
        // The write time-outs bound this wait.
        if (!GetOverlappedResult(handle_, &record, &written, TRUE)) return false;
    }
    return written == bytes.size();
}

long WinSerialPort::read(std::span<uint8_t> buffer) {
    if (!isOpen()) return -1;
    if (buffer.empty()) return 0;
    DWORD want = buffer.size() > 0x7FFFFFFF ? 0x7FFFFFFF : DWORD(buffer.size());
    OVERLAPPED record{};
    record.hEvent = readEvent_;
    ResetEvent(readEvent_);
    DWORD got = 0;
    if (!ReadFile(handle_, buffer.data(), want, &got, &record)) {
        if (GetLastError() != ERROR_IO_PENDING) return -1;
        // With the transfer time-outs Windows completes a read at once, but
        // Wine leaves it pending until a byte comes; and under other
        // time-outs it might wait too. Take what it has and stop it.
        if (!GetOverlappedResult(handle_, &record, &got, FALSE)) {
            if (GetLastError() != ERROR_IO_INCOMPLETE) return -1;
            CancelIoEx(handle_, &record);
            if (!GetOverlappedResult(handle_, &record, &got, TRUE) &&
                GetLastError() != ERROR_OPERATION_ABORTED) {
                return -1;
            }
        }
    }
    return got > want ? long(want) : long(got);
}

bool WinSerialPort::bytesWaiting() {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(handle_, &errors, &status) && status.cbInQue > 0;
}

PortWait WinSerialPort::waitReadable(int timeoutMs) {
    if (!isOpen()) return PortWait::failed;
    if (bytesWaiting()) return PortWait::readable;
    if (!waitPending_) {
        ResetEvent(waitEvent_);
        waitRecord_ = OVERLAPPED{};
        waitRecord_.hEvent = waitEvent_;
        waitMask_ = 0;
        if (WaitCommEvent(handle_, &waitMask_, &waitRecord_)) return PortWait::readable;
        if (GetLastError() != ERROR_IO_PENDING) return PortWait::failed;
        waitPending_ = true;
        // A byte that came between the check above and the wait raised no
        // event of its own.
        if (bytesWaiting()) return PortWait::readable;
    }
    HANDLE handles[2] = {waitEvent_, wakeEvent_};
    DWORD r = WaitForMultipleObjects(2, handles, FALSE, timeoutMs < 0 ? INFINITE : DWORD(timeoutMs));
    if (r == WAIT_OBJECT_0) {
        waitPending_ = false;
        DWORD unused = 0;
        // Wine completes the wait with a mask of 0 even when bytes came, and
        // on a pty ends it every 10 ms or so as aborted with nothing there.
        // Neither is a broken port: whatever woke us, the caller reads what
        // is there and waits again.
        if (!GetOverlappedResult(handle_, &waitRecord_, &unused, FALSE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return PortWait::failed;
        }
        return PortWait::readable;
    }
    if (r == WAIT_OBJECT_0 + 1) return PortWait::woken;
    if (r == WAIT_TIMEOUT) return PortWait::timedOut;
    return PortWait::failed;
}

void WinSerialPort::wakeWaiter() {
    if (wakeEvent_) SetEvent(wakeEvent_);
}

void WinSerialPort::purgeInput() {
    if (isOpen()) PurgeComm(handle_, PURGE_RXCLEAR);
}

void WinSerialPort::purgeOutput() {
    if (isOpen()) PurgeComm(handle_, PURGE_TXCLEAR);
}

int enumSerialPort(int index, SerialPortInfo& info) {
    info = SerialPortInfo{};
    if (index < 0) return kPortNone;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return kPortNone;
    }
    char valueName[100];
    DWORD valueNameLength = sizeof valueName;
    BYTE data[10];
    DWORD dataLength = sizeof data;
    DWORD type = 0;
    // ERROR_MORE_DATA (a name or a port name that does not fit) is no entry.
    LONG r = RegEnumValueA(key, DWORD(index), valueName, &valueNameLength, nullptr, &type, data,
                           &dataLength);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return kPortNone;
    if (valueNameLength >= sizeof valueName || dataLength > sizeof data) return kPortNone;

    // The data need not end in a NUL; read no further than it goes.
    const char* port = reinterpret_cast<const char*>(data);
    std::size_t portLength = 0;
    while (portLength < dataLength && port[portLength] != '\0') ++portLength;
    info.portName.assign(port, portLength);
    info.valueName.assign(valueName, valueNameLength);
    info.kind = portKind(info.valueName);
    return info.kind;
}

int WinSerialSystem::enumSerialPort(int index, SerialPortInfo& info) {
    return fw::enumSerialPort(index, info);
}

std::unique_ptr<SerialPort> WinSerialSystem::newPort() {
    return std::make_unique<WinSerialPort>();
}

}  // namespace fw
