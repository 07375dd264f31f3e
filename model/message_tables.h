// Catalogue of the 26 message tables of the terminal's built-in screens, in
// file order, with where each lives in the model and where its default lines
// live in the string table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/form_rules.h"
#include "model/program_model.h"
#include "resources/text_ids.h"

namespace fw {

constexpr int kMessageTableCount = 26;
constexpr int kMaxTableLines = 8;

struct MessageTableInfo {
    const char* name;        // the model member, e.g. "msgMainMenu"
    uint16_t modelOffset;    // offset of the table inside the model body
    uint8_t lines;
    uint8_t width;           // 16 (texts of 12) or 21 (texts of 16)
    // String id of line n (1-based) is textBase + n. Tables of 21-byte lines
    // also have a twelve-character twin for the large font at twinBase + n.
    uint16_t textBase;
    uint16_t twinBase;       // 0 for tables of 16-byte lines
    uint8_t twinLines;       // lines of the twin (the rest stay empty)
};

extern const MessageTableInfo kMessageTables[kMessageTableCount];

// Indexes into kMessageTables.
enum MessageTableIndex {
    kMsgMainMenu, kMsgUtilities, kMsgDeleteData, kMsgConfirm, kMsgMemoryPower,
    kMsgLoadLookup, kMsgSettings, kMsgUploadPort, kMsgDownloadPort, kMsgBaudRate,
    kMsgBacklight, kMsgDataDeletion, kMsgEntryOptions, kMsgViewSettings,
    kMsgSystemFault, kMsgUploadData, kMsgSetPhoneNumber, kMsgSaveRecord,
    kMsgDeleteRecord, kMsgAutoDeleteData, kMsgSetPassword, kMsgConnecting,
    kMsgModemConnection, kMsgErrorMessages, kMsgMiscellaneous, kMsgMiscContinuous,
};

// The extra utility lines inside TerminalSettings follow the same scheme.
constexpr uint16_t kExtraUtilityTextBase = 1710;
constexpr uint16_t kExtraUtilityTwinBase = 1720;
constexpr int kExtraUtilityLineCount = 5;

// The characters a message line of `lineBytes` holds: a line of 21 bytes
// holds a text of the small font, one of 16 a text of the large font.
constexpr std::size_t charsOfLine(std::size_t lineBytes) {
    return static_cast<std::size_t>(textWidth(lineBytes == 21 ? 0 : 1));
}

// Line `line` (0-based) of table `table` inside the model.
uint8_t* messageLine(ProgramModel& m, int table, int line);
const uint8_t* messageLine(const ProgramModel& m, int table, int line);

}  // namespace fw
