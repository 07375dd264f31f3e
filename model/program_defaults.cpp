#include "model/program_defaults.h"

#include <cstring>
#include <string_view>

#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"

namespace fw {

namespace {

template <class T>
void zero(T& field) {
    std::memset(&field, 0, sizeof field);
}

// A DefaultTexts line up to its NUL, never past its array.
template <std::size_t N>
std::string_view defaultText(const char (&line)[N]) {
    std::size_t n = 0;
    while (n < N && line[n] != '\0') ++n;
    return {line, n};
}

void resetForm(FormDef& f, int number) {
    f.font = 0;
    f.escTarget = kTargetMain;
    // An unedited form starts over with a fresh record of itself.
    f.nextTarget = targetForm(number);

    f.stampPosition = 0;
    f.stampSplit = 1;
    f.stampYear = 1;
    f.stampYearDigits = 0;
    f.stampMonth = 1;
    f.stampDay = 1;
    f.stampDateSepOn = 1;
    setFieldText(f.stampDateSep, "/");
    f.stampDateStyle = 0;
    f.stampHour = 1;
    f.stampMinute = 1;
    f.stampSecond = 1;
    f.stampTimeSepOn = 1;
    setFieldText(f.stampTimeSep, ":");
    f.recordAction = 0;
    f.lookupFile = 0;

    for (int i = 0; i < kLinesPerForm; ++i) resetLineForNew(f, i);
    zero(f.branch);
    f.inputLineCount = 0;
    f.currentLine = 0;
    f.fileNameOn = 0;
    clearField(f.fileName);
    // f.rest is not the designer's to set.
}

void resetMenu(MenuDef& m) {
    m.font = 0;
    m.captionOn = 0;
    clearField(m.caption);
    for (auto& name : m.itemName) clearField(name);
    m.escTarget = kTargetMain;
    zero(m.itemNext);
    m.saveCaption = 0;
    m.saveSelectedItem = 0;
    m.passDown = 0;
    m.itemCount = 0;
    m.selectedItem = 0;
    m.reserved249 = 0;
    // m.rest is carried as found.
}

void resetLookup(LookupDef& l) {
    l.memberLength = 0;
    l.fieldCount = 0;
    l.keyField = 0;
    std::memset(l.fieldOffset, 1, sizeof l.fieldOffset);
    zero(l.fieldLength);
    l.delimiter = 0;
    l.uploadable = 1;
    l.noMatchAction = 0;
    l.badFormatAction = 0;
    l.readOnce = 0;
    // l.rest is carried as found.
}

void resetSettings(TerminalSettings& s) {
    s.version = kSettingsVersion;
    s.startFrom = 0;
    s.delimiter1 = ',';
    s.delimiter2 = 0;
    s.separateDataFiles = 0;
    s.uploadPort = 0;
    clearField(s.uploadPhone);
    s.downloadPort = 0;
    s.baudRate = 0;
    s.backlight = 0;
    s.backlightIdle = 2;   // 20 s
    s.dataDeletion = 0;
    s.entryOption = 1;     // show count
    s.promptDuration = 6;  // 600 ms
    zero(s.securityItems);
    clearField(s.password);
    zero(s.functionKeyMap);
    zero(s.reserved65);
    s.largeFont = 0;

    AcousticCoupler& ac = s.acousticCoupler;
    ac.acDataBits = 1;  // 8 bits
    ac.acStopBits = 0;  // 1 stop bit
    ac.acParity = 0;    // none
    ac.acToneLength = 1;
    ac.acSendControlChars = 0;
    ac.acStartOfText = 2;  // STX
    ac.acEndOfText = 3;    // ETX
    ac.acBlockMode = 0;
    ac.acBlockSize = 0;    // 80
    ac.acBlockDelay = 0;
    ac.acPadChar = 32;     // SP
    ac.acEndOfBlock = 23;  // ETB
    ac.acSendBlockCheck = 0;

    // functionKeysOn is left as it was: New does not touch it.
    s.acVolume = 0;
    s.codeIdOn = 0;
    zero(s.codeId);
    s.modemSpeed = 0;
    clearField(s.downloadPhone);
    s.keyClick = 2;
    s.goodReadBeep = 1;
    s.warningBeep = 2;
    zero(s.securityBeeps);
    zero(s.reserved143);
    // extraUtilityLines come with the other default texts (copyDefaultTexts).
    s.bluetoothFlags = 0;
    // reserved256 is left as it was.
}

}  // namespace

void resetBarcodeDefaults(ProgramModel& m) {
    uint8_t* b = m.barcode.bytes;
    b[0] = 0x9B;
    b[1] = 0xC9;
    b[2] = 0x00;
    b[3] = 0x3F;
    b[4] = static_cast<uint8_t>(b[4] | 0x80);           // bits 0..6 kept
    b[5] = 0x2D;
    b[6] = 0x54;
    b[7] = static_cast<uint8_t>((b[7] & 0x07) | 0x80);  // bits 7..3 = 10000, 0..2 kept
    // b[8] kept whole.
    b[9] = 0x19;
    b[10] = 0x3D;
    b[11] = static_cast<uint8_t>(b[11] & 0x20);          // only bit 5 kept
    static constexpr uint8_t kBytes12To21[] = {0xFF, 0x01, 0xFE, 0x01, 0xFF,
                                               0x01, 0xFF, 0x01, 0x66, 0x03};
    std::memcpy(b + 12, kBytes12To21, sizeof kBytes12To21);
    b[22] = static_cast<uint8_t>((b[22] & 0xE0) | 0x03); // bits 0,1 set; 2..4 clear; 5..7 kept
}

void resetRecords(ProgramModel& m, const DefaultTexts& d) {
    for (int k = 0; k < kFormCount; ++k) resetForm(m.forms[k], k + 1);
    for (auto& menu : m.menus) resetMenu(menu);
    for (auto& lookup : m.lookups) resetLookup(lookup);
    resetSettings(m.settings);
    copyDefaultTexts(m, d);
}

void copyDefaultTexts(ProgramModel& m, const DefaultTexts& d) {
    const bool largeFont = m.settings.largeFont != 0;
    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        // Wide tables take their twelve-character twins with the large font;
        // lines past the twin's count are left empty.
        const bool twin = largeFont && info.twinBase != 0;
        const std::size_t chars = twin ? charsOfLine(16) : charsOfLine(info.width);
        for (int n = 0; n < info.lines && n < kMaxTableLines; ++n) {
            std::string_view text = twin ? defaultText(d.largeLines[t][n]) : defaultText(d.lines[t][n]);
            setFieldText(messageLine(m, t, n), info.width, text, chars);
        }
    }
    zero(m.reservedLines);
    copyDefaultExtraUtilityLines(m, d, largeFont);
}

void copyDefaultExtraUtilityLines(ProgramModel& m, const DefaultTexts& d, bool largeFont) {
    for (int n = 0; n < kExtraUtilityLineCount; ++n) {
        std::string_view text = largeFont ? defaultText(d.extraUtilityLarge[n])
                                          : defaultText(d.extraUtility[n]);
        setFieldText(m.settings.extraUtilityLines[n], text);
    }
}

void newProgram(ProgramModel& m, const DefaultTexts& d) {
    m.modified = false;
    // A new program inherits nothing from a file imported earlier: both legacy
    // blocks are zero unless an older file supplied them, and the standalone
    // downloader sends legacyBlock to the terminal.
    zero(m.legacyWord);
    zero(m.legacyBlock);
    resetBarcodeDefaults(m);
    resetRecords(m, d);
}

}  // namespace fw
