#include "editor/stamp_branch.h"

#include "model/fixed_text.h"

namespace fw {

template <class F>
auto& StampDialog::field(F& f, StampCheck box) {
    switch (box) {
        case StampCheck::Split: return f.stampSplit;
        case StampCheck::Year: return f.stampYear;
        case StampCheck::Month: return f.stampMonth;
        case StampCheck::Day: return f.stampDay;
        case StampCheck::DateSeparator: return f.stampDateSepOn;
        case StampCheck::Hour: return f.stampHour;
        case StampCheck::Minute: return f.stampMinute;
        case StampCheck::Second: return f.stampSecond;
        case StampCheck::TimeSeparator: return f.stampTimeSepOn;
    }
    return f.stampSplit;
}

template <class F>
auto& StampDialog::field(F& f, StampList list) {
    switch (list) {
        case StampList::Position: return f.stampPosition;
        case StampList::YearDigits: return f.stampYearDigits;
        case StampList::DateStyle: return f.stampDateStyle;
    }
    return f.stampPosition;
}

void StampDialog::check(StampCheck box, bool on) { field(form_, box) = on; }
bool StampDialog::checked(StampCheck box) const { return field(form_, box) != 0; }
void StampDialog::choose(StampList list, int position) { field(form_, list) = static_cast<uint8_t>(position); }

int StampDialog::selection(StampList list) const {
    const int value = field(form_, list);
    const int entries = list == StampList::YearDigits ? 2 : 3;
    return value < entries ? value : -1;
}

TextEntry StampDialog::typeSeparator(uint8_t (&field)[2], std::string_view text) {
    TextEntry e = cutText(text, 1);
    setFieldText(field, e.text);
    return e;
}

std::string StampDialog::dateSeparator() const { return std::string(fieldText(form_.stampDateSep)); }
std::string StampDialog::timeSeparator() const { return std::string(fieldText(form_.stampTimeSep)); }

namespace {

// Joins the included parts, with the separator between neighbours.
struct SampleBuilder {
    std::string text;
    std::string separator;
    bool any = false;
    void add(bool included, const char* part) {
        if (!included) return;
        if (any) text += separator;
        text += part;
        any = true;
    }
};

}  // namespace

std::string StampDialog::dateSample(std::string_view prefix) const {
    const FormDef& f = form_;
    SampleBuilder b{std::string(prefix), f.stampDateSepOn ? dateSeparator() : std::string()};
    const char* year = f.stampYearDigits == 1 ? "YY" : "YYYY";
    auto y = [&] { b.add(f.stampYear, year); };
    auto m = [&] { b.add(f.stampMonth, "MM"); };
    auto d = [&] { b.add(f.stampDay, "DD"); };
    switch (f.stampDateStyle) {
        case 1: m(); d(); y(); break;
        case 2: d(); m(); y(); break;
        default: y(); m(); d(); break;
    }
    return b.text;
}

std::string StampDialog::timeSample(std::string_view prefix) const {
    const FormDef& f = form_;
    SampleBuilder b{std::string(prefix), f.stampTimeSepOn ? timeSeparator() : std::string()};
    b.add(f.stampHour, "HH");
    b.add(f.stampMinute, "MM");
    b.add(f.stampSecond, "SS");
    return b.text;
}

BranchDialog::BranchDialog(FormDef& form) : form_(form), backup_(form) {
    for (uint8_t& b : form_.branch)
        if (b > kFormCount) b = 0;
}

}  // namespace fw
