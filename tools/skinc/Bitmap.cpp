#include "tools/skinc/Bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "stb_image.h"

namespace skinc {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// A 24-bit bottom-up BMP; pixel(x, y) gives {r, g, b}.
template <class Pixel>
bool write_bmp(const std::string& path, int w, int h, Pixel pixel) {
    const uint32_t row = (3 * w + 3) & ~3u;
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, 54 + row * h);
    put32(v, 0);
    put32(v, 54);
    put32(v, 40);
    put32(v, w);
    put32(v, h);
    put16(v, 1);
    put16(v, 24);
    put32(v, 0);
    put32(v, row * h);
    put32(v, 2835);
    put32(v, 2835);
    put32(v, 0);
    put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = v.size();
        for (int x = 0; x < w; ++x) {
            const auto [r, g, b] = pixel(x, y);
            v.push_back(b);
            v.push_back(g);
            v.push_back(r);
        }
        while (v.size() - start < row) v.push_back(0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
    return bool(out);
}

struct Rgb {
    uint8_t r, g, b;
};

}  // namespace

bool png_to_bitmaps(const std::string& png, const std::string& base, std::string& error) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* data = stbi_load(png.c_str(), &w, &h, &channels, 4);
    if (!data) {
        error = "cannot read " + png;
        return false;
    }
    auto at = [&](int x, int y) { return data + 4 * (size_t(y) * w + x); };
    bool transparent = false, partial = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t a = at(x, y)[3];
            if (a != 255) transparent = true;
            if (a != 0 && a != 255) partial = true;
        }
    // Behind a 1-bit mask the image is drawn with SRCAND: it must be white where the mask is black.
    const bool one_bit_mask = transparent && !partial;
    bool ok = write_bmp(base + ".bmp", w, h, [&](int x, int y) {
        const stbi_uc* p = at(x, y);
        if (one_bit_mask && p[3] == 0) return Rgb{255, 255, 255};
        return Rgb{p[0], p[1], p[2]};
    });
    std::error_code ignored;
    std::filesystem::remove(base + "_1.bmp", ignored);
    std::filesystem::remove(base + "_8.bmp", ignored);
    if (ok && transparent) {
        ok = write_bmp(base + (partial ? "_8.bmp" : "_1.bmp"), w, h, [&](int x, int y) {
            const uint8_t a = at(x, y)[3];
            return Rgb{a, a, a};
        });
    }
    stbi_image_free(data);
    if (!ok) error = "cannot write the bitmaps of " + base;
    return ok;
}

bool bitmap_size(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    uint8_t head[26] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) || head[0] != 'B' || head[1] != 'M') return false;
    auto s32 = [&](int at) { return int32_t(head[at] | head[at + 1] << 8 | head[at + 2] << 16 | uint32_t(head[at + 3]) << 24); };
    width = s32(18);
    height = std::abs(s32(22));
    return width > 0 && height > 0;
}

}  // namespace skinc
