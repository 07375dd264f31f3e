// The text of one completed record, as the terminal builds it for a form
// whose record action is "pass down": the entered values of the form with
// delimiters, prefix and suffix codes, fixed-length padding and the date and
// time stamp.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "model/program_model.h"

namespace fw {

// Local time as the terminal's clock gives it.
struct LocalTime {
    int year = 2000;
    int month = 1;     // 1-12
    int day = 1;       // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The computer's local time now.
LocalTime systemLocalTime();

// The terminal keeps at most this many bytes of a passed-down record.
constexpr std::size_t kRecordTextMax = 404;

// A record text of at most kRecordTextMax bytes, always NUL-terminated.
// Prefix and suffix codes are raw bytes and may be control codes, but never
// NUL: a code ends at its first NUL.
struct RecordText {
    char bytes[kRecordTextMax + 1] = {};
    std::size_t length = 0;

    std::string_view view() const { return {bytes, length}; }
    // Appends as much of `s` as still fits; the rest is dropped.
    void append(std::string_view s);
    void append(char c) { append(std::string_view(&c, 1)); }
    bool empty() const { return length == 0; }
};

// The entered value of each of the form's eight lines.
using LineValues = std::array<std::string_view, kLinesPerForm>;

// Builds the record of `form` from its entered `values`; `now` gives the
// stamp. The delimiters come from `settings`.
RecordText buildRecordText(const FormDef& form, const TerminalSettings& settings,
                           const LineValues& values, const LocalTime& now);

}  // namespace fw
