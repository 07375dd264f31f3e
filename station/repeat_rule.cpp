#include "station/repeat_rule.h"

#include <algorithm>

namespace fw {

RepeatScope repeatScopeFor(bool previousCompleted, bool skipRepeated) {
    if (!previousCompleted) return RepeatScope::tail;
    return skipRepeated ? RepeatScope::whole : RepeatScope::none;
}

RepeatMatcher::RepeatMatcher(std::vector<std::string> previous, RepeatScope scope)
    : previous_(std::move(previous)) {
    if (previous_.empty() || scope == RepeatScope::none) return;
    matching_ = true;
    if (scope == RepeatScope::whole) {
        starts_.push_back(0);
    } else {
        for (std::size_t j = 0; j < previous_.size(); ++j) starts_.push_back(j);
    }
}

RepeatMatcher::Step RepeatMatcher::offer(const std::string& record) {
    Step step;
    if (!matching_) return step;
    std::vector<std::size_t> still;
    for (std::size_t j : starts_) {
        if (j + held_ < previous_.size() && previous_[j + held_] == record) still.push_back(j);
    }
    if (still.empty()) {
        step.settled = true;
        step.settlement = settle();
        return step;
    }
    starts_.swap(still);
    step.held = true;
    step.matched = starts_.front() + held_;
    ++held_;
    // A run that reaches the end of the previous batch could be the whole
    // repeat; a longer one that goes on may still turn out to be it.
    if (std::find(starts_.begin(), starts_.end(), previous_.size() - held_) != starts_.end()) {
        longestComplete_ = held_;
    }
    return step;
}

RepeatSettlement RepeatMatcher::finish() {
    if (!matching_) return {};
    return settle();
}

RepeatSettlement RepeatMatcher::settle() {
    RepeatSettlement s;
    s.repeats = longestComplete_;
    s.released = held_ - longestComplete_;
    matching_ = false;
    starts_.clear();
    held_ = 0;
    longestComplete_ = 0;
    return s;
}

}  // namespace fw
