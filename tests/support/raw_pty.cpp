#include "tests/support/raw_pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace fw::test {

bool RawPty::open() {
    char name[128] = {};
    int m = -1;
    int s = -1;
    if (::openpty(&m, &s, name, nullptr, nullptr) != 0) return false;
    if (!stop.open()) {
        ::close(m);
        ::close(s);
        return false;
    }
    ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);
    termios t{};
    if (::tcgetattr(s, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(s, TCSANOW, &t);
    }
    master = m;
    slave = s;
    path = name;
    return true;
}

void RawPty::hangUp() {
    if (master >= 0) ::close(master);
    master = -1;
}

RawPty::~RawPty() {
    hangUp();
    if (slave >= 0) ::close(slave);
}

uint32_t RawPty::lineBaud() const {
    termios t{};
    if (master < 0 || ::tcgetattr(master, &t) != 0) return 0;
    switch (::cfgetospeed(&t)) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

}  // namespace fw::test
