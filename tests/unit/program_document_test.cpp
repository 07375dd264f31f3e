// Programs as JSON documents: the round trip must give back every byte, and
// a bad document must be refused with the path of the field at fault.
//
// The random programs are built here field by field from the documented
// ranges, independently of the document's own field tables, so that a field
// the exporter forgets or a range it gets wrong shows up as a failed round
// trip.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/barcode_fields.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "model/program_document.h"
#include "model/program_file.h"

namespace fw {
namespace {

const DefaultTexts& defaults() {
    static const std::unique_ptr<DefaultTexts> d = [] {
        auto texts = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*texts);
        return texts;
    }();
    return *d;
}

std::unique_ptr<ProgramModel> newModel() {
    auto m = std::make_unique<ProgramModel>();
    std::memset(modelBody(*m), 0, kModelBodySize);
    m->modified = false;
    newProgram(*m, defaults());
    return m;
}

// A document of the current format with these fields.
std::string doc(const std::string& fields) {
    return R"({"format": "formwright-program", "formatVersion": 1, )" + fields + "}";
}

// Export, import, and the bytes must be those of the model.
void expectRoundTrip(const ProgramModel& m, const std::string& what) {
    const std::string doc = exportProgramDocument(m);
    auto back = std::make_unique<ProgramModel>();
    const DocumentImportResult r = importProgramDocument(doc, defaults(), *back);
    ASSERT_TRUE(r.ok) << what << ": " << r.describe();
    if (std::memcmp(modelBody(*back), modelBody(m), kModelBodySize) != 0) {
        std::size_t i = 0;
        while (modelBody(*back)[i] == modelBody(m)[i]) ++i;
        FAIL() << what << ": first difference at model byte " << i;
    }
}

// A random valid program: every byte random, then every field with a range
// or a terminating NUL brought into it. Bytes after a NUL stay random.
class RandomProgram {
public:
    explicit RandomProgram(uint32_t seed) : rng_(seed) {}

    std::unique_ptr<ProgramModel> make() {
        auto m = std::make_unique<ProgramModel>();
        for (std::size_t i = 0; i < kModelBodySize; ++i) modelBody(*m)[i] = byte();
        m->modified = false;
        for (MenuDef& menu : m->menus) menuFields(menu);
        for (FormDef& form : m->forms) formFields(form);
        for (LookupDef& l : m->lookups) lookupFields(l);
        for (auto& line : m->reservedLines.line) text(line, sizeof line - 1);
        for (int t = 0; t < kMessageTableCount; ++t) {
            for (int n = 0; n < kMessageTables[t].lines; ++n)
                text(messageLine(*m, t, n), kMessageTables[t].width, kMessageTables[t].width - 1u);
        }
        settingsFields(m->settings);
        // The lists of the Barcode page that are shorter than their bits.
        writeBarcodeField(m->barcode, BarcodeFieldId::scanMode, upTo(8));
        writeBarcodeField(m->barcode, BarcodeFieldId::msiCheckMode, upTo(2));
        writeBarcodeField(m->barcode, BarcodeFieldId::msiCheckSend, upTo(2));
        writeBarcodeField(m->barcode, BarcodeFieldId::interleave25StartStop, upTo(2));
        writeBarcodeField(m->barcode, BarcodeFieldId::industrial25StartStop, upTo(2));
        writeBarcodeField(m->barcode, BarcodeFieldId::matrix25StartStop, upTo(2));
        return m;
    }

private:
    uint8_t byte() { return static_cast<uint8_t>(rng_() & 0xFF); }
    uint8_t upTo(int max) { return static_cast<uint8_t>(rng_() % unsigned(max + 1)); }
    void upTo(uint8_t& v, int max) { v = upTo(max); }
    template <std::size_t N>
    void upTo(uint8_t (&a)[N], int max) {
        for (uint8_t& v : a) v = upTo(max);
    }

    // A text of at most `maxChars` non-NUL bytes, its NUL, random bytes after.
    void text(uint8_t* p, std::size_t width, std::size_t maxChars) {
        const std::size_t len = rng_() % (maxChars + 1);
        for (std::size_t i = 0; i < len; ++i)
            if (p[i] == 0) p[i] = 'x';
        if (len < width) p[len] = 0;
    }
    template <std::size_t N>
    void text(uint8_t (&field)[N], std::size_t maxChars = N - 1) {
        text(field, N, maxChars);
    }

