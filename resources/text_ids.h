// Numbers of the texts the program shows, in the one number space of the
// string table (resources/string_table.inc) and the language files. Every
// numbered text the code names is named here, once. Each page or area keeps
// its own section; new sections go at the end.
#pragma once

namespace fw {

// ---- Captions of the designer's windows (language files only) ----
constexpr unsigned kTextSheetPrefix = 2;    // "Formwright" of the sheet caption
constexpr unsigned kTextNewFile = 3;        // "New file" of the sheet caption
// The editor sheet's page titles, in tab order.
constexpr unsigned kTextFormPageTitle = 51, kTextMenuPageTitle = 201, kTextLookupPageTitle = 251,
                   kTextBarcodePageTitle = 301, kTextSettingsPageTitle = 601, kTextStartupPageTitle = 701;

// ---- The popup menu's commands (language files only) ----
// "Collected data..." has no text in a language file and keeps its own.
namespace menucommandtext {
constexpr unsigned kNew = 1101, kOpen = 1102, kSave = 1103, kSaveAs = 1104, kEdit = 1105, kPreferences = 1106,
                   kDownloadApplication = 1107, kDownloadLookupFile = 1108, kReceiveData = 1109, kAbout = 1110,
                   kExit = 1111;
}  // namespace menucommandtext

// ---- Messages and message-box captions ----
constexpr unsigned kTextErrorCaption = 1121;         // "Error"
constexpr unsigned kTextDownloadCaption = 1123;      // "Download"
constexpr unsigned kTextUploadCaption = 1124;        // "Upload Data"
constexpr unsigned kTextSaveCurrentProgram = 1131;   // "Save current program ?"
constexpr unsigned kTextDownloadedCompletely = 1132;
constexpr unsigned kTextNoDataReceived = 1134;
constexpr unsigned kTextRetryQuestion = 1166;        // "Failed to download, would you like to retry?"
constexpr unsigned kTextWarningCaption = 1191;       // "Warning"
constexpr unsigned kTextInvalidValue = 1196;         // "Invalid value!"

// ---- What a link or a transfer returns when it fails ----
constexpr int kTimeOut = 1144;                      // "Time out!"
constexpr int kMemoryFull = 1146;                   // "Memory full for Terminal!"
constexpr int kCannotOpenFile = 1161;               // "Cannot open the file!"
constexpr int kCannotOpenComPort = 1162;            // "Cannot open the COM port!"
constexpr int kCannotConfigureIr = 1163;            // "Cannot configure IR device!"
constexpr int kFailedToOpenComPort = 1164;          // "Failed to open COM port"
constexpr int kFailedToEstablishConnection = 1165;  // "Failed to establish connection!"
constexpr int kErrorOnDownloading = 1168;           // "Error on downloading!"
constexpr int kFileCreateFailed = 1170;             // "File open/create failed!"
constexpr int kErrorOnUploading = 1173;             // "Error on uploading!"
constexpr int kNoComPortDevice = 1174;              // "Don't have any COM port device!"
// "Cannot write the received data!": the output file refused a record (a
// full disk), so the record was not acknowledged and the receive stopped.
constexpr int kCannotWriteReceivedData = 1175;

// ---- Port choice lines of the "Upload Port " and "Download Port " screens ----
constexpr unsigned kTextUploadModem16 = 805, kTextUploadAcoustic16 = 806, kTextUploadBluetooth16 = 807;
constexpr unsigned kTextUploadModem12 = 814, kTextUploadAcoustic12 = 815, kTextUploadBluetooth12 = 816;
constexpr unsigned kTextDownloadModem16 = 846, kTextDownloadBluetooth16 = 847;
constexpr unsigned kTextDownloadModem12 = 854, kTextDownloadBluetooth12 = 855;

// ---- The progress dialog and the receive (language files only) ----
constexpr unsigned kTextDoneLeading = 4;    // "Done : "
constexpr unsigned kTextDoneTrailing = 5;   // " records received.\nView the received data?"
constexpr unsigned kTextDataReceived = 6;   // "Data received :"
constexpr unsigned kTextProgressTitle = 7;  // "Progress"
constexpr unsigned kTextDownloading = 8;    // "Downloading..."

// ---- Buttons (language files only) ----
constexpr unsigned kTextOkButton = 1218;
constexpr unsigned kTextCancelButton = 1219;

// ---- Settings and Startup pages ----
namespace textid {
constexpr unsigned kAcousticCouplerK420 = 1192;     // "The Acoustic Coupler is available for K420 only!"
constexpr unsigned kBluetoothK460 = 1193;           // "The Bluetooth SPP is available for K460 only!"
constexpr unsigned kPasswordTooLong = 1194;         // "Password is too long!!!"
constexpr unsigned kInvalidCharacter = 1195;        // "Invalid character!!!"

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

// ==== The Form page and its dialogs (language files only) ====
// Numbers of the Form page's and its dialogs' captions in a language file.
// The dialog templates hold the built-in texts; while a language is active
// its text for the number replaces the template's (shell/captions.h).
namespace fw {

namespace formtext {
// Form page (its tab title is the sheet's kTextFormPageTitle).
constexpr unsigned kName = 52, kFont = 53, kEsc = 54, kNext = 55, kLookup = 56, kRecord = 57;
constexpr unsigned kTimeStamp = 58, kBranch = 59;
constexpr unsigned kLine = 60, kDataType = 61, kPrompt = 62, kInputSource = 63, kMinLength = 64,
                   kMaxLength = 65, kLinkLookup = 66, kLinkVariables = 67, kProperties = 68, kMore = 69;

// Field Properties dialog.
constexpr unsigned kFieldTitle = 81, kFieldFormNo = 82, kFieldLineNo = 83, kFieldData = 84,
                   kFieldFixedLength = 85, kFieldInitialValue = 86, kFieldPrefix = 87, kFieldSuffix = 88,
                   kFieldInputMark = 89, kFieldDecimals = 90, kFieldBarcodeInput = 91, kFieldPartial = 92,
                   kFieldStart = 93, kFieldMaxLength = 94, kFieldLeadCode = 95, kFieldCheckDigit = 96,
                   kFieldAutoEnter = 97;

// Lookup-field Properties dialog.
constexpr unsigned kLookupTitle = 111, kLookupFormNo = 112, kLookupLineNo = 113, kLookupFieldData = 114,
                   kLookupSaveFieldData = 115, kLookupFixedLength = 116, kLookupPrefix = 117,
                   kLookupSuffix = 118;

// Character grids.
constexpr unsigned kGridTitle = 131, kGridResult = 132, kGridClear = 133, kAsciiGridTitle = 671;

// Date and time stamp dialog.
constexpr unsigned kStampTitle = 141, kStampPosition = 142, kStampSplit = 143, kStampYear = 144,
                   kStampMonth = 145, kStampDay = 146, kStampDateSeparator = 147, kStampDateStyle = 148,
                   kStampHour = 149, kStampMinute = 150, kStampSecond = 151, kStampTimeSeparator = 152,
                   kStampDateFormat = 153, kStampTimeFormat = 154;

// Branch dialog.
constexpr unsigned kBranchTitle = 171, kBranchKey = 172, kBranchTo = 173, kBranchFn1 = 174;  // .. 177
}  // namespace formtext

}  // namespace fw

// ==== The Menu and Lookup pages (language files only) ====
// Numbers of the Menu page's, the file-name dialog's and the Lookup page's
// captions in a language file. The dialog templates hold the built-in
// texts; while a language is active its text for the number replaces the
// template's (shell/captions.h).
namespace fw {

namespace menutext {
// Menu page (its tab title is the sheet's kTextMenuPageTitle).
constexpr unsigned kName = 202, kFont = 203, kEsc = 204, kMenuCaption = 205, kData = 206, kSaveCaption = 207,
                   kSaveSelectedItem = 208, kPassDown = 209, kSeparateFiles = 210, kEditFileName = 211,
                   kReset = 212, kItemNo = 213, kItemName = 214, kNext = 215;
// File-name dialog.
constexpr unsigned kFileNameTitle = 230, kFileNameReset = 231;
}  // namespace menutext

namespace lookuptext {
// Lookup page (its tab title is the sheet's kTextLookupPageTitle).
constexpr unsigned kName = 252, kMemberLength = 253, kFieldCount = 254, kFieldProperty = 255,
                   kFixedLength = 256, kDelimiter = 257, kReadOnce = 258, kUploadable = 259, kNoMatch = 260,
                   kBadFormat = 261, kField = 262, kOffset = 263, kLength = 264, kMaxLength = 265,
                   kKeyField = 266, kReset = 267;
}  // namespace lookuptext

}  // namespace fw

// ==== The Barcode page and its dialogs ====
// Numbers of the Barcode page's and its dialogs' captions in a language
// file, and of the list texts the page loads. The templates hold the
// built-in texts; an active language's text for the number replaces them.
namespace fw::barcodetext {

// The page (its tab title is the sheet's kTextBarcodePageTitle).
constexpr unsigned kReaderSettings = 302, kScanMode = 303, kRedundancy = 304, kTimeout = 305,
                   kSeconds = 306, kParameters = 307;
constexpr unsigned kFirstCheck = 308;   // the 26 check boxes in page order, 308..333
constexpr unsigned kMore = 334, kCodeId = 335;

// The lists: scan modes 1461..1469, read redundancy 1481..1484.
constexpr unsigned kFirstScanMode = 1461, kFirstRedundancy = 1481;

// The symbology dialogs number their captions from a base: base the title,
// then each control in template order (editor/barcode_dialogs.h).
constexpr unsigned kCode39Base = 361, kItalianPharmacodeBase = 371, kFrenchPharmacodeBase = 381,
                   kIndustrial25Base = 391, kInterleave25Base = 411, kMatrix25Base = 431, kCodabarBase = 451,
                   kMsiBase = 471, kPlesseyBase = 491, kUpceBase = 501, kEan8Base = 511, kEan13Base = 521,
                   kTelepenBase = 541, kRss14Base = 551, kRss14LimitedBase = 561, kRss14ExpandedBase = 571,
                   kEan128Base = 581;

// The Code ID dialog.
constexpr unsigned kCodeIdTitle = 1661, kCodeIdEnable = 1662;
constexpr unsigned kCodeIdFirstLabel = 1663;   // the 15 labels, 1663..1677
constexpr unsigned kCodeIdFirstSet = 1678;     // "Set 1".."Set 5", 1678..1682
constexpr unsigned kCodeIdClear = 1683;

}  // namespace fw::barcodetext

// ==== The Settings and Startup pages and their dialogs (language files only) ====
// Numbers of the Settings and Startup pages' and their dialogs' captions in
// a language file. The templates hold the built-in texts.
namespace fw {

namespace settingstext {
// Settings page (its tab title is the sheet's kTextSettingsPageTitle).
constexpr unsigned kGroup = 602, kUpload = 603, kDownload = 605, kModemSpeed = 632, kBaudRate = 606,
                   kBacklight = 607, kIdle = 608, kIdleUnit = 609, kDeletion = 610, kEntry = 611, kStay = 612,
                   kPressKey = 613, kDurationUnit = 614, kKeyClick = 633, kGoodRead = 634, kWarningBeep = 635,
                   kSecurity = 636, kAcoustic = 629, kFunctionKey = 631, kReset = 630;
// Security dialog: 636 title, 617..628 the first twelve items, 638..640 the beeps.
constexpr unsigned kSecurityTitle = 636, kSecurityGroup = 615, kPassword = 616, kItemFirst = 617,
                   kBeepFirst = 638;
// Acoustic coupler dialog.
constexpr unsigned kAcTitle = 641, kAcDataBits = 642, kAcStopBits = 643, kAcParity = 644, kAcTone = 645,
                   kAcToneUnit = 646, kAcControl = 647, kAcStx = 648, kAcEtx = 649, kAcBlockGroup = 650,
                   kAcBlock = 651, kAcSize = 652, kAcDelay = 653, kAcPad = 654, kAcEob = 655, kAcCheck = 656,
                   kAcVolume = 657;
// Function key dialog: 683..689 the seven labels.
constexpr unsigned kFkTitle = 681, kFkEnable = 682, kFkLabelFirst = 683;
// Startup page (its tab title is the sheet's kTextStartupPageTitle).
constexpr unsigned kStartFrom = 702, kDelimGroup = 703, kDelimCount = 704, kAscii = 705, kText = 706,
                   kLargeFont = 707, kStartReset = 708, kImport = 709, kRedefine = 710;
}  // namespace settingstext

}  // namespace fw

// ==== The Preferences dialog (language files only) ====
// Its caption and its labels; OK and Cancel take the texts every dialog
// takes.
namespace fw::preferencestext {
constexpr unsigned kTitle = 11, kDownloadVia = 12, kReceiveVia = 13, kComPort = 14, kBaudRate = 15,
                   kAutoPreload = 16, kAlwaysOnTop = 17, kLanguage = 18, kDetectCradle = 19;
}  // namespace fw::preferencestext
