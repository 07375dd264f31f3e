// The designed terminal application: one ProgramModel of fixed byte records.
//
// Every record is a plain struct of bytes, laid out exactly as the program
// file and the terminal's program image hold it. Nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fw {

constexpr int kFormCount = 10;
constexpr int kLinesPerForm = 8;
constexpr int kMenuCount = 10;
constexpr int kItemsPerMenu = 10;
constexpr int kLookupCount = 3;
constexpr int kFieldsPerLookup = 8;
constexpr int kBranchKeys = 4;
constexpr int kFunctionKeys = 7;

// Where control passes: 0 the main menu, 1..10 form 1..10, 11..20 menu 1..10.
using TargetCode = uint8_t;
constexpr TargetCode kTargetMain = 0;
constexpr TargetCode targetForm(int k) { return static_cast<TargetCode>(k); }
constexpr TargetCode targetMenu(int k) { return static_cast<TargetCode>(10 + k); }

// Field data types of a form line.
enum DataType : uint8_t {
    kTypeNil = 0,
    kTypeText = 1,
    kTypeInteger = 2,
    kTypeReal = 3,
    kTypeLetter = 4,
    kTypeAuto = 5,
    kTypeBoolean = 6,
    kTypeLookup = 7,
    kTypeFixedData = 8,
    kTypePrompt = 9,
    kTypeCounter = 10,
    kTypePassDown = 11,
    kTypeExtension = 12,
    kTypePause = 13,
    kTypeAlphanumeric = 14,
};

struct BarcodeSettings {
    uint8_t bytes[23];
};

struct MenuDef {
    uint8_t font;                 // 0 small, 1 large
    uint8_t captionOn;
    uint8_t caption[21];
    uint8_t itemName[kItemsPerMenu][21];
    TargetCode escTarget;
    TargetCode itemNext[kItemsPerMenu];
    uint8_t saveCaption;
    uint8_t saveSelectedItem;
    uint8_t passDown;
    uint8_t itemCount;
    uint8_t selectedItem;         // simulator state, saved with the file
    uint8_t reserved249;
    uint8_t rest[100];            // carried through untouched
};

struct FormDef {
    uint8_t font;
    TargetCode escTarget;
    TargetCode nextTarget;
    uint8_t stampPosition;
    uint8_t stampSplit;
    uint8_t stampYear;
    uint8_t stampYearDigits;
    uint8_t stampMonth;
    uint8_t stampDay;
    uint8_t stampDateSepOn;
    uint8_t stampDateSep[2];
    uint8_t stampDateStyle;
    uint8_t stampHour;
    uint8_t stampMinute;
    uint8_t stampSecond;
    uint8_t stampTimeSepOn;
    uint8_t stampTimeSep[2];
    uint8_t recordAction;
    uint8_t lookupFile;
    uint8_t link[kLinesPerForm];
    uint8_t dataType[kLinesPerForm];
    uint8_t prompt[kLinesPerForm][21];
    uint8_t inputSource[kLinesPerForm];
    uint8_t minLength[kLinesPerForm];
    uint8_t maxLength[kLinesPerForm];
    uint8_t fixedLengthOn[kLinesPerForm];
    uint8_t alignment[kLinesPerForm];
    uint8_t fixedLength[kLinesPerForm];
    uint8_t initialValueOn[kLinesPerForm];
    uint8_t initialValue[kLinesPerForm][10];
    uint8_t prefixOn[kLinesPerForm];
    uint8_t prefixCode[kLinesPerForm][10];   // may fill all 10 bytes, no NUL
    uint8_t suffixOn[kLinesPerForm];
    uint8_t suffixCode[kLinesPerForm][10];   // may fill all 10 bytes, no NUL
    uint8_t partialOn[kLinesPerForm];
    uint8_t partialStart[kLinesPerForm];
    uint8_t partialMaxLength[kLinesPerForm];
    uint8_t leadCodeOn[kLinesPerForm];
    uint8_t leadCode[kLinesPerForm][6];      // may fill all 6 bytes, no NUL
    uint8_t autoEnter[kLinesPerForm];
    uint8_t inputMark[kLinesPerForm];
    uint8_t lineText[kLinesPerForm][50];
    uint8_t inputLineCount;
    uint8_t currentLine;          // simulator state, saved with the file
    uint8_t checkDigit[kLinesPerForm];
    uint8_t branch[kBranchKeys];
    uint8_t decimals[kLinesPerForm];
    uint8_t fileNameOn;
    uint8_t fileName[21];
    uint8_t rest[158];            // carried through untouched
};

