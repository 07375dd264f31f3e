// Conversion of the preceding family's program files. The old offsets are
// written out here as numbers on purpose: they are the file format, and a
// slip in the converter's own constants must show.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/unit/labelled_default_texts.h"

namespace fw {
namespace {

using test::copyInto;
using test::makeDefaults;
using test::two;

// The model an older file is converted into: New, then every byte the
// conversion must leave alone set to a recognisable pattern.
std::unique_ptr<ProgramModel> baseModel(const DefaultTexts& d) {
    auto m = std::make_unique<ProgramModel>();
    newProgram(*m, d);
    uint8_t* body = modelBody(*m);
    uint32_t seed = 77;
    for (std::size_t i = 0; i < kModelBodySize; ++i) {
        seed = seed * 1664525u + 1013904223u;
        body[i] = static_cast<uint8_t>((seed >> 24) | 1);   // never 0
    }
    m->settings.version = 2;
    m->settings.largeFont = 0;
    return m;
}

// Builds an older file byte by byte.
class OldFile {
public:
    explicit OldFile(const char* header = "K2x-4.00") : bytes_(10510, 0) {
        std::memcpy(bytes_.data(), header, 8);
    }
    uint8_t* at(std::size_t offset) { return &bytes_[offset]; }
    uint8_t* barcode() { return at(11); }
    uint8_t* menu(int k) { return at(35 + 250 * static_cast<std::size_t>(k)); }
    uint8_t* form(int k) { return at(2535 + 601 * static_cast<std::size_t>(k)); }
    uint8_t* lookup(int k) { return at(8545 + 19 * static_cast<std::size_t>(k)); }
    uint8_t* system() { return at(10466); }
    uint8_t* password() { return at(10486); }
    uint8_t* extension() { return at(10496); }
    // Writes raw characters (no NUL added) at `p`.
    static void put(uint8_t* p, std::string_view text) { std::memcpy(p, text.data(), text.size()); }

