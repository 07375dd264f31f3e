#include "simulator/record_text.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "model/fixed_text.h"

namespace fw {

LocalTime systemLocalTime() {
    std::time_t t = std::time(nullptr);
    LocalTime now;
    if (const std::tm* tm = std::localtime(&t)) {
        now.year = tm->tm_year + 1900;
        now.month = tm->tm_mon + 1;
        now.day = tm->tm_mday;
        now.hour = tm->tm_hour;
        now.minute = tm->tm_min;
        now.second = tm->tm_sec;
    }
    return now;
}

void RecordText::append(std::string_view s) {
    std::size_t room = kRecordTextMax - length;
    std::size_t n = s.size() < room ? s.size() : room;
    if (n == 0) return;
    std::memcpy(bytes + length, s.data(), n);
    length += n;
    bytes[length] = '\0';
}

namespace {

bool isInputType(uint8_t type) {
    return (type >= kTypeText && type <= kTypeBoolean) || type == kTypeAlphanumeric;
}

// Delimiter 1 and 2 of the settings, each when set. They stand between two
// fields of a record, so an empty record gets none.
void addDelimiters(RecordText& r, const TerminalSettings& s) {
    if (r.empty()) return;
    if (s.delimiter1 != 0) r.append(static_cast<char>(s.delimiter1));
    if (s.delimiter2 != 0) r.append(static_cast<char>(s.delimiter2));
}

// "%02d" of a number that the clock may hand us out of range.
void appendNumber(RecordText& r, int value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, digits == 4 ? "%04d" : "%02d", value);
    r.append(buf);
}

void appendStamp(RecordText& r, const FormDef& f, const TerminalSettings& s, const LocalTime& now) {
    // The separators are one character; a NUL there means none.
    std::string_view dateSep = fieldText(f.stampDateSep, 1);
    std::string_view timeSep = fieldText(f.stampTimeSep, 1);

    enum Part { kYear, kMonth, kDay };
    static constexpr Part kOrders[3][3] = {
        {kYear, kMonth, kDay},   // 0 Year.Month.Day
        {kMonth, kDay, kYear},   // 1 Month.Day.Year
        {kDay, kMonth, kYear},   // 2 Day.Month.Year
    };
    const Part* order = kOrders[f.stampDateStyle < 3 ? f.stampDateStyle : 0];

    bool first = true;
    for (int k = 0; k < 3; ++k) {
        Part p = order[k];
        bool on = p == kYear ? f.stampYear != 0 : p == kMonth ? f.stampMonth != 0 : f.stampDay != 0;
        if (!on) continue;
        if (!first && f.stampDateSepOn) r.append(dateSep);
        first = false;
        switch (p) {
            case kYear:
                if (f.stampYearDigits == 1) {
                    int yy = now.year % 100;
                    appendNumber(r, yy < 0 ? -yy : yy, 2);
                } else {
                    appendNumber(r, now.year, 4);
                }
                break;
            case kMonth: appendNumber(r, now.month, 2); break;
            case kDay: appendNumber(r, now.day, 2); break;
        }
    }

    if (f.stampSplit) addDelimiters(r, s);

    const uint8_t flags[3] = {f.stampHour, f.stampMinute, f.stampSecond};
    const int parts[3] = {now.hour, now.minute, now.second};
    first = true;
    for (int k = 0; k < 3; ++k) {
        if (!flags[k]) continue;
        if (!first && f.stampTimeSepOn) r.append(timeSep);
        first = false;
        appendNumber(r, parts[k], 2);
    }
}

// The value cut or padded to exactly `length` characters.
void appendFixedLength(RecordText& r, std::string_view value, std::size_t length, uint8_t alignment) {
    if (value.size() >= length) {
        r.append(value.substr(0, length));
        return;
    }
    std::size_t pad = length - value.size();
    // 0 left/spaces, 1 right/spaces, 2 left/zeros, 3 right/zeros; anything
    // else is taken as the default, left-aligned with spaces.
    bool right = alignment == 1 || alignment == 3;
    char fill = alignment == 2 || alignment == 3 ? '0' : ' ';
    if (!right) r.append(value);
    for (std::size_t i = 0; i < pad && r.length < kRecordTextMax; ++i) r.append(fill);
    if (right) r.append(value);
}

}  // namespace

RecordText buildRecordText(const FormDef& f, const TerminalSettings& s, const LineValues& values,
                           const LocalTime& now) {
    RecordText r;
    if (f.stampPosition == 1) appendStamp(r, f, s, now);

    // A large-font form has only four lines on the terminal's display.
    const int lines = f.font != 0 ? 4 : kLinesPerForm;
    for (int i = 0; i < lines; ++i) {
        const uint8_t type = f.dataType[i];
        // Every kind of entry line is saved, alphanumeric ones included:
        // leaving them out would silently drop what the user typed there.
        const bool saved = isInputType(type) || type == kTypeFixedData ||
                           (type == kTypeLookup && f.initialValueOn[i] != 0);
        if (!saved) continue;

        // A field continued on extension lines is one value.
        char joined[kLinesPerForm * 161];
        std::size_t n = 0;
        auto join = [&](std::string_view part) {
            std::size_t room = sizeof joined - n;
            std::size_t k = part.size() < room ? part.size() : room;
            if (k == 0) return;
            std::memcpy(joined + n, part.data(), k);
            n += k;
        };
        join(type == kTypeFixedData ? fieldText(f.prompt[i]) : values[static_cast<std::size_t>(i)]);
        for (int e = i + 1; e < lines && f.dataType[e] == kTypeExtension; ++e) {
            join(values[static_cast<std::size_t>(e)]);
        }
        std::string_view value(joined, n);

        addDelimiters(r, s);
        if (f.prefixOn[i]) r.append(fieldText(f.prefixCode[i]));
        if (f.fixedLengthOn[i]) {
            appendFixedLength(r, value, f.fixedLength[i], f.alignment[i]);
        } else {
            r.append(value);
        }
        if (f.suffixOn[i]) r.append(fieldText(f.suffixCode[i]));
    }

    if (f.stampPosition == 2) {
        addDelimiters(r, s);
        appendStamp(r, f, s, now);
    }
    return r;
}

}  // namespace fw
