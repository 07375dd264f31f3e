#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"

namespace fw {
namespace {

std::vector<uint8_t> bytesOf(const uint8_t* p, std::size_t n) { return {p, p + n}; }

// A model line as the text padded with NULs to the line's width.
std::vector<uint8_t> padded(const std::string& text, std::size_t width) {
    std::vector<uint8_t> line(width, 0);
    std::memcpy(line.data(), text.data(), text.size());
    return line;
}

class ProgramDefaults : public ::testing::Test {
protected:
    void SetUp() override {
        texts = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*texts);
        model = std::make_unique<ProgramModel>();  // zero, as at start-up
    }

    // Fills the whole model with a pattern so that every byte New leaves
    // alone shows up.
    void scribble(uint8_t value) { std::memset(modelBody(*model), value, kModelBodySize); }

    std::vector<uint8_t> line(int table, int n) const {
        return bytesOf(messageLine(*model, table, n), kMessageTables[table].width);
    }

    std::unique_ptr<DefaultTexts> texts;
    std::unique_ptr<ProgramModel> model;
};

TEST_F(ProgramDefaults, FirstNewGivesTheDocumentedBarcodeBytes) {
    model->modified = true;
    newProgram(*model, *texts);
    const std::vector<uint8_t> expected = {0x9B, 0xC9, 0x00, 0x3F, 0x80, 0x2D, 0x54, 0x80,
                                           0x00, 0x19, 0x3D, 0x00, 0xFF, 0x01, 0xFE, 0x01,
                                           0xFF, 0x01, 0xFF, 0x01, 0x66, 0x03, 0x03};
    EXPECT_EQ(bytesOf(model->barcode.bytes, 23), expected);
    EXPECT_FALSE(model->modified);
}

TEST_F(ProgramDefaults, LaterNewKeepsTheBitsItDoesNotOwn) {
    std::memset(model->barcode.bytes, 0xFF, 23);
    resetBarcodeDefaults(*model);
    const uint8_t* b = model->barcode.bytes;
    EXPECT_EQ(b[4], 0xFF);  // bit 7 set, 0..6 kept
    EXPECT_EQ(b[7], 0x87);  // 10000 over kept bits 0..2
    EXPECT_EQ(b[8], 0xFF);
    EXPECT_EQ(b[11], 0x20);  // only bit 5 kept
    EXPECT_EQ(b[22], 0xE3);  // bits 5..7 kept, 2..4 cleared, 0..1 set
    EXPECT_EQ(b[2], 0x00);   // whole bytes are written whatever was there
    EXPECT_EQ(b[3], 0x3F);

    std::memset(model->barcode.bytes, 0x5A, 23);  // 0101 1010
    resetBarcodeDefaults(*model);
    EXPECT_EQ(b[4], 0xDA);
    EXPECT_EQ(b[7], 0x82);
    EXPECT_EQ(b[8], 0x5A);
    EXPECT_EQ(b[11], 0x00);
    EXPECT_EQ(b[22], 0x43);
}

TEST_F(ProgramDefaults, FormsGetTheirDefaultsAndKeepTheCarriedBytes) {
    scribble(0xAB);
    newProgram(*model, *texts);
    for (int k = 0; k < kFormCount; ++k) {
        const FormDef& f = model->forms[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(f.nextTarget, k + 1);  // an unedited form repeats itself
        EXPECT_EQ(f.escTarget, 0);
        EXPECT_EQ(f.font, 0);
        EXPECT_EQ(f.stampPosition, 0);
        EXPECT_EQ(f.stampSplit, 1);
        EXPECT_EQ(f.stampYearDigits, 0);
        EXPECT_EQ(f.stampDateSep[0], '/');
        EXPECT_EQ(f.stampDateSep[1], 0);
        EXPECT_EQ(f.stampTimeSep[0], ':');
        EXPECT_EQ(f.stampTimeSep[1], 0);
        EXPECT_EQ(f.stampSecond, 1);
        for (int i = 0; i < kLinesPerForm; ++i) {
            EXPECT_EQ(f.dataType[i], kTypeNil);
            EXPECT_EQ(fieldText(f.prompt[i]), "");
            EXPECT_EQ(f.inputSource[i], 2);
            EXPECT_EQ(f.maxLength[i], 80);
            EXPECT_EQ(f.partialStart[i], 0);
            EXPECT_EQ(f.partialMaxLength[i], 20);
            EXPECT_EQ(f.autoEnter[i], 1);
            EXPECT_EQ(bytesOf(f.prefixCode[i], 10), std::vector<uint8_t>(10, 0));
            EXPECT_EQ(bytesOf(f.leadCode[i], 6), std::vector<uint8_t>(6, 0));
            EXPECT_EQ(f.lineText[i][0], 0);
            EXPECT_EQ(f.lineText[i][1], 0xAB);  // only the first byte is New's
        }
        EXPECT_EQ(bytesOf(f.branch, 4), std::vector<uint8_t>(4, 0));
        EXPECT_EQ(f.inputLineCount, 0);
        EXPECT_EQ(f.currentLine, 0);
        EXPECT_EQ(bytesOf(f.fileName, 21), std::vector<uint8_t>(21, 0));
        EXPECT_EQ(bytesOf(f.rest, sizeof f.rest), std::vector<uint8_t>(sizeof f.rest, 0xAB));
    }
}

TEST_F(ProgramDefaults, MenusAndLookupsGetTheirDefaults) {
    scribble(0xAB);
    newProgram(*model, *texts);
    for (const MenuDef& m : model->menus) {
        // Everything before the carried tail is zero, byte 249 included.
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&m);
        EXPECT_EQ(bytesOf(p, offsetof(MenuDef, rest)),
                  std::vector<uint8_t>(offsetof(MenuDef, rest), 0));
        EXPECT_EQ(bytesOf(m.rest, sizeof m.rest), std::vector<uint8_t>(sizeof m.rest, 0xAB));
    }
    for (const LookupDef& l : model->lookups) {
        EXPECT_EQ(l.memberLength, 0);
        EXPECT_EQ(l.fieldCount, 0);
        EXPECT_EQ(l.keyField, 0);
        EXPECT_EQ(bytesOf(l.fieldOffset, 8), std::vector<uint8_t>(8, 1));
        EXPECT_EQ(bytesOf(l.fieldLength, 8), std::vector<uint8_t>(8, 0));
        EXPECT_EQ(l.delimiter, 0);
        EXPECT_EQ(l.uploadable, 1);
        EXPECT_EQ(l.noMatchAction, 0);
        EXPECT_EQ(l.badFormatAction, 0);
        EXPECT_EQ(l.readOnce, 0);
        EXPECT_EQ(bytesOf(l.rest, sizeof l.rest), std::vector<uint8_t>(sizeof l.rest, 0xAB));
    }
}

TEST_F(ProgramDefaults, TerminalSettingsGetTheirDefaults) {
    scribble(0xAB);
    newProgram(*model, *texts);
    const TerminalSettings& s = model->settings;
    EXPECT_EQ(s.version, 2);
    EXPECT_EQ(s.startFrom, 0);
    EXPECT_EQ(s.delimiter1, ',');
    EXPECT_EQ(s.delimiter2, 0);
    EXPECT_EQ(s.uploadPort, 0);
    EXPECT_EQ(bytesOf(s.uploadPhone, 21), std::vector<uint8_t>(21, 0));
    EXPECT_EQ(s.backlightIdle, 2);
    EXPECT_EQ(s.entryOption, 1);
    EXPECT_EQ(s.promptDuration, 6);
    EXPECT_EQ(bytesOf(s.password, 12), std::vector<uint8_t>(12, 0));
    EXPECT_EQ(bytesOf(s.functionKeyMap, 7), std::vector<uint8_t>(7, 0));
    EXPECT_EQ(bytesOf(s.reserved65, 3), std::vector<uint8_t>(3, 0));
    EXPECT_EQ(s.largeFont, 0);
    const std::vector<uint8_t> coupler = {1, 0, 0, 1, 0, 2, 3, 0, 0, 0, 32, 23, 0};
    EXPECT_EQ(bytesOf(&s.acousticCoupler.acDataBits, 13), coupler);
    EXPECT_EQ(s.functionKeysOn, 0xAB);  // New leaves it alone
    EXPECT_EQ(s.acVolume, 0);
    EXPECT_EQ(s.codeIdOn, 0);
    EXPECT_EQ(bytesOf(&s.codeId[0][0], 30), std::vector<uint8_t>(30, 0));
    EXPECT_EQ(s.keyClick, 2);
    EXPECT_EQ(s.goodReadBeep, 1);
    EXPECT_EQ(s.warningBeep, 2);
    EXPECT_EQ(bytesOf(s.securityBeeps, 3), std::vector<uint8_t>(3, 0));
    EXPECT_EQ(bytesOf(s.reserved143, 7), std::vector<uint8_t>(7, 0));
    EXPECT_EQ(bytesOf(s.extraUtilityLines[0], 21), padded("8.Calculator    ", 21));
    EXPECT_EQ(bytesOf(s.extraUtilityLines[4], 21), padded("3.Warning Beep  ", 21));
    EXPECT_EQ(s.bluetoothFlags, 0);
    EXPECT_EQ(bytesOf(s.reserved256, 12), std::vector<uint8_t>(12, 0xAB));

    // Nothing of an earlier (imported) program survives in the legacy blocks.
    EXPECT_EQ(bytesOf(model->legacyWord, 2), std::vector<uint8_t>(2, 0));
    EXPECT_EQ(bytesOf(model->legacyBlock, 55), std::vector<uint8_t>(55, 0));
}

TEST_F(ProgramDefaults, DefaultLinesArePaddedToTheirWidth) {
    scribble(0xAB);
    newProgram(*model, *texts);
    EXPECT_EQ(line(kMsgMainMenu, 0), padded("1.Collect   ", 16));
    EXPECT_EQ(line(kMsgMainMenu, 3), padded("            ", 16));  // blanks, not empty
    EXPECT_EQ(line(kMsgUtilities, 0), padded("1.Settings      ", 21));
    EXPECT_EQ(line(kMsgUploadPort, 4), padded("3. Modem        ", 21));
    EXPECT_EQ(line(kMsgEntryOptions, 3), padded("                ", 21));
    EXPECT_EQ(line(kMsgMiscContinuous, 2), padded("[ ESC ]: Cancel ", 21));
    EXPECT_EQ(bytesOf(&model->reservedLines.line[0][0], 64), std::vector<uint8_t>(64, 0));

    // Every line of every table holds a full-width default: 16 characters in
    // a 21-byte line, 12 in a 16-byte one, NULs after.
    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        const std::size_t chars = info.width == 21 ? 16 : 12;
        for (int n = 0; n < info.lines; ++n) {
            const uint8_t* p = messageLine(*model, t, n);
            EXPECT_EQ(fieldText(p, info.width).size(), chars) << info.name << " line " << n;
            for (std::size_t i = chars; i < info.width; ++i) EXPECT_EQ(p[i], 0) << info.name;
        }
    }
}