    LoadResult loadInto(ProgramModel& m, const DefaultTexts& d, std::size_t size = 10510) const {
        return loadProgramBytes(m, d, bytes_.data(), size);
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

std::string_view textOf(const uint8_t* field, std::size_t width) { return fieldText(field, width); }

bool allZero(const uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

struct StampCase {
    uint8_t d, t;
    uint8_t position, split;
    uint8_t date;            // year, month, day
    uint8_t dateSep;
    int style;               // -1: not written, keeps the model's value
    uint8_t hourMinute, second, timeSep;
};

TEST(OlderFormat, DateAndTimeModesBecomeTheStampFields) {
    const StampCase cases[kFormCount] = {
        {0, 0, 0, 1, 1, 1, -1, 1, 1, 1},
        {0, 3, 2, 0, 0, 0, -1, 1, 1, 0},
        {0, 5, 1, 0, 0, 0, -1, 1, 1, 1},
        {0, 2, 2, 0, 0, 0, -1, 1, 0, 1},
        {7, 0, 1, 0, 1, 1, 0, 0, 0, 0},    // added to the top, not split
        {3, 0, 2, 0, 1, 1, 2, 0, 0, 0},    // separator on, Day.Month.Year
        {5, 4, 2, 1, 1, 0, 1, 1, 0, 0},
        {12, 1, 1, 1, 1, 0, 2, 1, 1, 1},
        {6, 0, 2, 0, 1, 0, 2, 0, 0, 0},
        {4, 6, 2, 1, 1, 0, 0, 1, 0, 1},
    };
    auto d = makeDefaults();
    auto m = baseModel(*d);
    OldFile old;
    for (int k = 0; k < kFormCount; ++k) {
        old.form(k)[3] = cases[k].d;
        old.form(k)[4] = cases[k].t;
        m->forms[k].stampYearDigits = 1;
        m->forms[k].stampDateStyle = 1;
        setFieldText(m->forms[k].stampDateSep, "-");
        setFieldText(m->forms[k].stampTimeSep, ".");
    }
    ASSERT_TRUE(old.loadInto(*m, *d).ok());
    for (int k = 0; k < kFormCount; ++k) {
        const StampCase& c = cases[k];
        const FormDef& f = m->forms[k];
        SCOPED_TRACE("date mode " + std::to_string(c.d) + ", time mode " + std::to_string(c.t));
        EXPECT_EQ(f.stampPosition, c.position);
        EXPECT_EQ(f.stampSplit, c.split);
        EXPECT_EQ(f.stampYear, c.date);
        EXPECT_EQ(f.stampMonth, c.date);
        EXPECT_EQ(f.stampDay, c.date);
        EXPECT_EQ(f.stampYearDigits, 0);
        EXPECT_EQ(f.stampDateSepOn, c.dateSep);
        EXPECT_EQ(f.stampDateStyle, c.style < 0 ? 1 : c.style);
        EXPECT_EQ(f.stampHour, c.hourMinute);
        EXPECT_EQ(f.stampMinute, c.hourMinute);
        EXPECT_EQ(f.stampSecond, c.second);
        EXPECT_EQ(f.stampTimeSepOn, c.timeSep);
        EXPECT_EQ(0, std::memcmp(f.stampDateSep, "/", 2));
        EXPECT_EQ(0, std::memcmp(f.stampTimeSep, ":", 2));
    }
}

TEST(OlderFormat, DataTypesMoveAndPromptsAreCutByTheFormFont) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    OldFile old;
    // Form 1, large font: old types 0..7; form 2, small: old types 8..14.
    uint8_t* large = old.form(0);
    uint8_t* small = old.form(1);
    large[0] = 1;
    small[0] = 0;
    for (int i = 0; i < 8; ++i) {
        large[15 + i] = static_cast<uint8_t>(i);
        small[15 + i] = static_cast<uint8_t>(8 + i);
    }
    OldFile::put(large + 23, "ABCDEFGHIJKLMNOPQRST");          // 20 characters
    OldFile::put(large + 23 + 21, "exactly12chr");
    OldFile::put(large + 23 + 42, "AB\0leftover text");          // bytes after the NUL
    OldFile::put(small + 23, "ABCDEFGHIJKLMNOPQRSTU");          // 21, no NUL
    OldFile::put(small + 23 + 21, "sixteen chars ok");
    ASSERT_TRUE(old.loadInto(*m, *d).ok());

    const uint8_t largeTypes[8] = {0, 1, 2, 3, 4, 8, 9, 7};     // 5 -> 8, 6 -> 9
    const uint8_t smallTypes[8] = {12, 6, 10, 11, 12, 13, 14, 15};  // 8 -> 12, 9 -> 6
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m->forms[0].dataType[i], largeTypes[i]) << "old type " << i;
        EXPECT_EQ(m->forms[1].dataType[i], smallTypes[i]) << "old type " << 8 + i;
    }
    const FormDef& fl = m->forms[0];
    EXPECT_EQ(textOf(fl.prompt[0], 21), "ABCDEFGHIJKL");
    EXPECT_EQ(textOf(fl.prompt[1], 21), "exactly12chr");
    EXPECT_EQ(textOf(fl.prompt[2], 21), "AB");
    EXPECT_TRUE(allZero(fl.prompt[0] + 12, 9));
    EXPECT_TRUE(allZero(fl.prompt[2] + 2, 19));
    EXPECT_TRUE(allZero(fl.prompt[3], 21)) << "an empty old prompt clears the line";
    EXPECT_EQ(textOf(m->forms[1].prompt[0], 21), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(textOf(m->forms[1].prompt[1], 21), "sixteen chars ok");
}

// Every old field byte differs, so a field read from the wrong offset shows.
TEST(OlderFormat, FormFieldsComeFromTheirOldOffsetsAndTheRestIsKept) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    const auto base = std::make_unique<ProgramModel>(*m);
    OldFile old;
    uint8_t* f = old.form(4);
    for (int i = 0; i < 601; ++i) f[i] = static_cast<uint8_t>(i % 250 + 1);   // never 0
    f[0] = 1;        // large font
    f[3] = f[4] = 0;
    ASSERT_TRUE(old.loadInto(*m, *d).ok());

