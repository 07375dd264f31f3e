// Numbers of the Form page's and its dialogs' captions in a language file.
// The dialog templates hold the built-in texts; while a language is active
// its text for the number replaces the template's (shell/captions.h).
#pragma once

namespace fw {

namespace formtext {
// Form page (51, the page's tab title, is the sheet's).
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