TEST_F(ProgramDefaults, LargeFontTakesTheTwelveCharacterTwins) {
    newProgram(*model, *texts);
    model->settings.largeFont = 1;
    copyDefaultTexts(*model, *texts);

    EXPECT_EQ(line(kMsgUtilities, 0), padded("1.Settings  ", 21));
    EXPECT_EQ(line(kMsgUploadPort, 4), padded("4. A/C      ", 21));
    EXPECT_EQ(line(kMsgUploadPort, 5), padded("", 21));  // past the twin's five lines
    EXPECT_EQ(line(kMsgEntryOptions, 3), padded("Stay __00ms ", 21));
    EXPECT_EQ(line(kMsgEntryOptions, 4), padded("", 21));
    EXPECT_EQ(line(kMsgMiscContinuous, 0), padded("F8:Ed F9:Del", 21));
    EXPECT_EQ(line(kMsgMainMenu, 0), padded("1.Collect   ", 16));  // narrow tables unchanged
    EXPECT_EQ(bytesOf(model->settings.extraUtilityLines[3], 21), padded("2.Barcode   ", 21));

    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        for (int n = 0; n < info.lines; ++n) {
            std::size_t expected = (info.twinBase == 0 || n < info.twinLines) ? 12 : 0;
            EXPECT_EQ(fieldText(messageLine(*model, t, n), info.width).size(), expected)
                << info.name << " line " << n;
        }
    }

    copyDefaultExtraUtilityLines(*model, *texts, false);
    EXPECT_EQ(bytesOf(model->settings.extraUtilityLines[3], 21), padded("2.Barcode Read  ", 21));
}

