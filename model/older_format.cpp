#include "model/older_format.h"

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"

namespace fw {

namespace {

using namespace older;

// The offsets are the running sums of the block sizes.
constexpr std::size_t kOldTableSizes[18] = {64, 64, 168, 64, 64, 64, 64, 168, 168,
                                            168, 105, 84, 84, 84, 168, 64, 105, 112};
constexpr std::size_t sumOfTables(std::size_t count) {
    std::size_t s = 0;
    for (std::size_t i = 0; i < count; ++i) s += kOldTableSizes[i];
    return s;
}
static_assert(kBarcode == kProgramStart + 1 && kMenus == kBarcode + 24);
static_assert(kForms == kMenus + 10 * kMenuSize && kLookups == kForms + 10 * kFormSize);
static_assert(kDelimiters == kLookups + 3 * kLookupSize && kTables == kDelimiters + 2);
static_assert(kSystem == kTables + sumOfTables(18));
static_assert(kEntryDurationTable == kTables + sumOfTables(13));
static_assert(kPassword == kSystem + 20 && kExtension == kPassword + 10 && kEnd == kExtension + 14);

// Field offsets inside an old form record (601 bytes).
namespace oldform {
constexpr std::size_t font = 0, escTarget = 1, nextTarget = 2, dateMode = 3, timeMode = 4,
                      recordAction = 5, lookupFile = 6, link = 7, dataType = 15, prompt = 23,
                      inputSource = 191, minLength = 199, maxLength = 207, fixedLengthOn = 215,
                      alignment = 223, fixedLength = 231, initialValueOn = 239,
                      initialValue = 247, prefixOn = 327, prefixCode = 335, suffixOn = 415,
                      suffixCode = 423, partialOn = 503, partialStart = 511,
                      partialMaxLength = 519, leadCodeOn = 527, leadCode = 535,
                      autoEnter = 583, inputMark = 591, inputLineCount = 599,
                      currentLine = 600;
static_assert(currentLine + 1 == kFormSize);
}  // namespace oldform

// Large-font texts show 12 characters per line, small-font texts 16.

// A text field of the old file copied as a NUL-terminated string: the text
// up to its first NUL (or the field's end), cut to `maxChars`, zero-padded.
template <std::size_t N>
void copyText(uint8_t (&to)[N], const uint8_t* from, std::size_t fromWidth, std::size_t maxChars) {
    setFieldText(to, N, fieldText(from, fromWidth), maxChars);
}

void convertBarcode(ProgramModel& m, const uint8_t* old) {
    uint8_t* b = m.barcode.bytes;
    for (int i : {0, 1, 5, 6, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}) b[i] = old[i];
    // Bits the old reader did not have keep the value they have now; bytes
    // 3, 4 and 8 changed meaning and are not taken at all.
    b[2] = static_cast<uint8_t>((old[2] & ~0x01) | (b[2] & 0x01));
    b[7] = static_cast<uint8_t>((old[7] & 0xF8) | (b[7] & 0x07));
    b[11] = static_cast<uint8_t>((old[11] & ~0x20) | (b[11] & 0x20));
    b[22] = static_cast<uint8_t>((old[22] & 0x1F) | (b[22] & 0xE0));
    m.legacyBlock[0] = old[3];
    m.legacyBlock[1] = old[4];
    m.legacyBlock[2] = old[8];
    m.legacyBlock[3] = old[23];
}

void convertMenu(MenuDef& menu, const uint8_t* old) {
    // The old record is the first 250 bytes of MenuDef, field for field.
    menu.font = old[offsetof(MenuDef, font)];
    menu.captionOn = old[offsetof(MenuDef, captionOn)];
    menu.escTarget = old[offsetof(MenuDef, escTarget)];
    menu.saveCaption = old[offsetof(MenuDef, saveCaption)];
    menu.saveSelectedItem = old[offsetof(MenuDef, saveSelectedItem)];
    menu.passDown = old[offsetof(MenuDef, passDown)];
    menu.itemCount = old[offsetof(MenuDef, itemCount)];
    menu.selectedItem = old[offsetof(MenuDef, selectedItem)];
    menu.reserved249 = old[offsetof(MenuDef, reserved249)];
    const std::size_t width = static_cast<std::size_t>(textWidth(menu.font));
    copyText(menu.caption, old + offsetof(MenuDef, caption), 21, width);
    for (int i = 0; i < kItemsPerMenu; ++i) {
        copyText(menu.itemName[i], old + offsetof(MenuDef, itemName) + 21 * i, 21, width);
        menu.itemNext[i] = old[offsetof(MenuDef, itemNext) + i];
    }
}

void setDateParts(FormDef& f, unsigned d) {
    f.stampYear = f.stampMonth = f.stampDay = 1;
    f.stampYearDigits = 0;
    const unsigned sepMode = d % 6;
    f.stampDateSepOn = (sepMode >= 1 && sepMode <= 3) ? 1 : 0;
    const unsigned order = d % 3;
    f.stampDateStyle = order == 1 ? 0 : (order == 2 ? 1 : 2);
}

void clearDateParts(FormDef& f) {
    f.stampYear = f.stampMonth = f.stampDay = 0;
    f.stampDateSepOn = 0;
    f.stampYearDigits = 0;
}

void setTimeParts(FormDef& f, unsigned t) {
    f.stampHour = f.stampMinute = 1;
    f.stampSecond = static_cast<uint8_t>(t & 1);
    const unsigned sepMode = t % 4;
    f.stampTimeSepOn = (sepMode == 1 || sepMode == 2) ? 1 : 0;
}

void clearTimeParts(FormDef& f) {
    f.stampHour = f.stampMinute = f.stampSecond = 0;
    f.stampTimeSepOn = 0;
}

// The old format had one mode byte each for the date and the time stamp.
// Low date modes (1..6) and time modes (1..4) put the stamp at the bottom of
// the record, higher ones at the top.
void convertStamp(FormDef& f, unsigned d, unsigned t) {
    if (d == 0 && t == 0) {
        f.stampPosition = 0;
        f.stampSplit = 1;
        f.stampYear = f.stampMonth = f.stampDay = 1;
        f.stampDateSepOn = 1;
        f.stampYearDigits = 0;
        f.stampHour = f.stampMinute = f.stampSecond = 1;
        f.stampTimeSepOn = 1;
    } else if (d == 0) {
        f.stampPosition = t <= 4 ? 2 : 1;
        f.stampSplit = 0;
        clearDateParts(f);
        setTimeParts(f, t);
    } else {
        f.stampPosition = d <= 6 ? 2 : 1;
        f.stampSplit = t > 0 ? 1 : 0;
        setDateParts(f, d);
        if (t > 0)
            setTimeParts(f, t);
        else
            clearTimeParts(f);
    }
    setFieldText(f.stampDateSep, "/");
    setFieldText(f.stampTimeSep, ":");
}

// The old type codes of fixed data, prompt, extension and boolean moved.
uint8_t convertDataType(uint8_t old) {
    switch (old) {
        case 5: return kTypeFixedData;
        case 6: return kTypePrompt;
        case 8: return kTypeExtension;
        case 9: return kTypeBoolean;
        default: return old;
    }
}

void convertForm(FormDef& f, const uint8_t* old) {
    namespace o = oldform;
    f.font = old[o::font];
    f.escTarget = old[o::escTarget];
    f.nextTarget = old[o::nextTarget];
    convertStamp(f, old[o::dateMode], old[o::timeMode]);
    f.recordAction = old[o::recordAction];
    f.lookupFile = old[o::lookupFile];
    const std::size_t promptWidth = static_cast<std::size_t>(textWidth(f.font));
    for (int i = 0; i < kLinesPerForm; ++i) {
        f.link[i] = old[o::link + i];
        f.dataType[i] = convertDataType(old[o::dataType + i]);
        copyText(f.prompt[i], old + o::prompt + 21 * i, 21, promptWidth);
        f.inputSource[i] = old[o::inputSource + i];
        f.minLength[i] = old[o::minLength + i];
        f.maxLength[i] = old[o::maxLength + i];
        f.fixedLengthOn[i] = old[o::fixedLengthOn + i];
        f.alignment[i] = old[o::alignment + i];
        f.fixedLength[i] = old[o::fixedLength + i];
        f.initialValueOn[i] = old[o::initialValueOn + i];
        copyText(f.initialValue[i], old + o::initialValue + 10 * i, 10, 9);
        f.prefixOn[i] = old[o::prefixOn + i];
        // Prefix, suffix and leading codes may fill their field without a NUL.
        copyText(f.prefixCode[i], old + o::prefixCode + 10 * i, 10, 10);
        f.suffixOn[i] = old[o::suffixOn + i];
        copyText(f.suffixCode[i], old + o::suffixCode + 10 * i, 10, 10);
        f.partialOn[i] = old[o::partialOn + i];
        f.partialStart[i] = old[o::partialStart + i];
        f.partialMaxLength[i] = old[o::partialMaxLength + i];
        f.leadCodeOn[i] = old[o::leadCodeOn + i];
        copyText(f.leadCode[i], old + o::leadCode + 6 * i, 6, 6);
        f.autoEnter[i] = old[o::autoEnter + i];
        f.inputMark[i] = old[o::inputMark + i];
    }
    f.inputLineCount = old[o::inputLineCount];
    f.currentLine = old[o::currentLine];
}

void convertLookup(LookupDef& l, const uint8_t* old) {
    l.memberLength = old[0];
    l.fieldCount = old[1];
    l.keyField = old[2];
    std::memcpy(l.fieldOffset, old + 3, kFieldsPerLookup);
    std::memcpy(l.fieldLength, old + 11, kFieldsPerLookup);
}

void convertSystem(TerminalSettings& s, const uint8_t* old) {
    s.uploadPort = old[0];
    s.downloadPort = old[1];
    s.baudRate = old[2];
    s.backlight = old[3];
    // The idle time is stored as an ASCII digit; 0 means "not set". Anything
    // that is not a digit would wrap to a nonsense count, so it is ignored
    // like 0.
    if (old[4] >= '0' && old[4] <= '9') s.backlightIdle = static_cast<uint8_t>(old[4] - '0');
    s.dataDeletion = old[5];
    s.entryOption = old[6] == 0 ? 1 : 0;   // the old "0" was "Show count"
    std::memcpy(s.securityItems, old + 8, sizeof s.securityItems);
}

void convertExtension(ProgramModel& m, const uint8_t* file) {
    const uint8_t* ext = file + kExtension;
    if (ext[0] != kExtensionMarker) return;
    m.settings.separateDataFiles = ext[11];
    m.legacyBlock[4] = ext[1];
    for (int k = 0; k < kLookupCount; ++k) {
        m.lookups[k].delimiter = ext[2 + k];
        m.lookups[k].uploadable = ext[5 + k];
        m.lookups[k].noMatchAction = ext[8 + k];
    }
    // The prompt-duration lines of the entry options screen are the only old
    // texts carried over, as NUL-terminated 16-character lines.
    const uint8_t* table = file + kEntryDurationTable;
    for (int i = 0; i < 2; ++i)
        setFieldText(m.msgEntryOptions.line[4 + i], 21, fieldText(table + 21 * (2 + i), 21), 16);
}

}  // namespace

void convertOlderProgram(ProgramModel& m, const DefaultTexts& defaults, const uint8_t* file) {
    std::memcpy(m.legacyWord, file + kWord, sizeof m.legacyWord);
    convertBarcode(m, file + kBarcode);
    for (int k = 0; k < kMenuCount; ++k) convertMenu(m.menus[k], file + kMenus + kMenuSize * k);
    for (int k = 0; k < kFormCount; ++k) convertForm(m.forms[k], file + kForms + kFormSize * k);
    for (int k = 0; k < kLookupCount; ++k)
        convertLookup(m.lookups[k], file + kLookups + kLookupSize * k);

    m.settings.startFrom = file[kProgramStart];
    m.settings.delimiter1 = file[kDelimiters];
    m.settings.delimiter2 = file[kDelimiters + 1];
    convertSystem(m.settings, file + kSystem);
    std::memcpy(m.settings.password, file + kPassword, 10);
    m.settings.password[10] = 0;
    m.settings.password[11] = 0;

    // The old tables have other lines and lengths; the texts start afresh.
    copyDefaultTexts(m, defaults);
    convertExtension(m, file);
}

}  // namespace fw