    const FormDef& n = m->forms[4];
    EXPECT_EQ(n.font, 1);
    EXPECT_EQ(n.escTarget, f[1]);
    EXPECT_EQ(n.nextTarget, f[2]);
    EXPECT_EQ(n.recordAction, f[5]);
    EXPECT_EQ(n.lookupFile, f[6]);
    struct PerLine {
        const char* name;
        const uint8_t* field;
        int oldOffset;
    } perLine[] = {
        {"link", n.link, 7},                    {"inputSource", n.inputSource, 191},
        {"minLength", n.minLength, 199},        {"maxLength", n.maxLength, 207},
        {"fixedLengthOn", n.fixedLengthOn, 215}, {"alignment", n.alignment, 223},
        {"fixedLength", n.fixedLength, 231},    {"initialValueOn", n.initialValueOn, 239},
        {"prefixOn", n.prefixOn, 327},          {"suffixOn", n.suffixOn, 415},
        {"partialOn", n.partialOn, 503},        {"partialStart", n.partialStart, 511},
        {"partialMaxLength", n.partialMaxLength, 519}, {"leadCodeOn", n.leadCodeOn, 527},
        {"autoEnter", n.autoEnter, 583},        {"inputMark", n.inputMark, 591},
    };
    for (const PerLine& p : perLine)
        for (int i = 0; i < 8; ++i) EXPECT_EQ(p.field[i], f[p.oldOffset + i]) << p.name << " " << i;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(n.dataType[i], f[15 + i]) << i;   // 16..23: codes that do not move
        // Codes fill their fields; texts keep their NUL.
        EXPECT_EQ(0, std::memcmp(n.prefixCode[i], f + 335 + 10 * i, 10)) << i;
        EXPECT_EQ(0, std::memcmp(n.suffixCode[i], f + 423 + 10 * i, 10)) << i;
        EXPECT_EQ(0, std::memcmp(n.leadCode[i], f + 535 + 6 * i, 6)) << i;
        EXPECT_EQ(textOf(n.initialValue[i], 10), std::string_view(reinterpret_cast<char*>(f + 247 + 10 * i), 9));
        EXPECT_EQ(n.initialValue[i][9], 0);
        EXPECT_EQ(textOf(n.prompt[i], 21), std::string_view(reinterpret_cast<char*>(f + 23 + 21 * i), 12));
    }
    EXPECT_EQ(n.inputLineCount, f[599]);
    EXPECT_EQ(n.currentLine, f[600]);

    // What the old format did not have stays as it was.
    const FormDef& b = base->forms[4];
    EXPECT_EQ(0, std::memcmp(n.lineText, b.lineText, sizeof n.lineText));
    EXPECT_EQ(0, std::memcmp(n.checkDigit, b.checkDigit, 1215 - 1015));   // checkDigit .. rest
}

TEST(OlderFormat, MenusAreCopiedWithTextsCutByTheirFont) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    const auto base = std::make_unique<ProgramModel>(*m);
    OldFile old;
    uint8_t* large = old.menu(0);
    uint8_t* small = old.menu(1);
    large[0] = 1;
    large[1] = 1;
    OldFile::put(large + 2, "Caption of twenty ch");
    OldFile::put(large + 23, "sixteen chars ok");
    for (int i = 233; i < 250; ++i) large[i] = static_cast<uint8_t>(i);
    OldFile::put(small + 2, "A small caption 12345");   // 21, no NUL
    OldFile::put(small + 23 + 21 * 9, "last item");
    ASSERT_TRUE(old.loadInto(*m, *d).ok());

    const MenuDef& ml = m->menus[0];
    EXPECT_EQ(ml.font, 1);
    EXPECT_EQ(ml.captionOn, 1);
    EXPECT_EQ(textOf(ml.caption, 21), "Caption of t");
    EXPECT_EQ(textOf(ml.itemName[0], 21), "sixteen char");
    EXPECT_EQ(ml.escTarget, 233);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ml.itemNext[i], 234 + i);
    EXPECT_EQ(ml.saveCaption, 244);
    EXPECT_EQ(ml.saveSelectedItem, 245);
    EXPECT_EQ(ml.passDown, 246);
    EXPECT_EQ(ml.itemCount, 247);
    EXPECT_EQ(ml.selectedItem, 248);
    EXPECT_EQ(ml.reserved249, 249);
    EXPECT_EQ(0, std::memcmp(ml.rest, base->menus[0].rest, sizeof ml.rest));

    EXPECT_EQ(textOf(m->menus[1].caption, 21), "A small caption ");
    EXPECT_EQ(textOf(m->menus[1].itemName[9], 21), "last item");
    EXPECT_TRUE(allZero(m->menus[1].itemName[0], 21));
}

