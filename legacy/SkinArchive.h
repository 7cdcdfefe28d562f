#pragma once
// A skin archive: a ZIP file read entry by entry through its local headers, of which only stored
// (uncompressed) entries can be read. It is also an input stream over its current entry.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/File.h"

namespace skinner {

class SkinArchive : public InputStream {
public:
    explicit SkinArchive(const std::u16string& path);

    // Reads the header at the next-header offset. A stored entry becomes the current one and
    // its name is returned; a compressed or damaged entry, or the end of the file, gives an
    // empty name, which ends every scan.
    std::u16string next_entry();
    // Scans from the first header for the name (compared as paths: expanded, case-insensitive).
    bool find_entry(std::u16string_view name);

    // The stream over the current entry (empty when there is none).
    uint32_t read(void* buffer, uint32_t n) override;
    uint32_t skip(int32_t n) override;
    bool is_open() const override { return file_.is_open(); }
    uint32_t size() const override { return entry_size_; }
    // False for a position past the entry's end.
    bool seek(uint32_t position) override;
    uint32_t position() const override { return entry_position_; }

private:
    void forget_entry();

    File file_;
    // 64-bit, so no crafted size wraps a sum of offsets.
    uint64_t next_header_ = 0;
    uint32_t entry_position_ = 0;
    uint64_t data_offset_ = 0;
    uint32_t entry_size_ = 0;
};

}  // namespace skinner