    void menuFields(MenuDef& m) {
        upTo(m.font, 1);
        upTo(m.captionOn, 1);
        text(m.caption);
        for (auto& name : m.itemName) text(name);
        upTo(m.escTarget, 20);
        upTo(m.itemNext, 20);
        upTo(m.saveCaption, 1);
        upTo(m.saveSelectedItem, 1);
        upTo(m.passDown, 1);
        upTo(m.itemCount, 10);
        upTo(m.selectedItem, 9);
    }

    void formFields(FormDef& f) {
        upTo(f.font, 1);
        upTo(f.escTarget, 20);
        upTo(f.nextTarget, 20);
        upTo(f.stampPosition, 2);
        for (uint8_t* flag : {&f.stampSplit, &f.stampYear, &f.stampYearDigits, &f.stampMonth,
                              &f.stampDay, &f.stampDateSepOn, &f.stampHour, &f.stampMinute,
                              &f.stampSecond, &f.stampTimeSepOn, &f.fileNameOn})
            upTo(*flag, 1);
        text(f.stampDateSep);
        text(f.stampTimeSep);
        upTo(f.stampDateStyle, 2);
        upTo(f.recordAction, 7);
        upTo(f.lookupFile, 3);
        upTo(f.link, 24);
        upTo(f.dataType, 14);
        for (auto& prompt : f.prompt) text(prompt);
        upTo(f.inputSource, 2);
        upTo(f.minLength, 80);
        upTo(f.maxLength, 80);
        upTo(f.fixedLengthOn, 1);
        upTo(f.alignment, 3);
        upTo(f.initialValueOn, 1);
        for (auto& value : f.initialValue) text(value, 9);
        upTo(f.prefixOn, 1);
        upTo(f.suffixOn, 1);
        upTo(f.partialOn, 1);
        upTo(f.partialStart, 80);
        upTo(f.partialMaxLength, 80);
        upTo(f.leadCodeOn, 1);
        upTo(f.autoEnter, 2);
        upTo(f.inputLineCount, 8);
        upTo(f.currentLine, 7);
        upTo(f.checkDigit, 8);
        upTo(f.branch, 10);
        upTo(f.decimals, 6);
        text(f.fileName);
        // prefixCode, suffixCode, leadCode, inputMark, fixedLength, lineText
        // and the tail hold any bytes.
    }

    void lookupFields(LookupDef& l) {
        upTo(l.fieldCount, 8);
        upTo(l.keyField, 7);
        upTo(l.uploadable, 1);
        upTo(l.noMatchAction, 5);
        upTo(l.badFormatAction, 2);
        upTo(l.readOnce, 1);
    }

    void settingsFields(TerminalSettings& s) {
        s.version = static_cast<uint8_t>(2 + rng_() % 254);
        upTo(s.startFrom, 1);
        upTo(s.separateDataFiles, 1);
        upTo(s.uploadPort, 4);
        text(s.uploadPhone);
        upTo(s.downloadPort, 3);
        upTo(s.baudRate, 4);
        upTo(s.backlight, 1);
        upTo(s.backlightIdle, 9);
        upTo(s.dataDeletion, 1);
        upTo(s.entryOption, 2);
        upTo(s.promptDuration, 99);
        upTo(s.securityItems, 1);
        text(s.password, 10);
        upTo(s.functionKeyMap, 19);
        upTo(s.largeFont, 1);
        AcousticCoupler& a = s.acousticCoupler;
        upTo(a.acDataBits, 1);
        upTo(a.acStopBits, 1);
        upTo(a.acParity, 2);
        upTo(a.acToneLength, 5);
        upTo(a.acSendControlChars, 1);
        upTo(a.acBlockMode, 1);
        upTo(a.acBlockSize, 2);
        upTo(a.acBlockDelay, 2);
        upTo(a.acSendBlockCheck, 1);
        upTo(s.functionKeysOn, 1);
        upTo(s.acVolume, 3);
        upTo(s.codeIdOn, 1);
        upTo(s.modemSpeed, 4);
        text(s.downloadPhone);
        upTo(s.keyClick, 5);
        upTo(s.goodReadBeep, 3);
        upTo(s.warningBeep, 3);
        upTo(s.securityBeeps, 1);
        for (auto& line : s.extraUtilityLines) text(line);
        upTo(s.bluetoothFlags, 3);
    }

