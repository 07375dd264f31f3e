#include "comm/posix/serial_port_posix.h"

#include "comm/network_port.h"
#include "comm/posix/stream_socket_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

namespace fw {

namespace {

struct SpeedEntry {
    uint32_t baud;
    speed_t code;
};

constexpr SpeedEntry kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600},   {115200, B115200},
#ifdef B230400
    {230400, B230400},
#endif
};

bool speedCode(uint32_t baud, speed_t& code) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.baud == baud) {
            code = e.code;
            return true;
        }
    }
    return false;
}

uint32_t baudOfCode(speed_t code) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.code == code) return e.baud;
    }
    return 0;
}

// Bytes in, bytes out, nothing interpreted: no echo, no line editing, no
// CR/LF translation, no software or hardware flow control; 8N1.
void makeRaw(termios& t) {
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                           IXOFF | IXANY | INPCK);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
    t.c_cflag &= ~tcflag_t(CRTSCTS);
#endif
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A pseudo-terminal has no modem lines: TIOCMBIS answers ENOTTY or EINVAL
// there, which is no fault of the port.
bool setModemLine(int fd, int bit, bool on) {
    int bits = bit;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
    close();
}

PortOpen PosixSerialPort::open(const std::string& name) {
    close();
    if (name.empty()) return PortOpen::deviceFailed;
    std::string path = name.find('/') == std::string::npos ? "/dev/" + name : name;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return PortOpen::deviceFailed;

    termios t{};
    // Exclusive, like a Windows COM port: the advisory lock keeps out other
    // programs that lock (and root, whom TIOCEXCL does not stop); TIOCEXCL
    // keeps out the others.
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(fd, &t) != 0) {
        ::close(fd);
        return PortOpen::deviceFailed;
    }
    ::ioctl(fd, TIOCEXCL);
    makeRaw(t);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        ::close(fd);
        return PortOpen::deviceFailed;
    }

    if (!wake_.open()) {
        ::close(fd);
        return PortOpen::eventFailed;
    }
    fd_ = fd;
    asked_ = LineSettings{baudOfCode(::cfgetospeed(&t)), true, true};
    return PortOpen::opened;
}

void PosixSerialPort::close() {
    closeFd(fd_);
    wake_.close();
}

bool PosixSerialPort::setQueueSizes(std::size_t, std::size_t) {
    // The kernel's queues are its own; there is nothing to size.
    return isOpen();
}

bool PosixSerialPort::setTimeouts(const SerialTimeouts& timeouts) {
    if (!isOpen()) return false;
    timeouts_ = timeouts;
    return true;
}

bool PosixSerialPort::lineSettings(LineSettings& line) {
    termios t{};
    if (!isOpen() || ::tcgetattr(fd_, &t) != 0) return false;
    line = asked_;
    line.baudRate = baudOfCode(::cfgetospeed(&t));
    int bits = 0;
    if (::ioctl(fd_, TIOCMGET, &bits) == 0) {
        line.dtr = (bits & TIOCM_DTR) != 0;
        line.rts = (bits & TIOCM_RTS) != 0;
    }
    return true;
}

bool PosixSerialPort::applyLine(const LineSettings& line) {
    termios t{};
    speed_t code;
    if (!isOpen() || !speedCode(line.baudRate, code) || ::tcgetattr(fd_, &t) != 0) return false;
    makeRaw(t);
    if (::cfsetispeed(&t, code) != 0 || ::cfsetospeed(&t, code) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
    if (!setModemLine(fd_, TIOCM_DTR, line.dtr) || !setModemLine(fd_, TIOCM_RTS, line.rts)) {
        return false;
    }
    asked_ = line;
    return true;
}

bool PosixSerialPort::write(std::span<const uint8_t> bytes) {
    if (!isOpen()) return false;
    // The Windows rule: a write may take multiplier x bytes + constant; with
    // both 0 it may take as long as it takes.
    const uint64_t limit =
        uint64_t(timeouts_.writeTotalMultiplier) * bytes.size() + timeouts_.writeTotalConstant;
    const int64_t deadline = limit == 0 ? -1 : nowMs() + int64_t(std::min<uint64_t>(limit, 1u << 30));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        int wait = -1;
        if (deadline >= 0) {
            int64_t left = deadline - nowMs();
            if (left <= 0) return false;
            wait = int(left);
        }
        pollfd p{fd_, POLLOUT, 0};
        int r = ::poll(&p, 1, wait);
        if (r < 0 && errno != EINTR) return false;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
    }
    return true;
}

long PosixSerialPort::read(std::span<uint8_t> buffer) {
    if (!isOpen()) return -1;
    if (buffer.empty()) return 0;
    for (;;) {
        ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n >= 0) return long(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        return -1;
    }
}

