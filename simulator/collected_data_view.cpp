#include "simulator/collected_data_view.h"

#include <cstdio>

#include "model/record_actions.h"

namespace fw {

namespace {

const char* const kControlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "TAB", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

// The column widths of a list line: "form 10", the longest record action
// ("save & output screen") and a 16-character data file name.
constexpr int kNumberWidth = 5;
constexpr int kFormWidth = 8;
constexpr int kActionWidth = 21;
constexpr int kFileWidth = 17;

void pad(std::string& s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    s += ' ';
}

std::string actionName(uint8_t action) {
    const auto names = recordActionList();
    if (action < names.size()) return names[action];
    return "action " + std::to_string(action);
}

}  // namespace

std::string visibleBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20) {
            out += '<';
            out += kControlNames[c];
            out += '>';
        } else if (c == 0x7F) {
            out += "<DEL>";
        } else if (c > 0x7F) {
            out += '<' + std::to_string(c) + '>';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string collectedDataHeading() {
    std::string s;
    s = "No.";
    pad(s, kNumberWidth);
    s += "Form";
    pad(s, kNumberWidth + 1 + kFormWidth);
    s += "Record action";
    pad(s, kNumberWidth + 1 + kFormWidth + 1 + kActionWidth);
    s += "Data file";
    pad(s, kNumberWidth + 1 + kFormWidth + 1 + kActionWidth + 1 + kFileWidth);
    s += "Record";
    return s;
}

std::string collectedDataLine(const CollectedRecord& r) {
    char number[16];
    std::snprintf(number, sizeof number, "%*d", kNumberWidth, r.number);
    std::string s = number;
    s += ' ';
    s += "form " + std::to_string(r.form);
    pad(s, kNumberWidth + 1 + kFormWidth);
    s += actionName(r.action);
    pad(s, kNumberWidth + 1 + kFormWidth + 1 + kActionWidth);
    if (!r.fate().saved) {
        s += '-';
    } else {
        s += r.dataFile.empty() ? std::string("data file") : visibleBytes(r.dataFile);
    }
    pad(s, kNumberWidth + 1 + kFormWidth + 1 + kActionWidth + 1 + kFileWidth);
    s += visibleBytes(r.text.view());
    return s;
}

std::string uploadBytes(const CollectedRecords& records) {
    std::string out;
    for (const CollectedRecord& r : records.all()) {
        if (!r.fate().saved) continue;
        out.append(r.text.view());
        out += "\r\n";
    }
    return out;
}

ListEntries CollectedDataView::takeLines() {
    ListEntries lines;
    lines.reserve(records_->size());
    for (const CollectedRecord& r : records_->all()) lines.push_back(collectedDataLine(r));
    shownRevision_ = records_->revision();
    return lines;
}

ControlState CollectedDataView::summaryState() const {
    ControlState s;
    const std::size_t n = records_->size();
    s.text = std::to_string(n) + (n == 1 ? " record, " : " records, ") + std::to_string(records_->savedCount()) +
             " saved";
    if (records_->dropped() > 0) {
        s.text += "; the oldest " + std::to_string(records_->dropped()) + " are no longer kept (last " +
                  std::to_string(kCollectedRecordsLimit) + " only)";
    }
    return s;
}

ControlState CollectedDataView::saveAsState() const {
    ControlState s;
    s.enabled = records_->savedCount() > 0;
    return s;
}

ControlState CollectedDataView::clearState() const {
    ControlState s;
    s.enabled = !records_->empty();
    return s;
}

}  // namespace fw
