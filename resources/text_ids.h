// Numbers of the texts the program shows, in the one number space of the
// string table (resources/string_table.inc) and the language files. Every
// numbered text the code names is named here, once. Each page or area keeps
// its own section; new sections go at the end.
#pragma once

namespace fw {

// ---- Captions of the designer's windows (language files only) ----
constexpr unsigned kTextSheetPrefix = 2;    // "Formwright" of the sheet caption
constexpr unsigned kTextNewFile = 3;        // "New file" of the sheet caption

// ---- Messages and message-box captions ----
constexpr unsigned kTextErrorCaption = 1121;         // "Error"
constexpr unsigned kTextDownloadCaption = 1123;      // "Download"
constexpr unsigned kTextUploadCaption = 1124;        // "Upload Data"
constexpr unsigned kTextSaveCurrentProgram = 1131;   // "Save current program ?"
constexpr unsigned kTextDownloadedCompletely = 1132;
constexpr unsigned kTextNoDataReceived = 1134;
constexpr unsigned kTextRetryQuestion = 1166;        // "Failed to download, would you like to retry?"
constexpr unsigned kTextNoComPortDevice = 1174;      // "Don't have any COM port device!"
constexpr unsigned kTextWarningCaption = 1191;       // "Warning"
constexpr unsigned kTextInvalidValue = 1196;         // "Invalid value!"

// ---- Buttons (language files only) ----
constexpr unsigned kTextOkButton = 1218;
constexpr unsigned kTextCancelButton = 1219;

// ---- Settings and Startup pages ----
namespace textid {
constexpr unsigned kAcousticCouplerK420 = 1192;     // "The Acoustic Coupler is available for K420 only!"
constexpr unsigned kBluetoothK460 = 1193;           // "The Bluetooth SPP is available for K460 only!"
constexpr unsigned kPasswordTooLong = 1194;         // "Password is too long!!!"
constexpr unsigned kInvalidCharacter = 1195;        // "Invalid character!!!"

// Port choice lines of the "Upload Port " and "Download Port " screens.
constexpr unsigned kUploadModem16 = 805, kUploadAcoustic16 = 806, kUploadBluetooth16 = 807;
constexpr unsigned kUploadModem12 = 814, kUploadAcoustic12 = 815, kUploadBluetooth12 = 816;
constexpr unsigned kDownloadModem16 = 846, kDownloadBluetooth16 = 847;
constexpr unsigned kDownloadModem12 = 854, kDownloadBluetooth12 = 855;

// List entries.
constexpr unsigned kNil = 1211, kMute = 1221, kTone = 1222;
constexpr unsigned kPortFirst = 1491;          // .. 1495
constexpr unsigned kPortBluetooth = 1495;
constexpr unsigned kSpeedFirst = 1501;         // .. 1505
constexpr unsigned kBacklightFirst = 1511;     // .. 1512
constexpr unsigned kDeletionFirst = 1521;      // .. 1522
constexpr unsigned kEntryOptionFirst = 1531;   // .. 1533
constexpr unsigned kParityFirst = 1541;        // .. 1543
constexpr unsigned kBlockDelayFirst = 1551;    // .. 1553
constexpr unsigned kStartFromFirst = 1561;     // .. 1562
constexpr unsigned kDelimiterCountFirst = 1571;  // " 1 ", " 2 " (after "nil")
constexpr unsigned kScreenNameFirst = 1581;    // .. 1606
constexpr unsigned kFunctionActionFirst = 1621;  // .. 1640
constexpr unsigned kBeepFirst = 1701;          // .. 1703
}  // namespace textid

// ---- Menu and Lookup pages ----
constexpr unsigned kTextLookupRecordTooLong = 1157;   // a delimited record over 255 characters

}  // namespace fw
