#include "comm/posix/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

namespace fw {

bool WakePipe::open() {
    close();
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    read_ = fds[0];
    write_ = fds[1];
    return true;
}

void WakePipe::close() {
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
    read_ = write_ = -1;
}

void WakePipe::wake() {
    if (write_ < 0) return;
    const uint8_t b = 1;
    [[maybe_unused]] const ssize_t n = ::write(write_, &b, 1);
}

void WakePipe::drain() {
    uint8_t buffer[16];
    while (read_ >= 0 && ::read(read_, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace fw
