// The "Collected data..." window's rules: one list line per record, with
// the record's control codes made visible; the bytes Save As writes; what
// Save As and Clear offer. The window only shows these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/control_state.h"
#include "simulator/collected_records.h"

namespace fw {

// `bytes` with every control code shown by name between angle brackets
// ("<ESC>", "<TAB>", "<CR>"), DEL as "<DEL>" and bytes above 0x7F as their
// decimal code ("<233>"), so that no byte of a record is invisible or
// taken for another.
std::string visibleBytes(std::string_view bytes);

// One line of the list: the record's number, its form, its record action,
// the data file it is saved to ("data file" when the terminal keeps one,
// "-" when it is not saved) and its text made visible. The columns line up
// in a fixed-width font under collectedDataHeading().
std::string collectedDataLine(const CollectedRecord& record);
std::string collectedDataHeading();

// What a data receive would write for the saved records, in order: each
// record's bytes followed by CR LF.
std::string uploadBytes(const CollectedRecords& records);

class CollectedDataView {
public:
    explicit CollectedDataView(const CollectedRecords& records) : records_(&records) {}

    // True once after the records changed since the list was last taken.
    bool changed() const { return records_->revision() != shownRevision_; }
    // The list's lines; the list now shows this revision.
    ListEntries takeLines();

    // "3 records, 2 saved", and how many of the oldest are no longer kept.
    ControlState summaryState() const;
    // Save As needs a saved record; Clear any record (or a count to reset).
    ControlState saveAsState() const;
    ControlState clearState() const;

private:
    const CollectedRecords* records_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
};

}  // namespace fw
