#include "platform/imaging/Imaging.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

namespace platform {

namespace {

constexpr int kMaxSide = 10000;
constexpr uint64_t kMaxFileBytes = uint64_t(512) << 20;

// Bounds-checked little- and big-endian reads; out of range reads fail the check.
class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> data) : data_(data) {}
    uint64_t size() const { return data_.size(); }
    bool has(uint64_t offset, uint64_t count) const { return offset <= size() && count <= size() - offset; }
    std::optional<uint32_t> le(uint64_t offset, int bytes) const {
        if (!has(offset, uint64_t(bytes))) {
            return std::nullopt;
        }
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            v = (v << 8) | data_[size_t(offset) + size_t(i)];
        }
        return v;
    }
    std::optional<uint32_t> be(uint64_t offset, int bytes) const {
        if (!has(offset, uint64_t(bytes))) {
            return std::nullopt;
        }
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            v = (v << 8) | data_[size_t(offset) + size_t(i)];
        }
        return v;
    }
    bool starts_with(const char* magic, size_t n) const {
        return size() >= n && std::memcmp(data_.data(), magic, n) == 0;
    }

private:
    std::span<const uint8_t> data_;
};

bool side_ok(int64_t v) {
    return v >= 1 && v <= kMaxSide;
}

std::optional<ImageSize> sized(int64_t width, int64_t height) {
    if (!side_ok(width) || !side_ok(height)) {
        return std::nullopt;
    }
    return ImageSize{int(width), int(height)};
}

std::optional<ImageSize> check_bmp(const Bytes& b) {
    auto offset_bits = b.le(10, 4);
    auto header_size = b.le(14, 4);
    if (!offset_bits || !header_size) {
        return std::nullopt;
    }
    uint32_t hs = *header_size;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124) {
        return std::nullopt;
    }
    if (!b.has(14, hs)) {
        return std::nullopt;
    }
    int64_t width, height;
    uint32_t planes, bpp, compression = 0, colors_used = 0;
    uint64_t entry = 4;
    if (hs == 12) {
        width = *b.le(18, 2);
        height = *b.le(20, 2);
        planes = *b.le(22, 2);
        bpp = *b.le(24, 2);
        entry = 3;
    } else {
        width = int32_t(*b.le(18, 4));
        height = int32_t(*b.le(22, 4));
        planes = *b.le(26, 2);
        bpp = *b.le(28, 2);
        compression = *b.le(30, 4);
        colors_used = *b.le(46, 4);
    }
    if (height < 0) {
        height = -height;  // rows top-down
    }
    bool depth_ok = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    bool bitfields = compression == 3 && (bpp == 16 || bpp == 32);
    if (planes != 1 || !depth_ok || (compression != 0 && !bitfields)) {
        return std::nullopt;
    }
    auto size = sized(width, height);
    if (!size) {
        return std::nullopt;
    }
    uint64_t tables = 14 + uint64_t(hs) + (bitfields && hs == 40 ? 12 : 0);
    if (bpp <= 8) {
        uint64_t most = uint64_t(1) << bpp;
        uint64_t colors = colors_used == 0 ? most : colors_used;
        if (colors > most) {
            return std::nullopt;
        }
        tables += colors * entry;
    }
    uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    uint64_t pixels = stride * uint64_t(height);
    if (*offset_bits < tables || !b.has(tables, 0) || !b.has(*offset_bits, pixels)) {
        return std::nullopt;
    }
    return size;
}

std::optional<ImageSize> check_png(const Bytes& b) {
    uint64_t pos = 8;
    std::optional<ImageSize> size;
    bool first = true;
    while (true) {
        auto length = b.be(pos, 4);
        auto type = b.be(pos + 4, 4);
        if (!length || !type || !b.has(pos + 8, uint64_t(*length) + 4)) {
            return std::nullopt;
        }
        if (first) {
            if (*type != 0x49484452 || *length != 13) {  // IHDR
                return std::nullopt;
            }
            size = sized(*b.be(pos + 8, 4), *b.be(pos + 12, 4));
            if (!size) {
                return std::nullopt;
            }
            first = false;
        }
        if (*type == 0x49454E44) {  // IEND
            return size;
        }
        pos += 12 + uint64_t(*length);
    }
}

std::optional<ImageSize> check_gif(const Bytes& b) {
    auto width = b.le(6, 2);
    auto height = b.le(8, 2);
    auto flags = b.le(10, 1);
    if (!width || !height || !flags) {
        return std::nullopt;
    }
    uint64_t table = (*flags & 0x80) ? 3 * (uint64_t(1) << ((*flags & 7) + 1)) : 0;
    if (!b.has(13, table + 1)) {  // the colour table and at least one block after it
        return std::nullopt;
    }
    return sized(*width, *height);
}

// The layouts real cameras and encoders write: one component, or a first component sampled
// once or twice each way with every other one once. The decoder reads past its buffers on
// some of the other layouts the format allows (found by fuzzing), so those are refused.
bool usual_sampling(const Bytes& b, uint64_t frame) {
    auto count = b.be(frame + 7, 1);
    auto length = b.be(frame, 2);
    if (!count || *count == 0 || *length < 8 + 3 * *count) {
        return false;
    }
    for (uint32_t i = 0; i < *count; ++i) {
        uint32_t factors = *b.be(frame + 9 + 3 * i, 1);
        uint32_t h = factors >> 4;
        uint32_t v = factors & 15;
        bool usual = (i == 0 || *count == 1) ? (h >= 1 && h <= 2 && v >= 1 && v <= 2) : (h == 1 && v == 1);
        if (!usual) {
            return false;
        }
    }
    return true;
}

