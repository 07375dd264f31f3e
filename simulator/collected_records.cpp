#include "simulator/collected_records.h"

#include <algorithm>

#include "model/fixed_text.h"

namespace fw {

RecordFate recordFate(uint8_t action) {
    RecordFate f;
    switch (action) {
        case 0: f.saved = true; break;
        case 1: f.updatesLookup = true; break;
        case 2: f.saved = f.updatesLookup = true; break;
        case 3: f.passedDown = true; break;
        case 4: f.outputRecord = true; break;
        case 5: f.outputScreen = true; break;
        case 6: f.saved = f.outputRecord = true; break;
        case 7: f.saved = f.outputScreen = true; break;
        default: break;
    }
    return f;
}

std::string dataFileOf(const ProgramModel& model, int form) {
    if (model.settings.separateDataFiles == 0 || form < 1 || form > kFormCount) return {};
    const FormDef& f = model.forms[form - 1];
    // The dialog keeps 16 characters; a longer name in a damaged file is
    // cut there too.
    const std::string_view name = fieldText(f.fileName, 16);
    if (f.fileNameOn != 0 && !name.empty()) return std::string(name);
    return "form " + std::to_string(form);
}

void CollectedRecords::add(CollectedRecord record) {
    if (records_.size() >= kCollectedRecordsLimit) {
        records_.pop_front();
        ++dropped_;
    }
    records_.push_back(std::move(record));
    ++revision_;
}

void CollectedRecords::clear() {
    records_.clear();
    dropped_ = 0;
    ++revision_;
}

std::size_t CollectedRecords::savedCount() const {
    return static_cast<std::size_t>(
        std::count_if(records_.begin(), records_.end(), [](const CollectedRecord& r) { return r.fate().saved; }));
}

}  // namespace fw