    std::mt19937 rng_;
};

// An older-family file: header, zeros, and the given bytes.
std::vector<uint8_t> olderFile(const char* header,
                               std::initializer_list<std::pair<std::size_t, std::string>> puts) {
    std::vector<uint8_t> f(kOlderFileSize, 0);
    std::memcpy(f.data(), header, 8);
    for (const auto& [offset, bytes] : puts) std::memcpy(f.data() + offset, bytes.data(), bytes.size());
    return f;
}

// A few hundred: each costs an export and an import of some 150 kB of text
// (about 60 ms of CPU under the sanitizers).
constexpr uint32_t kRandomPrograms = 300;

TEST(ProgramDocument, RoundTripGivesBackEveryByte) {
    expectRoundTrip(*newModel(), "New");

    // Older files, converted onto New as Open does: plain, and with stamp
    // modes, moved data types, a prompt without NUL, a backlight digit and
    // the extension block.
    using namespace std::string_literals;
    const std::vector<std::vector<uint8_t>> older = {
        olderFile("K2x-3.10", {}),
        olderFile("K2x-4.00",
                  {{8, "\x34\x12"s},
                   {10, "\x01"s},
                   {11, "\xFF\x00\x00\x3F\x80\x2D\x54\x80\x00\x19\x3D\x20\xFF\x01"s},
                   {35 + 1, "\x01" "Caption\xE9\x80"s},
                   {2535, "\x01\x00\x00\x07\x03\x00\x01"s},
                   {2535 + 15, "\x09\x06\x08\x05"s},
                   {2535 + 23, "ABCDEFGHIJKLMNOPQRSTU"s},
                   {8545, "\x08\x02\x00"s},
                   {10466, "\x01\x02\x03\x01" "9\x01\x00"s},
                   {10486, "secret"s},
                   {10496, "@\x55,;\x09\x01\x01\x01\x02\x02\x02\x01"s}}),
    };
    for (std::size_t k = 0; k < older.size(); ++k) {
        auto m = newModel();
        ASSERT_TRUE(loadProgramBytes(*m, defaults(), older[k].data(), older[k].size()).ok());
        expectRoundTrip(*m, "older file " + std::to_string(k));
    }

}

TEST(ProgramDocument, RoundTripOfRandomProgramsGivesBackEveryByte) {
    for (uint32_t seed = 1; seed <= kRandomPrograms; ++seed) {
        expectRoundTrip(*RandomProgram(seed).make(), "random program " + std::to_string(seed));
        if (HasFatalFailure()) return;
    }
}

TEST(ProgramDocument, TextsAreDecodedAndBytesAfterTheNulKept) {
    auto m = newModel();
    // "Qté:" with é and € from the code page, then stale bytes after the NUL.
    std::memcpy(m->forms[2].prompt[0], "Qt\xE9\x80:\0m:\0\0\x01", 11);
    // A lead code that fills its field, and a byte without a character.
    std::memcpy(m->forms[0].leadCode[1], "AB\x81" "CDE", 6);
    m->settings.codeId[10][0] = 'F';
    m->settings.codeId[10][1] = 'F';
    const std::string doc = exportProgramDocument(*m);
    EXPECT_NE(doc.find(R"("prompt": {
            "text": "Qté€:",
            "afterNul": "6D3A000001"
          })"),
              std::string::npos);
    EXPECT_NE(doc.find(R"("leadCode": "AB\u0081CDE")"), std::string::npos);
    EXPECT_NE(doc.find(R"("FF")"), std::string::npos);
    expectRoundTrip(*m, "texts");
}

TEST(ProgramDocument, BarcodeSettingsByNameWithTheReservedBitsBeside) {
    auto m = newModel();
    m->barcode.bytes[8] = 0x5A;    // a reserved byte, as a file may hold it
    m->barcode.bytes[2] |= 0x08;   // a reserved bit between named ones
    const std::string text = exportProgramDocument(*m);
    EXPECT_NE(text.find(R"("code39On": 1,)"), std::string::npos);
    EXPECT_NE(text.find(R"("scanMode": 6,)"), std::string::npos);
    EXPECT_NE(text.find(R"("industrial25LengthFirst": 127,)"), std::string::npos);
    // Byte 20's low half (6) and byte 22's low bits (3) are New's reserved bits.
    EXPECT_NE(text.find(R"("reserved": "00000800000000005A0000000000000000000000060003")"),
              std::string::npos)
        << text.substr(text.find("\"reserved\""), 80);
    expectRoundTrip(*m, "barcode");

    auto b = newModel();
    ASSERT_TRUE(importProgramDocument(
                    doc(R"("barcode": {"code39On": 0, "readTimeout": 9, "telepenNumeric": 1})"),
                    defaults(), *b)
                    .ok);
    auto expected = newModel();
    writeBarcodeField(expected->barcode, BarcodeFieldId::code39On, 0);
    writeBarcodeField(expected->barcode, BarcodeFieldId::readTimeout, 9);
    writeBarcodeField(expected->barcode, BarcodeFieldId::telepenNumeric, 1);
    EXPECT_EQ(std::memcmp(b->barcode.bytes, expected->barcode.bytes, 23), 0);
}

