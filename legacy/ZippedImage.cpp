#include "legacy/ZippedImage.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "base/Log.h"
#include "platform/gdi/Gdi.h"

namespace skinner {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kMaxSide = 10000;

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// Where the parts of a BMP entry lie, once its headers have passed the checks.
struct BmpLayout {
    DibInfo info{};
    uint32_t table_offset = 0;
    uint32_t table_entries = 0;
    uint32_t pixel_offset = 0;
    uint32_t byte_count = 0;
};

bool valid_bit_count(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The headers' fields checked before any pixel is read; false for an entry that is no BMP we
// can read safely.
bool read_layout(SkinArchive& archive, BmpLayout& layout) {
    std::array<uint8_t, kFileHeaderSize + kInfoHeaderSize> h{};
    if (archive.read(h.data(), uint32_t(h.size())) != h.size()) {
        return false;
    }
    const uint32_t pixel_offset = le32(&h[10]);
    const uint32_t header_size = le32(&h[14]);
    const int32_t width = int32_t(le32(&h[18]));
    const int32_t height = int32_t(le32(&h[22]));
    const uint32_t bits = le16(&h[28]);
    const uint32_t colors_used = le32(&h[46]);
    const int64_t rows = std::llabs(int64_t(height));
    if (!valid_bit_count(bits) || width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide ||
        header_size < kInfoHeaderSize) {
        return false;
    }
    const uint64_t palette_size = uint64_t(1) << bits;
    if (colors_used > palette_size) {
        return false;
    }
    // Only the lower depths have a colour table; one shorter than the depth allows is as long
    // as biClrUsed says.
    const uint64_t entries = bits <= 8 ? (colors_used != 0 ? colors_used : palette_size) : 0;
    const uint64_t table_offset = uint64_t(kFileHeaderSize) + header_size;
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t byte_count = uint64_t(rows) * stride;
    if (table_offset + entries * 4 > pixel_offset || pixel_offset + byte_count > archive.size()) {
        return false;
    }
    BITMAPINFOHEADER& header = layout.info.header;
    header.biSize = kInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = WORD(le16(&h[26]));
    header.biBitCount = WORD(bits);
    header.biCompression = le32(&h[30]);
    header.biSizeImage = le32(&h[34]);
    header.biXPelsPerMeter = LONG(le32(&h[38]));
    header.biYPelsPerMeter = LONG(le32(&h[42]));
    header.biClrUsed = colors_used;
    header.biClrImportant = le32(&h[50]);
    layout.table_offset = uint32_t(table_offset);
    layout.table_entries = uint32_t(entries);
    layout.pixel_offset = pixel_offset;
    layout.byte_count = uint32_t(byte_count);
    return true;
}

}  // namespace

std::optional<HBITMAP> load_zipped_image(SkinArchive& archive, std::u16string_view name) {
    if (!archive.find_entry(name)) {
        return std::nullopt;
    }
    BmpLayout layout;
    if (!read_layout(archive, layout)) {
        return nullptr;
    }
    const uint32_t table_bytes = layout.table_entries * 4;
    if (table_bytes > 0 && (!archive.seek(layout.table_offset) || archive.read(layout.info.colors, table_bytes) != table_bytes)) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&layout.info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    Log::instance() << u"load_zipped_image: " << std::u16string(name) << u" - " << int(layout.byte_count) << u"\n";
    if (!archive.seek(layout.pixel_offset) || archive.read(bits, layout.byte_count) != layout.byte_count) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace skinner