struct LookupDef {
    uint8_t memberLength;
    uint8_t fieldCount;
    uint8_t keyField;
    uint8_t fieldOffset[kFieldsPerLookup];
    uint8_t fieldLength[kFieldsPerLookup];
    uint8_t delimiter;
    uint8_t uploadable;
    uint8_t noMatchAction;
    uint8_t badFormatAction;
    uint8_t readOnce;
    uint8_t rest[98];             // carried through untouched
};

// Acoustic coupler bytes of TerminalSettings, in order.
struct AcousticCoupler {
    uint8_t acDataBits;
    uint8_t acStopBits;
    uint8_t acParity;
    uint8_t acToneLength;
    uint8_t acSendControlChars;
    uint8_t acStartOfText;
    uint8_t acEndOfText;
    uint8_t acBlockMode;
    uint8_t acBlockSize;
    uint8_t acBlockDelay;
    uint8_t acPadChar;
    uint8_t acEndOfBlock;
    uint8_t acSendBlockCheck;
};

constexpr uint8_t kSettingsVersion = 2;

struct TerminalSettings {
    uint8_t version;
    uint8_t startFrom;
    uint8_t delimiter1;
    uint8_t delimiter2;
    uint8_t separateDataFiles;
    uint8_t uploadPort;
    uint8_t uploadPhone[21];
    uint8_t downloadPort;
    uint8_t baudRate;
    uint8_t backlight;
    uint8_t backlightIdle;
    uint8_t dataDeletion;
    uint8_t entryOption;
    uint8_t promptDuration;
    uint8_t securityItems[12];
    uint8_t password[12];
    uint8_t functionKeyMap[kFunctionKeys];
    uint8_t reserved65[3];
    uint8_t largeFont;
    AcousticCoupler acousticCoupler;
    uint8_t functionKeysOn;
    uint8_t acVolume;
    uint8_t codeIdOn;
    uint8_t codeId[15][2];
    uint8_t modemSpeed;
    uint8_t downloadPhone[21];
    uint8_t keyClick;
    uint8_t goodReadBeep;
    uint8_t warningBeep;
    uint8_t securityBeeps[3];
    uint8_t reserved143[7];
    uint8_t extraUtilityLines[5][21];
    uint8_t bluetoothFlags;       // bit 0 upload via Bluetooth SPP, bit 1 download
    uint8_t reserved256[12];
};

// A table of texts of the terminal's own screens: lines of 16 bytes (up to 12
// characters, large font) or 21 bytes (up to 16 characters, small font).
template <int Lines, int Width>
struct MessageTable {
    static constexpr int kLines = Lines;
    static constexpr int kWidth = Width;
    uint8_t line[Lines][Width];
};

// The whole program. From legacyWord to settings the members lie back to back
// exactly as the body of the program file; `modified` is not part of it.
struct ProgramModel {
    uint8_t legacyWord[2];        // little-endian word kept from an imported older file
    BarcodeSettings barcode;
    MenuDef menus[kMenuCount];
    FormDef forms[kFormCount];
    LookupDef lookups[kLookupCount];
    MessageTable<4, 16> reservedLines;
    MessageTable<4, 16> msgMainMenu;
    MessageTable<8, 21> msgUtilities;
    MessageTable<4, 16> msgDeleteData;
    MessageTable<4, 16> msgConfirm;
    MessageTable<4, 16> msgMemoryPower;
    MessageTable<7, 16> msgLoadLookup;
    MessageTable<8, 21> msgSettings;
    MessageTable<6, 21> msgUploadPort;
    MessageTable<6, 21> msgDownloadPort;
    MessageTable<5, 21> msgBaudRate;
    MessageTable<4, 21> msgBacklight;
    MessageTable<4, 21> msgDataDeletion;
    MessageTable<6, 21> msgEntryOptions;
    MessageTable<8, 21> msgViewSettings;
    MessageTable<3, 16> msgSystemFault;
    MessageTable<5, 16> msgUploadData;
    MessageTable<4, 21> msgSetPhoneNumber;
    MessageTable<5, 16> msgSaveRecord;
    MessageTable<5, 16> msgDeleteRecord;
    MessageTable<3, 16> msgAutoDeleteData;
    MessageTable<2, 16> msgSetPassword;
    MessageTable<4, 16> msgConnecting;
    MessageTable<3, 16> msgModemConnection;
    MessageTable<6, 21> msgErrorMessages;
    MessageTable<8, 16> msgMiscellaneous;
    MessageTable<3, 21> msgMiscContinuous;
    uint8_t legacyBlock[55];      // kept from an imported older file
    TerminalSettings settings;
    // Not saved: the program has unsaved changes.
    bool modified;
};

