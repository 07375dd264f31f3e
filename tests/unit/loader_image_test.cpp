// The downloader's older normalisation and image rules, against
// expectations built by hand; and the program file as it takes it.

#include "loader/loader_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "loader/loader_program.h"
#include "model/fixed_text.h"
#include "model/program_file.h"

namespace fw::loader {
namespace {

std::unique_ptr<ProgramModel> zeroModel() {
    auto m = std::make_unique<ProgramModel>();
    std::memset(modelBody(*m), 0, kModelBodySize);
    return m;
}

std::string bytesAt(const uint8_t* p, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::unique_ptr<ProgramImage> image(const ProgramModel& m) {
    auto img = std::make_unique<ProgramImage>();
    std::memset(img->bytes, 0xAA, sizeof img->bytes);   // the builder must clear it
    buildLoaderImage(m, *img);
    return img;
}

TEST(LoaderNormalise, MenuTextsAre15Or20Wide) {
    auto m = zeroModel();
    MenuDef& large = m->menus[0];
    large.font = 1;
    large.captionOn = 1;
    setFieldText(large.caption, "Stock");
    setFieldText(large.itemName[0], "Count");
    setFieldText(large.itemName[2], "   ");
    setFieldText(large.itemName[4], "Ship");
    MenuDef& small = m->menus[1];
    setFieldText(small.caption, "Hidden");   // caption not shown: untouched
    setFieldText(small.itemName[9], "A long item name");   // 16 characters

    normaliseForLoader(*m);

    EXPECT_EQ(bytesAt(large.caption, 16), "Stock" + std::string(10, ' ') + '\0');
    EXPECT_EQ(bytesAt(large.itemName[0], 16), "Count" + std::string(10, ' ') + '\0');
    EXPECT_EQ(bytesAt(large.itemName[2], 16), std::string(15, ' ') + '\0');
    EXPECT_EQ(large.itemCount, 2);
    EXPECT_EQ(bytesAt(small.caption, 7), std::string("Hidden") + '\0');
    EXPECT_EQ(bytesAt(small.itemName[9], 21), "A long item name    " + std::string(1, '\0'));
    EXPECT_EQ(bytesAt(small.itemName[0], 21), std::string(20, ' ') + '\0');
    EXPECT_EQ(small.itemCount, 1);
}

TEST(LoaderNormalise, LargeFontFormsKeepFourLinesAndLengthsAreCut) {
    auto m = zeroModel();
    FormDef& f = m->forms[2];
    f.font = 1;
    for (int i = 0; i < kLinesPerForm; ++i) {
        f.dataType[i] = kTypeText;
        f.link[i] = uint8_t(i + 1);
        setFieldText(f.prompt[i], "Line");
    }
    f.maxLength[0] = 60;
    f.minLength[0] = 55;
    f.maxLength[1] = 20;
    f.minLength[1] = 30;
    f.maxLength[2] = 50;
    f.minLength[2] = 5;

    normaliseForLoader(*m);

    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.dataType[i], kTypeText) << i;
        EXPECT_EQ(f.link[i], i + 1) << i;
        EXPECT_EQ(fieldText(f.prompt[i]), "Line") << i;
    }
    for (int i = 4; i < kLinesPerForm; ++i) {
        EXPECT_EQ(f.dataType[i], kTypeNil) << i;
        EXPECT_EQ(f.link[i], 0) << i;
        EXPECT_EQ(f.prompt[i][0], 0) << i;
    }
    EXPECT_EQ(f.maxLength[0], 50);
    EXPECT_EQ(f.minLength[0], 50);
    EXPECT_EQ(f.maxLength[1], 20);
    EXPECT_EQ(f.minLength[1], 20);
    EXPECT_EQ(f.maxLength[2], 50);
    EXPECT_EQ(f.minLength[2], 5);
    EXPECT_EQ(f.inputLineCount, 4);
}

TEST(LoaderNormalise, LinksStayOnlyBelowType8AndOnlyTypes1To6AreInput) {
    auto m = zeroModel();
    FormDef& f = m->forms[0];
    // Small font: all eight lines are kept.
    const uint8_t types[kLinesPerForm] = {kTypeInteger, kTypeLookup, kTypeExtension, kTypeFixedData,
                                          kTypePause,   kTypeAlphanumeric, 15,       kTypeNil};
    for (int i = 0; i < kLinesPerForm; ++i) {
        f.dataType[i] = types[i];
        f.link[i] = 9;
        setFieldText(f.prompt[i], "P");
    }

    normaliseForLoader(*m);

    const uint8_t links[kLinesPerForm] = {9, 9, 0, 0, 0, 0, 0, 0};
    const char* prompts[kLinesPerForm] = {"P", "P", "", "P", "P", "P", "P", ""};
    for (int i = 0; i < kLinesPerForm; ++i) {
        EXPECT_EQ(f.link[i], links[i]) << "line " << i;
        EXPECT_EQ(fieldText(f.prompt[i]), prompts[i]) << "line " << i;
    }
    // Pause (13) and alphanumeric (14) are not input lines here; the integer
    // at line 0 is the last one.
    EXPECT_EQ(f.inputLineCount, 1);
}

TEST(LoaderImage, LegacyBlockGoesWithItsFirstBytesRaised) {
    auto m = zeroModel();
    for (std::size_t i = 0; i < sizeof m->legacyBlock; ++i) m->legacyBlock[i] = uint8_t(i);
    m->legacyBlock[0] = 7;
    m->legacyBlock[1] = 0x93;   // 1 00 10 01 1: bits 1-2 = 1, bits 3-4 = 2, bits 0 and 7 set
    auto img = image(*m);
    EXPECT_EQ(img->bytes[18507], 8);
    EXPECT_EQ(img->bytes[18508], 0x9D);   // 1 00 11 10 1
    for (std::size_t i = 2; i < 55; ++i) EXPECT_EQ(img->bytes[18507 + i], i) << i;

    // Zero fields stay zero; a full field wraps within its two bits.
    m->legacyBlock[0] = 0xFF;
    m->legacyBlock[1] = 0x81;
    EXPECT_EQ(image(*m)->bytes[18507], 0);
    EXPECT_EQ(image(*m)->bytes[18508], 0x81);
    m->legacyBlock[1] = 0x06;   // bits 1-2 = 3, bits 3-4 = 0
    EXPECT_EQ(image(*m)->bytes[18508], 0x00);
}

TEST(LoaderImage, OnlyTheOlderSettingsAdjustmentsAndAnUpperCasePassword) {
    auto m = zeroModel();
    TerminalSettings& s = m->settings;
    s.version = 2;
    s.startFrom = 1;
    s.uploadPort = 2;
    s.downloadPort = 1;
    s.baudRate = 0;
    s.backlight = 1;
    s.backlightIdle = 2;
    s.dataDeletion = 1;
    s.entryOption = 0;
    s.modemSpeed = 3;
    s.keyClick = 2;
    s.goodReadBeep = 1;
    s.warningBeep = 2;
    std::memcpy(s.password, "ab1-xyzQrsgh", 12);
    setFieldText(s.extraUtilityLines[0], "8.Calculator");
    setFieldText(s.extraUtilityLines[1], "Clock");
    m->lookups[1].memberLength = 10;   // a lookup file in use
    m->lookups[1].fieldCount = 2;

    auto img = image(*m);
    const uint8_t* out = img->bytes + 18562;
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 11);
    EXPECT_EQ(out[5], 3);
    EXPECT_EQ(out[27], 2);
    EXPECT_EQ(out[28], 1);
    EXPECT_EQ(out[29], 2);
    EXPECT_EQ(out[30], '2');
    EXPECT_EQ(out[31], 2);
    EXPECT_EQ(out[32], 1);
    // The designer raises these; the downloader never did.
    EXPECT_EQ(out[115], 3);
    EXPECT_EQ(out[137], 2);
    EXPECT_EQ(out[138], 1);
    EXPECT_EQ(out[139], 2);
    EXPECT_EQ(bytesAt(out + 46, 12), "AB1-XYZQRSgh");
    // Utility lines as they are: no "9", no padding.
    EXPECT_EQ(bytesAt(out + 150, 13), std::string("8.Calculator") + '\0');
    EXPECT_EQ(bytesAt(out + 171, 6), std::string("Clock") + '\0');

