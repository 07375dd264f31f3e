// Programs as JSON documents: the round trip must give back every byte of
// every program Open makes, and a bad document must be refused with the path
// of the field at fault.
//
// The programs of the round trip are files of arbitrary bytes, opened as the
// designer opens them, so a field the exporter forgets, a range it gets
// narrower than the field's storage or a rule of the load it does not follow
// shows up as a failed round trip.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/barcode_fields.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "model/older_format.h"
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

// Files of arbitrary bytes, of each format Open takes.
class ArbitraryFiles {
public:
    explicit ArbitraryFiles(uint32_t seed) : rng_(seed) {}

    // A current-format file: the header, then any bytes; now and then an
    // older settings layout (which Open upgrades), a file without its
    // trailer, or one with more bytes than a full file.
    std::vector<uint8_t> current() {
        std::size_t size = kProgramFileSize;
        const unsigned shape = rng_() % 8;
        if (shape == 0) size = kProgramFileBodyEnd + rng_() % (kProgramFileSize - kProgramFileBodyEnd);
        if (shape == 1) size = kProgramFileSize + rng_() % 64;
        std::vector<uint8_t> f = bytes(size);
        std::memcpy(f.data(), kProgramHeader, sizeof kProgramHeader);
        if (shape == 2 || shape == 3)
            f[10 + offsetof(ProgramModel, settings) + offsetof(TerminalSettings, version)] =
                static_cast<uint8_t>(shape - 2);
        return f;
    }

    std::vector<uint8_t> older() {
        std::vector<uint8_t> f = bytes(kOlderFileSize);
        std::memcpy(f.data(), rng_() % 2 ? kOlderHeader400 : kOlderHeader310, kOlderHeaderSize);
        return f;
    }

private:
    // Mostly uniform bytes; some files are mostly zeros and small values, so
    // that short texts, NULs and the editor's own values are common too.
    std::vector<uint8_t> bytes(std::size_t n) {
        std::vector<uint8_t> f(n);
        const bool sparse = rng_() % 3 == 0;
        for (uint8_t& b : f) {
            const uint32_t r = rng_();
            b = static_cast<uint8_t>(sparse ? (r % 4 == 0 ? (r >> 8) % 8 : 0) : r & 0xFF);
        }
        return f;
    }

    std::mt19937 rng_;
};

// What Open makes of a file, onto a New program.
std::unique_ptr<ProgramModel> opened(const std::vector<uint8_t>& file) {
    auto m = newModel();
    const LoadResult r = loadProgramBytes(*m, defaults(), file.data(), file.size());
    EXPECT_TRUE(r.ok());
    return m;
}

// An older-family file: header, zeros, and the given bytes.
std::vector<uint8_t> olderFile(const char* header,
                               std::initializer_list<std::pair<std::size_t, std::string>> puts) {
    std::vector<uint8_t> f(kOlderFileSize, 0);
    std::memcpy(f.data(), header, 8);
    for (const auto& [offset, bytes] : puts) std::memcpy(f.data() + offset, bytes.data(), bytes.size());
    return f;
}

// Each costs an export and an import of some 150 kB of text (about 100 ms
// under the sanitizers); every byte of each file is arbitrary, so sixty
// give every field many values. The fuzz target fuzz_program_round_trip
// takes the same property as far as one cares to run it.
constexpr uint32_t kArbitraryFiles = 60;

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

// Open and Save write the header, the model's bytes and a zero trailer, so
// the bytes of the model are the bytes of the saved file that matter.
TEST(ProgramDocument, RoundTripOfArbitraryFilesGivesWhatOpenAndSaveGive) {
    for (uint32_t seed = 1; seed <= kArbitraryFiles; ++seed) {
        ArbitraryFiles files(seed);
        expectRoundTrip(*opened(files.current()), "current-format file " + std::to_string(seed));
        if (HasFatalFailure()) return;
        if (seed % 4 == 0) {
            expectRoundTrip(*opened(files.older()), "older-format file " + std::to_string(seed));
            if (HasFatalFailure()) return;
        }
    }
}

