#include "tests/support/fake_cradle.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <deque>

namespace fw::test {

namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

uint32_t baudOfTermiosSpeed(unsigned code) {
    switch (speed_t(code)) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

FakeCradle::FakeCradle(uint32_t baud, int answerDelayMs)
    : answerDelayMs_(answerDelayMs), model_(baud) {
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    int stop[2];
    if (::pipe(stop) != 0) {
        ::close(master);
        ::close(slave);
        return;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    // The program's port must not inherit the slave in cooked mode for the
    // moment between its open and its first line set-up.
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    master_ = master;
    slave_ = slave;
    stopRead_ = stop[0];
    stopWrite_ = stop[1];
    path_ = name;
    thread_ = std::thread([this] { run(); });
}

FakeCradle::~FakeCradle() {
    stop();
}

void FakeCradle::stop() {
    if (thread_.joinable()) {
        uint8_t b = 1;
        [[maybe_unused]] ssize_t n = ::write(stopWrite_, &b, 1);
        thread_.join();
    }
    closeFd(master_);
    closeFd(slave_);
    closeFd(stopRead_);
    closeFd(stopWrite_);
}

uint32_t FakeCradle::lineBaud() const {
    termios t{};
    if (master_ < 0 || ::tcgetattr(master_, &t) != 0) return 0;
    return baudOfTermiosSpeed(unsigned(::cfgetospeed(&t)));
}

uint32_t FakeCradle::baud() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.baud();
}

std::vector<CradleModel::Seen> FakeCradle::seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.seen();
}

std::vector<uint32_t> FakeCradle::switches() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.switches();
}

int FakeCradle::echoes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.echoes();
}

void FakeCradle::run() {
    struct Answer {
        Clock::time_point at;
        uint8_t byte;
    };
    std::deque<Answer> answers;
    for (;;) {
        int timeout = -1;
        if (!answers.empty()) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(answers.front().at -
                                                                              Clock::now());
            timeout = left.count() < 0 ? 0 : int(left.count()) + 1;
        }
        pollfd p[2] = {{master_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
        int r = ::poll(p, 2, timeout);
        if (r < 0 && errno != EINTR) return;
        if (r > 0 && (p[1].revents & POLLIN)) return;
        if (r > 0 && (p[0].revents & (POLLERR | POLLNVAL))) return;

        if (r > 0 && (p[0].revents & POLLIN)) {
            uint8_t buffer[256];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                // The speed the program's line runs at as this byte is seen.
                uint32_t line = lineBaud();
                std::vector<uint8_t> reply;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    reply = model_.receive(buffer[i], line);
                }
                for (uint8_t b : reply) {
                    answers.push_back({Clock::now() + std::chrono::milliseconds(answerDelayMs_), b});
                }
            }
        }
        while (!answers.empty() && answers.front().at <= Clock::now()) {
            uint8_t b = answers.front().byte;
            answers.pop_front();
            [[maybe_unused]] ssize_t n = ::write(master_, &b, 1);
        }
    }
}

}  // namespace fw::test