TEST(ProgramDocument, ShortDocumentTakesNewForWhatItLeavesOut) {
    auto m = newModel();
    const DocumentImportResult r = importProgramDocument(
        R"({"format": "formwright-program", "formatVersion": 1,
            "forms": [{}, {"font": 1, "lines": [{}, {"dataType": 2, "prompt": "Qty:"}]}],
            "settings": {"uploadPort": 4, "acousticCoupler": {"acParity": 2}},
            "msgMainMenu": ["1.Sammeln"]})",
        defaults(), *m);
    ASSERT_TRUE(r.ok) << r.describe();

    auto expected = newModel();
    expected->forms[1].font = 1;
    expected->forms[1].dataType[1] = kTypeInteger;
    std::memcpy(expected->forms[1].prompt[1], "Qty:", 4);
    expected->settings.uploadPort = 4;
    expected->settings.acousticCoupler.acParity = 2;
    std::memset(expected->msgMainMenu.line[0], 0, 16);
    std::memcpy(expected->msgMainMenu.line[0], "1.Sammeln", 9);
    EXPECT_EQ(std::memcmp(modelBody(*m), modelBody(*expected), kModelBodySize), 0);
}

// What importing `doc` says is wrong; the model must stay as it was.
std::string importError(const std::string& doc) {
    auto m = newModel();
    m->settings.promptDuration = 42;   // not New: a failed import must not reset it
    const DocumentImportResult r = importProgramDocument(doc, defaults(), *m);
    EXPECT_FALSE(r.ok) << doc;
    EXPECT_EQ(m->settings.promptDuration, 42) << doc;
    return r.describe();
}

TEST(ProgramDocument, BadDocumentsAreRefusedNamingTheField) {
    // A typo, with the key it was probably meant to be.
    EXPECT_EQ(importError(doc(R"("forms": [{"lines": [{}, {}, {"promt": "A"}]}])")),
              "forms[0].lines[2].promt: unknown key (did you mean \"prompt\"?)");
    EXPECT_EQ(importError(doc(R"("colour": 1)")), "colour: unknown key");
    // Ranges of numbers.
    EXPECT_EQ(importError(doc(R"("settings": {"uploadPort": 5})")),
              "settings.uploadPort: 5 is outside 0..4");
    EXPECT_EQ(importError(doc(R"("forms": [{"lines": [{"dataType": -1}]}])")),
              "forms[0].lines[0].dataType: -1 is outside 0..14");
    EXPECT_EQ(importError(doc(R"("settings": {"version": 1})")),
              "settings.version: 1 is outside 2..255");
    EXPECT_EQ(importError(doc(R"("legacyWord": 18446744073709551615)")),
              "legacyWord: 18446744073709551615 is outside 0..65535");
    // Texts: too long, a character the code page lacks, a NUL.
    EXPECT_EQ(importError(doc(R"("menus": [{}, {"itemName": ["", "123456789012345678901"]}])")),
              "menus[1].itemName[1]: text of 21 characters is longer than its field (at most 20)");
    EXPECT_EQ(importError(doc(R"("settings": {"password": "12345678901"})")),
              "settings.password: text of 11 characters is longer than its field (at most 10)");
    EXPECT_EQ(importError(doc(R"("msgConfirm": ["Sure? ✓"])")),
              "msgConfirm[0]: the character \"✓\" (U+2713) is not in the Windows-1252 code page");
    EXPECT_EQ(importError(doc(R"("menus": [{"caption": "a\u0000b"}])")),
              "menus[0].caption: contains a NUL character (\\u0000), which ends a text");
    EXPECT_EQ(importError(doc(
                  R"("forms": [{"fileName": {"text": "DATA", "afterNul": "0102030405060708090A0B0C0D0E0F1011"}}])")),
              "forms[0].fileName: the text, its NUL and afterNul take 22 bytes; the field has 21");
    // Wrong types and shapes.
    EXPECT_EQ(importError(doc(R"("menus": [{"font": "1"}])")),
              "menus[0].font: expected a whole number, found a text");
    EXPECT_EQ(importError(doc(R"("menus": [{"font": 1.5}])")),
              "menus[0].font: expected a whole number, found a number with a fraction");
    EXPECT_EQ(importError(doc(R"("lookups": [{}, {}, {}, {}])")),
              "lookups: has 4 entries; at most 3");
    EXPECT_EQ(importError(doc(R"("settings": [])")), "settings: expected an object, found an array");
    EXPECT_EQ(importError(doc(R"("legacyBlock": "0G")")),
              "legacyBlock: \"0G\" is not a pair of hex digits");
    // The barcode block: its lists, its field widths, its reserved bits.
    EXPECT_EQ(importError(doc(R"("barcode": {"scanMode": 9})")),
              "barcode.scanMode: 9 is outside 0..8");
    EXPECT_EQ(importError(doc(R"("barcode": {"code39On": 2})")),
              "barcode.code39On: 2 is outside 0..1");
    EXPECT_EQ(importError(doc(R"("barcode": {"reserved": "80"})")),
              "barcode.reserved: byte 0 sets bits 80, which belong to named fields");
    EXPECT_EQ(importError(doc(R"("barcode": {"code39on": 1})")),
              "barcode.code39on: unknown key (did you mean \"code39On\"?)");
    // Not a document of ours, or of a later layout.
    EXPECT_EQ(importError(R"({"formatVersion": 1})"),
              "not a program document: \"format\": \"formwright-program\" is missing");
    EXPECT_EQ(importError(R"({"format": "formwright-program", "formatVersion": 2})"),
              "formatVersion: version 2 is not known (this program reads 1)");
    EXPECT_EQ(importError("[1, 2]"), "expected a program document (an object), found an array");
    // Malformed JSON, with its line and column; a key given twice.
    EXPECT_EQ(importError("{\"format\": \"formwright-program\",\n  \"formatVersion\": 1,\n  \"forms\": [}"),
              "line 3, column 13: syntax error while parsing value - unexpected '}'; expected "
              "'[', '{', or a literal");
    EXPECT_EQ(importError(doc(R"("legacyWord": 1e400)")), "number overflow parsing '1e400'");
    EXPECT_EQ(importError(doc(R"("settings": {"largeFont": 1, "largeFont": 0})")),
              "the key \"largeFont\" appears twice in one object");
}