// The document holds every field by name and nothing else that import
// would prefer: changing one field in the text changes that field's bytes
// and no others.
TEST(ProgramDocument, EditingOneFieldChangesOnlyItsBytes) {
    const auto base = opened(ArbitraryFiles(7).current());
    using Json = nlohmann::ordered_json;
    const Json exported = Json::parse(exportProgramDocument(*base));
    struct Edit {
        const char* pointer;
        Json value;
        std::size_t offset;   // in the model
        std::size_t size;
    };
    const std::size_t form3 = offsetof(ProgramModel, forms) + 3 * sizeof(FormDef);
    const std::size_t settings = offsetof(ProgramModel, settings);
    const Edit edits[] = {
        {"/forms/3/lines/5/maxLength", 77, form3 + offsetof(FormDef, maxLength) + 5, 1},
        {"/forms/3/lines/5/prompt", "Qty:", form3 + offsetof(FormDef, prompt) + 5 * 21, 21},
        {"/forms/3/rest", "0102", form3 + offsetof(FormDef, rest), 158},
        {"/menus/9/itemNext/4", 200,
         offsetof(ProgramModel, menus) + 9 * sizeof(MenuDef) + offsetof(MenuDef, itemNext) + 4, 1},
        {"/msgConfirm/2", "Sure?", offsetof(ProgramModel, msgConfirm) + 2 * 16, 16},
        {"/settings/acousticCoupler/acBlockSize", 9,
         settings + offsetof(TerminalSettings, acousticCoupler) + offsetof(AcousticCoupler, acBlockSize), 1},
        {"/settings/codeId/14", "Z", settings + offsetof(TerminalSettings, codeId) + 28, 2},
        {"/legacyWord", 0xBEEF, 0, 2},
    };
    for (const Edit& e : edits) {
        Json changed = exported;
        changed[Json::json_pointer(e.pointer)] = e.value;
        auto m = newModel();
        const DocumentImportResult r = importProgramDocument(changed.dump(), defaults(), *m);
        ASSERT_TRUE(r.ok) << e.pointer << ": " << r.describe();
        for (std::size_t i = 0; i < kModelBodySize; ++i) {
            if (i >= e.offset && i < e.offset + e.size) continue;
            ASSERT_EQ(modelBody(*m)[i], modelBody(*base)[i]) << e.pointer << " changed model byte " << i;
        }
        EXPECT_NE(std::memcmp(modelBody(*m) + e.offset, modelBody(*base) + e.offset, e.size), 0)
            << e.pointer << " did not reach its bytes";
    }
    // A barcode field is bits of a byte: the byte's other bits stay.
    Json changed = exported;
    const unsigned scanMode = changed["barcode"]["scanMode"].get<unsigned>();
    changed["barcode"]["scanMode"] = (scanMode + 5) % 16;
    auto m = newModel();
    ASSERT_TRUE(importProgramDocument(changed.dump(), defaults(), *m).ok);
    BarcodeSettings expected = base->barcode;
    writeBarcodeField(expected, BarcodeFieldId::scanMode, (scanMode + 5) % 16);
    EXPECT_EQ(std::memcmp(m->barcode.bytes, expected.bytes, sizeof expected.bytes), 0);
    EXPECT_EQ(std::memcmp(modelBody(*m) + offsetof(ProgramModel, menus),
                          modelBody(*base) + offsetof(ProgramModel, menus),
                          kModelBodySize - offsetof(ProgramModel, menus)),
              0);
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
    // Numbers and texts beyond what their field stores.
    EXPECT_EQ(importError(doc(R"("settings": {"uploadPort": 256})")),
              "settings.uploadPort: 256 is outside 0..255");
    EXPECT_EQ(importError(doc(R"("forms": [{"lines": [{"dataType": -1}]}])")),
              "forms[0].lines[0].dataType: -1 is outside 0..255");
    EXPECT_EQ(importError(doc(R"("legacyWord": 18446744073709551615)")),
              "legacyWord: 18446744073709551615 is outside 0..65535");
    // Texts: too long, a character the code page lacks, a NUL.
    EXPECT_EQ(importError(doc(R"("menus": [{}, {"itemName": ["", "1234567890123456789012"]}])")),
              "menus[1].itemName[1]: text of 22 characters is longer than its field (21 bytes)");
    EXPECT_EQ(importError(doc(R"("settings": {"password": "1234567890123"})")),
              "settings.password: text of 13 characters is longer than its field (12 bytes)");
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
    EXPECT_EQ(importError(doc(R"("barcode": {"scanMode": 16})")),
              "barcode.scanMode: 16 is outside 0..15");
    EXPECT_EQ(importError(doc(R"("barcode": {"interleave25StartStop": 4})")),
              "barcode.interleave25StartStop: 4 is outside 0..3");
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

// Values a file may hold although no control of the editor offers them: the
// designer opens and keeps them, so import keeps them too, and says so.
TEST(ProgramDocument, ValuesTheEditorDoesNotOfferAreKeptWithAWarning) {
    const std::string text = doc(R"(
        "barcode": {"interleave25StartStop": 3, "scanMode": 11, "msiCheckSend": 3},
        "forms": [{"lines": [{"prompt": "123456789012345678901", "dataType": 200}]}],
        "settings": {"uploadPort": 9, "password": "123456789012",
                     "acousticCoupler": {"acSendControlChars": 3, "acBlockDelay": 255}})");
    auto m = newModel();
    const DocumentImportResult r = importProgramDocument(text, defaults(), *m);
    ASSERT_TRUE(r.ok) << r.describe();
    const std::vector<std::string> expected = {
        "barcode.interleave25StartStop: 3 is not one of the editor's values; kept",
        "barcode.scanMode: 11 is not one of the editor's values; kept",
        "barcode.msiCheckSend: 3 is not one of the editor's values; kept",
        "forms[0].lines[0].prompt: text of 21 characters is not one of the editor's values; kept",
        "forms[0].lines[0].dataType: 200 is not one of the editor's values; kept",
        "settings.uploadPort: 9 is not one of the editor's values; kept",
        "settings.password: text of 12 characters is not one of the editor's values; kept",
        "settings.acousticCoupler.acSendControlChars: 3 is not one of the editor's values; kept",
        "settings.acousticCoupler.acBlockDelay: 255 is not one of the editor's values; kept",
    };
    EXPECT_EQ(r.warnings, expected);
    EXPECT_EQ(readBarcodeField(m->barcode, BarcodeFieldId::interleave25StartStop), 3u);
    EXPECT_EQ(readBarcodeField(m->barcode, BarcodeFieldId::scanMode), 11u);
    EXPECT_EQ(std::memcmp(m->forms[0].prompt[0], "123456789012345678901", 21), 0);
    EXPECT_EQ(std::memcmp(m->settings.password, "123456789012", 12), 0);
    EXPECT_EQ(m->settings.acousticCoupler.acSendControlChars, 3);

    // Strict: the first such value refuses the document, and nothing changes.
    auto strict = newModel();
    DocumentImportOptions options;
    options.strict = true;
    const DocumentImportResult s = importProgramDocument(text, defaults(), *strict, options);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.describe(), "barcode.interleave25StartStop: 3 is not one of the editor's values (0..2)");
    EXPECT_EQ(std::memcmp(modelBody(*strict), modelBody(*newModel()), kModelBodySize), 0);
    // A document of the editor's own values passes strict without a word.
    const DocumentImportResult plain =
        importProgramDocument(exportProgramDocument(*newModel()), defaults(), *strict, options);
    EXPECT_TRUE(plain.ok) << plain.describe();
    EXPECT_TRUE(plain.warnings.empty());
}

