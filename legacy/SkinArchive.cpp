#include "legacy/SkinArchive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "base/Path.h"
#include "base/Strings.h"

namespace skinner {

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kLocalHeaderSize = 30;

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

// Exactly n bytes at the offset, or false.
bool read_at(File& file, uint64_t offset, void* buffer, uint32_t n) {
    return offset <= UINT32_MAX && file.seek(uint32_t(offset)) && file.read(buffer, n) == n;
}

}  // namespace

SkinArchive::SkinArchive(const std::u16string& path) : file_(path, File::read_existing) {}

void SkinArchive::forget_entry() {
    entry_position_ = 0;
    data_offset_ = 0;
    entry_size_ = 0;
}

std::u16string SkinArchive::next_entry() {
    forget_entry();
    const uint64_t file_size = file_.size();
    std::array<uint8_t, kLocalHeaderSize> header{};
    if (next_header_ + kLocalHeaderSize > file_size || !read_at(file_, next_header_, header.data(), kLocalHeaderSize)) {
        return {};
    }
    const uint32_t compressed = le32(&header[18]);
    const uint32_t size = le32(&header[22]);
    const uint32_t name_length = le16(&header[26]);
    const uint32_t extra_length = le16(&header[28]);
    if (le32(&header[0]) != kLocalHeaderSignature || compressed != size) {
        return {};
    }
    // The entry's name, extra field and data lie within the file, so the next header always lies
    // after this one and inside the file: a scan ends, and no entry claims more than the file holds.
    const uint64_t name_offset = next_header_ + kLocalHeaderSize;
    const uint64_t data_offset = name_offset + name_length + extra_length;
    if (data_offset + size > file_size) {
        return {};
    }
    std::vector<char> name(name_length + 1, '\0');
    if (name_length > 0 && !read_at(file_, name_offset, name.data(), name_length)) {
        return {};
    }
    std::u16string wide;
    widen(name.data(), std::strlen(name.data()), wide);
    if (wide.empty()) {
        return {};  // like the end: no current entry
    }
    data_offset_ = data_offset;
    entry_size_ = size;
    next_header_ = data_offset + size;
    return wide;
}

bool SkinArchive::find_entry(std::u16string_view name) {
    next_header_ = 0;
    for (std::u16string entry = next_entry(); !entry.empty(); entry = next_entry()) {
        if (paths_equal(entry, name)) {
            return true;
        }
    }
    return false;
}

uint32_t SkinArchive::read(void* buffer, uint32_t n) {
    const uint32_t count = std::min(n, entry_size_ - entry_position_);
    if (count == 0 || !file_.seek(uint32_t(data_offset_ + entry_position_))) {
        return 0;
    }
    const uint32_t got = file_.read(buffer, count);
    entry_position_ += got;
    return got;
}

uint32_t SkinArchive::skip(int32_t n) {
    const int64_t target = std::clamp<int64_t>(int64_t(entry_position_) + n, 0, entry_size_);
    const uint32_t moved = uint32_t(target > entry_position_ ? target - entry_position_ : entry_position_ - target);
    entry_position_ = uint32_t(target);
    return moved;
}

bool SkinArchive::seek(uint32_t position) {
    if (position > entry_size_) {
        return false;
    }
    entry_position_ = position;
    return file_.seek(uint32_t(data_offset_ + position));
}

}  // namespace skinner
