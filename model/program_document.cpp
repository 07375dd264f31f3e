#include "model/program_document.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <type_traits>
#include <utility>

#include <nlohmann/json.hpp>

#include "model/barcode_fields.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "texts/code_page.h"

namespace fw {

namespace {

// Keys keep the order in which the exporter writes them: records read top
// down as the editor pages show them, and diffs come out in that order.
using Json = nlohmann::ordered_json;

// ---------------------------------------------------------------------------
// Errors

// Thrown inside this file only; importProgramDocument turns it into a result.
struct DocumentError {
    std::string path;
    std::string message;
};

[[noreturn]] void fail(const std::string& path, std::string message) {
    throw DocumentError{path, std::move(message)};
}

std::string typeName(const Json& v) {
    switch (v.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::object: return "an object";
        case Json::value_t::array: return "an array";
        case Json::value_t::string: return "a text";
        case Json::value_t::boolean: return "true or false";
        case Json::value_t::number_float: return "a number with a fraction";
        default: return "a number";
    }
}

[[noreturn]] void wrongType(const std::string& path, const char* expected, const Json& v) {
    fail(path, std::string("expected ") + expected + ", found " + typeName(v));
}

std::string child(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string element(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// Characters of UTF-8 text as Windows-1252 bytes.
std::string encodeText(const std::string& utf8, const std::string& path) {
    CodePageText text = codePageFromUtf8(utf8);
    switch (text.fault) {
        case CodePageText::Fault::none: break;
        case CodePageText::Fault::invalidUnicode: fail(path, "is not valid UTF-8");
        case CodePageText::Fault::nul:
            fail(path, "contains a NUL character (\\u0000), which ends a text");
        case CodePageText::Fault::notInCodePage: {
            const std::string name = text.refusedName();  // "Ω (U+03A9)"
            fail(path, "the character \"" + name.substr(0, name.find(" (")) + "\" " +
                           name.substr(name.find('(')) + " is not in the Windows-1252 code page");
        }
    }
    return std::move(text.bytes);
}

// ---------------------------------------------------------------------------
// Hex strings

std::string toHex(const uint8_t* p, std::size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    while (n > 0 && p[n - 1] == 0) --n;   // trailing zeros are left out
    std::string s;
    s.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        s += kDigits[p[i] >> 4];
        s += kDigits[p[i] & 0x0F];
    }
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string hexBytes(const Json& v, std::size_t maxBytes, const std::string& path) {
    if (!v.is_string()) wrongType(path, "a hex string", v);
    const std::string& s = v.get_ref<const std::string&>();
    if (s.size() % 2 != 0) fail(path, "hex string has an odd number of digits");
    std::string out;
    for (std::size_t i = 0; i < s.size(); i += 2) {
        const int hi = hexDigit(s[i]);
        const int lo = hexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) fail(path, "\"" + s.substr(i, 2) + "\" is not a pair of hex digits");
        out += static_cast<char>(hi * 16 + lo);
    }
    if (out.size() > maxBytes)
        fail(path, "hex string of " + std::to_string(out.size()) + " bytes is longer than its field (" +
                       std::to_string(maxBytes) + " bytes)");
    return out;
}

// ---------------------------------------------------------------------------
// The field tables

enum class Kind : uint8_t {
    Number,   // one byte, min..max
    Word,     // two bytes, little-endian
    Text,     // fixed-width text in the ANSI code page
    Bytes,    // hex string, trailing zeros left out; missing bytes are zero
    Record,   // an object of its own fields
    Barcode,  // the barcode block by the named fields of its bit map
};

struct FieldTable;

// What a field can store and what the editor offers are two things. Import
// takes whatever the storage holds (a byte 0..255, a text that fills its
// width): a program file may hold any of it, the designer opens it and keeps
// it, so its document must give it back. Only the editor's narrower range
// is a matter of warning, or of refusal under --strict.
struct Field {
    const char* name;
    std::size_t offset;       // in the record
    Kind kind;
    std::size_t width;        // bytes of one element
    std::size_t count;        // 0: one value; otherwise an array of `count` elements
    int min = 0;              // Number: the editor's values, min..max
    int max = 255;
    std::size_t maxChars = 0; // Text: the longest text the editor writes
    const FieldTable* sub = nullptr;   // Record
    unsigned bits = 8;        // Number: the stored bits (a barcode field may have fewer)
};

int storageMax(const Field& f) {
    return f.kind == Kind::Word ? 0xFFFF : static_cast<int>((1u << f.bits) - 1u);
}

struct FieldTable {
    const Field* fields;
    std::size_t size;
    const Field* begin() const { return fields; }
    const Field* end() const { return fields + size; }
};

template <std::size_t N>
constexpr FieldTable tableOf(const Field (&fields)[N]) {
    return {fields, N};
}

template <typename T>
constexpr std::size_t countOf() {
    return std::extent_v<T>;
}
template <typename T>
constexpr std::size_t elementSize() {
    return sizeof(std::remove_extent_t<T>);
}

// One byte, and an array of bytes, of record type R.
#define FW_NUM(R, f, lo, hi) Field{#f, offsetof(R, f), Kind::Number, 1, 0, lo, hi}
#define FW_NUMS(R, f, lo, hi) \
    Field{#f, offsetof(R, f), Kind::Number, 1, countOf<decltype(R::f)>(), lo, hi}
// A NUL-terminated text, one that may fill its field, and arrays of them.
#define FW_TEXT(R, f) \
    Field{#f, offsetof(R, f), Kind::Text, sizeof(R::f), 0, 0, 0, sizeof(R::f) - 1}
#define FW_TEXT_MAX(R, f, chars) Field{#f, offsetof(R, f), Kind::Text, sizeof(R::f), 0, 0, 0, chars}
#define FW_TEXTS(R, f)                                                                    \
    Field{#f, offsetof(R, f), Kind::Text, elementSize<decltype(R::f)>(),                  \
          countOf<decltype(R::f)>(), 0, 0, elementSize<decltype(R::f)>() - 1}
#define FW_TEXTS_FULL(R, f)                                                               \
    Field{#f, offsetof(R, f), Kind::Text, elementSize<decltype(R::f)>(),                  \
          countOf<decltype(R::f)>(), 0, 0, elementSize<decltype(R::f)>()}
#define FW_BYTES(R, f) Field{#f, offsetof(R, f), Kind::Bytes, sizeof(R::f), 0}

// Fields of a form line: element `line` of an array of kLinesPerForm.
#define FW_LINE_NUM(f, lo, hi) Field{#f, offsetof(FormDef, f), Kind::Number, 1, 0, lo, hi}
#define FW_LINE_TEXT(f, chars)                                                            \
    Field{#f, offsetof(FormDef, f), Kind::Text, elementSize<decltype(FormDef::f)>(), 0, 0, 0, chars}
#define FW_LINE_BYTES(f) \
    Field{#f, offsetof(FormDef, f), Kind::Bytes, elementSize<decltype(FormDef::f)>(), 0}

constexpr int kTargets = 20;   // TargetCode: main, form 1..10, menu 1..10

const Field kMenuFields[] = {
    FW_NUM(MenuDef, font, 0, 1),
    FW_NUM(MenuDef, captionOn, 0, 1),
    FW_TEXT(MenuDef, caption),
    FW_TEXTS(MenuDef, itemName),
    FW_NUM(MenuDef, escTarget, 0, kTargets),
    FW_NUMS(MenuDef, itemNext, 0, kTargets),
    FW_NUM(MenuDef, saveCaption, 0, 1),
    FW_NUM(MenuDef, saveSelectedItem, 0, 1),
    FW_NUM(MenuDef, passDown, 0, 1),
    FW_NUM(MenuDef, itemCount, 0, kItemsPerMenu),
    FW_NUM(MenuDef, selectedItem, 0, kItemsPerMenu - 1),
    FW_NUM(MenuDef, reserved249, 0, 255),
    FW_BYTES(MenuDef, rest),
};

const Field kFormFields[] = {
    FW_NUM(FormDef, font, 0, 1),
    FW_NUM(FormDef, escTarget, 0, kTargets),
    FW_NUM(FormDef, nextTarget, 0, kTargets),
    FW_NUM(FormDef, stampPosition, 0, 2),
    FW_NUM(FormDef, stampSplit, 0, 1),
    FW_NUM(FormDef, stampYear, 0, 1),
    FW_NUM(FormDef, stampYearDigits, 0, 1),
    FW_NUM(FormDef, stampMonth, 0, 1),
    FW_NUM(FormDef, stampDay, 0, 1),
    FW_NUM(FormDef, stampDateSepOn, 0, 1),
    FW_TEXT(FormDef, stampDateSep),
    FW_NUM(FormDef, stampDateStyle, 0, 2),
    FW_NUM(FormDef, stampHour, 0, 1),
    FW_NUM(FormDef, stampMinute, 0, 1),
    FW_NUM(FormDef, stampSecond, 0, 1),
    FW_NUM(FormDef, stampTimeSepOn, 0, 1),
    FW_TEXT(FormDef, stampTimeSep),
    FW_NUM(FormDef, recordAction, 0, 7),
    FW_NUM(FormDef, lookupFile, 0, kLookupCount),
    FW_NUM(FormDef, inputLineCount, 0, kLinesPerForm),
    FW_NUM(FormDef, currentLine, 0, kLinesPerForm - 1),
    FW_NUMS(FormDef, branch, 0, kFormCount),
    FW_NUM(FormDef, fileNameOn, 0, 1),
    FW_TEXT(FormDef, fileName),
    FW_BYTES(FormDef, rest),
};

constexpr int kMaxData = 80;   // longest data a line takes

const Field kLineFields[] = {
    FW_LINE_NUM(link, 0, 24),
    FW_LINE_NUM(dataType, 0, kTypeAlphanumeric),
    FW_LINE_TEXT(prompt, 20),
    FW_LINE_NUM(inputSource, 0, 2),
    FW_LINE_NUM(minLength, 0, kMaxData),
    FW_LINE_NUM(maxLength, 0, kMaxData),
    FW_LINE_NUM(fixedLengthOn, 0, 1),
    FW_LINE_NUM(alignment, 0, 3),
    FW_LINE_NUM(fixedLength, 0, 255),
    FW_LINE_NUM(initialValueOn, 0, 1),
    FW_LINE_TEXT(initialValue, 9),
    FW_LINE_NUM(prefixOn, 0, 1),
    FW_LINE_TEXT(prefixCode, 10),   // raw codes that may fill the field
    FW_LINE_NUM(suffixOn, 0, 1),
    FW_LINE_TEXT(suffixCode, 10),
    FW_LINE_NUM(partialOn, 0, 1),
    FW_LINE_NUM(partialStart, 0, kMaxData),
    FW_LINE_NUM(partialMaxLength, 0, kMaxData),
    FW_LINE_NUM(leadCodeOn, 0, 1),
    FW_LINE_TEXT(leadCode, 6),
    FW_LINE_NUM(autoEnter, 0, 2),
    FW_LINE_NUM(inputMark, 0, 255),
    FW_LINE_BYTES(lineText),
    FW_LINE_NUM(checkDigit, 0, 8),
    FW_LINE_NUM(decimals, 0, 6),
};

const Field kLookupFields[] = {
    FW_NUM(LookupDef, memberLength, 0, 255),
    FW_NUM(LookupDef, fieldCount, 0, kFieldsPerLookup),
    FW_NUM(LookupDef, keyField, 0, kFieldsPerLookup - 1),
    FW_NUMS(LookupDef, fieldOffset, 0, 255),
    FW_NUMS(LookupDef, fieldLength, 0, 255),
    FW_NUM(LookupDef, delimiter, 0, 255),
    FW_NUM(LookupDef, uploadable, 0, 1),
    FW_NUM(LookupDef, noMatchAction, 0, 5),
    FW_NUM(LookupDef, badFormatAction, 0, 2),
    FW_NUM(LookupDef, readOnce, 0, 1),
    FW_BYTES(LookupDef, rest),
};

const Field kAcousticFields[] = {
    FW_NUM(AcousticCoupler, acDataBits, 0, 1),
    FW_NUM(AcousticCoupler, acStopBits, 0, 1),
    FW_NUM(AcousticCoupler, acParity, 0, 2),
    FW_NUM(AcousticCoupler, acToneLength, 0, 5),
    FW_NUM(AcousticCoupler, acSendControlChars, 0, 1),
    FW_NUM(AcousticCoupler, acStartOfText, 0, 255),
    FW_NUM(AcousticCoupler, acEndOfText, 0, 255),
    FW_NUM(AcousticCoupler, acBlockMode, 0, 1),
    FW_NUM(AcousticCoupler, acBlockSize, 0, 2),
    FW_NUM(AcousticCoupler, acBlockDelay, 0, 2),
    FW_NUM(AcousticCoupler, acPadChar, 0, 255),
    FW_NUM(AcousticCoupler, acEndOfBlock, 0, 255),
    FW_NUM(AcousticCoupler, acSendBlockCheck, 0, 1),
};
constexpr FieldTable kAcousticTable = tableOf(kAcousticFields);

const Field kSettingsFields[] = {
    // Layouts 0 and 1 are upgraded when a file is opened, and so when a
    // document is imported (importProgramDocument, which says so), so a
    // program never holds them.
    FW_NUM(TerminalSettings, version, 0, 255),
    FW_NUM(TerminalSettings, startFrom, 0, 1),
    FW_NUM(TerminalSettings, delimiter1, 0, 255),
    FW_NUM(TerminalSettings, delimiter2, 0, 255),
    FW_NUM(TerminalSettings, separateDataFiles, 0, 1),
    FW_NUM(TerminalSettings, uploadPort, 0, 4),
    FW_TEXT(TerminalSettings, uploadPhone),
    FW_NUM(TerminalSettings, downloadPort, 0, 3),
    FW_NUM(TerminalSettings, baudRate, 0, 4),
    FW_NUM(TerminalSettings, backlight, 0, 1),
    FW_NUM(TerminalSettings, backlightIdle, 0, 9),
    FW_NUM(TerminalSettings, dataDeletion, 0, 1),
    FW_NUM(TerminalSettings, entryOption, 0, 2),
    FW_NUM(TerminalSettings, promptDuration, 0, 99),
    FW_NUMS(TerminalSettings, securityItems, 0, 1),
    FW_TEXT_MAX(TerminalSettings, password, 10),
    FW_NUMS(TerminalSettings, functionKeyMap, 0, 19),
    FW_BYTES(TerminalSettings, reserved65),
    FW_NUM(TerminalSettings, largeFont, 0, 1),
    Field{"acousticCoupler", offsetof(TerminalSettings, acousticCoupler), Kind::Record,
          sizeof(AcousticCoupler), 0, 0, 0, 0, &kAcousticTable},
    FW_NUM(TerminalSettings, functionKeysOn, 0, 1),
    FW_NUM(TerminalSettings, acVolume, 0, 3),
    FW_NUM(TerminalSettings, codeIdOn, 0, 1),
    // A pair of character codes, a 0 ending it early: a text of up to two.
    FW_TEXTS_FULL(TerminalSettings, codeId),
    FW_NUM(TerminalSettings, modemSpeed, 0, 4),
    FW_TEXT(TerminalSettings, downloadPhone),
    FW_NUM(TerminalSettings, keyClick, 0, 5),
    FW_NUM(TerminalSettings, goodReadBeep, 0, 3),
    FW_NUM(TerminalSettings, warningBeep, 0, 3),
    FW_NUMS(TerminalSettings, securityBeeps, 0, 1),
    FW_BYTES(TerminalSettings, reserved143),
    FW_TEXTS(TerminalSettings, extraUtilityLines),
    FW_NUM(TerminalSettings, bluetoothFlags, 0, 3),
    FW_BYTES(TerminalSettings, reserved256),
};

constexpr FieldTable kMenuTable = tableOf(kMenuFields);
constexpr FieldTable kFormTable = tableOf(kFormFields);
constexpr FieldTable kLineTable = tableOf(kLineFields);
constexpr FieldTable kLookupTable = tableOf(kLookupFields);
constexpr FieldTable kSettingsTable = tableOf(kSettingsFields);

#undef FW_NUM
#undef FW_NUMS
#undef FW_TEXT
#undef FW_TEXT_MAX
#undef FW_TEXTS
#undef FW_TEXTS_FULL
#undef FW_BYTES
#undef FW_LINE_NUM
#undef FW_LINE_TEXT
#undef FW_LINE_BYTES

// The whole document's fields, in file order. The message tables come from
// their catalogue.
const FieldTable& programTable() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> f;
        f.push_back({"legacyWord", offsetof(ProgramModel, legacyWord), Kind::Word, 2, 0});
        f.push_back({"barcode", offsetof(ProgramModel, barcode), Kind::Barcode,
                     sizeof(BarcodeSettings), 0});
        f.push_back({"menus", offsetof(ProgramModel, menus), Kind::Record, sizeof(MenuDef),
                     kMenuCount, 0, 0, 0, &kMenuTable});
        f.push_back({"forms", offsetof(ProgramModel, forms), Kind::Record, sizeof(FormDef),
                     kFormCount, 0, 0, 0, &kFormTable});
        f.push_back({"lookups", offsetof(ProgramModel, lookups), Kind::Record, sizeof(LookupDef),
                     kLookupCount, 0, 0, 0, &kLookupTable});
        f.push_back({"reservedLines", offsetof(ProgramModel, reservedLines), Kind::Text,
                     decltype(ProgramModel::reservedLines)::kWidth,
                     decltype(ProgramModel::reservedLines)::kLines, 0, 0,
                     decltype(ProgramModel::reservedLines)::kWidth - 1});
        for (const MessageTableInfo& t : kMessageTables)
            f.push_back({t.name, t.modelOffset, Kind::Text, t.width, t.lines, 0, 0,
                         std::size_t(t.width) - 1});
        f.push_back({"legacyBlock", offsetof(ProgramModel, legacyBlock), Kind::Bytes,
                     sizeof(ProgramModel::legacyBlock), 0});
        f.push_back({"settings", offsetof(ProgramModel, settings), Kind::Record,
                     sizeof(TerminalSettings), 0, 0, 0, 0, &kSettingsTable});
        return f;
    }();
    static const FieldTable table{fields.data(), fields.size()};
    return table;
}

// Keys of the document beside the program's fields.
constexpr const char* kFormatKey = "format";
constexpr const char* kFormatVersionKey = "formatVersion";
constexpr const char* kLinesKey = "lines";
constexpr const char* kTextKey = "text";
constexpr const char* kAfterNulKey = "afterNul";

// The element `line` of a line field, as a field of its own.
Field lineField(const Field& f, int line) {
    Field g = f;
    g.offset += static_cast<std::size_t>(line) * f.width;
    return g;
}

// The barcode block: one number per named field of its bit map, and the
// bits no field names (reserved, kept as loaded) as one hex string.
constexpr const char* kReservedKey = "reserved";

// Where the editor offers fewer values than a field's bits hold: the scan
// mode list, the MSI radio groups, the three start/stop patterns (the editor
// never writes 3). A file may hold the others and the page keeps them, so
// they are the editor's limits, not the field's.
struct BarcodeLimit {
    BarcodeFieldId id;
    unsigned max;
};
constexpr BarcodeLimit kBarcodeLimits[] = {
    {BarcodeFieldId::scanMode, 8},
    {BarcodeFieldId::msiCheckMode, 2},
    {BarcodeFieldId::msiCheckSend, 2},
    {BarcodeFieldId::interleave25StartStop, 2},
    {BarcodeFieldId::industrial25StartStop, 2},
    {BarcodeFieldId::matrix25StartStop, 2},
};

unsigned barcodeEditorMax(const BarcodeField& f) {
    for (const BarcodeLimit& l : kBarcodeLimits)
        if (&barcodeField(l.id) == &f) return l.max;
    return (1u << f.width) - 1u;
}

BarcodeSettings reservedBarcodeBits(const BarcodeSettings& b) {
    BarcodeSettings r;
    for (std::size_t i = 0; i < sizeof r.bytes; ++i)
        r.bytes[i] = static_cast<uint8_t>(b.bytes[i] & ~barcodeOwnedBits(i));
    return r;
}

// ---------------------------------------------------------------------------
// Export

Json recordToJson(const uint8_t* rec, const FieldTable& table);

Json textToJson(const uint8_t* p, std::size_t width) {
    const std::string_view text = fieldText(p, width);
    std::string decoded = utf8FromCodePage(text);
    if (text.size() + 1 >= width) return decoded;
    const std::string after = toHex(p + text.size() + 1, width - text.size() - 1);
    if (after.empty()) return decoded;
    Json o = Json::object();
    o[kTextKey] = std::move(decoded);
    o[kAfterNulKey] = after;
    return o;
}

Json elementToJson(const uint8_t* p, const Field& f) {
    switch (f.kind) {
        case Kind::Number: return p[0];
        case Kind::Word: return p[0] | (p[1] << 8);
        case Kind::Text: return textToJson(p, f.width);
        case Kind::Bytes: return toHex(p, f.width);
        case Kind::Record: return recordToJson(p, *f.sub);
        case Kind::Barcode: {
            BarcodeSettings b;
            std::memcpy(b.bytes, p, sizeof b.bytes);
            Json o = Json::object();
            for (const BarcodeField& bf : kBarcodeFields) o[bf.name] = readBarcodeField(b, bf);
            const BarcodeSettings reserved = reservedBarcodeBits(b);
            o[kReservedKey] = toHex(reserved.bytes, sizeof reserved.bytes);
            return o;
        }
    }
    return nullptr;
}

Json fieldToJson(const uint8_t* rec, const Field& f) {
    if (f.count == 0) return elementToJson(rec + f.offset, f);
    Json a = Json::array();
    for (std::size_t i = 0; i < f.count; ++i) a.push_back(elementToJson(rec + f.offset + i * f.width, f));
    return a;
}

Json recordToJson(const uint8_t* rec, const FieldTable& table) {
    Json o = Json::object();
    for (const Field& f : table) o[f.name] = fieldToJson(rec, f);
    if (&table == &kFormTable) {
        Json lines = Json::array();
        for (int line = 0; line < kLinesPerForm; ++line) {
            Json l = Json::object();
            for (const Field& f : kLineTable) l[f.name] = fieldToJson(rec, lineField(f, line));
            lines.push_back(std::move(l));
        }
        o[kLinesKey] = std::move(lines);
    }
    return o;
}

Json programToJson(const ProgramModel& m) {
    Json doc = Json::object();
    doc[kFormatKey] = kDocumentFormatName;
    doc[kFormatVersionKey] = kDocumentFormatVersion;
    for (const Field& f : programTable()) doc[f.name] = fieldToJson(modelBody(m), f);
    return doc;
}

std::string dumpJson(const Json& v, int indent) {
    // Texts are decoded from the code page, so they are valid UTF-8; strict
    // would only matter for a bug, and a replacement is better than a throw.
    const std::string raw = v.dump(indent, ' ', false, Json::error_handler_t::replace);
    // The dump escapes the C0 controls but writes C1 controls (U+0080..U+009F,
    // the code page's undefined bytes) as they are, invisible on a screen:
    // escape them too. In UTF-8 they are exactly the pairs C2 80..C2 9F.
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto b = static_cast<uint8_t>(raw[i]);
        const auto next = i + 1 < raw.size() ? static_cast<uint8_t>(raw[i + 1]) : 0;
        if (b == 0xC2 && next >= 0x80 && next <= 0x9F) {
            static const char kDigits[] = "0123456789abcdef";
            out += "\\u00";
            out += kDigits[next >> 4];
            out += kDigits[next & 0x0F];
            ++i;
        } else {
            out += raw[i];
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Import

// The key of `table` nearest to a misspelt one, for the error message.
std::string nearestKey(const std::string& key, const std::vector<std::string>& keys) {
    auto distance = [](const std::string& a, const std::string& b) {
        std::vector<std::size_t> row(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diag = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t up = row[j];
                const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                                  std::tolower(static_cast<unsigned char>(b[j - 1]));
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (same ? 0 : 1)});
                diag = up;
            }
        }
        return row[b.size()];
    };
    std::string best;
    std::size_t bestDistance = 3;   // suggest only near misses
    for (const std::string& k : keys) {
        const std::size_t d = distance(key, k);
        if (d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

[[noreturn]] void unknownKey(const std::string& path, const std::string& key,
                             const std::vector<std::string>& keys) {
    std::string message = "unknown key";
    const std::string near = nearestKey(key, keys);
    if (!near.empty()) message += " (did you mean \"" + near + "\"?)";
    fail(child(path, key), message);
}

// One import: what it was asked and what it has to say beside the result.
struct ImportRun {
    bool strict = false;
    std::vector<std::string> warnings;

    // A value the storage holds but no control of the editor offers: kept
    // with a warning, or refused under strict.
    void outsideEditor(const std::string& path, const std::string& what, const std::string& range) {
        if (strict) fail(path, what + " is not one of the editor's values (" + range + ")");
        warnings.push_back(path + ": " + what + " is not one of the editor's values; kept");
    }
};

void recordFromJson(const Json& v, uint8_t* rec, const FieldTable& table, const std::string& path,
                    ImportRun& run);

void numberFromJson(const Json& v, uint8_t* p, const Field& f, const std::string& path,
                    ImportRun& run) {
    const int64_t hi = storageMax(f);
    if (!v.is_number_integer()) wrongType(path, "a whole number", v);
    // A number too large for a signed 64-bit integer is out of range anyway.
    const bool huge = v.is_number_unsigned() && v.get<uint64_t>() > uint64_t(INT64_MAX);
    if (huge || v.get<int64_t>() < 0 || v.get<int64_t>() > hi)
        fail(path, v.dump() + " is outside 0.." + std::to_string(hi));
    const auto n = static_cast<unsigned>(v.get<int64_t>());
    if (f.kind == Kind::Number && (int(n) < f.min || int(n) > f.max))
        run.outsideEditor(path, v.dump(), std::to_string(f.min) + ".." + std::to_string(f.max));
    p[0] = static_cast<uint8_t>(n & 0xFF);
    if (f.kind == Kind::Word) p[1] = static_cast<uint8_t>(n >> 8);
}

void textFromJson(const Json& v, uint8_t* p, const Field& f, const std::string& path,
                  ImportRun& run) {
    const Json* text = nullptr;
    std::string after;
    std::string textPath = path;
    if (v.is_string()) {
        text = &v;
    } else if (v.is_object()) {
        for (const auto& [key, value] : v.items()) {
            if (key == kTextKey) {
                text = &value;
                textPath = child(path, key);
            } else if (key == kAfterNulKey) {
                after = hexBytes(value, f.width, child(path, key));
            } else {
                unknownKey(path, key, {kTextKey, kAfterNulKey});
            }
        }
        if (text != nullptr && !text->is_string()) wrongType(textPath, "a text", *text);
    } else {
        wrongType(path, "a text", v);
    }
    const std::string bytes = text ? encodeText(text->get_ref<const std::string&>(), textPath) : "";
    // A text that fills its field has no NUL: the field's width is the limit.
    if (bytes.size() > f.width)
        fail(textPath, "text of " + std::to_string(bytes.size()) +
                           " characters is longer than its field (" + std::to_string(f.width) +
                           " bytes)");
    if (!after.empty() && bytes.size() + 1 + after.size() > f.width)
        fail(path, "the text, its NUL and afterNul take " +
                       std::to_string(bytes.size() + 1 + after.size()) + " bytes; the field has " +
                       std::to_string(f.width));
    if (bytes.size() > f.maxChars)
        run.outsideEditor(textPath, "text of " + std::to_string(bytes.size()) + " characters",
                          "at most " + std::to_string(f.maxChars));
    std::memset(p, 0, f.width);
    std::memcpy(p, bytes.data(), bytes.size());
    if (!after.empty()) std::memcpy(p + bytes.size() + 1, after.data(), after.size());
}

void barcodeFromJson(const Json& v, uint8_t* p, const std::string& path, ImportRun& run) {
    if (!v.is_object()) wrongType(path, "an object", v);
    BarcodeSettings b;
    std::memcpy(b.bytes, p, sizeof b.bytes);
    for (const auto& [key, value] : v.items()) {
        const std::string fieldPath = child(path, key);
        if (key == kReservedKey) {
            const std::string bytes = hexBytes(value, sizeof b.bytes, fieldPath);
            for (std::size_t i = 0; i < sizeof b.bytes; ++i) {
                const uint8_t given = i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0;
                const uint8_t owned = barcodeOwnedBits(i);
                if ((given & owned) != 0) {
                    char detail[80];
                    std::snprintf(detail, sizeof detail,
                                  "byte %zu sets bits %02X, which belong to named fields", i,
                                  static_cast<unsigned>(given & owned));
                    fail(fieldPath, detail);
                }
                b.bytes[i] = static_cast<uint8_t>((b.bytes[i] & owned) | given);
            }
            continue;
        }
        const BarcodeField* bf = findBarcodeField(key);
        if (bf == nullptr) {
            std::vector<std::string> keys;
            for (const BarcodeField& k : kBarcodeFields) keys.emplace_back(k.name);
            keys.emplace_back(kReservedKey);
            unknownKey(path, key, keys);
        }
        Field number{bf->name, 0, Kind::Number, 1, 0, 0, static_cast<int>(barcodeEditorMax(*bf))};
        number.bits = bf->width;
        uint8_t n = 0;
        numberFromJson(value, &n, number, fieldPath, run);
        writeBarcodeField(b, *bf, n);
    }
    std::memcpy(p, b.bytes, sizeof b.bytes);
}

void elementFromJson(const Json& v, uint8_t* p, const Field& f, const std::string& path,
                     ImportRun& run) {
    switch (f.kind) {
        case Kind::Number:
        case Kind::Word: numberFromJson(v, p, f, path, run); return;
        case Kind::Text: textFromJson(v, p, f, path, run); return;
        case Kind::Bytes: {
            const std::string bytes = hexBytes(v, f.width, path);
            std::memset(p, 0, f.width);
            std::memcpy(p, bytes.data(), bytes.size());
            return;
        }
        case Kind::Record: recordFromJson(v, p, *f.sub, path, run); return;
        case Kind::Barcode: barcodeFromJson(v, p, path, run); return;
    }
}

void fieldFromJson(const Json& v, uint8_t* rec, const Field& f, const std::string& path,
                   ImportRun& run) {
    if (f.count == 0) {
        elementFromJson(v, rec + f.offset, f, path, run);
        return;
    }
    if (!v.is_array()) wrongType(path, "an array", v);
    // A short array leaves the elements it does not reach as they are.
    if (v.size() > f.count)
        fail(path, "has " + std::to_string(v.size()) + " entries; at most " +
                       std::to_string(f.count));
    for (std::size_t i = 0; i < v.size(); ++i)
        elementFromJson(v[i], rec + f.offset + i * f.width, f, element(path, i), run);
}

std::vector<std::string> keysOf(const FieldTable& table) {
    std::vector<std::string> keys;
    for (const Field& f : table) keys.emplace_back(f.name);
    if (&table == &kFormTable) keys.emplace_back(kLinesKey);
    return keys;
}

const Field* findField(const FieldTable& table, const std::string& key) {
    for (const Field& f : table)
        if (key == f.name) return &f;
    return nullptr;
}

void linesFromJson(const Json& v, uint8_t* form, const std::string& path, ImportRun& run) {
    if (!v.is_array()) wrongType(path, "an array", v);
    if (v.size() > std::size_t(kLinesPerForm))
        fail(path, "has " + std::to_string(v.size()) + " entries; at most " +
                       std::to_string(kLinesPerForm));
    for (std::size_t line = 0; line < v.size(); ++line) {
        const std::string linePath = element(path, line);
        const Json& l = v[line];
        if (!l.is_object()) wrongType(linePath, "an object", l);
        for (const auto& [key, value] : l.items()) {
            const Field* f = findField(kLineTable, key);
            if (f == nullptr) unknownKey(linePath, key, keysOf(kLineTable));
            fieldFromJson(value, form, lineField(*f, int(line)), child(linePath, key), run);
        }
    }
}

void recordFromJson(const Json& v, uint8_t* rec, const FieldTable& table, const std::string& path,
                    ImportRun& run) {
    if (!v.is_object()) wrongType(path, "an object", v);
    for (const auto& [key, value] : v.items()) {
        if (&table == &kFormTable && key == kLinesKey) {
            linesFromJson(value, rec, child(path, key), run);
            continue;
        }
        const Field* f = findField(table, key);
        if (f == nullptr) unknownKey(path, key, keysOf(table));
        fieldFromJson(value, rec, *f, child(path, key), run);
    }
}

void programFromJson(const Json& doc, ProgramModel& m, ImportRun& run) {
    if (!doc.is_object()) wrongType("", "a program document (an object)", doc);
    const auto format = doc.find(kFormatKey);
    if (format == doc.end())
        fail("", std::string("not a program document: \"") + kFormatKey + "\": \"" +
                     kDocumentFormatName + "\" is missing");
    if (!format->is_string() || format->get_ref<const std::string&>() != kDocumentFormatName)
        // Only a text is shown: a nested value could be deep enough to
        // overflow the stack of a recursive dump.
        fail(kFormatKey, "expected \"" + std::string(kDocumentFormatName) + "\", found " +
                             (format->is_string() ? dumpJson(*format, -1) : typeName(*format)));
    const auto version = doc.find(kFormatVersionKey);
    if (version == doc.end()) fail("", std::string("\"") + kFormatVersionKey + "\" is missing");
    if (!version->is_number_integer()) wrongType(kFormatVersionKey, "a whole number", *version);
    if (version->get<int64_t>() != kDocumentFormatVersion)
        fail(kFormatVersionKey, "version " + version->dump() + " is not known (this program reads " +
                                    std::to_string(kDocumentFormatVersion) + ")");

    std::vector<std::string> keys = keysOf(programTable());
    keys.emplace_back(kFormatKey);
    keys.emplace_back(kFormatVersionKey);
    for (const auto& [key, value] : doc.items()) {
        if (key == kFormatKey || key == kFormatVersionKey) continue;
        const Field* f = findField(programTable(), key);
        if (f == nullptr) unknownKey("", key, keys);
        fieldFromJson(value, modelBody(m), *f, key, run);
    }
}

// Parses JSON text. Duplicate keys would silently keep one of the values, so
// they are an error of their own.
Json parseDocument(std::string_view text) {
    std::vector<std::set<std::string>> objects;
    std::string duplicate;
    Json::parser_callback_t callback = [&](int, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        if (event == Event::object_start) {
            objects.emplace_back();
        } else if (event == Event::object_end) {
            if (!objects.empty()) objects.pop_back();
        } else if (event == Event::key && !objects.empty() && duplicate.empty()) {
            const std::string& key = parsed.get_ref<const std::string&>();
            if (!objects.back().insert(key).second) duplicate = key;
        }
        return true;
    };
    Json doc;
    try {
        doc = Json::parse(text.begin(), text.end(), callback);
    } catch (const Json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 7: ..."
        std::string message = e.what();
        const std::size_t at = message.find("line ");
        if (at != std::string::npos) message = message.substr(at);
        fail("", message);
    } catch (const Json::exception& e) {
        // A number beyond the range of a double ("1e400") is refused by the
        // parser with an exception of another kind, and without a position:
        // "[json.exception.out_of_range.406] number overflow parsing '1e400'".
        std::string message = e.what();
        const std::size_t end = message.find("] ");
        if (end != std::string::npos) message = message.substr(end + 2);
        fail("", message);
    }
    if (!duplicate.empty()) fail("", "the key \"" + duplicate + "\" appears twice in one object");
    return doc;
}

// ---------------------------------------------------------------------------
// Diff

void diffJson(const Json& a, const Json& b, const std::string& path,
              std::vector<DocumentDifference>& out) {
    if (a == b) return;
    if (a.is_object() && b.is_object()) {
        for (const auto& [key, value] : a.items()) {
            const auto other = b.find(key);
            diffJson(value, other == b.end() ? Json() : *other, child(path, key), out);
        }
        for (const auto& [key, value] : b.items())
            if (!a.contains(key)) diffJson(Json(), value, child(path, key), out);
        return;
    }
    if (a.is_array() && b.is_array() && a.size() == b.size()) {
        for (std::size_t i = 0; i < a.size(); ++i) diffJson(a[i], b[i], element(path, i), out);
        return;
    }
    out.push_back({path, dumpJson(a, -1), dumpJson(b, -1)});
}

// ---------------------------------------------------------------------------
// Schema

Json schemaOf(const FieldTable& table);

Json hexSchema(std::size_t maxBytes) {
    return Json{{"type", "string"},
                {"pattern", "^([0-9A-Fa-f]{2}){0," + std::to_string(maxBytes) + "}$"}};
}

// The schema states what the fields store; what the editor offers is a
// description (import keeps such values, with a warning).
Json numberSchema(int storageMax, int editorMin, int editorMax) {
    Json n{{"type", "integer"}, {"minimum", 0}, {"maximum", storageMax}};
    if (editorMin > 0 || editorMax < storageMax)
        n["description"] = "The editor offers " + std::to_string(editorMin) + ".." +
                           std::to_string(editorMax) + "; other values are kept.";
    return n;
}

Json elementSchema(const Field& f) {
    switch (f.kind) {
        case Kind::Number: return numberSchema(storageMax(f), f.min, f.max);
        case Kind::Word: return Json{{"type", "integer"}, {"minimum", 0}, {"maximum", 0xFFFF}};
        case Kind::Bytes: return hexSchema(f.width);
        case Kind::Record: return schemaOf(*f.sub);
        case Kind::Barcode: {
            Json properties = Json::object();
            for (const BarcodeField& bf : kBarcodeFields)
                properties[bf.name] = numberSchema(int((1u << bf.width) - 1u), 0,
                                                   int(barcodeEditorMax(bf)));
            properties[kReservedKey] = hexSchema(sizeof(BarcodeSettings));
            return Json{{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
        }
        case Kind::Text: {
            Json text{{"type", "string"}, {"maxLength", f.width}};
            if (f.maxChars < f.width)
                text["description"] = "The editor writes at most " + std::to_string(f.maxChars) +
                                      " characters; longer texts are kept.";
            Json withTail{{"type", "object"},
                          {"properties",
                           Json{{kTextKey, text}, {kAfterNulKey, hexSchema(f.width - 1)}}},
                          {"additionalProperties", false}};
            return Json{{"anyOf", Json::array({text, withTail})}};
        }
    }
    return Json::object();
}

Json fieldSchema(const Field& f) {
    if (f.count == 0) return elementSchema(f);
    return Json{{"type", "array"}, {"maxItems", f.count}, {"items", elementSchema(f)}};
}

Json schemaOf(const FieldTable& table) {
    Json properties = Json::object();
    for (const Field& f : table) properties[f.name] = fieldSchema(f);
    if (&table == &kFormTable) {
        Json line = Json::object();
        for (const Field& f : kLineTable) line[f.name] = fieldSchema(f);
        properties[kLinesKey] = Json{
            {"type", "array"},
            {"maxItems", kLinesPerForm},
            {"items", Json{{"type", "object"}, {"properties", line}, {"additionalProperties", false}}}};
    }
    return Json{{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
}

}  // namespace

std::string DocumentImportResult::describe() const {
    if (ok) return {};
    return path.empty() ? message : path + ": " + message;
}

std::string exportProgramDocument(const ProgramModel& m) {
    return dumpJson(programToJson(m), 2) + "\n";
}

DocumentImportResult importProgramDocument(std::string_view text, const DefaultTexts& defaults,
                                           ProgramModel& m, const DocumentImportOptions& options) {
    DocumentImportResult result;
    auto scratch = std::make_unique<ProgramModel>();
    std::memset(modelBody(*scratch), 0, kModelBodySize);
    scratch->modified = false;
    newProgram(*scratch, defaults);
    ImportRun run;
    run.strict = options.strict;
    try {
        programFromJson(parseDocument(text), *scratch, run);
        const uint8_t version = scratch->settings.version;
        if (version < kSettingsVersion) {
            const std::string what = std::to_string(version) + " is an older settings layout";
            if (run.strict) fail("settings.version", what + ", not one of the editor's values");
            run.warnings.push_back("settings.version: " + what + "; upgraded to " +
                                   std::to_string(kSettingsVersion) + " as Open upgrades a file");
        }
    } catch (const DocumentError& e) {
        result.path = e.path;
        result.message = e.message;
        result.warnings = std::move(run.warnings);
        return result;
    }
    // The fields make a program file; the program is what Open makes of that
    // file (an older settings layout is upgraded), so importing a document
    // and opening the file it describes never differ.
    std::vector<uint8_t> file(kProgramFileSize, 0);
    std::memcpy(file.data(), kProgramHeader, sizeof kProgramHeader);
    std::memcpy(file.data() + sizeof kProgramHeader, modelBody(*scratch), kModelBodySize);
    if (!loadProgramBytes(*scratch, defaults, file.data(), file.size()).ok()) {
        result.message = "the program file of the document cannot be read";   // never: a full file
        return result;
    }
    m = *scratch;
    result.ok = true;
    result.warnings = std::move(run.warnings);
    return result;
}

std::vector<DocumentDifference> diffPrograms(const ProgramModel& a, const ProgramModel& b) {
    std::vector<DocumentDifference> out;
    diffJson(programToJson(a), programToJson(b), "", out);
    return out;
}

std::string differencesAsJson(const std::vector<DocumentDifference>& differences) {
    Json a = Json::array();
    for (const DocumentDifference& d : differences) {
        Json o = Json::object();
        o["path"] = d.path;
        o["before"] = Json::parse(d.before);
        o["after"] = Json::parse(d.after);
        a.push_back(std::move(o));
    }
    return dumpJson(a, 2) + "\n";
}

std::string programDocumentSchema() {
    Json schema = Json::object();
    schema["$schema"] = "https://json-schema.org/draft/2020-12/schema";
    schema["title"] = "Formwright program document";
    schema["description"] =
        "A terminal program as text: every field of the program file by its model name. "
        "Numbers are the stored values, in the range the field stores (what the editor "
        "offers is described); texts are Windows-1252 characters, written as "
        "{\"text\", \"afterNul\"} when the field holds bytes after its terminating NUL; "
        "hex strings carry the bytes without a known meaning. A field left out takes the "
        "value of a New program.";
    Json body = schemaOf(programTable());
    body["properties"]["settings"]["properties"]["version"]["description"] =
        "Layouts 0 and 1 are older; an import upgrades them to " +
        std::to_string(kSettingsVersion) + " as Open upgrades a file.";
    Json properties = Json::object();
    properties[kFormatKey] = Json{{"const", kDocumentFormatName}};
    properties[kFormatVersionKey] = Json{{"const", kDocumentFormatVersion}};
    for (const auto& [key, value] : body["properties"].items()) properties[key] = value;
    schema["type"] = "object";
    schema["required"] = Json::array({kFormatKey, kFormatVersionKey});
    schema["properties"] = std::move(properties);
    schema["additionalProperties"] = false;
    return dumpJson(schema, 2) + "\n";
}

}  // namespace fw
