#include "base/SharedBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/Atomic.h"

namespace skinner {

namespace {

int32_t atomic_read(int32_t* value) {
    return std::atomic_ref<int32_t>(*value).load(std::memory_order_acquire);
}

}  // namespace

SharedBuffer::Block* SharedBuffer::new_block(uint32_t size) {
    return new Block{1, new uint8_t[size], size};
}

void SharedBuffer::release(Block* block) {
    if (atomic_decrement(&block->refcount) == 0) {
        delete[] block->data;
        delete block;
    }
}

SharedBuffer::SharedBuffer() : block_(new_block(0)) {}

SharedBuffer::SharedBuffer(uint32_t size) : block_(new_block(size)), length_(size) {}

SharedBuffer::SharedBuffer(uint32_t size, const void* source) : SharedBuffer(size) {
    if (size != 0) {
        std::memmove(block_->data, source, size);
    }
}

SharedBuffer::SharedBuffer(const SharedBuffer& other)
    : block_(other.block_), offset_(other.offset_), length_(other.length_) {
    atomic_increment(&block_->refcount);
}

SharedBuffer::SharedBuffer(const SharedBuffer& other, uint32_t offset, uint32_t length)
    : block_(other.block_) {
    atomic_increment(&block_->refcount);
    uint32_t start = std::min(offset, other.length_);
    offset_ = other.offset_ + start;
    length_ = std::min(length, other.length_ - start);
}

SharedBuffer::~SharedBuffer() { release(block_); }

SharedBuffer& SharedBuffer::operator=(const SharedBuffer& other) {
    atomic_increment(&other.block_->refcount);
    release(block_);
    block_ = other.block_;
    offset_ = other.offset_;
    length_ = other.length_;
    return *this;
}

uint8_t* SharedBuffer::data() {
    if (atomic_read(&block_->refcount) != 1) {
        Block* own = new_block(length_);
        if (length_ != 0) {
            std::memcpy(own->data, block_->data + offset_, length_);
        }
        release(block_);
        block_ = own;
        offset_ = 0;
    }
    return block_->data + offset_;
}

void SharedBuffer::fill(uint8_t value) {
    uint8_t* bytes = data();
    if (length_ != 0) {
        std::memset(bytes, value, length_);
    }
}

uint32_t SharedBuffer::write_at(uint32_t position, const SharedBuffer& source) {
    if (position >= length_) {
        return 0;
    }
    uint32_t count = std::min(source.length_, length_ - position);
    if (count == 0) {
        return 0;
    }
    // Keep the source's bytes alive: detaching may release the block they live in.
    SharedBuffer keep(source);
    std::memmove(data() + position, keep.const_data(), count);
    return count;
}

int32_t SharedBuffer::use_count() const { return atomic_read(&block_->refcount); }

}  // namespace skinner
