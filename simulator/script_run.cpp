#include "simulator/script_run.h"

#include <algorithm>

#include "model/form_rules.h"
#include "simulator/collected_data_view.h"
#include "simulator/face_geometry.h"

namespace fw {

namespace {

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long long daysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool number(std::string_view s, std::size_t at, std::size_t digits, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// The 700 ms after which a pending letter is committed: more than 6 ticks.
constexpr int kCommitTicks = 7;

}  // namespace

bool parseLocalTime(std::string_view s, LocalTime& t) {
    if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':') return false;
    LocalTime r;
    if (!number(s, 0, 4, r.year) || !number(s, 5, 2, r.month) || !number(s, 8, 2, r.day) ||
        !number(s, 11, 2, r.hour) || !number(s, 14, 2, r.minute) || !number(s, 17, 2, r.second)) {
        return false;
    }
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > daysInMonth(r.year, r.month)) return false;
    if (r.hour > 23 || r.minute > 59 || r.second > 59) return false;
    t = r;
    return true;
}

LocalTime addSeconds(const LocalTime& t, long long seconds) {
    long long total = daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600LL + t.minute * 60LL + t.second +
                      std::max(0LL, seconds);
    const long long days = total / 86400;
    long long rest = total % 86400;
    LocalTime r;
    civilFromDays(days, r.year, r.month, r.day);
    r.hour = static_cast<int>(rest / 3600);
    rest %= 3600;
    r.minute = static_cast<int>(rest / 60);
    r.second = static_cast<int>(rest % 60);
    return r;
}

ScriptedTerminal::ScriptedTerminal(ProgramModel& model, const DefaultTexts& defaults, const LocalTime& start)
    : model_(model), now_(start), engine_(model, defaults, [this] { return now_; }) {}

void ScriptedTerminal::commitLetter() {
    for (int i = 0; i < kCommitTicks && engine_.pendingLetter() != 0; ++i) note(engine_.tickEngine());
}

void ScriptedTerminal::step(const ScriptStep& s) {
    switch (s.kind) {
        case ScriptStepKind::Key: note(engine_.clickKey(s.key)); break;
        case ScriptStepKind::Wait: {
            // A wait of a second or more ends a pending letter, as the 100 ms
            // timer would; more ticks would change nothing.
            const long long ticks = std::min<long long>(s.seconds * 10, kCommitTicks);
            for (long long i = 0; i < ticks; ++i) note(engine_.tickEngine());
            now_ = addSeconds(now_, s.seconds);
            break;
        }
        case ScriptStepKind::Text: {
            int previousKey = 0;
            for (char c : s.text) {
                KeyStroke k;
                if (!keyStrokeFor(c, k)) continue;   // the parser lets none through
                // Alphabetic entry exists in form entry only; elsewhere the
                // keys act as they are.
                if (engine_.mode() == EngineMode::Form && engine_.alphaOn() != k.alpha) {
                    note(engine_.clickKey(kKeyAlpha));
                    previousKey = 0;
                }
                // A second letter on the same key: the first must be committed
                // first, or the presses would go on cycling it.
                if (k.alpha && k.key == previousKey) commitLetter();
                for (int p = 0; p < k.presses; ++p) note(engine_.clickKey(k.key));
                previousKey = k.key;
            }
            commitLetter();
            break;
        }
    }
}

std::vector<std::string> ScriptedTerminal::displayLines() const {
    std::vector<std::string> out;
    const int width = textWidth(engine_.largePitch() ? 1 : 0);
    for (int i = 0; i < SimulationEngine::kScreenLines; ++i) {
        std::string text = visibleBytes(engine_.line(i));
        if (text.size() < static_cast<std::size_t>(width)) text.append(static_cast<std::size_t>(width) - text.size(), ' ');
        out.push_back((engine_.highlight() == i + 1 ? ">|" : " |") + text + "|");
    }
    if (engine_.mode() == EngineMode::Start) {
        // The colon shows: the first half of the second.
        out.push_back("  " + clockLine(now_.month, now_.day, now_.hour, now_.minute, 0,
                                       model_.settings.separateDataFiles, engine_.recordCount()));
    }
    return out;
}

}  // namespace fw
