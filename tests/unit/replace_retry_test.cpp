#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <utility>
#include <vector>

#include "model/replace_retry.h"

namespace fw {
namespace {

struct Script {
    explicit Script(std::deque<ReplaceAttempt> a = {}) : answers(std::move(a)) {}
    std::deque<ReplaceAttempt> answers;
    int attempts = 0;
    std::vector<int> pauses;
    bool run() {
        return replaceWithRetry(
            [this] {
                ++attempts;
                ReplaceAttempt a = answers.empty() ? ReplaceAttempt::Busy : answers.front();
                if (!answers.empty()) answers.pop_front();
                return a;
            },
            [this](int ms) { pauses.push_back(ms); });
    }
};

TEST(ReplaceRetry, ABusyTargetIsTriedAgainAfterGrowingPauses) {
    Script s({ReplaceAttempt::Busy, ReplaceAttempt::Busy, ReplaceAttempt::Done});
    EXPECT_TRUE(s.run());
    EXPECT_EQ(s.attempts, 3);
    EXPECT_EQ(s.pauses, (std::vector<int>{20, 50}));
}

TEST(ReplaceRetry, OtherFailuresEndAtOnceAndBusyEndsWithinTwoSeconds) {
    Script failed({ReplaceAttempt::Busy, ReplaceAttempt::Failed});
    EXPECT_FALSE(failed.run());
    EXPECT_EQ(failed.attempts, 2);

    Script busy;   // held the whole time
    EXPECT_FALSE(busy.run());
    EXPECT_EQ(busy.attempts, static_cast<int>(std::size(kBusyReplacePausesMs)) + 1);
    const int waited = std::accumulate(busy.pauses.begin(), busy.pauses.end(), 0);
    EXPECT_GT(waited, 1000);
    EXPECT_LT(waited, 2000);

    Script first({ReplaceAttempt::Done});
    EXPECT_TRUE(first.run());
    EXPECT_TRUE(first.pauses.empty());
}

}  // namespace
}  // namespace fw
