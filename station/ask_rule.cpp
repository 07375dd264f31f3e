#include "station/ask_rule.h"

namespace fw {

void AskRule::asked(int64_t nowMs, AskOutcome outcome) {
    if (outcome == AskOutcome::completed) {
        resting_ = true;
        lastAnswerMs_ = nowMs;
        dueAtMs_ = nowMs + timing_.probeMs;
        return;
    }
    // A batch that broke off is asked for again like a silent port: the
    // terminal resends what was not acknowledged once it is back.
    resting_ = false;
    dueAtMs_ = nowMs + timing_.retryMs;
}

void AskRule::probed(int64_t nowMs, bool answered) {
    if (!resting_) return;
    if (answered) {
        lastAnswerMs_ = nowMs;
        dueAtMs_ = nowMs + timing_.probeMs;
        return;
    }
    if (nowMs - lastAnswerMs_ >= timing_.goneAfterMs) {
        resting_ = false;
        dueAtMs_ = nowMs;   // gone: from now on asked as any port
        return;
    }
    dueAtMs_ = nowMs + timing_.probeMs;
}

}  // namespace fw
