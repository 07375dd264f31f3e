// Numbers of the Settings and Startup pages' and their dialogs' captions in
// a language file. The templates hold the built-in texts.
#pragma once

namespace fw {

namespace settingstext {
// Settings page (601, its tab title, is the sheet's).
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
// Startup page (701, its tab title, is the sheet's).
constexpr unsigned kStartFrom = 702, kDelimGroup = 703, kDelimCount = 704, kAscii = 705, kText = 706,
                   kLargeFont = 707, kStartReset = 708, kImport = 709, kRedefine = 710;
}  // namespace settingstext

}  // namespace fw
