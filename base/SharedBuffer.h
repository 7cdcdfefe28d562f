#pragma once
// A reference-counted block of bytes seen through {offset, length} views: copies and
// slices share the bytes, a write through data() detaches a shared view first.
#include <cstdint>

namespace skinner {

class SharedBuffer {
public:
    SharedBuffer();
    explicit SharedBuffer(uint32_t size);
    SharedBuffer(uint32_t size, const void* source);
    SharedBuffer(const SharedBuffer& other);
    // A view into other's view; an offset or length reaching past it is cut to fit.
    SharedBuffer(const SharedBuffer& other, uint32_t offset, uint32_t length);
    ~SharedBuffer();
    SharedBuffer& operator=(const SharedBuffer& other);

    const uint8_t* const_data() const { return block_->data + offset_; }
    uint32_t length() const { return length_; }
    uint8_t* data();
    void fill(uint8_t value);
    // Copies as much of source as fits from position on; a position past the end copies nothing.
    uint32_t write_at(uint32_t position, const SharedBuffer& source);

    // How many handles share the block (for tests and diagnostics).
    int32_t use_count() const;

private:
    struct Block {
        int32_t refcount;  // changed only atomically: handles live on several threads
        uint8_t* data;
        uint32_t size;
    };
    static Block* new_block(uint32_t size);
    static void release(Block* block);

    Block* block_;
    uint32_t offset_ = 0;
    uint32_t length_ = 0;
};

}  // namespace skinner
