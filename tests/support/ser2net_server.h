// ser2net, Debian's serial device server, serving one device (a fake
// terminal's pseudo-terminal) on the loopback for as long as it lives: with
// the Telnet COM-port option (rfc2217://) or as a raw stream (tcp://).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace fw::test {

class Ser2net {
public:
    // Its configuration and log go into `folder`.
    Ser2net(const std::string& folder, const std::string& device, bool comPortOption);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Kills it at once, as a pulled network cable or a crashed server would.
    void stop();
    // Starts it again after a stop(), on the same port.
    void start();
    // It accepts connections.
    bool ready() const { return ready_; }
    // "rfc2217://127.0.0.1:PORT", or with another scheme ("tcp").
    std::string name(const char* scheme = "rfc2217") const;

private:
    std::string folder_;
    uint16_t port_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace fw::test
