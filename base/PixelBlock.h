#pragma once
// A block of 16-bit RGB565 pixels, row after row; each row padded to a multiple of 4 bytes.
#include <cstdint>
#include <memory>

namespace skinner {

class PixelBlock {
public:
    virtual ~PixelBlock();

    // Owned, uninitialised pixels; null when the memory cannot be had or the size is not positive.
    static std::unique_ptr<PixelBlock> create(int32_t width, int32_t height);

    uint16_t* row(int32_t y) const {
        return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + ptrdiff_t(y) * stride);
    }

    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // bytes per row
    uint16_t* pixels = nullptr;
    bool owns = false;
};

}  // namespace skinner
