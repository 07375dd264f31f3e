// The terminal's own layout of the program, sent by the program download.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/program_model.h"

namespace fw {

constexpr std::size_t kProgramImageSize = 20000;
constexpr int kImageBlockCount = 200;
constexpr std::size_t kImageBlockDataSize = 100;

struct ProgramImage {
    uint8_t bytes[kProgramImageSize];
};

// Normalises the model before a download: menu captions and items padded to
// their width and counted, nil and extension lines emptied, links dropped
// where the type has none, inputLineCount recomputed. Changes the model.
void normaliseForDownload(ProgramModel& m);

// Lays the model out as the 20,000-byte image. The model is not changed.
void buildProgramImage(const ProgramModel& m, ProgramImage& image);

// Block k of the image as it goes on the line: 100 data bytes, the high and
// low byte of their arithmetic sum, and the block number.
struct ImageBlock {
    uint8_t data[kImageBlockDataSize];
    uint8_t sumHigh;
    uint8_t sumLow;
    uint8_t blockNumber;
};
static_assert(sizeof(ImageBlock) == 103);

ImageBlock makeImageBlock(const ProgramImage& image, int k);

// The pieces of the image that the standalone downloader lays out by the
// same rules as the designer (its own normalisation and settings differ).

// Where the image holds its parts: the records from byte 0, the 27 text
// tables, 55 bytes in the place of legacyBlock, then the settings.
constexpr std::size_t kImageTextStart = 16039;
constexpr std::size_t kImageLegacyStart = 18507;
constexpr std::size_t kImageSettingsStart = 18562;

// Pads the text of a field of `fieldWidth` bytes with spaces to exactly
// `width` characters and puts a NUL at position `width` (< fieldWidth); a
// longer text is cut there. Bytes after that NUL stay as they were.
void padTextField(uint8_t* field, std::size_t fieldWidth, std::size_t width);

// A menu normalised for a download with its texts `width` characters wide: the
// caption (when shown) and the ten items padded and cut to the width, and
// itemCount set to the number of items with a character above a space.
void normaliseMenu(MenuDef& menu, std::size_t width);

// Zero-fills the image and lays out bytes 0 to 18506: the barcode, menu,
// form and lookup records as held in the model, then every text slot of the
// 27 tables as its text padded with spaces to one less than the slot's width
// and a NUL. The 55 bytes after them and the settings are left zero.
void layOutRecordsAndTexts(const ProgramModel& m, ProgramImage& image);

// The settings bytes that both downloads number as the terminal does: byte 1
// (the program start) becomes 11 or 1, uploadPort, downloadPort, baudRate,
// backlight, dataDeletion and entryOption count from 1, and backlightIdle
// becomes its digit.
void adjustStartAndChoices(TerminalSettings& s);

}  // namespace fw
