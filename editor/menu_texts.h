// Numbers of the Menu page's, the file-name dialog's and the Lookup page's
// captions in a language file. The dialog templates hold the built-in
// texts; while a language is active its text for the number replaces the
// template's (shell/captions.h).
#pragma once

namespace fw {

namespace menutext {
// Menu page (201, the page's tab title, is the sheet's).
constexpr unsigned kName = 202, kFont = 203, kEsc = 204, kMenuCaption = 205, kData = 206, kSaveCaption = 207,
                   kSaveSelectedItem = 208, kPassDown = 209, kSeparateFiles = 210, kEditFileName = 211,
                   kReset = 212, kItemNo = 213, kItemName = 214, kNext = 215;
// File-name dialog.
constexpr unsigned kFileNameTitle = 230, kFileNameReset = 231;
}  // namespace menutext

namespace lookuptext {
// Lookup page (251, the page's tab title, is the sheet's).
constexpr unsigned kName = 252, kMemberLength = 253, kFieldCount = 254, kFieldProperty = 255,
                   kFixedLength = 256, kDelimiter = 257, kReadOnce = 258, kUploadable = 259, kNoMatch = 260,
                   kBadFormat = 261, kField = 262, kOffset = 263, kLength = 264, kMaxLength = 265,
                   kKeyField = 266, kReset = 267;
}  // namespace lookuptext

}  // namespace fw