// Size of the model's file body: legacyWord up to and including settings.
constexpr std::size_t kModelBodySize = 18832;

static_assert(sizeof(BarcodeSettings) == 23);
static_assert(sizeof(MenuDef) == 350);
static_assert(offsetof(MenuDef, caption) == 2);
static_assert(offsetof(MenuDef, itemName) == 23);
static_assert(offsetof(MenuDef, escTarget) == 233);
static_assert(offsetof(MenuDef, itemNext) == 234);
static_assert(offsetof(MenuDef, saveCaption) == 244);
static_assert(offsetof(MenuDef, saveSelectedItem) == 245);
static_assert(offsetof(MenuDef, passDown) == 246);
static_assert(offsetof(MenuDef, itemCount) == 247);
static_assert(offsetof(MenuDef, selectedItem) == 248);
static_assert(offsetof(MenuDef, reserved249) == 249);
static_assert(offsetof(MenuDef, rest) == 250);

static_assert(sizeof(FormDef) == 1215);
static_assert(offsetof(FormDef, stampPosition) == 3);
static_assert(offsetof(FormDef, stampDateSep) == 10);
static_assert(offsetof(FormDef, stampDateStyle) == 12);
static_assert(offsetof(FormDef, stampTimeSep) == 17);
static_assert(offsetof(FormDef, recordAction) == 19);
static_assert(offsetof(FormDef, lookupFile) == 20);
static_assert(offsetof(FormDef, link) == 21);
static_assert(offsetof(FormDef, dataType) == 29);
static_assert(offsetof(FormDef, prompt) == 37);
static_assert(offsetof(FormDef, inputSource) == 205);
static_assert(offsetof(FormDef, minLength) == 213);
static_assert(offsetof(FormDef, maxLength) == 221);
static_assert(offsetof(FormDef, fixedLengthOn) == 229);
static_assert(offsetof(FormDef, alignment) == 237);
static_assert(offsetof(FormDef, fixedLength) == 245);
static_assert(offsetof(FormDef, initialValueOn) == 253);
static_assert(offsetof(FormDef, initialValue) == 261);
static_assert(offsetof(FormDef, prefixOn) == 341);
static_assert(offsetof(FormDef, prefixCode) == 349);
static_assert(offsetof(FormDef, suffixOn) == 429);
static_assert(offsetof(FormDef, suffixCode) == 437);
static_assert(offsetof(FormDef, partialOn) == 517);
static_assert(offsetof(FormDef, partialStart) == 525);
static_assert(offsetof(FormDef, partialMaxLength) == 533);
static_assert(offsetof(FormDef, leadCodeOn) == 541);
static_assert(offsetof(FormDef, leadCode) == 549);
static_assert(offsetof(FormDef, autoEnter) == 597);
static_assert(offsetof(FormDef, inputMark) == 605);
static_assert(offsetof(FormDef, lineText) == 613);
static_assert(offsetof(FormDef, inputLineCount) == 1013);
static_assert(offsetof(FormDef, currentLine) == 1014);
static_assert(offsetof(FormDef, checkDigit) == 1015);
static_assert(offsetof(FormDef, branch) == 1023);
static_assert(offsetof(FormDef, decimals) == 1027);
static_assert(offsetof(FormDef, fileNameOn) == 1035);
static_assert(offsetof(FormDef, fileName) == 1036);
static_assert(offsetof(FormDef, rest) == 1057);

static_assert(sizeof(LookupDef) == 122);
static_assert(offsetof(LookupDef, fieldOffset) == 3);
static_assert(offsetof(LookupDef, fieldLength) == 11);
static_assert(offsetof(LookupDef, delimiter) == 19);
static_assert(offsetof(LookupDef, uploadable) == 20);
static_assert(offsetof(LookupDef, noMatchAction) == 21);
static_assert(offsetof(LookupDef, badFormatAction) == 22);
static_assert(offsetof(LookupDef, readOnce) == 23);
static_assert(offsetof(LookupDef, rest) == 24);

