// Numbers of the texts the program shows, in the one number space of the
// string table (resources/string_table.inc) and the language files. Every
// numbered text the code names is named here, once.
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

// ---- Buttons (language files only) ----
constexpr unsigned kTextOkButton = 1218;
constexpr unsigned kTextCancelButton = 1219;

}  // namespace fw
