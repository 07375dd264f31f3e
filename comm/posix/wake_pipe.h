// A pipe that ends a poll() from another thread: the wait polls readFd()
// beside its own descriptor, wake() makes it readable, and the waiter
// drains it before it returns "woken". Both ends are non-blocking, so a
// full pipe (a waiter woken many times) never blocks the one who wakes.
#pragma once

namespace fw {

class WakePipe {
public:
    WakePipe() = default;
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;
    ~WakePipe() { close(); }

    bool open();
    void close();
    bool isOpen() const { return read_ >= 0; }

    int readFd() const { return read_; }
    void wake();
    void drain();

private:
    int read_ = -1;
    int write_ = -1;
};

}  // namespace fw
