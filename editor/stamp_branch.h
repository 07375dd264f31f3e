// The date and time stamp dialog and the function-key branch dialog of a
// form. Both edit the Form page's working copy of the current form; Cancel
// puts the form back as it was when they opened.
#pragma once

#include <string>
#include <string_view>

#include "editor/field_properties.h"
#include "editor/number_box.h"
#include "model/program_model.h"

namespace fw {

inline constexpr char kDateFormatPrefix[] = "Date Format : ";
inline constexpr char kTimeFormatPrefix[] = "Time Format : ";

enum class StampCheck { Split, Year, Month, Day, DateSeparator, Hour, Minute, Second, TimeSeparator };
enum class StampList { Position, YearDigits, DateStyle };

class StampDialog {
public:
    explicit StampDialog(FormDef& form) : form_(form), backup_(form) {}

    void check(StampCheck box, bool on);
    bool checked(StampCheck box) const;
    void choose(StampList list, int position);
    // The entry to select; -1 when the stored value has none.
    int selection(StampList list) const;

    // Each separator box holds one character; an empty box stores none.
    TextEntry typeDateSeparator(std::string_view text) { return typeSeparator(form_.stampDateSep, text); }
    TextEntry typeTimeSeparator(std::string_view text) { return typeSeparator(form_.stampTimeSep, text); }
    std::string dateSeparator() const;
    std::string timeSeparator() const;

    // The captions of the date and time groups, e.g. "Date Format : DD/MM/YY".
    std::string dateSample(std::string_view prefix = kDateFormatPrefix) const;
    std::string timeSample(std::string_view prefix = kTimeFormatPrefix) const;

    void cancel() { backup_.restore(); }

private:
    // The byte behind a check box or list (F is FormDef or const FormDef).
    template <class F>
    static auto& field(F& form, StampCheck box);
    template <class F>
    static auto& field(F& form, StampList list);
    static TextEntry typeSeparator(uint8_t (&field)[2], std::string_view text);

    FormDef& form_;
    FormBackup backup_;
};

class BranchDialog {
public:
    // A stored branch above form 10 is shown, and kept, as "disable".
    explicit BranchDialog(FormDef& form);

    int selection(int key) const { return form_.branch[key]; }
    void choose(int key, int position) { form_.branch[key] = static_cast<uint8_t>(position); }

    void cancel() { backup_.restore(); }

private:
    FormDef& form_;
    FormBackup backup_;
};

}  // namespace fw
