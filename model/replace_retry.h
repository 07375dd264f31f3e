// How long a save keeps trying to put its new file in place while something
// else holds the old one. On Windows an antivirus scanner, the search
// indexer or a sync client opens a file for a moment right after it was
// written; replacing it then fails with a sharing or access error that is
// gone a few hundred milliseconds later. Any other failure is final.
#pragma once

#include <functional>

namespace fw {

enum class ReplaceAttempt {
    Done,     // the new file is in place
    Busy,     // the target is held by someone else for now: try again
    Failed    // anything else: give up at once
};

// The pauses between attempts that found the target busy, in milliseconds:
// short at first, under two seconds in all, so that a save never looks hung.
inline constexpr int kBusyReplacePausesMs[] = {20, 50, 100, 200, 400, 600};

// Runs `attempt` until it is Done or Failed, pausing `pause(ms)` after each
// Busy one by the next of kBusyReplacePausesMs; when those are spent the
// last Busy attempt counts as failed. Returns whether the file is in place.
bool replaceWithRetry(const std::function<ReplaceAttempt()>& attempt, const std::function<void(int ms)>& pause);

}  // namespace fw
