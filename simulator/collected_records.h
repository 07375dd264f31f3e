// The records the simulated terminal has completed, kept in order with what
// the terminal does with each of them by its form's record action: so that
// the designer can see the data a form will produce before a terminal
// collects a day of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "model/program_model.h"
#include "simulator/record_text.h"

namespace fw {

// What the terminal does with a completed record, by `recordAction`:
// 0 "save", 1 "update lookup", 2 "save & update", 3 "pass down",
// 4 "output record", 5 "output screen", 6 "save & output record",
// 7 "save & output screen". An action no editor writes (a damaged file)
// does nothing with the record.
struct RecordFate {
    bool saved = false;          // written to a data file, uploaded later
    bool updatesLookup = false;
    bool passedDown = false;     // shown by the next form's pass-down lines
    bool outputRecord = false;   // sent out at once
    bool outputScreen = false;
};
RecordFate recordFate(uint8_t recordAction);

// The data file a record of form `form` (1-10) is saved to: empty for the
// terminal's one data file; with separate data files the form's own file
// name when it has one, else "form N".
std::string dataFileOf(const ProgramModel& model, int form);

struct CollectedRecord {
    int number = 0;           // the record counter after this record
    int form = 0;             // 1-10
    uint8_t action = 0;       // the form's recordAction when it completed
    std::string dataFile;     // as dataFileOf() said then; only for saved records
    RecordText text;

    RecordFate fate() const { return recordFate(action); }
};

// The completed records, oldest first. The simulated terminal keeps the last
// kCollectedRecordsLimit of them (about 450 KB); past that the oldest go, and
// dropped() says how many went.
constexpr std::size_t kCollectedRecordsLimit = 1000;

class CollectedRecords {
public:
    void add(CollectedRecord record);
    void clear();

    const std::deque<CollectedRecord>& all() const { return records_; }
    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    std::size_t savedCount() const;
    // Records dropped for the limit since the last clear.
    std::size_t dropped() const { return dropped_; }
    // Changes on every add and clear, so that a window can tell cheaply
    // whether it must show the list again.
    std::uint64_t revision() const { return revision_; }

private:
    std::deque<CollectedRecord> records_;
    std::size_t dropped_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace fw