PortWait PosixSerialPort::waitReadable(int timeoutMs) {
    if (!isOpen()) return PortWait::failed;
    const int64_t deadline = timeoutMs < 0 ? -1 : nowMs() + timeoutMs;
    for (;;) {
        int wait = -1;
        if (deadline >= 0) wait = int(std::max<int64_t>(0, deadline - nowMs()));
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_.readFd(), POLLIN, 0}};
        int r = ::poll(p, 2, wait);
        if (r < 0) {
            if (errno == EINTR) continue;
            return PortWait::failed;
        }
        if (r == 0) return PortWait::timedOut;
        if (p[1].revents & POLLIN) {
            wake_.drain();
            return PortWait::woken;
        }
        if ((p[0].revents & POLLHUP) && (p[0].revents & POLLIN)) {
            // A hung-up tty polls readable for ever while its reads give 0
            // bytes, the same as "nothing yet": only bytes still queued make
            // it worth a read.
            int queued = 0;
            if (::ioctl(fd_, FIONREAD, &queued) == 0 && queued > 0) return PortWait::readable;
            return PortWait::failed;
        }
        if (p[0].revents & POLLIN) return PortWait::readable;
        // POLLHUP on a pty whose far side went away; POLLERR, POLLNVAL.
        return PortWait::failed;
    }
}

void PosixSerialPort::wakeWaiter() { wake_.wake(); }

void PosixSerialPort::purgeInput() {
    if (isOpen()) ::tcflush(fd_, TCIFLUSH);
}

void PosixSerialPort::purgeOutput() {
    if (isOpen()) ::tcflush(fd_, TCOFLUSH);
}

namespace {

namespace fs = std::filesystem;

// "ttyS10" after "ttyS9": by prefix, then by the number at the end.
bool deviceOrder(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9') --i;
        std::string digits = s.substr(i);
        return std::make_tuple(s.substr(0, i), digits.size(), digits);
    };
    return split(a) < split(b);
}

int kindOfDevice(const std::string& path) {
    std::string base = fs::path(path).filename().string();
    if (base.rfind("rfcomm", 0) == 0) return kPortBluetooth;
    if (base.rfind("ttyS", 0) == 0) return kPortSerial;
    return kPortVirtual;
}

// The kernel keeps ttyS0..ttyS31 whether or not a UART is behind them; the
// serial core reports the UART type (0: none) in sysfs.
bool hasUart(const std::string& base) {
    std::ifstream type("/sys/class/tty/" + base + "/type");
    int t = -1;
    if (!(type >> t)) return true;
    return t != 0;
}

std::vector<std::string> devicesStartingWith(const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        std::string base = e.path().filename().string();
        if (base.size() > prefix.size() && base.rfind(prefix, 0) == 0) names.push_back(base);
    }
    std::sort(names.begin(), names.end(), deviceOrder);
    return names;
}

}  // namespace

std::vector<SerialPortInfo> listPosixSerialPorts() {
    std::vector<SerialPortInfo> ports;
    std::set<std::string> listed;   // real device paths already in the list
    std::error_code ec;

    std::vector<std::string> byId;
    for (const auto& e : fs::directory_iterator("/dev/serial/by-id", ec)) {
        byId.push_back(e.path().string());
    }
    std::sort(byId.begin(), byId.end());
    for (const std::string& link : byId) {
        std::error_code linkError;
        fs::path target = fs::canonical(link, linkError);
        if (linkError) continue;
        if (!listed.insert(target.string()).second) continue;
        ports.push_back(SerialPortInfo{link, target.string(), kindOfDevice(target.string())});
    }

    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM", "rfcomm"}) {
        for (const std::string& base : devicesStartingWith(prefix)) {
            std::string path = "/dev/" + base;
            if (std::string(prefix) == "ttyS" && !hasUart(base)) continue;
            if (!listed.insert(path).second) continue;
            ports.push_back(SerialPortInfo{path, path, kindOfDevice(path)});
        }
    }
    return ports;
}

namespace {

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    // Whatever a device reports is shown on a terminal: printable ASCII only.
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
    }
    return line;
}

}  // namespace

std::string posixPortDescription(const SerialPortInfo& info) {
    // valueName is the real device path ("/dev/ttyUSB0"); its tty class
    // entry leads to the device, and the USB device that carries the
    // product strings sits one to three levels above it.
    const std::string base = fs::path(info.valueName).filename().string();
    if (base.empty()) return {};
    std::error_code ec;
    fs::path dir = fs::canonical("/sys/class/tty/" + base + "/device", ec);
    if (ec) return {};
    for (int up = 0; up < 4 && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        if (!fs::exists(dir / "product", ec)) continue;
        const std::string product = firstLine(dir / "product");
        const std::string maker = firstLine(dir / "manufacturer");
        if (maker.empty() || product.rfind(maker, 0) == 0) return product;
        return maker + " " + product;
    }
    return {};
}

PosixSerialSystem::PosixSerialSystem() : ports_(listPosixSerialPorts()) {}

PosixSerialSystem::PosixSerialSystem(std::vector<SerialPortInfo> ports) : ports_(std::move(ports)) {}

int PosixSerialSystem::enumSerialPort(int index, SerialPortInfo& info) {
    if (index < 0 || std::size_t(index) >= ports_.size()) return kPortNone;
    info = ports_[std::size_t(index)];
    return info.kind;
}

std::unique_ptr<SerialPort> PosixSerialSystem::newPort() {
    return std::make_unique<PortByName>([] { return std::make_unique<PosixSerialPort>(); },
                                        [] {
                                            return std::make_unique<NetworkSerialPort>(
                                                std::make_unique<PosixStreamSocket>());
                                        });
}

}  // namespace fw
