#include "loader_port.h"

#include <algorithm>

namespace fw::loader::win {

LoaderPort::~LoaderPort() {
    close();
}

PortOpen LoaderPort::open(const std::string& name) {
    close();
    if (name.empty()) return PortOpen::deviceFailed;
    handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return PortOpen::deviceFailed;
    // Reads return at once until a wait says otherwise.
    setReadTimeouts(MAXDWORD, 0);
    return PortOpen::opened;
}

void LoaderPort::close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    waiting_.clear();
}

bool LoaderPort::setQueueSizes(std::size_t input, std::size_t output) {
    if (!isOpen() || input > MAXDWORD || output > MAXDWORD) return false;
    return SetupComm(handle_, DWORD(input), DWORD(output)) != FALSE;
}

bool LoaderPort::setReadTimeouts(DWORD interval, DWORD total) {
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = interval;
    ct.ReadTotalTimeoutMultiplier = 0;
    ct.ReadTotalTimeoutConstant = total;
    ct.WriteTotalTimeoutMultiplier = writeTimeouts_.writeTotalMultiplier;
    ct.WriteTotalTimeoutConstant = writeTimeouts_.writeTotalConstant;
    return SetCommTimeouts(handle_, &ct) != FALSE;
}

bool LoaderPort::setTimeouts(const SerialTimeouts& timeouts) {
    if (!isOpen()) return false;
    writeTimeouts_ = timeouts;
    return setReadTimeouts(MAXDWORD, 0);
}

bool LoaderPort::lineSettings(LineSettings& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!isOpen() || !GetCommState(handle_, &dcb)) return false;
    line.baudRate = dcb.BaudRate;
    line.dtr = dcb.fDtrControl == DTR_CONTROL_ENABLE;
    line.rts = dcb.fRtsControl == RTS_CONTROL_ENABLE;
    return true;
}

bool LoaderPort::applyLine(const LineSettings& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    // The driver's description for its characters (some drivers refuse
    // equal XON and XOFF characters even when neither is used); every flag
    // is set here.
    if (!isOpen() || !GetCommState(handle_, &dcb)) return false;
    dcb.BaudRate = line.baudRate;
    dcb.fBinary = TRUE;   // the only mode the serial drivers have
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    // RTS goes through the port description, never EscapeCommFunction:
    // under Wine that fails on a pty while SetCommState works.
    dcb.fDtrControl = line.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fRtsControl = line.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    return SetCommState(handle_, &dcb) != FALSE;
}

bool LoaderPort::write(std::span<const uint8_t> bytes) {
    if (!isOpen()) return false;
    if (bytes.empty()) return true;
    if (bytes.size() > MAXDWORD) return false;
    DWORD written = 0;
    // The write time-outs bound this call.
    if (!WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr)) return false;
    return written == bytes.size();
}

long LoaderPort::read(std::span<uint8_t> buffer) {
    if (!isOpen()) return -1;
    if (buffer.empty()) return 0;
    std::size_t n = std::min(buffer.size(), waiting_.size());
    std::copy(waiting_.begin(), waiting_.begin() + long(n), buffer.begin());
    waiting_.erase(waiting_.begin(), waiting_.begin() + long(n));
    if (n == buffer.size()) return long(n);
    const DWORD want = DWORD(std::min<std::size_t>(buffer.size() - n, 0x7FFFFFFF));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer.data() + n, want, &got, nullptr)) return n > 0 ? long(n) : -1;
    return long(n + std::min<DWORD>(got, want));
}

PortWait LoaderPort::waitReadable(int timeoutMs) {
    if (!isOpen()) return PortWait::failed;
    if (!waiting_.empty()) return PortWait::readable;
    // A total time-out alone: a read of one byte ends as soon as it comes.
    // (Zero for all of them would mean no time-out at all.)
    const DWORD total = timeoutMs < 0 ? 0 : DWORD(std::max(timeoutMs, 1));
    if (!setReadTimeouts(0, total)) return PortWait::failed;
    uint8_t b = 0;
    DWORD got = 0;
    const BOOL ok = ReadFile(handle_, &b, 1, &got, nullptr);
    setReadTimeouts(MAXDWORD, 0);
    if (!ok) return PortWait::failed;
    if (got == 0) return PortWait::timedOut;
    waiting_.push_back(b);
    return PortWait::readable;
}

void LoaderPort::purgeInput() {
    waiting_.clear();
    if (isOpen()) PurgeComm(handle_, PURGE_RXCLEAR);
}

void LoaderPort::purgeOutput() {
    if (isOpen()) PurgeComm(handle_, PURGE_TXCLEAR);
}

}  // namespace fw::loader::win
