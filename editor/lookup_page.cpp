#include "editor/lookup_page.h"

#include <algorithm>
#include <cstring>

#include "editor/calculator_entry.h"
#include "editor/number_box.h"
#include "resources/text_ids.h"

namespace fw {

namespace {

constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
// Offered when the delimited format is chosen for a definition that had no
// delimiter yet: a 0 would mean the fixed-length format again.
constexpr uint8_t kDefaultDelimiter = ',';
// "Insert to lookup file" and "Show warning message & Insert": the only
// actions of a file read once.
constexpr uint8_t kInsert = 2;
constexpr uint8_t kWarnAndInsert = 3;

ControlState numberBox(uint8_t value, bool enabled) {
    ControlState s;
    s.text = std::to_string(value);
    s.limit = kLookupNumberChars;
    s.enabled = enabled;
    return s;
}



// A refused value: the box shows the stored one again.
LookupReply refuse(LookupWarning warning, uint8_t stored) {
    return {ControlReply::corrected(std::to_string(stored)), warning};
}

void setDefaults(LookupDef& d) {
    d.memberLength = d.fieldCount = d.keyField = 0;
    for (int k = 0; k < kFieldsPerLookup; ++k) {
        d.fieldOffset[k] = 1;
        d.fieldLength[k] = 0;
    }
    d.delimiter = 0;
    d.uploadable = 1;
    d.noMatchAction = d.badFormatAction = d.readOnce = 0;
}

int clampedCount(uint8_t fieldCount) {
    return fieldCount < kFieldsPerLookup ? fieldCount : kFieldsPerLookup;
}

bool separatesFields(int code) { return code != 0 && code != kLineFeed && code != kCarriageReturn; }

}  // namespace

unsigned warningTextId(LookupWarning warning) {
    switch (warning) {
        case LookupWarning::InvalidDelimiter: return kTextInvalidValue;
        case LookupWarning::RecordTooLong: return kTextLookupRecordTooLong;
        case LookupWarning::None: break;
    }
    return 0;
}

DelimitedLayout delimitedLayout(const LookupDef& def) {
    DelimitedLayout layout;
    const int count = clampedCount(def.fieldCount);
    std::memcpy(layout.fieldOffset, def.fieldOffset, sizeof layout.fieldOffset);
    layout.fieldOffset[0] = 1;
    if (count == 0) {
        layout.memberLength = 255;   // 0 fields + 0 characters - 1, in a byte
        return layout;
    }
    int offset = 1;
    for (int k = 0; k < count; ++k) {
        if (k > 0) offset += def.fieldLength[k - 1] + 1;
        if (offset > 255) layout.fits = false;
        layout.fieldOffset[k] = static_cast<uint8_t>(offset);
    }
    const int member = offset + def.fieldLength[count - 1] - 1;
    if (member > 255) layout.fits = false;
    // The last offset counts too: an empty last field past 255 has no place.
    layout.span = std::max(member, offset);
    layout.memberLength = static_cast<uint8_t>(member);
    return layout;
}

LookupPage::LookupPage(const ProgramModel& model) {
    std::memcpy(lookups_, model.lookups, sizeof lookups_);
    for (int i = 0; i < kLookupCount; ++i) lastDelimiter_[i] = lookups_[i].delimiter;
}

int LookupPage::fieldsInUse() const { return clampedCount(lookup().fieldCount); }

ControlReply LookupPage::chooseLookup(int index) {
    if (index < 0 || index >= kLookupCount || index == current_) return ControlReply::states();
    current_ = index;
    delimiterPending_ = false;   // the box shows the other file's code
    return ControlReply::everything();
}

ControlReply LookupPage::chooseFixedLength() {
    if (current().delimiter != 0) lastDelimiter_[current_] = current().delimiter;
    current().delimiter = 0;
    delimiterPending_ = false;
    return ControlReply::everything();
}

LookupReply LookupPage::chooseDelimited() {
    if (delimited()) return {ControlReply::states(), LookupWarning::None};
    if (!delimitedLayout(lookup()).fits) return {ControlReply::states(), LookupWarning::RecordTooLong};
    const uint8_t last = lastDelimiter_[current_];
    current().delimiter = separatesFields(last) ? last : kDefaultDelimiter;
    delimiterPending_ = false;
    return {ControlReply::everything(), LookupWarning::None};
}

LookupReply LookupPage::typeDelimiter(std::string_view text) {
    if (!delimited()) return {ControlReply::states(), LookupWarning::None};
    const NumberEntry e = correctNumber(text, kLookupNumberMax);
    // 0 would turn the definition back into fixed-length fields; the
    // terminal splits lookup files into lines at CR and LF, so neither can
    // separate fields. Such a code stays in the box, unstored, until the
    // user types on or leaves the box.
    delimiterPending_ = !separatesFields(e.value);
    if (!delimiterPending_) {
        current().delimiter = static_cast<uint8_t>(e.value);
        lastDelimiter_[current_] = current().delimiter;
    }
    return {replyTo(e), LookupWarning::None};
}

LookupReply LookupPage::leaveDelimiter() {
    if (!delimiterPending_) return {ControlReply::states(), LookupWarning::None};
    delimiterPending_ = false;
    return refuse(LookupWarning::InvalidDelimiter, current().delimiter);
}

ControlReply LookupPage::typeMemberLength(std::string_view text) {
    const NumberEntry e = correctNumber(text, kLookupNumberMax);
    current().memberLength = static_cast<uint8_t>(e.value);
    return replyTo(e);
}

ControlReply LookupPage::typeOffset(int field, std::string_view text) {
    if (field < 0 || field >= kFieldsPerLookup) return ControlReply::states();
    const NumberEntry e = correctNumber(text, kLookupNumberMax);
    current().fieldOffset[field] = static_cast<uint8_t>(e.value);
    return replyTo(e);
}

LookupReply LookupPage::typeLength(int field, std::string_view text) {
    if (field < 0 || field >= kFieldsPerLookup) return {ControlReply::states(), LookupWarning::None};
    const NumberEntry e = correctNumber(text, kLookupNumberMax);
    if (delimited()) {
        LookupDef trial = lookup();
        trial.fieldLength[field] = static_cast<uint8_t>(e.value);
        if (lengthens(trial)) return refuse(LookupWarning::RecordTooLong, lookup().fieldLength[field]);
    }
    current().fieldLength[field] = static_cast<uint8_t>(e.value);
    return {replyTo(e), LookupWarning::None};
}

LookupReply LookupPage::chooseFieldCount(int count) {
    if (count < 0 || count > kFieldsPerLookup) return {ControlReply::states(), LookupWarning::None};
    if (delimited()) {
        LookupDef trial = lookup();
        trial.fieldCount = static_cast<uint8_t>(count);
        // The list goes back to the stored count.
        if (lengthens(trial)) return {ControlReply::states(), LookupWarning::RecordTooLong};
    }
    current().fieldCount = static_cast<uint8_t>(count);
    return {ControlReply::states(), LookupWarning::None};
}

bool LookupPage::lengthens(const LookupDef& trial) const {
    const DelimitedLayout after = delimitedLayout(trial);
    // A definition read from a file may be too long already; an edit that
    // shortens it, or leaves its length, must still be taken.
    return !after.fits && after.span > delimitedLayout(lookup()).span;
}

ControlReply LookupPage::chooseKeyField(int field) {
    if (field >= 0 && field < fieldsInUse()) current().keyField = static_cast<uint8_t>(field);
    return ControlReply::states();
}

ControlReply LookupPage::checkReadOnce(bool on) {
    LookupDef& d = current();
    if (on == (d.readOnce != 0)) return ControlReply::states();
    d.readOnce = on ? 1 : 0;
    uint8_t& a = d.noMatchAction;
    if (on) {
        // An action the short list holds stays as it is.
        if (a == 1)
            a = kWarnAndInsert;
        else if (a != kInsert && a != kWarnAndInsert)
            a = kInsert;
    } else if (a == kInsert) {
        a = 0;
    } else if (a == kWarnAndInsert) {
        a = 1;
    }
    return ControlReply::everything();   // the list's entries change
}

ControlReply LookupPage::checkUploadable(bool on) {
    current().uploadable = on ? 1 : 0;
    return ControlReply::states();
}

ControlReply LookupPage::chooseNoMatchAction(int position) {
    if (position < 0) return ControlReply::states();
    current().noMatchAction = static_cast<uint8_t>(position + (lookup().readOnce != 0 ? kInsert : 0));
    return ControlReply::states();
}

ControlReply LookupPage::chooseBadFormatAction(int action) {
    if (action >= 0) current().badFormatAction = static_cast<uint8_t>(action);
    return ControlReply::states();
}

ControlReply LookupPage::reset() {
    for (int i = 0; i < kLookupCount; ++i) {
        setDefaults(lookups_[i]);
        lastDelimiter_[i] = 0;
    }
    current_ = 0;
    delimiterPending_ = false;
    return ControlReply::everything();
}

ControlState LookupPage::nameState() const { return selectedState(current_); }
ControlState LookupPage::fixedLengthState() const { return checkedState(!delimited()); }
ControlState LookupPage::delimitedState() const { return checkedState(delimited()); }
ControlState LookupPage::delimiterState() const { return numberBox(lookup().delimiter, delimited()); }
ControlState LookupPage::memberLengthState() const { return numberBox(lookup().memberLength, !delimited()); }
ControlState LookupPage::fieldCountState() const { return selectedState(lookup().fieldCount <= kFieldsPerLookup ? lookup().fieldCount : -1); }
ControlState LookupPage::readOnceState() const { return checkedState(lookup().readOnce != 0); }
ControlState LookupPage::uploadableState() const { return checkedState(lookup().uploadable != 0); }

ControlState LookupPage::noMatchState() const {
    const uint8_t a = lookup().noMatchAction;
    if (lookup().readOnce != 0) return selectedState(a == kInsert || a == kWarnAndInsert ? a - kInsert : 0);
    return selectedState(a < kNoMatchActionCount ? a : -1);
}

ControlState LookupPage::badFormatState() const { return selectedState(lookup().badFormatAction); }

ControlState LookupPage::offsetState(int field) const {
    return numberBox(lookup().fieldOffset[field], !delimited() && field < fieldsInUse());
}

ControlState LookupPage::lengthState(int field) const {
    return numberBox(lookup().fieldLength[field], field < fieldsInUse());
}

ControlState LookupPage::keyFieldState(int field) const {
    return checkedState(lookup().keyField == field, field < fieldsInUse());
}

std::vector<std::string> LookupPage::noMatchEntries() const {
    std::vector<std::string> all = noMatchActionList();
    if (lookup().readOnce == 0) return all;
    return {all[kInsert], all[kWarnAndInsert]};
}

void LookupPage::commit(ProgramModel& model) {
    for (LookupDef& d : lookups_) {
        if (d.delimiter == 0) continue;
        const DelimitedLayout layout = delimitedLayout(d);
        // The page never lets a layout overflow; one read from a file keeps
        // its stored numbers rather than wrapped ones.
        if (!layout.fits) continue;
        std::memcpy(d.fieldOffset, layout.fieldOffset, sizeof d.fieldOffset);
        d.memberLength = layout.memberLength;
    }
    std::memcpy(model.lookups, lookups_, sizeof lookups_);
}

void LookupPage::commit(EditorSheet& sheet) {
    commit(sheet.model());
    renumberCalculatorDefaults(sheet.defaults(), calculatorDigit(sheet.model()));
}

std::vector<std::string> lookupNameList() { return {"1st lookup file", "2nd lookup file", "3rd lookup file"}; }

std::vector<std::string> fieldCountList() {
    std::vector<std::string> list;
    for (int n = 0; n <= kFieldsPerLookup; ++n) list.push_back(" " + std::to_string(n));
    return list;
}

std::vector<std::string> noMatchActionList() {
    return {"Continue",         "Show warning message", "Insert to lookup file", "Show warning message & Insert",
            "Clear the screen", "Show warning & clear screen"};
}

std::vector<std::string> badFormatActionList() {
    return {"Stop the download process", "Truncate / reformat the record", "Skip the record"};
}

}  // namespace fw
