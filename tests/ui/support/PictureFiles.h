#pragma once
// Picture files made by the tests: 24-bit BMPs drawn by a function of (x, y) -> 0xRRGGBB.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"

namespace ui_test {

using PixelFunction = std::function<uint32_t(int x, int y)>;

inline std::string bmp_bytes(int width, int height, const PixelFunction& pixel) {
    int stride = (width * 3 + 3) / 4 * 4;
    std::string b(size_t(54 + stride * height), '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + size_t(i)] = char(uint8_t(v >> (8 * i)));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, uint32_t(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + size_t(height - 1 - y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixel(x, y);
            put(row + size_t(x) * 3, c, 3);  // blue, green, red
        }
    }
    return b;
}

// A device root of its own, into which the test writes its picture files.
class PictureRoot {
public:
    void write(const std::string& relative, const std::string& bytes) const {
        fixtures::write_file(root_.host(relative), bytes);
    }

private:
    fixtures::DeviceRoot root_;
};

}  // namespace ui_test