TEST_F(ProgramDefaults, DefaultTextLookupIsBoundedAndFontAware) {
    const DefaultTexts& d = *texts;
    EXPECT_STREQ(defaultLine(d, kMsgUtilities, 0, false), "1.Settings      ");
    EXPECT_STREQ(defaultLine(d, kMsgUtilities, 0, true), "1.Settings  ");
    EXPECT_STREQ(defaultLine(d, kMsgConfirm, 0, true), "Are you sure");  // no twin: same line
    EXPECT_STREQ(defaultLine(d, kMsgMainMenu, 3, false), "            ");
    EXPECT_STREQ(defaultLine(d, kMsgDownloadPort, 4, true), "");  // past the twin
    EXPECT_STREQ(defaultExtraUtilityLine(d, 0, true), "8.Calculator");
    EXPECT_STREQ(defaultExtraUtilityLine(d, 1, false), "7.Buzzer        ");
    EXPECT_STREQ(d.uploadBluetooth, "3. Bluetooth SPP");
    EXPECT_STREQ(d.uploadBluetoothLarge, "3. BT SPP   ");
    EXPECT_STREQ(d.downloadBluetooth, "3. Bluetooth SPP");
    EXPECT_STREQ(d.downloadBluetoothLarge, "3. BT SPP   ");

    for (int bad : {-1, kMessageTableCount, 1000}) {
        EXPECT_STREQ(defaultLine(d, bad, 0, false), "");
        EXPECT_STREQ(defaultLine(d, 0, bad, true), "");
        EXPECT_STREQ(defaultExtraUtilityLine(d, bad, false), "");
    }
}

}  // namespace
}  // namespace fw