TEST(OlderFormat, BarcodeBytesMergeWithTheBitsTheOldReaderLacked) {
    auto d = makeDefaults();
    for (uint8_t oldValue : {uint8_t{0xFF}, uint8_t{0x00}}) {
        const uint8_t now = static_cast<uint8_t>(~oldValue);
        auto m = baseModel(*d);
        std::memset(m->barcode.bytes, now, 23);
        OldFile old;
        std::memset(old.barcode(), oldValue, 24);
        old.barcode()[3] = 0x31;
        old.barcode()[4] = 0x32;
        old.barcode()[8] = 0x33;
        old.barcode()[23] = 0x34;
        ASSERT_TRUE(old.loadInto(*m, *d).ok());

        const uint8_t* b = m->barcode.bytes;
        SCOPED_TRACE(int{oldValue});
        for (int i : {0, 1, 5, 6, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})
            EXPECT_EQ(b[i], oldValue) << "byte " << i;
        for (int i : {3, 4, 8}) EXPECT_EQ(b[i], now) << "byte " << i;
        EXPECT_EQ(b[2], (oldValue & 0xFE) | (now & 0x01));
        EXPECT_EQ(b[7], (oldValue & 0xF8) | (now & 0x07));
        EXPECT_EQ(b[11], (oldValue & 0xDF) | (now & 0x20));
        EXPECT_EQ(b[22], (oldValue & 0x1F) | (now & 0xE0));
        EXPECT_EQ(m->legacyBlock[0], 0x31);
        EXPECT_EQ(m->legacyBlock[1], 0x32);
        EXPECT_EQ(m->legacyBlock[2], 0x33);
        EXPECT_EQ(m->legacyBlock[3], 0x34);
    }
}

TEST(OlderFormat, SystemBlockLookupsAndWordsMapToTheirFields) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    const auto base = std::make_unique<ProgramModel>(*m);
    OldFile old("K2x-3.10");
    old.at(8)[0] = 0x34;
    old.at(8)[1] = 0x12;
    old.at(10)[0] = 1;                          // program start: menu 1
    old.at(8602)[0] = ';';
    old.at(8603)[0] = '|';
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 19; ++i) old.lookup(k)[i] = static_cast<uint8_t>(100 + 19 * k + i);
    const uint8_t system[20] = {1, 2, 3, 1, '7', 1, 0, 0xEE, 1, 0, 1, 0, 1, 1, 0, 0, 1, 1, 1, 0};
    std::memcpy(old.system(), system, 20);
    OldFile::put(old.password(), "PASS567890");

    LoadResult r = old.loadInto(*m, *d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, FileFormat::Older310);
    EXPECT_TRUE(r.imported());

    EXPECT_EQ(m->legacyWord[0], 0x34);
    EXPECT_EQ(m->legacyWord[1], 0x12);
    const TerminalSettings& s = m->settings;
    EXPECT_EQ(s.startFrom, 1);
    EXPECT_EQ(s.delimiter1, ';');
    EXPECT_EQ(s.delimiter2, '|');
    EXPECT_EQ(s.uploadPort, 1);
    EXPECT_EQ(s.downloadPort, 2);
    EXPECT_EQ(s.baudRate, 3);
    EXPECT_EQ(s.backlight, 1);
    EXPECT_EQ(s.backlightIdle, 7);
    EXPECT_EQ(s.dataDeletion, 1);
    EXPECT_EQ(s.entryOption, 1) << "old 0 is Show count";
    EXPECT_EQ(0, std::memcmp(s.securityItems, system + 8, 12));
    EXPECT_EQ(0, std::memcmp(s.password, "PASS567890\0\0", 12));
    for (int k = 0; k < 3; ++k) {
        const LookupDef& l = m->lookups[k];
        const uint8_t* o = old.lookup(k);
        EXPECT_EQ(l.memberLength, o[0]);
        EXPECT_EQ(l.fieldCount, o[1]);
        EXPECT_EQ(l.keyField, o[2]);
        EXPECT_EQ(0, std::memcmp(l.fieldOffset, o + 3, 8));
        EXPECT_EQ(0, std::memcmp(l.fieldLength, o + 11, 8));
        // Without the extension block the rest of the lookup is the model's.
        EXPECT_EQ(0, std::memcmp(&l.delimiter, &base->lookups[k].delimiter, 122 - 19)) << k;
    }
    // Settings the old file had no place for are kept.
    const TerminalSettings& b = base->settings;
    EXPECT_EQ(s.promptDuration, b.promptDuration);
    EXPECT_EQ(0, std::memcmp(s.uploadPhone, b.uploadPhone, 21));
    EXPECT_EQ(0, std::memcmp(s.functionKeyMap, b.functionKeyMap, 150 - 58));   // .. reserved143
    EXPECT_EQ(s.bluetoothFlags, b.bluetoothFlags);
    EXPECT_EQ(0, std::memcmp(s.reserved256, b.reserved256, 12));
    EXPECT_EQ(s.separateDataFiles, b.separateDataFiles);
    EXPECT_EQ(0, std::memcmp(m->legacyBlock + 4, base->legacyBlock + 4, 51));

    // An idle time of 0 keeps the model's; any other entry option gives "No prompt".
    auto again = baseModel(*d);
    again->settings.backlightIdle = 4;
    old.system()[4] = 0;
    old.system()[6] = 2;
    ASSERT_TRUE(old.loadInto(*again, *d).ok());
    EXPECT_EQ(again->settings.backlightIdle, 4);
    EXPECT_EQ(again->settings.entryOption, 0);
}

