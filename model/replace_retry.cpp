#include "model/replace_retry.h"

namespace fw {

bool replaceWithRetry(const std::function<ReplaceAttempt()>& attempt, const std::function<void(int ms)>& pause) {
    for (int ms : kBusyReplacePausesMs) {
        switch (attempt()) {
            case ReplaceAttempt::Done: return true;
            case ReplaceAttempt::Failed: return false;
            case ReplaceAttempt::Busy: pause(ms); break;
        }
    }
    return attempt() == ReplaceAttempt::Done;
}

}  // namespace fw
