#include "tests/support/ser2net_server.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "comm/posix/stream_socket_posix.h"
#include "tests/support/loopback_port.h"

namespace fw::test {

Ser2net::Ser2net(const std::string& folder, const std::string& device, bool comPortOption)
    : folder_(folder), port_(freeLoopbackPort()) {
    // chardelay off: by default ser2net holds bytes from the line a little
    // in the hope of more, which slows every short reply of the exchanges.
    const std::string config = folder + "/ser2net.yaml";
    std::ofstream(config) << "%YAML 1.1\n---\nconnection: &terminal\n"
                          << "  accepter: " << (comPortOption ? "telnet(rfc2217),tcp," : "tcp,")
                          << "127.0.0.1," << port_ << "\n"
                          << "  connector: serialdev," << device << ",9600n81,local\n"
                          << "  options:\n    kickolduser: true\n    chardelay: false\n";
    start();
}

void Ser2net::start() {
    if (pid_ > 0) return;
    ready_ = false;
    const std::string config = folder_ + "/ser2net.yaml";
    const std::string log = folder_ + "/ser2net.log";
    const std::string pidFile = folder_ + "/ser2net.pid";
    std::fflush(nullptr);  // or the child's freopen writes our buffers out again
    pid_ = ::fork();
    if (pid_ == 0) {
        if (!std::freopen(log.c_str(), "a", stdout) || !std::freopen(log.c_str(), "a", stderr)) ::_exit(126);
        ::execlp("ser2net", "ser2net", "-n", "-u", "-c", config.c_str(), "-P", pidFile.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Ready when it accepts a connection.
    for (int i = 0; i < 100 && !ready_; ++i) {
        PosixStreamSocket probe;
        ready_ = probe.connect("127.0.0.1", port_, 100);
        if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The probe's connection must be gone before the test's one comes.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

Ser2net::~Ser2net() { stop(); }

void Ser2net::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string Ser2net::name(const char* scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
}

}  // namespace fw::test