// A document is read as Open reads the file its fields make: an older
// settings layout is upgraded, with a warning.
TEST(ProgramDocument, OlderSettingsLayoutIsUpgradedAsOpenDoes) {
    const std::string text = doc(R"("settings": {"version": 1, "keyClick": 5, "largeFont": 1})");
    auto m = newModel();
    const DocumentImportResult r = importProgramDocument(text, defaults(), *m);
    ASSERT_TRUE(r.ok) << r.describe();
    ASSERT_EQ(r.warnings.size(), 1u) << r.warnings.front();
    EXPECT_EQ(r.warnings[0],
              "settings.version: 1 is an older settings layout; upgraded to 2 as Open upgrades a file");

    auto fields = newModel();
    fields->settings.version = 1;
    fields->settings.keyClick = 5;
    fields->settings.largeFont = 1;
    std::vector<uint8_t> file(kProgramFileSize, 0);
    std::memcpy(file.data(), kProgramHeader, sizeof kProgramHeader);
    std::memcpy(file.data() + sizeof kProgramHeader, modelBody(*fields), kModelBodySize);
    const auto expected = opened(file);
    EXPECT_EQ(m->settings.version, kSettingsVersion);
    EXPECT_EQ(m->settings.keyClick, 2);   // the upgrade's default
    EXPECT_EQ(std::memcmp(modelBody(*m), modelBody(*expected), kModelBodySize), 0);

    DocumentImportOptions options;
    options.strict = true;
    EXPECT_EQ(importProgramDocument(text, defaults(), *m, options).describe(),
              "settings.version: 1 is an older settings layout, not one of the editor's values");
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
