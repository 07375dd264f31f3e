#include "comm/posix/stream_socket_posix.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace fw {

namespace {

int64_t clockMs() { return systemLinkClock().nowMs(); }

int remaining(int64_t deadline) {
    const int64_t left = deadline - clockMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A non-blocking connect to one address, waited out until the deadline.
int connectOne(const addrinfo& a, int64_t deadline) {
    const int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) return -1;
    if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            ::close(fd);
            return -1;
        }
        pollfd p{fd, POLLOUT, 0};
        int r;
        do r = ::poll(&p, 1, remaining(deadline));
        while (r < 0 && errno == EINTR);
        int error = 0;
        socklen_t size = sizeof error;
        if (r <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
            ::close(fd);
            return -1;
        }
    }
    // The exchanges are small frames answered one by one: send each at once.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// A server with Nagle's algorithm on holds each small write until the one
// before it is acknowledged, and Linux delays acknowledgements by up to 40 ms:
// a reply the terminal sends a byte at a time would cost that per byte.
// Acknowledge at once; the flag does not stick, so it is set after each read.
void quickAck(int fd) {
#ifdef TCP_QUICKACK
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#else
    (void)fd;
#endif
}

}  // namespace

PosixStreamSocket::PosixStreamSocket() { wake_.open(); }

PosixStreamSocket::~PosixStreamSocket() { close(); }

bool PosixStreamSocket::connect(const std::string& host, uint16_t port, int timeoutMs) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    const int64_t deadline = clockMs() + timeoutMs;
    for (addrinfo* a = found; a && fd_ < 0 && clockMs() < deadline; a = a->ai_next) fd_ = connectOne(*a, deadline);
    ::freeaddrinfo(found);
    return fd_ >= 0;
}

bool PosixStreamSocket::send(std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            // The server reads at its line's speed; a full send buffer waits
            // for it, but not for ever.
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 30000) <= 0 || (p.revents & (POLLERR | POLLHUP))) return false;
        } else {
            return false;
        }
    }
    return fd_ >= 0;
}

long PosixStreamSocket::receive(std::span<uint8_t> buffer) {
    if (fd_ < 0) return -1;
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n > 0) {
            quickAck(fd_);
            return static_cast<long>(n);
        }
        if (n == 0) return -1;  // the server closed the connection
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

PortWait PosixStreamSocket::waitReadable(int timeoutMs) {
    if (fd_ < 0) return PortWait::failed;
    const int64_t deadline = timeoutMs < 0 ? -1 : clockMs() + timeoutMs;
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_.readFd(), POLLIN, 0}};
        const int r = ::poll(p, 2, deadline < 0 ? -1 : remaining(deadline));
        if (r < 0) {
            if (errno == EINTR) continue;
            return PortWait::failed;
        }
        if (r == 0) return PortWait::timedOut;
        if (p[1].revents & POLLIN) {
            wake_.drain();
            return PortWait::woken;
        }
        // A closed or broken connection is "readable": the read says which.
        return PortWait::readable;
    }
}

void PosixStreamSocket::wakeWaiter() { wake_.wake(); }

void PosixStreamSocket::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace fw
