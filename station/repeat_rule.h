// Which records at the start of a batch the port already has.
//
// A terminal whose upload broke off sends again what it thinks we lack: the
// record whose "ACK\r" never reached it, or its whole batch from the start.
// Such a batch begins with records that end the port's previous batch, the
// same texts in the same order. Those are acknowledged again but not stored
// again. The terminal numbers its records from 0 at every upload, so a
// record sent again may carry another serial than the first time: records
// are compared by their bytes, in sequence.
//
// Whether a record at the start of a batch is such a repeat is known only
// once the run of matching records either reaches the end of the previous
// batch (repeats) or breaks off before it (new records that happened to be
// alike). Until then a record is held: acknowledged, and kept as a
// reference to the stored record it matched, so that it is safe either way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fw {

// Which runs count as repeats.
enum class RepeatScope {
    none,    // nothing: the previous batch was completed and nothing asked for more
    whole,   // the previous batch as a whole (a terminal that keeps its records)
    tail,    // any run that ends the previous batch (it was interrupted)
};

// The scope for a port: an interrupted previous batch may be sent again in
// part or in whole; a completed one only by a terminal that keeps its
// records, when the station was told to skip those.
RepeatScope repeatScopeFor(bool previousCompleted, bool skipRepeated);

// How a run of held records ended: the first `repeats` of them were
// repeats, the `released` ones after them are new records to be stored.
struct RepeatSettlement {
    std::size_t repeats = 0;
    std::size_t released = 0;
};

class RepeatMatcher {
public:
    // `previous`: the records of the port's previous batch in order, as the
    // terminal sent them (the repeats among them too).
    RepeatMatcher(std::vector<std::string> previous, RepeatScope scope);

    struct Step {
        // The record is held as a repeat of previous[matched].
        bool held = false;
        std::size_t matched = 0;
        // The run ended before this record (which is then not held): how the
        // records held so far are to be settled, before this one is stored.
        bool settled = false;
        RepeatSettlement settlement;
    };

    // The next record of the batch.
    Step offer(const std::string& record);
    // The batch ended (completed, failed or interrupted): how the records
    // still held are to be settled. Afterwards nothing is held.
    RepeatSettlement finish();

    std::size_t held() const { return held_; }

private:
    RepeatSettlement settle();

    std::vector<std::string> previous_;
    std::vector<std::size_t> starts_;   // where in `previous_` the run may have begun
    std::size_t held_ = 0;              // records matched so far
    std::size_t longestComplete_ = 0;   // the longest run so far that reached the end
    bool matching_ = false;
};

}  // namespace fw
