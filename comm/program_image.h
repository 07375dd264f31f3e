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

// Tidies the model before a download: menu captions and items padded to
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

}  // namespace fw
