#include "check/png.h"

#include <algorithm>
#include <array>

namespace fw {

namespace {

void put32(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v >> 24);
    s += static_cast<char>(v >> 16);
    s += static_cast<char>(v >> 8);
    s += static_cast<char>(v);
}

void chunk(std::string& png, const char* type, const std::string& data) {
    put32(png, static_cast<std::uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    png += body;
    put32(png, crc32(body));
}

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::string base64(std::string_view bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t v = std::uint32_t(std::uint8_t(bytes[i])) << 16 |
                                std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 | std::uint8_t(bytes[i + 2]);
        for (int s = 18; s >= 0; s -= 6) out += digits[(v >> s) & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t v = std::uint32_t(std::uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) v |= std::uint32_t(std::uint8_t(bytes[i + 1])) << 8;
        out += digits[(v >> 18) & 63];
        out += digits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace

RgbImage::RgbImage(int w, int h, std::uint32_t fill) : width(w), height(h), rgb(std::size_t(w) * h * 3) {
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = std::uint8_t(fill >> 16);
        rgb[i + 1] = std::uint8_t(fill >> 8);
        rgb[i + 2] = std::uint8_t(fill);
    }
}

void RgbImage::set(int x, int y, std::uint32_t c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const std::size_t i = (std::size_t(y) * width + x) * 3;
    rgb[i] = std::uint8_t(c >> 16);
    rgb[i + 1] = std::uint8_t(c >> 8);
    rgb[i + 2] = std::uint8_t(c);
}

std::uint32_t RgbImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::size_t i = (std::size_t(y) * width + x) * 3;
    return std::uint32_t(rgb[i]) << 16 | std::uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
}

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (char b : bytes) c = crcTable()[(c ^ std::uint8_t(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::string_view bytes) {
    std::uint32_t a = 1, b = 0;
    for (char c : bytes) {
        a = (a + std::uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

std::string encodePng(const RgbImage& image) {
    // Each row starts with filter type 0 (none).
    std::string raw;
    const std::size_t rowBytes = std::size_t(image.width) * 3;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(image.rgb.data()) + y * rowBytes, rowBytes);
    }

    // zlib: header 78 01, stored blocks of at most 65535 bytes, Adler-32.
    std::string z("\x78\x01", 2);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    put32(z, adler32(raw));

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put32(header, static_cast<std::uint32_t>(image.width));
    put32(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);   // 8 bits, RGB, deflate, no filter, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

std::string pngDataUri(const RgbImage& image) { return "data:image/png;base64," + base64(encodePng(image)); }

}  // namespace fw
