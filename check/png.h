// A PNG file from RGB pixels, written without a compression library: the
// image data goes into stored (uncompressed) deflate blocks, which every
// PNG reader accepts. The report's pictures are small, so size is no issue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;   // 3 bytes a pixel, rows top to bottom

    RgbImage() = default;
    RgbImage(int w, int h, std::uint32_t fill);
    void set(int x, int y, std::uint32_t colour);   // 0xRRGGBB; off the image is ignored
    std::uint32_t at(int x, int y) const;
};

std::uint32_t crc32(std::string_view bytes);
std::uint32_t adler32(std::string_view bytes);

std::string encodePng(const RgbImage& image);

// "data:image/png;base64,..."
std::string pngDataUri(const RgbImage& image);

}  // namespace fw