TEST(OlderFormat, MessagesStartFromTheDefaults) {
    auto d = makeDefaults();
    for (uint8_t largeFont : {uint8_t{0}, uint8_t{1}}) {
        auto m = baseModel(*d);
        m->settings.largeFont = largeFont;
        OldFile old;
        std::memset(old.at(8604), 'z', 1862);   // the old tables are not used
        old.extension()[0] = '!';
        ASSERT_TRUE(old.loadInto(*m, *d).ok());
        SCOPED_TRACE(int{largeFont});
        for (int t = 0; t < kMessageTableCount; ++t)
            for (int n = 0; n < kMessageTables[t].lines; ++n)
                EXPECT_EQ(textOf(messageLine(*m, t, n), kMessageTables[t].width),
                          defaultLine(*d, t, n, largeFont != 0))
                    << kMessageTables[t].name << " line " << n + 1;
        EXPECT_TRUE(allZero(&m->reservedLines.line[0][0], sizeof m->reservedLines));
        EXPECT_EQ(textOf(m->settings.extraUtilityLines[4], 21),
                  defaultExtraUtilityLine(*d, 4, largeFont != 0));
    }
}

TEST(OlderFormat, ExtensionBlockCarriesLookupOptionsAndDurationLines) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    OldFile old;
    const uint8_t ext[14] = {'@', 0x5A, ',', ';', 0, 1, 0, 1, 2, 3, 5, 1, 0xEE, 0xEE};
    std::memcpy(old.extension(), ext, 14);
    // The fourteenth old table (4 x 21) at 9933: its lines 3 and 4.
    OldFile::put(old.at(9933), "line one");
    OldFile::put(old.at(9933 + 42), "Stay on for:");
    OldFile::put(old.at(9933 + 63), "__00 ms x 100 ms and more");   // 21 bytes, no NUL
    ASSERT_TRUE(old.loadInto(*m, *d).ok());

    EXPECT_EQ(m->settings.separateDataFiles, 1);
    EXPECT_EQ(m->legacyBlock[4], 0x5A);
    const uint8_t delimiter[3] = {',', ';', 0}, uploadable[3] = {1, 0, 1}, noMatch[3] = {2, 3, 5};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(m->lookups[k].delimiter, delimiter[k]) << k;
        EXPECT_EQ(m->lookups[k].uploadable, uploadable[k]) << k;
        EXPECT_EQ(m->lookups[k].noMatchAction, noMatch[k]) << k;
    }
    EXPECT_EQ(textOf(m->msgEntryOptions.line[4], 21), "Stay on for:");
    EXPECT_EQ(textOf(m->msgEntryOptions.line[5], 21), "__00 ms x 100 ms");
    EXPECT_EQ(textOf(m->msgEntryOptions.line[3], 21), defaultLine(*d, kMsgEntryOptions, 3, false));
}

TEST(OlderFormat, ShortOlderFilesAreRefusedWithTheModelUnchanged) {
    auto d = makeDefaults();
    auto m = baseModel(*d);
    const auto before = std::make_unique<ProgramModel>(*m);
    OldFile old;
    old.form(0)[0] = 1;
    for (std::size_t n : {10509u, 8604u, 8u}) {
        EXPECT_EQ(old.loadInto(*m, *d, n).status, LoadStatus::FormatMismatch) << n;
        EXPECT_EQ(0, std::memcmp(modelBody(*m), modelBody(*before), kModelBodySize)) << n;
    }
    old.bytes().resize(11000, 0xAB);
    EXPECT_TRUE(old.loadInto(*m, *d, 11000).ok());
    EXPECT_EQ(m->forms[0].font, 1);
}

}  // namespace
}  // namespace fw
