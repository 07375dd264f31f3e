// The seventeen symbology parameter dialogs of the Barcode page: one table
// row describes each (its radio groups, check boxes and length
// qualification), and one state object, SymbologyDialog, runs any of them.
//
// A dialog reads its fields from the barcode block when it opens and writes
// them to the model at its own OK, whatever the sheet does later; so its OK
// also marks the program modified, or a Cancel of the sheet followed by Exit
// would lose the change without a question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/control_state.h"
#include "editor/number_box.h"
#include "model/barcode_fields.h"
#include "model/program_model.h"

namespace fw {

// In the order of their "more..." buttons on the page.
enum class SymbologyDialogId : uint8_t {
    Code39, ItalianPharma, FrenchPharma, Industrial25, Interleave25, Matrix25, Codabar, Msi,
    Plessey, Upce, Ean8, Ean13, Telepen, Rss14, Rss14Limited, Rss14Expanded, Ean128
};
constexpr int kSymbologyDialogCount = 17;

constexpr int kMaxRadioGroups = 2;
constexpr int kMaxRadios = 5;
constexpr int kMaxSymbologyChecks = 6;
constexpr int kQualifiedLengthChars = 3;
constexpr int kMaxQualifiedLength = 127;

// How a radio group's choice is stored.
enum class RadioStore : uint8_t {
    Index,              // the field holds the radio's position; a value no
                        // radio shows selects none and is kept unless one is chosen
    CodabarStartStop,   // "None" clears codabarSendStartStop; radio k sets it
                        // and stores k - 1 in `field` (codabarStartStopKind)
    TelepenNumeric,     // the first radio is field = 1, the second field = 0
};

struct RadioGroupLayout {
    const char* caption;    // nullptr: radios without a group box
    const char* radios[kMaxRadios];
    int count;
    RadioStore store;
    BarcodeFieldId field;
};

struct SymbologyCheckLayout {
    const char* text;
    BarcodeFieldId field;
};

struct LengthLayout {
    BarcodeFieldId rangeMode, first, second;
    bool digitsOnly;        // the MSI boxes take any character (the filter turns it into 1)
};

struct SymbologyDialogLayout {
    const char* templateName;
    const char* title;
    unsigned captionBase;   // language text of the title; the controls follow in order
    int pageCheck;          // the page's check box the "more..." button sits beside
    int groupCount;
    RadioGroupLayout groups[kMaxRadioGroups];
    int checkCount;
    SymbologyCheckLayout checks[kMaxSymbologyChecks];
    bool hasLength;
    LengthLayout length;
};

extern const SymbologyDialogLayout kSymbologyDialogs[kSymbologyDialogCount];
const SymbologyDialogLayout& symbologyDialogLayout(SymbologyDialogId id);

// The parts of a symbology dialog, for captions and control ids.
enum class SymbologyPart {
    Title, GroupCaption, Radio, Check, LengthGroup, FixedRadio, RangeRadio,
    MaxLabel, MinLabel, Fixed1Label, Fixed2Label
};

// The language text number of a part (group and index where the part has
// several); 0 when the dialog has no such part.
unsigned symbologyCaptionId(const SymbologyDialogLayout& layout, SymbologyPart part, int group = 0, int index = 0);

// The correction of a length box (and of the page's time-out box) on every
// change: no number, or a number below 1, gives "1"; above `maximum` gives
// the maximum; "007" gives "7".
NumberEntry filterLengthText(std::string_view typed, int maximum);

class SymbologyDialog {
public:
    SymbologyDialog(SymbologyDialogId id, const BarcodeSettings& b);

    SymbologyDialogId id() const { return id_; }
    const SymbologyDialogLayout& layout() const { return symbologyDialogLayout(id_); }

    // -1 when no radio of the group is selected.
    int selectedRadio(int group) const { return radio_[group]; }
    ControlState radioState(int group, int radio) const;
    ControlReply chooseRadio(int group, int radio);

    ControlState checkState(int k) const;
    ControlReply setCheck(int k, bool on);

    // Length qualification: box 0 is the upper ("Fixed Length 1:" or
    // "Max Length :"), box 1 the lower.
    bool rangeMode() const { return range_; }
    ControlState rangeRadioState(bool range) const;
    ControlReply chooseRangeMode(bool range);
    ControlState lengthLabelState(int box) const;
    ControlState lengthBoxState(int box) const;
    ControlReply typeLength(int box, std::string_view typed);

    // OK: read-modify-write of the dialog's own fields.
    void store(BarcodeSettings& b) const;
    void commit(ProgramModel& m) const;

private:
    SymbologyDialogId id_;
    int radio_[kMaxRadioGroups] = {-1, -1};
    bool check_[kMaxSymbologyChecks] = {};
    bool range_ = false;
    int length_[2] = {};
    std::string lengthText_[2];
};

}  // namespace fw
