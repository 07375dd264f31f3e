// The Lookup page of the editor sheet: the working copy of the three lookup
// file definitions and every rule of the page.
//
// Nothing reaches the model before commit(); dropping the object is Cancel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/program_model.h"

namespace fw {

constexpr int kLookupNumberChars = 3;
constexpr int kLookupNumberMax = 255;
constexpr int kNoMatchActionCount = 6;

// The warning a typed value earns; None when it was taken.
enum class LookupWarning {
    None,
    InvalidDelimiter,   // 0, 10 or 13 as the delimiter: "Invalid value!"
    RecordTooLong       // the delimited record would not fit 255 characters
};

// The text of a warning's message box (caption kTextWarningCaption); 0 for
// None.
unsigned warningTextId(LookupWarning warning);

// A reply and the warning the window shows before applying it.
struct LookupReply {
    ControlReply reply;
    LookupWarning warning = LookupWarning::None;
};

// The heading over the length column.
enum class LengthHeading { Length, MaxLength };

// The delimited layout: fields one after the other, one delimiter
// character between two. Offsets count from 1.
struct DelimitedLayout {
    bool fits = true;            // every offset and the member length fit a byte
    int span = 0;                // the record's length before it is cut to a byte
    uint8_t memberLength = 0;
    uint8_t fieldOffset[kFieldsPerLookup]{};
};
// The layout of the first `fieldCount` fields of `def`. A definition
// without fields keeps its record length of 255, which the terminal knows.
DelimitedLayout delimitedLayout(const LookupDef& def);

class LookupPage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Lookup;

    explicit LookupPage(const ProgramModel& model);
    explicit LookupPage(EditorSheet& sheet) : LookupPage(sheet.model()) {}

    // ---- the working copy ----
    int currentLookup() const { return current_; }
    const LookupDef& lookup() const { return lookups_[current_]; }
    const LookupDef& lookup(int index) const { return lookups_[index]; }
    bool delimited() const { return lookup().delimiter != 0; }
    // Rows 1..fieldCount are in use (at most eight, whatever a file holds).
    int fieldsInUse() const;

    // ---- events ----
    ControlReply chooseLookup(int index);
    ControlReply chooseFixedLength();
    LookupReply chooseDelimited();
    // The delimiter box takes each keystroke without a word: the code is
    // stored as soon as it is one that can separate fields, and on the way
    // to 100..109 the box may pass through 10. leaveDelimiter() (the box
    // lost the focus, or the page is left) warns about a code that was
    // never stored and puts the stored one back.
    LookupReply typeDelimiter(std::string_view text);
    LookupReply leaveDelimiter();
    // The box holds a code that was refused.
    bool delimiterPending() const { return delimiterPending_; }
    ControlReply typeMemberLength(std::string_view text);
    ControlReply typeOffset(int field, std::string_view text);
    LookupReply typeLength(int field, std::string_view text);
    LookupReply chooseFieldCount(int count);
    ControlReply chooseKeyField(int field);
    ControlReply checkReadOnce(bool on);
    ControlReply checkUploadable(bool on);
    ControlReply chooseNoMatchAction(int position);
    ControlReply chooseBadFormatAction(int action);
    // All three definitions back to their defaults, the first shown.
    ControlReply reset();

    // ---- what the page shows ----
    ControlState nameState() const;
    ControlState fixedLengthState() const;
    ControlState delimitedState() const;
    ControlState delimiterState() const;
    ControlState memberLengthState() const;
    ControlState fieldCountState() const;
    ControlState readOnceState() const;
    ControlState uploadableState() const;
    ControlState noMatchState() const;
    ControlState badFormatState() const;
    ControlState offsetState(int field) const;
    ControlState lengthState(int field) const;
    ControlState keyFieldState(int field) const;
    LengthHeading lengthHeading() const { return delimited() ? LengthHeading::MaxLength : LengthHeading::Length; }
    // The no-match list: six actions, or only the two that insert while
    // "Only read data once" is on.
    std::vector<std::string> noMatchEntries() const;

    // ---- OK ----
    // Lays out the delimited definitions, copies the three into the model
    // and numbers the calculator entry of the working default texts.
    void commit(EditorSheet& sheet) override;
    void commit(ProgramModel& model);

private:
    LookupDef& current() { return lookups_[current_]; }
    // `trial`, an edit of the current definition, makes a delimited record
    // that does not fit and is longer than the one it replaces.
    bool lengthens(const LookupDef& trial) const;

    LookupDef lookups_[kLookupCount]{};
    int current_ = 0;
    // The delimiter each definition last had this session, offered again
    // when the user goes back to the delimited format.
    uint8_t lastDelimiter_[kLookupCount]{};
    bool delimiterPending_ = false;
};

std::vector<std::string> lookupNameList();        // "1st lookup file" .. "3rd lookup file"
std::vector<std::string> fieldCountList();        // " 0" .. " 8"
std::vector<std::string> noMatchActionList();     // the six actions
std::vector<std::string> badFormatActionList();   // the three actions

}  // namespace fw
