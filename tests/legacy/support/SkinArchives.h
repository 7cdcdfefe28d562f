#pragma once
// Skin archives made by the tests: entries packed by our packer (tools/skinpack), compressed
// ones by Debian's zip, and BMP files of any depth with fields the tests can break.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Types.h"

namespace legacy_test {

// (entry name, content), packed in this order.
using Entries = std::vector<std::pair<std::string, std::string>>;

// The archive's bytes as our packer writes them.
std::string pack(const Entries& entries);

// An archive from Debian's zip: first the compressed entries, then the stored ones appended.
std::string zip_archive(const Entries& compressed, const Entries& stored);

// Little-endian fields inside a file's bytes.
uint32_t get16(const std::string& bytes, size_t at);
uint32_t get32(const std::string& bytes, size_t at);
// A copy of the bytes with one field changed.
std::string with16(std::string bytes, size_t at, uint32_t value);
std::string with32(std::string bytes, size_t at, uint32_t value);

// An uncompressed bottom-up BMP. pixel(x, y) gives a palette index at 1, 4 and 8 bits, the
// 5-5-5 value at 16, and 0xRRGGBB at 24 and 32. The colour table holds `palette` (0xRRGGBB).
struct Bmp {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    std::vector<uint32_t> palette;
    uint32_t colors_used = 0;
    std::function<uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
};
std::string bmp_file(const Bmp& bmp);

// A BMP's picture in another format ("gif", "jpg"), converted by ImageMagick.
std::string converted(const std::string& bmp, const std::string& extension);

// The colour of a bitmap's pixel, as GetPixel reads it (0xBBGGRR).
COLORREF pixel_of(HBITMAP bitmap, int x, int y);

}  // namespace legacy_test
