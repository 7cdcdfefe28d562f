#include "base/PixelBlock.h"

#include <new>

namespace skinner {

PixelBlock::~PixelBlock() {
    if (owns) {
        ::operator delete(pixels, std::nothrow);
    }
}

std::unique_ptr<PixelBlock> PixelBlock::create(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    int64_t stride = (int64_t(width) * 2 + 3) / 4 * 4;
    int64_t bytes = stride * height;
    if (stride > INT32_MAX || bytes > (int64_t(1) << 30)) {
        return nullptr;
    }
    void* memory = ::operator new(size_t(bytes), std::nothrow);
    if (!memory) {
        return nullptr;
    }
    auto block = std::make_unique<PixelBlock>();
    block->width = width;
    block->height = height;
    block->stride = int32_t(stride);
    block->pixels = static_cast<uint16_t*>(memory);
    block->owns = true;
    return block;
}

}  // namespace skinner
