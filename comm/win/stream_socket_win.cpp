// Winsock before anything that brings <windows.h>.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "comm/win/stream_socket_win.h"

#include <string>

namespace fw {

namespace {

class WinStreamSocket final : public StreamSocket {
public:
    WinStreamSocket();
    ~WinStreamSocket() override;
    WinStreamSocket(const WinStreamSocket&) = delete;
    WinStreamSocket& operator=(const WinStreamSocket&) = delete;

    bool connect(const std::string& host, uint16_t port, int timeoutMs) override;
    bool send(std::span<const uint8_t> bytes) override;
    long receive(std::span<uint8_t> buffer) override;
    PortWait waitReadable(int timeoutMs) override;
    void wakeWaiter() override;
    void close() override;

private:
    SOCKET socket_ = INVALID_SOCKET;
    WSAEVENT readable_ = WSA_INVALID_EVENT;  // FD_READ | FD_CLOSE of the socket
    HANDLE wake_ = nullptr;                  // set by wakeWaiter()
};


// Winsock is started once for the process and left running: a port may be
// opened from any thread at any time.
bool winsockStarted() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

int64_t clockMs() { return systemLinkClock().nowMs(); }

int remaining(int64_t deadline) {
    const int64_t left = deadline - clockMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A non-blocking connect to one address, waited out until the deadline.
SOCKET connectOne(const addrinfo& a, int64_t deadline) {
    SOCKET s = ::socket(a.ai_family, a.ai_socktype, a.ai_protocol);
    if (s == INVALID_SOCKET) return s;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            closesocket(s);
            return INVALID_SOCKET;
        }
        WSAPOLLFD p{s, POLLOUT, 0};
        int error = 0;
        int size = sizeof error;
        if (WSAPoll(&p, 1, remaining(deadline)) <= 0 ||
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 || error != 0) {
            closesocket(s);
            return INVALID_SOCKET;
        }
    }
    // The exchanges are small frames answered one by one: send each at once.
    const BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    // And acknowledge every segment at once: a server with Nagle's algorithm
    // on holds each small write until the one before it is acknowledged,
    // and delayed acknowledgements would cost that per byte of a reply
    // (Windows 10 and later; older systems refuse it and delay).
    constexpr DWORD kSetAckFrequency = _WSAIOW(IOC_VENDOR, 23);
    DWORD frequency = 1, returned = 0;
    WSAIoctl(s, kSetAckFrequency, &frequency, sizeof frequency, nullptr, 0, &returned, nullptr, nullptr);
    return s;
}

WinStreamSocket::WinStreamSocket() { wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr); }

WinStreamSocket::~WinStreamSocket() {
    close();
    if (wake_) CloseHandle(wake_);
}

bool WinStreamSocket::connect(const std::string& host, uint16_t port, int timeoutMs) {
    close();
    if (!winsockStarted() || !wake_) return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    const int64_t deadline = clockMs() + timeoutMs;
    for (addrinfo* a = found; a && socket_ == INVALID_SOCKET && clockMs() < deadline; a = a->ai_next)
        socket_ = connectOne(*a, deadline);
    freeaddrinfo(found);
    if (socket_ == INVALID_SOCKET) return false;
    readable_ = WSACreateEvent();
    if (readable_ == WSA_INVALID_EVENT || WSAEventSelect(socket_, readable_, FD_READ | FD_CLOSE) != 0) {
        close();
        return false;
    }
    return true;
}

bool WinStreamSocket::send(std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (socket_ != INVALID_SOCKET && done < bytes.size()) {
        const int n = ::send(socket_, reinterpret_cast<const char*>(bytes.data() + done),
                             static_cast<int>(bytes.size() - done), 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            // The server reads at its line's speed; a full send buffer waits
            // for it, but not for ever.
            WSAPOLLFD p{socket_, POLLOUT, 0};
            if (WSAPoll(&p, 1, 30000) <= 0 || (p.revents & (POLLERR | POLLHUP))) return false;
        } else {
            return false;
        }
    }
    return socket_ != INVALID_SOCKET;
}

long WinStreamSocket::receive(std::span<uint8_t> buffer) {
    if (socket_ == INVALID_SOCKET) return -1;
    const int n = ::recv(socket_, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0);
    if (n > 0) return n;
    if (n == 0) return -1;  // the server closed the connection
    return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

PortWait WinStreamSocket::waitReadable(int timeoutMs) {
    if (socket_ == INVALID_SOCKET) return PortWait::failed;
    HANDLE handles[2] = {readable_, wake_};
    const DWORD r = WaitForMultipleObjects(2, handles, FALSE, timeoutMs < 0 ? INFINITE : DWORD(timeoutMs));
    if (r == WAIT_OBJECT_0) {
        // FD_READ is signalled again by the next recv while bytes remain.
        WSANETWORKEVENTS events;
        WSAEnumNetworkEvents(socket_, readable_, &events);
        return PortWait::readable;
    }
    if (r == WAIT_OBJECT_0 + 1) return PortWait::woken;
    if (r == WAIT_TIMEOUT) return PortWait::timedOut;
    return PortWait::failed;
}

void WinStreamSocket::wakeWaiter() {
    if (wake_) SetEvent(wake_);
}

void WinStreamSocket::close() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
    if (readable_ != WSA_INVALID_EVENT) WSACloseEvent(readable_);
    readable_ = WSA_INVALID_EVENT;
}

}  // namespace

std::unique_ptr<StreamSocket> newWinStreamSocket() { return std::make_unique<WinStreamSocket>(); }

}  // namespace fw
