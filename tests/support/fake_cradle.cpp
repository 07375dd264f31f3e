#include "tests/support/fake_cradle.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <deque>

namespace fw::test {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

FakeCradle::FakeCradle(uint32_t baud, int answerDelayMs)
    : answerDelayMs_(answerDelayMs), model_(baud) {
    if (!pty_.open()) return;
    thread_ = std::thread([this] { run(); });
}

FakeCradle::~FakeCradle() {
    stop();
}

void FakeCradle::stop() {
    if (thread_.joinable()) {
        pty_.stop.wake();
        thread_.join();
    }
    pty_.hangUp();
}

uint32_t FakeCradle::lineBaud() const { return pty_.lineBaud(); }

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
        pollfd p[2] = {{pty_.master, POLLIN, 0}, {pty_.stop.readFd(), POLLIN, 0}};
        int r = ::poll(p, 2, timeout);
        if (r < 0 && errno != EINTR) return;
        if (r > 0 && (p[1].revents & POLLIN)) return;
        if (r > 0 && (p[0].revents & (POLLERR | POLLNVAL))) return;

        if (r > 0 && (p[0].revents & POLLIN)) {
            uint8_t buffer[256];
            ssize_t n = ::read(pty_.master, buffer, sizeof buffer);
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
            [[maybe_unused]] ssize_t n = ::write(pty_.master, &b, 1);
        }
    }
}

}  // namespace fw::test
