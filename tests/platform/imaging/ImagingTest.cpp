#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "tests/fixtures/TempDir.h"

namespace {

void put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A BMP file: 24 bits (colour (x * 40, y * 60, 200)) or 8 bits (index (x + y) % 4 into a
// four-colour palette), bottom-up unless top_down.
std::vector<uint8_t> make_bmp(int width, int height, int bpp, bool top_down = false) {
    int palette = bpp == 8 ? 4 : 0;
    int stride = ((width * bpp + 31) / 32) * 4;
    size_t offset = 14 + 40 + size_t(palette) * 4;
    std::vector<uint8_t> b(offset + size_t(stride) * size_t(height));
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, uint32_t(b.size()), 4);
    put(b, 10, uint32_t(offset), 4);
    put(b, 14, 40, 4);
    put(b, 18, uint32_t(width), 4);
    put(b, 22, uint32_t(top_down ? -height : height), 4);
    put(b, 26, 1, 2);
    put(b, 28, uint32_t(bpp), 2);
    put(b, 46, uint32_t(palette), 4);
    const uint32_t colors[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < palette; ++i) put(b, 54 + size_t(i) * 4, colors[i], 4);  // B, G, R, 0
    for (int y = 0; y < height; ++y) {
        int file_row = top_down ? y : height - 1 - y;
        uint8_t* row = b.data() + offset + size_t(file_row) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            if (bpp == 24) {
                row[x * 3] = 200;
                row[x * 3 + 1] = uint8_t(y * 60);
                row[x * 3 + 2] = uint8_t(x * 40);
            } else {
                row[x] = uint8_t((x + y) % 4);
            }
        }
    }
    return b;
}

COLORREF pixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

BITMAP info_of(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return info;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Reader {
    const std::vector<uint8_t>* data;
    size_t position = 0;
    int calls = 0;
};

DWORD read_chunk(LPSTR buffer, DWORD size, LPARAM param) {
    auto* r = reinterpret_cast<Reader*>(param);
    ++r->calls;
    size_t n = std::min<size_t>(size, r->data->size() - r->position);
    if (n > 0) std::memcpy(buffer, r->data->data() + r->position, n);
    r->position += n;
    return DWORD(n);
}

HBITMAP decompress(const std::vector<uint8_t>& file, int depth, Reader* reader = nullptr, int max_side = 10000) {
    Reader own{&file};
    Reader* r = reader ? reader : &own;
    std::vector<BYTE> buffer(4096);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    DecompressImageInfo info;
    info.pbBuffer = buffer.data();
    info.dwBufferMax = DWORD(buffer.size());
    info.phBM = &bitmap;
    info.iBitDepth = depth;
    info.lParam = reinterpret_cast<LPARAM>(r);
    info.iMaxWidth = max_side;
    info.iMaxHeight = max_side;
    info.pfnGetData = read_chunk;
    HRESULT result = DecompressImageIndirect(&info);
    EXPECT_EQ(result == S_OK, bitmap != nullptr);
    return bitmap;
}

}  // namespace

TEST(ImageDecoder, BmpDecodesAtTheRequestedDepth) {
    struct Case {
        int bpp;
        bool top_down;
        int depth;
    };
    const Case cases[] = {{24, false, 0}, {24, true, 32}, {8, false, 24}, {8, true, 16}};
    for (const Case& c : cases) {
        std::vector<uint8_t> file = make_bmp(5, 3, c.bpp, c.top_down);
        HBITMAP bitmap = decompress(file, c.depth);
        ASSERT_NE(bitmap, nullptr) << c.bpp << " " << c.depth;
        BITMAP info = info_of(bitmap);
        EXPECT_EQ(info.bmWidth, 5);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(info.bmBitsPixel, c.depth == 0 ? 32 : c.depth);
        if (c.bpp == 24 && c.depth != 16) {
            EXPECT_EQ(pixel(bitmap, 0, 0), RGB(0, 0, 200));
            EXPECT_EQ(pixel(bitmap, 4, 2), RGB(160, 120, 200));
        }
        if (c.bpp == 8) {
            EXPECT_EQ(pixel(bitmap, 1, 0), RGB(255, 0, 0));
            EXPECT_EQ(pixel(bitmap, 1, 1), RGB(0, 255, 0));
            EXPECT_EQ(pixel(bitmap, 2, 1), RGB(0, 0, 255));
        }
        DeleteObject(bitmap);
    }
}

TEST(ImageDecoder, ReadsThroughTheCallbackInBufferSizedPieces) {
    std::vector<uint8_t> file = make_bmp(64, 40, 24);
    Reader reader{&file};
    HBITMAP bitmap = decompress(file, 32, &reader);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(reader.calls, int(file.size() / 4096) + 2);
    DeleteObject(bitmap);
}

