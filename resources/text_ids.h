// Numbers of the texts of the string table (string_table.inc) that code
// names. One section per part of the program.
#pragma once

namespace fw {

// ---- Menu and Lookup pages ----
constexpr unsigned kTextWarningCaption = 1155;        // "Warning"
constexpr unsigned kTextInvalidValue = 1156;          // "Invalid value!"
constexpr unsigned kTextLookupRecordTooLong = 1157;   // a delimited record over 255 characters

}  // namespace fw