static_assert(sizeof(AcousticCoupler) == 13);
static_assert(sizeof(TerminalSettings) == 268);
static_assert(offsetof(TerminalSettings, separateDataFiles) == 4);
static_assert(offsetof(TerminalSettings, uploadPort) == 5);
static_assert(offsetof(TerminalSettings, uploadPhone) == 6);
static_assert(offsetof(TerminalSettings, downloadPort) == 27);
static_assert(offsetof(TerminalSettings, baudRate) == 28);
static_assert(offsetof(TerminalSettings, backlight) == 29);
static_assert(offsetof(TerminalSettings, backlightIdle) == 30);
static_assert(offsetof(TerminalSettings, dataDeletion) == 31);
static_assert(offsetof(TerminalSettings, entryOption) == 32);
static_assert(offsetof(TerminalSettings, promptDuration) == 33);
static_assert(offsetof(TerminalSettings, securityItems) == 34);
static_assert(offsetof(TerminalSettings, password) == 46);
static_assert(offsetof(TerminalSettings, functionKeyMap) == 58);
static_assert(offsetof(TerminalSettings, largeFont) == 68);
static_assert(offsetof(TerminalSettings, acousticCoupler) == 69);
static_assert(offsetof(TerminalSettings, functionKeysOn) == 82);
static_assert(offsetof(TerminalSettings, acVolume) == 83);
static_assert(offsetof(TerminalSettings, codeIdOn) == 84);
static_assert(offsetof(TerminalSettings, codeId) == 85);
static_assert(offsetof(TerminalSettings, modemSpeed) == 115);
static_assert(offsetof(TerminalSettings, downloadPhone) == 116);
static_assert(offsetof(TerminalSettings, keyClick) == 137);
static_assert(offsetof(TerminalSettings, goodReadBeep) == 138);
static_assert(offsetof(TerminalSettings, warningBeep) == 139);
static_assert(offsetof(TerminalSettings, securityBeeps) == 140);
static_assert(offsetof(TerminalSettings, extraUtilityLines) == 150);
static_assert(offsetof(TerminalSettings, bluetoothFlags) == 255);
static_assert(offsetof(TerminalSettings, reserved256) == 256);

// Model offsets are file offsets less the 10-byte header.
static_assert(offsetof(ProgramModel, barcode) == 12 - 10);
static_assert(offsetof(ProgramModel, menus) == 35 - 10);
static_assert(offsetof(ProgramModel, forms) == 3535 - 10);
static_assert(offsetof(ProgramModel, lookups) == 15685 - 10);
static_assert(offsetof(ProgramModel, reservedLines) == 16051 - 10);
static_assert(offsetof(ProgramModel, msgMainMenu) == 16115 - 10);
static_assert(offsetof(ProgramModel, msgUtilities) == 16179 - 10);
static_assert(offsetof(ProgramModel, msgLoadLookup) == 16539 - 10);
static_assert(offsetof(ProgramModel, msgSettings) == 16651 - 10);
static_assert(offsetof(ProgramModel, msgUploadPort) == 16819 - 10);
static_assert(offsetof(ProgramModel, msgDownloadPort) == 16945 - 10);
static_assert(offsetof(ProgramModel, msgEntryOptions) == 17344 - 10);
static_assert(offsetof(ProgramModel, msgSystemFault) == 17638 - 10);
static_assert(offsetof(ProgramModel, msgSetPhoneNumber) == 17766 - 10);
static_assert(offsetof(ProgramModel, msgErrorMessages) == 18202 - 10);
static_assert(offsetof(ProgramModel, msgMiscellaneous) == 18328 - 10);
static_assert(offsetof(ProgramModel, msgMiscContinuous) == 18456 - 10);
static_assert(offsetof(ProgramModel, legacyBlock) == 18519 - 10);
static_assert(offsetof(ProgramModel, settings) == 18574 - 10);
static_assert(offsetof(ProgramModel, modified) == kModelBodySize);

// The body of the model as raw bytes, in file order.
// (legacyWord sits at offset 0, so this is the object's own representation.)
inline uint8_t* modelBody(ProgramModel& m) { return reinterpret_cast<uint8_t*>(&m); }
inline const uint8_t* modelBody(const ProgramModel& m) {
    return reinterpret_cast<const uint8_t*>(&m);
}

}  // namespace fw
