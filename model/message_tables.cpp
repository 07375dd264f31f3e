#include "model/message_tables.h"

#include <cstddef>

namespace fw {

#define FW_TABLE(member, base, twin, twinLines)                                          \
    {#member, static_cast<uint16_t>(offsetof(ProgramModel, member)),          \
     decltype(ProgramModel::member)::kLines, decltype(ProgramModel::member)::kWidth, \
     base, twin, twinLines}

// Each table owns a decade of string ids (two for tables with a twelve-
// character twin). The bases of the two port screens are fixed by the ids the
// Bluetooth and acoustic lines are known by (805-807, 814-816, 846-847,
// 854-855); the twins of "Settings" and "Misc - continuous" fill the decades
// left free between the port screens so that every id stays in 721..1093.
const MessageTableInfo kMessageTables[kMessageTableCount] = {
    FW_TABLE(msgMainMenu, 720, 0, 0),
    FW_TABLE(msgUtilities, 730, 740, 8),
    FW_TABLE(msgDeleteData, 750, 0, 0),
    FW_TABLE(msgConfirm, 760, 0, 0),
    FW_TABLE(msgMemoryPower, 770, 0, 0),
    FW_TABLE(msgLoadLookup, 780, 0, 0),
    FW_TABLE(msgSettings, 790, 820, 8),
    FW_TABLE(msgUploadPort, 800, 810, 5),
    FW_TABLE(msgDownloadPort, 840, 850, 4),
    FW_TABLE(msgBaudRate, 860, 870, 5),
    FW_TABLE(msgBacklight, 880, 890, 4),
    FW_TABLE(msgDataDeletion, 900, 910, 4),
    FW_TABLE(msgEntryOptions, 920, 930, 4),
    FW_TABLE(msgViewSettings, 940, 950, 6),
    FW_TABLE(msgSystemFault, 960, 0, 0),
    FW_TABLE(msgUploadData, 970, 0, 0),
    FW_TABLE(msgSetPhoneNumber, 980, 990, 2),
    FW_TABLE(msgSaveRecord, 1000, 0, 0),
    FW_TABLE(msgDeleteRecord, 1010, 0, 0),
    FW_TABLE(msgAutoDeleteData, 1020, 0, 0),
    FW_TABLE(msgSetPassword, 1030, 0, 0),
    FW_TABLE(msgConnecting, 1040, 0, 0),
    FW_TABLE(msgModemConnection, 1050, 0, 0),
    FW_TABLE(msgErrorMessages, 1060, 1070, 6),
    FW_TABLE(msgMiscellaneous, 1080, 0, 0),
    FW_TABLE(msgMiscContinuous, 1090, 830, 3),
};

#undef FW_TABLE

uint8_t* messageLine(ProgramModel& m, int table, int line) {
    const MessageTableInfo& t = kMessageTables[table];
    return modelBody(m) + t.modelOffset + static_cast<std::size_t>(line) * t.width;
}

const uint8_t* messageLine(const ProgramModel& m, int table, int line) {
    const MessageTableInfo& t = kMessageTables[table];
    return modelBody(m) + t.modelOffset + static_cast<std::size_t>(line) * t.width;
}

}  // namespace fw