    s.startFrom = 0;
    EXPECT_EQ(image(*m)->bytes[18562 + 1], 1);
}

TEST(LoaderImage, RecordsAndTextSlotsAsTheDesignerLaysThemOut) {
    auto m = zeroModel();
    m->barcode.bytes[0] = 0x41;
    m->barcode.bytes[22] = 0x42;
    m->menus[0].font = 1;
    m->menus[0].captionOn = 1;
    setFieldText(m->menus[0].caption, "Menu");
    m->forms[9].dataType[0] = kTypeText;
    m->lookups[2].rest[97] = 0x5A;
    setFieldText(m->reservedLines.line[0], "RES");
    setFieldText(m->msgMainMenu.line[1], "1.Collect");
    setFieldText(m->msgUtilities.line[7], "7.Sixteen chars!");
    setFieldText(m->msgMiscContinuous.line[2], "end");
    normaliseForLoader(*m);
    auto img = image(*m);

    EXPECT_EQ(img->bytes[0], 0x41);
    EXPECT_EQ(img->bytes[22], 0x42);
    EXPECT_EQ(bytesAt(img->bytes + 23 + 2, 16), "Menu" + std::string(11, ' ') + '\0');
    EXPECT_EQ(img->bytes[3523 + 9 * 1215 + 29], kTypeText);
    EXPECT_EQ(img->bytes[3523 + 9 * 1215 + 1013], 1);   // inputLineCount
    EXPECT_EQ(img->bytes[15673 + 2 * 122 + 24 + 97], 0x5A);
    // Every slot: its text, spaces to 15 or 20 characters, a NUL.
    EXPECT_EQ(bytesAt(img->bytes + 16039, 16), "RES" + std::string(12, ' ') + '\0');
    EXPECT_EQ(bytesAt(img->bytes + 16039 + 16, 16), std::string(15, ' ') + '\0');
    EXPECT_EQ(bytesAt(img->bytes + 16103 + 16, 16), "1.Collect" + std::string(6, ' ') + '\0');
    EXPECT_EQ(bytesAt(img->bytes + 16167 + 7 * 21, 21), "7.Sixteen chars!    " + std::string(1, '\0'));
    EXPECT_EQ(bytesAt(img->bytes + 18444 + 2 * 21, 21), "end" + std::string(17, ' ') + '\0');
    for (std::size_t i = 18830; i < kProgramImageSize; ++i) ASSERT_EQ(img->bytes[i], 0) << i;
}