TEST(ImageDecoder, ChecksFilesBeforeDecoding) {
    const std::vector<uint8_t> good = make_bmp(4, 4, 8);
    ASSERT_TRUE(platform::check_image(good));
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        int bytes;
        size_t truncate;  // 0: keep the whole file
    };
    const Case cases[] = {
        {"pixel data cut short", 0, 0, 0, good.size() - 1},
        {"header cut short", 0, 0, 0, 30},
        {"pixel offset past the end", 10, 100000, 4, 0},
        {"pixel offset inside the palette", 10, 60, 4, 0},
        {"palette larger than the depth allows", 46, 300, 4, 0},
        {"palette past the pixel offset", 46, 200, 4, 0},
        {"width 0", 18, 0, 4, 0},
        {"width 10001", 18, 10001, 4, 0},
        {"height far negative", 22, 0x80000000u, 4, 0},
        {"odd depth", 28, 7, 2, 0},
        {"run-length compressed", 30, 1, 4, 0},
        {"two planes", 26, 2, 2, 0},
        {"unknown header size", 14, 41, 4, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        if (c.truncate) bad.resize(c.truncate);
        if (c.bytes) put(bad, c.at, c.value, c.bytes);
        EXPECT_FALSE(platform::check_image(bad)) << c.what;
        EXPECT_EQ(decompress(bad, 32), nullptr) << c.what;
    }
    EXPECT_EQ(decompress(make_bmp(20, 2, 24), 32, nullptr, 10), nullptr) << "wider than the caller's maximum";
    EXPECT_EQ(decompress({'n', 'o', 'p', 'e'}, 32), nullptr);
    EXPECT_EQ(decompress({}, 32), nullptr);
}

TEST(ImageDecoder, PngGifAndJpegDecodeAndTheirHeadersAreChecked) {
    fixtures::TempDir dir;
    // Our own PNG writer makes the source; ImageMagick turns it into GIF and JPEG.
    HBITMAP source = decompress(make_bmp(6, 4, 24), 32);
    ASSERT_TRUE(platform::save_bitmap_png(source, dir.file("a.png")));
    DeleteObject(source);
    std::vector<uint8_t> png = read_file(dir.file("a.png"));
    HBITMAP bitmap = decompress(png, 32);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(pixel(bitmap, 4, 2), RGB(160, 120, 200)) << "PNG keeps exact colours";
    DeleteObject(bitmap);

    std::vector<uint8_t> bad = png;
    bad.resize(bad.size() - 5);
    EXPECT_EQ(decompress(bad, 32), nullptr) << "a chunk runs past the end";
    bad = png;
    put(bad, 16, 0, 4);  // IHDR width 0 (big-endian field, all zero either way)
    EXPECT_EQ(decompress(bad, 32), nullptr) << "width 0";

    if (!fixtures::have_program("convert")) {
        GTEST_SKIP() << "ImageMagick convert is not installed";
    }
    for (const char* ext : {"gif", "jpg"}) {
        std::string out = dir.file(std::string("a.") + ext);
        ASSERT_EQ(fixtures::run_command("convert " + dir.file("a.png") + " " + out), 0);
        std::vector<uint8_t> file = read_file(out);
        auto size = platform::check_image(file);
        ASSERT_TRUE(size) << ext;
        EXPECT_EQ(size->width, 6);
        EXPECT_EQ(size->height, 4);
        HBITMAP decoded = decompress(file, 32);
        ASSERT_NE(decoded, nullptr) << ext;
        EXPECT_EQ(info_of(decoded).bmWidth, 6);
        DeleteObject(decoded);
        std::vector<uint8_t> cut(file.begin(), file.begin() + 12);
        EXPECT_EQ(decompress(cut, 32), nullptr) << ext << " cut short";
    }
}

// The sampling layouts encoders write decode; the others the decoder misreads (a fuzzer found
// one that read past its buffers) are refused before it sees them.
TEST(ImageDecoder, JpegSamplingLayoutsOutsideTheUsualOnesAreRefused) {
    if (!fixtures::have_program("convert")) {
        GTEST_SKIP() << "ImageMagick convert is not installed";
    }
    fixtures::TempDir dir;
    HBITMAP source = decompress(make_bmp(16, 16, 24), 32);
    ASSERT_TRUE(platform::save_bitmap_png(source, dir.file("a.png")));
    DeleteObject(source);
    std::vector<uint8_t> usual;
    for (const char* factors : {"1x1", "2x1", "1x2", "2x2"}) {
        const std::string out = dir.file(std::string("a") + factors + ".jpg");
        ASSERT_EQ(fixtures::run_command("convert " + dir.file("a.png") + " -sampling-factor " + factors + " " + out), 0);
        usual = read_file(out);
        HBITMAP decoded = decompress(usual, 32);
        EXPECT_NE(decoded, nullptr) << factors;
        DeleteObject(decoded);
    }
    // The component records of the frame header (after FF C0, length, precision, size, count).
    size_t frame = 0;
    for (size_t i = 2; i + 1 < usual.size() && !frame; ++i) {
        if (usual[i] == 0xFF && usual[i + 1] == 0xC0) frame = i + 2;
    }
    ASSERT_NE(frame, 0u);
    ASSERT_EQ(usual[frame + 7], 3);
    struct Case {
        const char* what;
        int component;
        uint8_t factors;
    };
    const Case cases[] = {
        {"every component sampled 1x2 (the fuzzer's find)", -1, 0x12},
        {"a colour component sampled twice", 1, 0x21},
        {"the first component sampled three times", 0, 0x31},
        {"a factor of 0", 0, 0x02},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = usual;
        for (int i = 0; i < 3; ++i) {
            if (c.component < 0 || c.component == i) bad[frame + 9 + 3 * i] = c.factors;
        }
        EXPECT_FALSE(platform::check_image(bad)) << c.what;
        EXPECT_EQ(decompress(bad, 32), nullptr) << c.what;
    }
}
