// An infrared cradle on a pseudo-terminal. The program under test opens the
// slave side (path()) as its serial port; the cradle sits on the master side
// on a thread of its own and answers as CradleModel says, at the line speed
// that the program set on the slave. On Linux the master's termios reports
// the slave's settings, so the speed is read from there for every byte;
// DTR and RTS cannot be seen from the master.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/cradle_model.h"
#include "tests/support/raw_pty.h"

namespace fw::test {

class FakeCradle {
public:
    // A cradle running at baud (0: a port with nothing behind it), whose
    // echo follows the echo test after answerDelayMs.
    explicit FakeCradle(uint32_t baud, int answerDelayMs = 0);
    ~FakeCradle();
    FakeCradle(const FakeCradle&) = delete;
    FakeCradle& operator=(const FakeCradle&) = delete;

    // Whether the pty and the thread are up; path() is empty otherwise.
    bool ok() const { return pty_.master >= 0; }
    const std::string& path() const { return pty_.path; }

    uint32_t baud() const;            // the cradle's speed now
    uint32_t lineBaud() const;        // the speed set on the slave now
    std::vector<CradleModel::Seen> seen() const;
    std::vector<uint32_t> switches() const;
    int echoes() const;

    // Ends the thread and closes the pty; also done by the destructor.
    void stop();

private:
    void run();

    RawPty pty_;
    int answerDelayMs_;
    mutable std::mutex mutex_;
    CradleModel model_;
    std::thread thread_;
};

}  // namespace fw::test