std::optional<ImageSize> check_jpeg(const Bytes& b) {
    uint64_t pos = 2;
    std::optional<ImageSize> size;
    while (true) {
        auto mark = b.be(pos, 1);
        if (!mark || *mark != 0xFF) {
            return std::nullopt;
        }
        while (b.be(pos, 1) == 0xFFu) {
            ++pos;
        }
        auto marker = b.be(pos, 1);
        if (!marker) {
            return std::nullopt;
        }
        ++pos;
        uint32_t m = *marker;
        if (m == 0xD9) {
            return std::nullopt;  // an image ends before its data
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            continue;
        }
        auto length = b.be(pos, 2);
        if (!length || *length < 2 || !b.has(pos, *length)) {
            return std::nullopt;
        }
        bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (frame) {
            if (*length < 8) {
                return std::nullopt;
            }
            size = sized(*b.be(pos + 5, 2), *b.be(pos + 3, 2));
            if (!size || !usual_sampling(b, pos)) {
                return std::nullopt;
            }
        }
        if (m == 0xDA) {  // the scan's data follows; the frame must be known by now
            return size;
        }
        pos += *length;
    }
}

int depth_of(int bits_per_pixel) {
    return bits_per_pixel == 0 ? 32 : bits_per_pixel;
}

}  // namespace

std::optional<ImageSize> check_image(std::span<const uint8_t> data) {
    Bytes b(data);
    if (b.starts_with("BM", 2)) {
        return check_bmp(b);
    }
    if (b.starts_with("\x89PNG\r\n\x1a\n", 8)) {
        return check_png(b);
    }
    if (b.starts_with("GIF87a", 6) || b.starts_with("GIF89a", 6)) {
        return check_gif(b);
    }
    if (b.starts_with("\xFF\xD8", 2)) {
        return check_jpeg(b);
    }
    return std::nullopt;
}

HBITMAP decode_image(std::span<const uint8_t> data, int bits_per_pixel, int max_width, int max_height) {
    int depth = depth_of(bits_per_pixel);
    if (depth != 16 && depth != 24 && depth != 32) {
        gdi::report("DecompressImageIndirect: unsupported depth");
        return nullptr;
    }
    std::optional<ImageSize> declared = check_image(data);
    if (!declared || declared->width > max_width || declared->height > max_height || data.size() > INT32_MAX) {
        return nullptr;
    }
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(data.data(), int(data.size()), &width, &height, &channels, 3), stbi_image_free);
    if (!pixels || width != declared->width || height != declared->height) {
        return nullptr;
    }
    auto bitmap = gdi::make_bitmap(width, height, depth, false);
    if (!bitmap) {
        return nullptr;
    }
    gdi::Canvas canvas = gdi::canvas_of(*bitmap);
    std::vector<uint32_t> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        const stbi_uc* p = pixels.get() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            row[size_t(x)] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
            p += 3;
        }
        gdi::write_row(canvas, 0, y, width, row.data());
    }
    return static_cast<HBITMAP>(gdi::insert_object(bitmap));
}

bool save_bitmap_png(HBITMAP bitmap, const std::string& host_path) {
    auto found = gdi::find_bitmap(bitmap);
    if (!found) {
        return false;
    }
    gdi::Canvas canvas = gdi::canvas_of(*found);
    std::vector<uint32_t> row(static_cast<size_t>(canvas.width));
    std::vector<uint8_t> rgb(size_t(canvas.width) * size_t(canvas.height) * 3);
    for (int y = 0; y < canvas.height; ++y) {
        gdi::read_row(canvas, 0, y, canvas.width, row.data());
        uint8_t* p = rgb.data() + size_t(y) * size_t(canvas.width) * 3;
        for (uint32_t v : row) {
            *p++ = uint8_t(v >> 16);
            *p++ = uint8_t(v >> 8);
            *p++ = uint8_t(v);
        }
    }
    return stbi_write_png(host_path.c_str(), canvas.width, canvas.height, 3, rgb.data(), canvas.width * 3) != 0;
}

}  // namespace platform

HRESULT DecompressImageIndirect(DecompressImageInfo* info) {
    if (!info || info->dwSize != sizeof(DecompressImageInfo) || !info->phBM || !info->pfnGetData) {
        return E_INVALIDARG;
    }
    *info->phBM = nullptr;
    if (info->iScale != 100) {
        platform::gdi::report("DecompressImageIndirect: only a scale of 100 is supported");
        return E_INVALIDARG;
    }
    std::vector<BYTE> own;
    BYTE* buffer = info->pbBuffer;
    DWORD capacity = info->dwBufferMax;
    if (!buffer || capacity == 0) {
        own.resize(4096);
        buffer = own.data();
        capacity = DWORD(own.size());
    }
    std::vector<uint8_t> data;
    while (true) {
        DWORD got = info->pfnGetData(reinterpret_cast<LPSTR>(buffer), capacity, info->lParam);
        if (got == 0) {
            break;
        }
        if (got > capacity || data.size() + got > platform::kMaxFileBytes) {
            return E_INVALIDARG;
        }
        data.insert(data.end(), buffer, buffer + got);
    }
    HBITMAP bitmap = platform::decode_image(data, info->iBitDepth, info->iMaxWidth, info->iMaxHeight);
    if (info->pfnImageProgress) {
        info->pfnImageProgress(nullptr, TRUE, info->lParam);
    }
    if (!bitmap) {
        return E_INVALIDARG;
    }
    *info->phBM = bitmap;
    return S_OK;
}