TEST(ProgramDocument, DiffListsTheFieldsThatDiffer) {
    auto a = newModel();
    auto b = newModel();
    std::memcpy(a->forms[2].prompt[0], "Item:", 5);
    std::memcpy(b->forms[2].prompt[0], "Qty:", 4);
    b->settings.baudRate = 3;
    b->menus[0].caption[5] = 0x7F;   // a byte after the NUL of an empty caption
    EXPECT_TRUE(diffPrograms(*a, *a).empty());
    const std::vector<DocumentDifference> d = diffPrograms(*a, *b);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].path, "menus[0].caption");
    EXPECT_EQ(d[0].before, R"("")");
    EXPECT_EQ(d[0].after, R"({"text":"","afterNul":"000000007F"})");
    EXPECT_EQ(d[1].path, "forms[2].lines[0].prompt");
    EXPECT_EQ(d[1].before, R"("Item:")");
    EXPECT_EQ(d[1].after, R"("Qty:")");
    EXPECT_EQ(d[2].path, "settings.baudRate");
    EXPECT_EQ(differencesAsJson({d[2]}),
              "[\n  {\n    \"path\": \"settings.baudRate\",\n    \"before\": 0,\n    \"after\": 3\n  }\n]\n");
}

// The schema kept in the repository is the one the code describes. To renew
// it after a change of the document: FW_UPDATE_SCHEMA=1 fw_unit_tests.
TEST(ProgramDocument, SchemaInTheRepositoryIsCurrent) {
    const std::string schema = programDocumentSchema();
    if (std::getenv("FW_UPDATE_SCHEMA") != nullptr) {
        std::ofstream(FW_DOCUMENT_SCHEMA_PATH, std::ios::binary) << schema;
    }
    std::ifstream in(FW_DOCUMENT_SCHEMA_PATH, std::ios::binary);
    ASSERT_TRUE(in) << FW_DOCUMENT_SCHEMA_PATH << " is missing";
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_TRUE(kept.str() == schema)
        << FW_DOCUMENT_SCHEMA_PATH << " is out of date: run FW_UPDATE_SCHEMA=1 fw_unit_tests "
        << "--gtest_filter=ProgramDocument.SchemaInTheRepositoryIsCurrent";
}

}  // namespace
}  // namespace fw
