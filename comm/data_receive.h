// The records the terminal sends in a data receive, and the checks each one
// passes before it is written and acknowledged.
//
// A record of L bytes, L counted with its CR:
//   0         serial, the raw value 0..9 (not a digit), records modulo 10
//   1..L-4    data: any byte but CR, bytes above 0x7F included
//   L-3, L-2  low, then high byte of the 16-bit sum of bytes 0..L-4, each
//             0x0E where it would be 0x0D
//   L-1       CR
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fw {

// Serial, two sum bytes and CR.
constexpr std::size_t kDataRecordMinSize = 4;

enum class RecordCheck {
    accept,        // new and sound: write it, then acknowledge it
    repeat,        // the record accepted last, again: its acknowledgement was lost
    tooShort,      // fewer than four bytes: not a record at all
    wrongSerial,
    badSum,
};

// The 16-bit sum of the serial and the data bytes, modulo 65,536.
uint16_t dataRecordSum(std::span<const uint8_t> serialAndData);

// Checks one reply of L bytes (its CR included) against the serial expected
// next and the record accepted last (its bytes without the CR; empty while
// none was). Only an exact copy of the last accepted record is a repeat.
RecordCheck checkDataRecord(std::span<const uint8_t> reply, int expectedSerial,
                            std::span<const uint8_t> previousRecord, bool havePrevious);

// The line a record adds to the output file: its data bytes, CR, LF. The
// record must have passed checkDataRecord.
std::vector<uint8_t> dataRecordLine(std::span<const uint8_t> record);

}  // namespace fw
