// The pseudo-terminal a fake far end sits on: the master is the far end's,
// non-blocking; the slave is the program's port, raw from the start (its
// first bytes must not be cooked) and kept open so that the master never
// sees a hang-up. `stop` ends the far end's poll() when it is stopped.
#pragma once

#include <cstdint>
#include <string>

#include "comm/posix/wake_pipe.h"

namespace fw::test {

struct RawPty {
    RawPty() = default;
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;
    ~RawPty();

    int master = -1;
    int slave = -1;
    std::string path;   // the slave's name; empty until opened
    WakePipe stop;

    bool open();
    // Hangs up the program's side: its reads and writes fail from then on,
    // and so does opening the name again, as for a device unplugged. The
    // name stays taken until this object goes, so that no other test's
    // pseudo-terminal gets it while a program still opens it by name.
    void hangUp();
    // The speed the program set on its side, as the master sees it; 0 for
    // one outside 9,600..115,200.
    uint32_t lineBaud() const;
};

}  // namespace fw::test
