// make_face: writes the terminal face, as the designer draws it at run time,
// to BMP files for looking at and for the program icons.
//
//   make_face <output folder> [scale in percent, 100 by default]
//
// Writes body.bmp (the face with its keys at rest) and keyNN_pressed.bmp.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "simulator/face_artwork.h"

namespace {

bool writeBmp(const std::filesystem::path& path, const fw::FacePixels& img) {
    const int rowBytes = (img.width * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes * img.height);
    std::vector<std::uint8_t> f(54 + dataSize, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        f[at] = static_cast<std::uint8_t>(v);
        f[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(img.width));
    put32(22, static_cast<std::uint32_t>(img.height));  // positive: rows bottom-up
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    for (int y = 0; y < img.height; ++y) {
        std::size_t row = 54 + static_cast<std::size_t>((img.height - 1 - y) * rowBytes);
        for (int x = 0; x < img.width; ++x) {
            const std::uint32_t c = img.at(x, y);
            f[row + static_cast<std::size_t>(x * 3)] = static_cast<std::uint8_t>(c);
            f[row + static_cast<std::size_t>(x * 3) + 1] = static_cast<std::uint8_t>(c >> 8);
            f[row + static_cast<std::size_t>(x * 3) + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_face <output folder> [percent]\n");
        return 2;
    }
    const int percent = argc == 3 ? std::atoi(argv[2]) : 100;
    if (percent < 100 || percent > 1000) {
        std::fprintf(stderr, "make_face: the scale is a percentage from 100 to 1000\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const fw::FaceArtwork art = fw::drawFaceArtwork(fw::FaceScale(fw::kBaseDpi * percent / 100));
    bool ok = writeBmp(dir / "body.bmp", art.body);
    for (int key = 1; key <= fw::kFaceKeyCount; ++key) {
        char name[32];
        std::snprintf(name, sizeof name, "key%02d_pressed.bmp", key);
        ok = writeBmp(dir / name, art.pressed[static_cast<std::size_t>(key - 1)]) && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "make_face: cannot write into %s\n", dir.string().c_str());
        return 1;
    }
    std::printf("make_face: the face at %d %% in %s\n", percent, dir.string().c_str());
    return 0;
}
