#include "comm/win/serial_port_win.h"

#include <algorithm>
#include <cstring>

#include "comm/line_description.h"
#include "comm/network_port.h"
#include "comm/win/stream_socket_win.h"
#include "texts/code_page.h"

namespace fw {

namespace {

// How long a cancelled request may take to complete before it is given up.
constexpr DWORD kCancelWaitMs = 500;
// A write still pending after this long counts as sent.
constexpr DWORD kWritePendingMs = 1000;
constexpr std::size_t kReadAhead = 1024;

std::unique_ptr<WinSerialPort::Request> newRequest() {
    auto r = std::make_unique<WinSerialPort::Request>();
    // Manual-reset, as an overlapped record's event should be.
    r->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!r->event) return nullptr;
    return r;
}

void freeRequest(std::unique_ptr<WinSerialPort::Request>& r) {
    if (!r) return;
    if (r->pending) {
        // The system may still complete it into this memory: leave it be.
        r.release();
        return;
    }
    CloseHandle(r->event);
    r.reset();
}

// ReadFile, WriteFile and WaitCommEvent reset the record's event as they
// start; a ResetEvent of our own would be one more trip to the system for
// every byte that arrives.
void arm(WinSerialPort::Request& r) {
    r.record = OVERLAPPED{};
    r.record.hEvent = r.event;
}

// A write that ran out of its time-outs, whichever way the driver says it:
// sent, as far as the exchange goes.
bool isTimeout(DWORD error) {
    return error == ERROR_SEM_TIMEOUT || error == ERROR_TIMEOUT || error == WAIT_TIMEOUT;
}

}  // namespace

void describeLine(DCB& dcb, const LineSettings& line) {
    LineDescription kept;
    kept.xonChar = dcb.XonChar;
    kept.xoffChar = dcb.XoffChar;
    kept.xonLim = dcb.XonLim;
    kept.xoffLim = dcb.XoffLim;
    const LineDescription d = describeLine(kept, line);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = d.baudRate;
    dcb.fBinary = d.binary;   // the only mode the serial drivers have
    dcb.fParity = d.parityCheck;
    dcb.fOutxCtsFlow = d.outxCtsFlow;
    dcb.fOutxDsrFlow = d.outxDsrFlow;
    // RTS and DTR go through the port description, never EscapeCommFunction:
    // under Wine that fails on a pty while SetCommState works.
    dcb.fDtrControl = static_cast<DWORD>(d.dtrControl);
    dcb.fRtsControl = static_cast<DWORD>(d.rtsControl);
    dcb.fDsrSensitivity = d.dsrSensitivity;
    dcb.fTXContinueOnXoff = d.txContinueOnXoff;
    dcb.fOutX = d.outX;
    dcb.fInX = d.inX;
    dcb.fErrorChar = d.errorChar;
    dcb.fNull = d.nullStrip;
    dcb.fAbortOnError = d.abortOnError;
    dcb.ByteSize = d.byteSize;
    dcb.Parity = d.parity;
    dcb.StopBits = d.stopBits;
    dcb.XonChar = d.xonChar;
    dcb.XoffChar = d.xoffChar;
    dcb.XonLim = d.xonLim;
    dcb.XoffLim = d.xoffLim;
}

WinSerialPort::~WinSerialPort() {
    close();
}

PortOpen WinSerialPort::open(const std::string& name) {
    close();
    if (name.empty()) return PortOpen::deviceFailed;
    // "\\.\" reaches COM10 and above too; exclusive, and only a port that
    // exists.
    const std::u16string path = u"\\\\.\\" + utf16FromUtf8(name);
    handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return PortOpen::deviceFailed;
    wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    read_ = newRequest();
    write_ = newRequest();
    wait_ = newRequest();
    if (!wakeEvent_ || !read_ || !write_ || !wait_) {
        close();
        return PortOpen::eventFailed;
    }
    read_->buffer.resize(kReadAhead);
    SetCommMask(handle_, EV_RXCHAR);
    readsReturnAtOnce_ = false;
    return PortOpen::opened;
}

// Ends a request: cancelled first when asked, then waited for, but never
// for long. False (and the request given up, a new one in its place) when
// the driver does not complete it in time.
bool WinSerialPort::reap(std::unique_ptr<Request>& r, bool cancel) {
    if (!r || !r->pending) return true;
    if (cancel) CancelIoEx(handle_, &r->record);
    if (WaitForSingleObject(r->event, kCancelWaitMs) == WAIT_OBJECT_0) {
        DWORD unused = 0;
        GetOverlappedResult(handle_, &r->record, &unused, FALSE);
        r->pending = false;
        return true;
    }
    const std::size_t size = r->buffer.size();
    freeRequest(r);   // still pending: left to the system, buffer and all
    r = newRequest();
    if (r) r->buffer.resize(size);
    return false;
}

