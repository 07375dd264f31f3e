#include "comm/program_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "model/fixed_text.h"
#include "model/message_tables.h"

namespace fw {
namespace {

std::unique_ptr<ProgramModel> emptyModel() { return std::make_unique<ProgramModel>(); }

std::string bytesAt(const uint8_t* p, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string imageBytes(const ProgramImage& image, std::size_t offset, std::size_t n) {
    return bytesAt(image.bytes + offset, n);
}

std::unique_ptr<ProgramImage> build(const ProgramModel& m) {
    auto image = std::make_unique<ProgramImage>();
    std::memset(image->bytes, 0xAA, sizeof image->bytes);  // the builder must clear it
    buildProgramImage(m, *image);
    return image;
}

// ---------------------------------------------------------------- menus

TEST(NormaliseMenu, CaptionIsPaddedToTheFontWidthOnlyWhenShown) {
    auto m = emptyModel();
    MenuDef& large = m->menus[0];
    large.font = 1;
    large.captionOn = 1;
    setFieldText(large.caption, "Stock");

    MenuDef& hidden = m->menus[1];
    hidden.font = 1;
    setFieldText(hidden.caption, "Stock");
    uint8_t hiddenBefore[21];
    std::memcpy(hiddenBefore, hidden.caption, sizeof hiddenBefore);

    MenuDef& longSmall = m->menus[2];
    longSmall.captionOn = 1;
    setFieldText(longSmall.caption, "ABCDEFGHIJKLMNOPQRST");  // 20 characters

    normaliseForDownload(*m);

    EXPECT_EQ(bytesAt(large.caption, 13), std::string("Stock       ") + '\0');
    EXPECT_EQ(0, std::memcmp(hidden.caption, hiddenBefore, sizeof hiddenBefore));
    EXPECT_EQ(fieldText(longSmall.caption), "ABCDEFGHIJKLMNOP");
}

TEST(NormaliseMenu, CountsNonBlankItemsWithinTheWidthAndPadsEveryItem) {
    auto m = emptyModel();
    MenuDef& menu = m->menus[4];
    menu.font = 1;  // 12 characters
    setFieldText(menu.itemName[0], "Receive");
    setFieldText(menu.itemName[1], "      ");
    setFieldText(menu.itemName[2], "Ship");
    // Its only visible character lies past the width: blank on the terminal.
    setFieldText(menu.itemName[3], "            X");
    // Control characters are not text; ANSI letters above 0x7F are.
    setFieldText(menu.itemName[4], "\t\t");
    setFieldText(menu.itemName[5], "\xE9");
    menu.itemCount = 9;

    normaliseForDownload(*m);

    EXPECT_EQ(menu.itemCount, 3);
    EXPECT_EQ(bytesAt(menu.itemName[0], 13), std::string("Receive     ") + '\0');
    EXPECT_EQ(bytesAt(menu.itemName[1], 13), std::string(12, ' ') + '\0');
    EXPECT_EQ(bytesAt(menu.itemName[3], 13), std::string(12, ' ') + '\0');
    EXPECT_EQ(bytesAt(menu.itemName[9], 13), std::string(12, ' ') + '\0');

    // A small-font menu with items 1 and 3 pads to 16.
    MenuDef& small = m->menus[5];
    setFieldText(small.itemName[0], "One");
    setFieldText(small.itemName[1], "   ");
    setFieldText(small.itemName[2], "Three");
    normaliseForDownload(*m);
    EXPECT_EQ(small.itemCount, 2);
    EXPECT_EQ(bytesAt(small.itemName[2], 17), std::string("Three           ") + '\0');
    EXPECT_EQ(m->menus[9].itemCount, 0);
}

TEST(NormaliseMenu, ItemFillingItsWholeSlotIsCutAtTheWidth) {
    auto m = emptyModel();
    std::memset(m->menus[0].itemName[0], 'Z', 21);  // no NUL at all
    normaliseForDownload(*m);
    EXPECT_EQ(fieldText(m->menus[0].itemName[0]), std::string(16, 'Z'));
    EXPECT_EQ(m->menus[0].itemCount, 1);
}

// ---------------------------------------------------------------- forms

TEST(NormaliseForm, InputLineCountAndLinesWithoutPromptOrLink) {
    auto m = emptyModel();
    FormDef& f = m->forms[0];
    const uint8_t types[8] = {kTypeText, kTypeNil, kTypeInteger, kTypeNil,
                              kTypeNil,  kTypeNil, kTypeNil,     kTypeNil};
    for (int i = 0; i < 8; ++i) {
        f.dataType[i] = types[i];
        f.link[i] = static_cast<uint8_t>(i + 1);
        setFieldText(f.prompt[i], "Prompt " + std::to_string(i));
    }

    normaliseForDownload(*m);

    EXPECT_EQ(f.inputLineCount, 3);
    for (int i : {1, 3, 4, 7}) {
        EXPECT_EQ(f.prompt[i][0], 0) << "line " << i;
        EXPECT_EQ(f.link[i], 0) << "line " << i;
    }
    EXPECT_EQ(fieldText(f.prompt[0]), "Prompt 0");
    EXPECT_EQ(f.link[0], 1);
    EXPECT_EQ(fieldText(f.prompt[2]), "Prompt 2");
    EXPECT_EQ(f.link[2], 3);
}

TEST(NormaliseForm, LinksAndCountsByDataType) {
    auto m = emptyModel();

    // A form of lookup lines only has no input line, and keeps its links.
    FormDef& lookupOnly = m->forms[1];
    lookupOnly.dataType[0] = kTypeLookup;
    lookupOnly.dataType[5] = kTypeLookup;
    lookupOnly.link[0] = 2;
    lookupOnly.inputLineCount = 7;

    // Fixed data keeps its prompt (it is its value) but loses the link.
    FormDef& mixed = m->forms[2];
    const uint8_t types[8] = {kTypeFixedData, kTypePrompt,    kTypePause,     kTypeExtension,
                              kTypeCounter,   kTypePassDown, kTypeAlphanumeric, 200};
    for (int i = 0; i < 8; ++i) {
        mixed.dataType[i] = types[i];
        mixed.link[i] = 5;
        setFieldText(mixed.prompt[i], "P");
    }

    normaliseForDownload(*m);

    EXPECT_EQ(lookupOnly.inputLineCount, 0);
    EXPECT_EQ(lookupOnly.link[0], 2);

    EXPECT_EQ(fieldText(mixed.prompt[0]), "P");
    EXPECT_EQ(fieldText(mixed.prompt[2]), "P");
    EXPECT_EQ(mixed.prompt[3][0], 0);  // extension
    for (int i : {0, 1, 2, 3, 4, 5, 7}) EXPECT_EQ(mixed.link[i], 0) << "line " << i;
    EXPECT_EQ(mixed.link[6], 5);  // alphanumeric keeps its link
    // Alphanumeric on line 7 is the last input line; type 200 does not count.
    EXPECT_EQ(mixed.inputLineCount, 7);

    // A pause is an input line.
    FormDef& pause = m->forms[3];
    pause.dataType[4] = kTypePause;
    pause.dataType[6] = kTypeLookup;
    normaliseForDownload(*m);
    EXPECT_EQ(pause.inputLineCount, 5);
}

// ---------------------------------------------------------------- settings

TEST(ImageSettings, AdjustmentsAreMadeOnACopy) {
    auto m = emptyModel();
    TerminalSettings& s = m->settings;
    s.version = 2;
    s.startFrom = 0;
    s.uploadPort = 4;
    s.downloadPort = 3;
    s.baudRate = 0;
    s.backlight = 1;
    s.backlightIdle = 2;
    s.dataDeletion = 1;
    s.entryOption = 2;
    s.promptDuration = 6;
    s.modemSpeed = 0;
    s.keyClick = 2;
    s.goodReadBeep = 1;
    s.warningBeep = 2;
    s.password[0] = 'X';
    const TerminalSettings before = s;

    auto image = build(*m);
    const uint8_t* img = image->bytes + 18562;

    EXPECT_EQ(img[0], 2);       // version
    EXPECT_EQ(img[1], 1);       // form 1
    EXPECT_EQ(img[5], 5);       // upload port
    EXPECT_EQ(img[27], 4);      // download port
    EXPECT_EQ(img[28], 1);      // 115200 sent as 1
    EXPECT_EQ(img[29], 2);      // backlight
    EXPECT_EQ(img[30], '2');    // idle time as its digit
    EXPECT_EQ(img[31], 2);
    EXPECT_EQ(img[32], 3);
    EXPECT_EQ(img[33], 6);      // prompt duration unchanged
    EXPECT_EQ(img[46], 'X');
    EXPECT_EQ(img[115], 1);
    EXPECT_EQ(img[137], 3);
    EXPECT_EQ(img[138], 2);
    EXPECT_EQ(img[139], 3);
    EXPECT_EQ(0, std::memcmp(&m->settings, &before, sizeof before));

    m->settings.startFrom = 1;
    EXPECT_EQ(build(*m)->bytes[18562 + 1], 11);  // menu 1
    m->settings.startFrom = 7;
    EXPECT_EQ(build(*m)->bytes[18562 + 1], 11);
}

TEST(ImageSettings, CalculatorDigitFollowsTheLookupFiles) {
    auto m = emptyModel();
    setFieldText(m->settings.extraUtilityLines[0], "8.Calculator    ");
    const std::size_t line1 = 18562 + 150;

    EXPECT_EQ(build(*m)->bytes[line1], '8');

    // A lookup needs both its member length and its field count.
    m->lookups[0].memberLength = 20;
    m->lookups[1].fieldCount = 3;
    EXPECT_EQ(build(*m)->bytes[line1], '8');

    m->lookups[2].memberLength = 1;
    m->lookups[2].fieldCount = 1;
    auto image = build(*m);
    EXPECT_EQ(imageBytes(*image, line1, 17), std::string("9.Calculator    ") + '\0');
    EXPECT_EQ(m->settings.extraUtilityLines[0][0], '8');

    // Any digit is replaced; any other first character stays.
    setFieldText(m->settings.extraUtilityLines[0], "0.Rechner");
    EXPECT_EQ(build(*m)->bytes[line1], '9');
    setFieldText(m->settings.extraUtilityLines[0], "Calculator");
    EXPECT_EQ(build(*m)->bytes[line1], 'C');
}

TEST(ImageSettings, ExtraUtilityLinesFollowTheLargeFont) {
    auto m = emptyModel();
    setFieldText(m->settings.extraUtilityLines[0], "8.Calculator    ");
    setFieldText(m->settings.extraUtilityLines[1], "7.Buzzer");
    setFieldText(m->settings.extraUtilityLines[2], "");
    std::memset(m->settings.extraUtilityLines[3], 'W', 21);  // no NUL
    setFieldText(m->settings.extraUtilityLines[4], "3.Warning");
    const std::size_t base = 18562 + 150;

    auto small = build(*m);
    EXPECT_EQ(imageBytes(*small, base + 21, 17), std::string("7.Buzzer        ") + '\0');
    EXPECT_EQ(imageBytes(*small, base + 42, 17), std::string(16, ' ') + '\0');
    EXPECT_EQ(imageBytes(*small, base + 63, 17), std::string(16, 'W') + '\0');
    // The fifth line goes as it is.
    EXPECT_EQ(imageBytes(*small, base + 84, 21), bytesAt(m->settings.extraUtilityLines[4], 21));

    m->settings.largeFont = 1;
    auto large = build(*m);
    EXPECT_EQ(imageBytes(*large, base, 13), std::string("8.Calculator") + '\0');
    EXPECT_EQ(imageBytes(*large, base + 21, 13), std::string("7.Buzzer    ") + '\0');
    EXPECT_EQ(imageBytes(*large, base + 63, 13), std::string(12, 'W') + '\0');
    EXPECT_EQ(imageBytes(*large, base + 84, 21), bytesAt(m->settings.extraUtilityLines[4], 21));
    EXPECT_EQ(fieldText(m->settings.extraUtilityLines[1]), "7.Buzzer");
}

// ---------------------------------------------------------------- texts

struct TableAt {
    int table;  // index into kMessageTables, -1 for reservedLines
    std::size_t firstImageByte;
};

// Where the terminal expects each text table.
const TableAt kDocumentedTables[] = {
    {-1, 16039},
    {kMsgMainMenu, 16103},        {kMsgUtilities, 16167},     {kMsgDeleteData, 16335},
    {kMsgConfirm, 16399},         {kMsgMemoryPower, 16463},   {kMsgLoadLookup, 16527},
    {kMsgSettings, 16639},        {kMsgUploadPort, 16807},    {kMsgDownloadPort, 16933},
    {kMsgBaudRate, 17059},        {kMsgBacklight, 17164},     {kMsgDataDeletion, 17248},
    {kMsgEntryOptions, 17332},    {kMsgViewSettings, 17458},  {kMsgSystemFault, 17626},
    {kMsgUploadData, 17674},      {kMsgSetPhoneNumber, 17754}, {kMsgSaveRecord, 17838},
    {kMsgDeleteRecord, 17918},    {kMsgAutoDeleteData, 17998}, {kMsgSetPassword, 18046},
    {kMsgConnecting, 18078},      {kMsgModemConnection, 18142}, {kMsgErrorMessages, 18190},
    {kMsgMiscellaneous, 18316},   {kMsgMiscContinuous, 18444},
};

TEST(ImageTexts, EveryTableStartsAtItsPlaceWithEachSlotRepadded) {
    auto m = emptyModel();
    // Mark the first and last line of every table.
    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        const std::string tag = "T" + std::to_string(t);
        setFieldText(messageLine(*m, t, 0), info.width, tag, info.width - 1u);
        setFieldText(messageLine(*m, t, info.lines - 1), info.width, tag + "z", info.width - 1u);
    }
    auto image = build(*m);

    for (const TableAt& at : kDocumentedTables) {
        if (at.table < 0) {
            for (int line = 0; line < 4; ++line) {
                EXPECT_EQ(imageBytes(*image, at.firstImageByte + 16u * line, 16),
                          std::string(15, ' ') + '\0');
            }
            continue;
        }
        const MessageTableInfo& info = kMessageTables[at.table];
        const std::string tag = "T" + std::to_string(at.table);
        const std::size_t chars = info.width - 1u;
        EXPECT_EQ(imageBytes(*image, at.firstImageByte, info.width),
                  tag + std::string(chars - tag.size(), ' ') + '\0')
            << info.name;
        const std::size_t last = at.firstImageByte + (info.lines - 1u) * info.width;
        EXPECT_EQ(imageBytes(*image, last, info.width),
                  tag + "z" + std::string(chars - tag.size() - 1, ' ') + '\0')
            << info.name;
    }
    // Texts end where the 55 zero bytes begin.
    EXPECT_EQ(image->bytes[18506], 0);
    EXPECT_EQ(image->bytes[18505], ' ');
}

TEST(ImageTexts, MainMenuLineAndSlotsThatFillTheirWidth) {
    auto m = emptyModel();
    setFieldText(m->msgMainMenu.line[0], "1.Collect   ");
    std::memset(m->msgMainMenu.line[1], 'A', 16);       // 16 characters, no NUL
    setFieldText(m->msgMainMenu.line[2], "3.Utilities ");
    std::memset(m->msgUtilities.line[0], 'B', 21);      // 21 characters, no NUL
    setFieldText(m->msgUtilities.line[1], "2.Browse Data   ");

    auto image = build(*m);

    EXPECT_EQ(imageBytes(*image, 16103, 16), std::string("1.Collect      ") + '\0');
    EXPECT_EQ(imageBytes(*image, 16119, 16), std::string(15, 'A') + '\0');
    EXPECT_EQ(imageBytes(*image, 16135, 16), std::string("3.Utilities    ") + '\0');
    EXPECT_EQ(imageBytes(*image, 16167, 21), std::string(20, 'B') + '\0');
    EXPECT_EQ(imageBytes(*image, 16188, 21), std::string("2.Browse Data       ") + '\0');
}

// ---------------------------------------------------------------- layout

TEST(ImageLayout, RecordsAreCopiedAndGapAndTailStayZero) {
    auto m = emptyModel();
    // Fill every byte of the model: nothing may leak past the settings.
    std::memset(modelBody(*m), 0xFF, kModelBodySize);
    m->barcode.bytes[0] = 0x9B;
    m->barcode.bytes[22] = 0x03;
    m->menus[0].font = 0x11;
    m->menus[9].rest[99] = 0x12;
    m->forms[0].font = 0x21;
    m->forms[9].rest[157] = 0x22;
    m->lookups[0].memberLength = 0x31;
    m->lookups[2].rest[97] = 0x32;
    m->settings.version = 2;

    auto image = build(*m);

    EXPECT_EQ(image->bytes[0], 0x9B);
    EXPECT_EQ(image->bytes[22], 0x03);
    EXPECT_EQ(image->bytes[23], 0x11);
    EXPECT_EQ(image->bytes[3522], 0x12);
    EXPECT_EQ(image->bytes[3523], 0x21);
    EXPECT_EQ(image->bytes[15672], 0x22);
    EXPECT_EQ(image->bytes[15673], 0x31);
    EXPECT_EQ(image->bytes[16038], 0x32);
    for (std::size_t i = 18507; i < 18562; ++i) ASSERT_EQ(image->bytes[i], 0) << i;
    EXPECT_EQ(image->bytes[18562], 2);
    for (std::size_t i = 18830; i < kProgramImageSize; ++i) ASSERT_EQ(image->bytes[i], 0) << i;

    // Every text slot is ended by its NUL even when its text filled it.
    std::size_t pos = 16039 + 4 * 16;
    ASSERT_EQ(image->bytes[pos - 1], 0);
    for (int t = 0; t < kMessageTableCount; ++t) {
        for (int line = 0; line < kMessageTables[t].lines; ++line) {
            pos += kMessageTables[t].width;
            ASSERT_EQ(image->bytes[pos - 1], 0) << kMessageTables[t].name << " " << line;
            ASSERT_EQ(image->bytes[pos - 2], 0xFF) << kMessageTables[t].name << " " << line;
        }
    }
    EXPECT_EQ(pos, 18507u);
}

// ---------------------------------------------------------------- blocks

TEST(ImageBlocks, SumAndBlockNumberWithoutSubstitution) {
    auto image = std::make_unique<ProgramImage>();
    std::memset(image->bytes, 0, sizeof image->bytes);
    std::memset(image->bytes + 100 * 7, 0xFF, 100);
    image->bytes[100 * 13] = 0x0D;  // CR in the data, and a sum whose low byte is CR
    image->bytes[100 * 199 + 99] = 0x42;

    const ImageBlock full = makeImageBlock(*image, 7);
    EXPECT_EQ(full.sumHigh, 0x63);  // 25,500 = 0x639C
    EXPECT_EQ(full.sumLow, 0x9C);
    EXPECT_EQ(full.blockNumber, 7);
    EXPECT_EQ(full.data[99], 0xFF);

    const ImageBlock cr = makeImageBlock(*image, 13);
    EXPECT_EQ(cr.data[0], 0x0D);
    EXPECT_EQ(cr.sumHigh, 0);
    EXPECT_EQ(cr.sumLow, 0x0D);
    EXPECT_EQ(cr.blockNumber, 13);

    const ImageBlock last = makeImageBlock(*image, 199);
    EXPECT_EQ(last.data[99], 0x42);
    EXPECT_EQ(last.sumLow, 0x42);
    EXPECT_EQ(last.blockNumber, 199);

    // Out of range: no data read beyond the image.
    const ImageBlock beyond = makeImageBlock(*image, 200);
    EXPECT_EQ(beyond.sumHigh | beyond.sumLow, 0);
}

}  // namespace
}  // namespace fw
