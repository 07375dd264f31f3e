// When a port of the station is asked for records next.
//
// A port without a terminal is asked again after a short wait. A terminal
// that completed a batch is not asked again while it stays where it is:
// terminals that delete their records by hand would send them all again at
// every request. It is only probed ("GETD\r" without acknowledging what
// comes back) to learn whether it is still there; once it has not answered
// for a while (taken out of its cradle, off its upload screen) the port is
// asked as any other. Time enters as an argument, in milliseconds.
#pragma once

#include <cstdint>

namespace fw {

struct AskTiming {
    int retryMs = 5000;      // a port that did not answer, or failed, is asked again after this
    int probeMs = 5000;      // a terminal that completed a batch is probed this often
    int goneAfterMs = 10000; // ... and taken for gone once silent this long
};

enum class AskOutcome {
    silent,      // nobody answered
    completed,   // the terminal sent its batch and "OVER\r"
    broken,      // the terminal answered, then the batch failed
};

class AskRule {
public:
    explicit AskRule(AskTiming timing = {}) : timing_(timing) {}

    enum class Next { ask, probe };
    // What to do next, and when (a time at or before now: at once).
    Next next() const { return resting_ ? Next::probe : Next::ask; }
    int64_t dueAtMs() const { return dueAtMs_; }

    void asked(int64_t nowMs, AskOutcome outcome);
    void probed(int64_t nowMs, bool answered);

    // Waiting for a terminal that completed a batch to go away.
    bool resting() const { return resting_; }

private:
    AskTiming timing_;
    bool resting_ = false;
    int64_t dueAtMs_ = 0;        // the first ask: at once
    int64_t lastAnswerMs_ = 0;
};

}  // namespace fw