void WinSerialPort::close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        // A new mask completes a pending WaitCommEvent; the aborts end a
        // pending read and write.
        SetCommMask(handle_, 0);
        PurgeComm(handle_, PURGE_RXABORT | PURGE_TXABORT);
        reap(wait_, true);
        reap(read_, true);
        reap(write_, true);
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    freeRequest(read_);
    freeRequest(write_);
    freeRequest(wait_);
    if (wakeEvent_) CloseHandle(wakeEvent_);
    wakeEvent_ = nullptr;
    arrived_.clear();
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
    // The driver's description is the start only for what is not set here.
    if (!isOpen() || !GetCommState(handle_, &dcb)) return false;
    describeLine(dcb, line);
    return SetCommState(handle_, &dcb) != FALSE;
}

void WinSerialPort::clearLineErrors(DWORD* queued) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) status.cbInQue = 0;
    if (queued) *queued = status.cbInQue;
}

bool WinSerialPort::write(std::span<const uint8_t> bytes) {
    if (!isOpen() || !write_) return false;
    if (bytes.empty()) return true;
    if (bytes.size() > MAXDWORD) return false;
    // The last write was counted as sent while still pending: end it first.
    if (write_->pending) {
        PurgeComm(handle_, PURGE_TXABORT);
        reap(write_, true);
        if (!write_) return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        write_->buffer.assign(bytes.begin(), bytes.end());
        arm(*write_);
        DWORD written = 0;
        DWORD error = ERROR_SUCCESS;
        if (!WriteFile(handle_, write_->buffer.data(), DWORD(bytes.size()), &written,
                       &write_->record)) {
            error = GetLastError();
            if (error == ERROR_IO_PENDING) {
                write_->pending = true;
                if (WaitForSingleObject(write_->event, kWritePendingMs) != WAIT_OBJECT_0) {
                    return true;   // still going out: counts as sent
                }
                write_->pending = false;
                error = GetOverlappedResult(handle_, &write_->record, &written, FALSE)
                            ? ERROR_SUCCESS
                            : GetLastError();
            }
        }
        if (error == ERROR_SUCCESS || isTimeout(error)) return true;
        // A driver that aborts on a line error refuses everything until the
        // error is cleared; clear it and write once more.
        if (error != ERROR_OPERATION_ABORTED) return false;
        clearLineErrors();
    }
    return false;
}

WinSerialPort::Started WinSerialPort::startRead() {
    if (!read_) return Started::failed;
    if (read_->pending) return Started::pending;
    arm(*read_);
    DWORD got = 0;
    if (ReadFile(handle_, read_->buffer.data(), DWORD(read_->buffer.size()), &got,
                 &read_->record)) {
        got = std::min<DWORD>(got, DWORD(read_->buffer.size()));
        arrived_.insert(arrived_.end(), read_->buffer.begin(), read_->buffer.begin() + got);
        if (got == 0) readsReturnAtOnce_ = true;
        return Started::done;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        read_->pending = true;
        return Started::pending;
    }
    if (error == ERROR_OPERATION_ABORTED) {
        clearLineErrors();   // a line error under abort-on-error
        return Started::done;
    }
    return Started::failed;
}

// Takes a completed read-ahead, if any, into arrived_; then hands out what
// has arrived.
long WinSerialPort::takeRead(std::span<uint8_t> buffer) {
    // Whether the read-ahead has completed is in its record: no system call.
    if (read_ && read_->pending && HasOverlappedIoCompleted(&read_->record)) {
        read_->pending = false;
        DWORD got = 0;
        if (GetOverlappedResult(handle_, &read_->record, &got, FALSE)) {
            got = std::min<DWORD>(got, DWORD(read_->buffer.size()));
            arrived_.insert(arrived_.end(), read_->buffer.begin(), read_->buffer.begin() + got);
        } else if (GetLastError() == ERROR_OPERATION_ABORTED) {
            clearLineErrors();
        } else {
            return -1;
        }
    }
    const std::size_t n = std::min(buffer.size(), arrived_.size());
    std::copy(arrived_.begin(), arrived_.begin() + long(n), buffer.begin());
    arrived_.erase(arrived_.begin(), arrived_.begin() + long(n));
    return long(n);
}