std::vector<uint8_t> programFile(const ProgramModel& m, std::size_t size = kProgramFileSize,
                                 const char* header = "K400-1.00") {
    std::vector<uint8_t> bytes(kProgramFileSize, 0);
    std::memcpy(bytes.data(), header, std::strlen(header));
    std::memcpy(bytes.data() + 10, modelBody(m), kModelBodySize);
    bytes.resize(size);
    return bytes;
}

TEST(LoaderProgramFile, TakesAnyVersionOfTheFamilyThatHoldsEveryBlock) {
    auto m = zeroModel();
    EXPECT_EQ(checkProgramBytes(programFile(*m)), ProgramFileStatus::ok);
    EXPECT_EQ(checkProgramBytes(programFile(*m, kProgramFileBodyEnd)), ProgramFileStatus::ok);
    EXPECT_EQ(checkProgramBytes(programFile(*m, kProgramFileSize, "K400-2.05")), ProgramFileStatus::ok);
    EXPECT_EQ(checkProgramBytes(programFile(*m, kProgramFileBodyEnd - 1)),
              ProgramFileStatus::formatMismatch);
    EXPECT_EQ(checkProgramBytes(programFile(*m, kOlderFileSize, "K2x-4.00")),
              ProgramFileStatus::formatMismatch);
    EXPECT_EQ(checkProgramBytes(programFile(*m, kProgramFileSize, "MZ")),
              ProgramFileStatus::formatMismatch);

    std::vector<uint8_t> bytes;
    EXPECT_EQ(readProgramFile("no such folder/no such file.FWX", bytes), ProgramFileStatus::cannotOpen);
}

TEST(LoaderProgramFile, TheImageIsBuiltOnceFromTheFileInFileOrder) {
    auto m = zeroModel();
    m->forms[0].font = 1;
    m->forms[0].dataType[5] = kTypeText;
    m->settings.backlightIdle = 4;
    m->legacyBlock[0] = 1;
    LoaderProgram program(programFile(*m));
    EXPECT_FALSE(program.prepared());
    program.prepare();
    ASSERT_TRUE(program.prepared());
    // The copy was normalised, not the caller's model.
    EXPECT_EQ(program.model().forms[0].dataType[5], kTypeNil);

    auto expected = image(program.model());
    EXPECT_EQ(0, std::memcmp(program.image().bytes, expected->bytes, kProgramImageSize));
    EXPECT_EQ(program.image().bytes[18562 + 30], '4');
    EXPECT_EQ(program.image().bytes[18507], 2);

    const ProgramImage* first = &program.image();
    program.prepare();
    EXPECT_EQ(&program.image(), first);
}

}  // namespace
}  // namespace fw::loader