long WinSerialPort::read(std::span<uint8_t> buffer) {
    if (!isOpen()) return -1;
    if (buffer.empty()) return 0;
    long n = takeRead(buffer);
    if (n != 0) return n;
    // Nothing kept: ask the driver. Under Wine the request stays pending
    // until a byte comes, and is the next wait.
    if (startRead() == Started::failed) return -1;
    return takeRead(buffer);
}

PortWait WinSerialPort::waitReadable(int timeoutMs) {
    if (!isOpen()) return PortWait::failed;
    if (!arrived_.empty()) return PortWait::readable;
    const DWORD limit = timeoutMs < 0 ? INFINITE : DWORD(timeoutMs);
    if (!readsReturnAtOnce_) {
        if (startRead() == Started::failed) return PortWait::failed;
        if (!arrived_.empty()) return PortWait::readable;
    }
    if (read_->pending) {
        HANDLE handles[2] = {read_->event, wakeEvent_};
        const DWORD r = WaitForMultipleObjects(2, handles, FALSE, limit);
        if (r == WAIT_OBJECT_0) return PortWait::readable;
        if (r == WAIT_OBJECT_0 + 1) return PortWait::woken;
        if (r == WAIT_TIMEOUT) return PortWait::timedOut;
        return PortWait::failed;
    }
    // Reads complete at once here, so wait for a received character.
    DWORD queued = 0;
    clearLineErrors(&queued);
    if (queued > 0) return PortWait::readable;
    if (!wait_->pending) {
        arm(*wait_);
        wait_->mask = 0;
        if (WaitCommEvent(handle_, &wait_->mask, &wait_->record)) return PortWait::readable;
        if (GetLastError() != ERROR_IO_PENDING) {
            clearLineErrors();
            return PortWait::failed;
        }
        wait_->pending = true;
        // A byte that came between the check above and the wait raised no
        // event of its own.
        clearLineErrors(&queued);
        if (queued > 0) return PortWait::readable;
    }
    HANDLE handles[2] = {wait_->event, wakeEvent_};
    const DWORD r = WaitForMultipleObjects(2, handles, FALSE, limit);
    if (r == WAIT_OBJECT_0) {
        wait_->pending = false;
        // Whatever ended the wait (a character, a line error, a new mask),
        // the caller reads what is there and waits again.
        DWORD unused = 0;
        GetOverlappedResult(handle_, &wait_->record, &unused, FALSE);
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
    if (!isOpen()) return;
    PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
    // The aborted read-ahead held nothing newer than the purge.
    reap(read_, true);
    if (read_ && read_->buffer.empty()) read_->buffer.resize(kReadAhead);
    arrived_.clear();
}

void WinSerialPort::purgeOutput() {
    if (isOpen()) PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
}

int enumSerialPort(int index, SerialPortInfo& info) {
    info = SerialPortInfo{};
    if (index < 0) return kPortNone;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return kPortNone;
    }
    wchar_t valueName[100];
    DWORD valueNameLength = 100;   // characters
    wchar_t data[16];
    DWORD dataLength = sizeof data;   // bytes
    DWORD type = 0;
    // ERROR_MORE_DATA (a name or a port name that does not fit) is no entry.
    LONG r = RegEnumValueW(key, DWORD(index), valueName, &valueNameLength, nullptr, &type,
                           reinterpret_cast<BYTE*>(data), &dataLength);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return kPortNone;
    if (valueNameLength >= 100 || dataLength > sizeof data) return kPortNone;

    // The data need not end in a NUL; read no further than it goes.
    std::size_t portLength = 0;
    while (portLength < dataLength / sizeof(wchar_t) && data[portLength] != L'\0') ++portLength;
    info.portName = utf8FromUtf16(std::u16string(data, data + portLength));
    info.valueName = utf8FromUtf16(std::u16string(valueName, valueName + valueNameLength));
    info.kind = portKind(info.valueName);
    return info.kind;
}

int WinSerialSystem::enumSerialPort(int index, SerialPortInfo& info) {
    return fw::enumSerialPort(index, info);
}

std::unique_ptr<SerialPort> WinSerialSystem::newPort() {
    return std::make_unique<PortByName>([] { return std::make_unique<WinSerialPort>(); },
                                        [] {
                                            return std::make_unique<NetworkSerialPort>(
                                                newWinStreamSocket());
                                        });
}

}  // namespace fw
