// BMP entries of a skin archive become DIB sections of their own depth; their headers are
// checked before a pixel is read, so a hostile entry gives no bitmap and touches nothing else.
#include <gtest/gtest.h>

#include <string>

#include "legacy/SkinArchive.h"
#include "legacy/ZippedImage.h"
#include "platform/gdi/Gdi.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/legacy/support/SkinArchives.h"

using namespace skinner;
using legacy_test::Bmp;
using legacy_test::bmp_file;
using legacy_test::pixel_of;

namespace {

class ZippedImages : public ::testing::Test {
protected:
    // The image packed as entry "p.bmp" behind another entry; what the reader makes of it.
    std::optional<HBITMAP> load(const std::string& bmp) {
        fixtures::write_file(root.host("skin.zip"), legacy_test::pack({{"other.txt", "x"}, {"p.bmp", bmp}}));
        SkinArchive archive(u"\\skin.zip");
        return load_zipped_image(archive, u"P.BMP");
    }

    fixtures::DeviceRoot root;
};

// Owns the bitmap a test reads.
struct Bitmap {
    explicit Bitmap(HBITMAP b) : handle(b) {}
    ~Bitmap() {
        if (handle) DeleteObject(handle);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    HBITMAP handle;
};

BITMAP info_of(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return info;
}

}  // namespace

TEST_F(ZippedImages, EachDepthIsReadWithItsColourTable) {
    // Two columns and two rows; the top-left pixel is red, the bottom-right blue.
    const std::vector<uint32_t> four = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<uint32_t> full(256, 0x808080);
    full[1] = 0xFF0000, full[2] = 0x00FF00, full[255] = 0x0000FF;
    const struct {
        const char* what;
        Bmp bmp;
    } cases[] = {
        {"1 bit", {2, 2, 1, {0xFF0000, 0x0000FF}, 0, [](int x, int y) { return uint32_t(x == 1 && y == 1); }}},
        {"4 bits, biClrUsed 4: a 16-byte table", {2, 2, 4, four, 4, [](int x, int y) { return x == 0 && y == 0 ? 1u : x == 1 && y == 1 ? 3u : 2u; }}},
        {"8 bits: the 1024-byte table", {2, 2, 8, full, 0, [](int x, int y) { return x == 0 && y == 0 ? 1u : x == 1 && y == 1 ? 255u : 2u; }}},
        {"16 bits, 5-5-5", {2, 2, 16, {}, 0, [](int x, int y) { return x == 0 && y == 0 ? 0x7C00u : x == 1 && y == 1 ? 0x001Fu : 0x03E0u; }}},
        {"24 bits: no table", {2, 2, 24, {}, 0, [](int x, int y) { return x == 0 && y == 0 ? 0xFF0000u : x == 1 && y == 1 ? 0x0000FFu : 0x00FF00u; }}},
        {"32 bits", {2, 2, 32, {}, 0, [](int x, int y) { return x == 0 && y == 0 ? 0xFF0000u : x == 1 && y == 1 ? 0x0000FFu : 0x00FF00u; }}},
    };
    for (const auto& c : cases) {
        std::optional<HBITMAP> result = load(bmp_file(c.bmp));
        ASSERT_TRUE(result.has_value()) << c.what;
        Bitmap bitmap(*result);
        ASSERT_NE(bitmap.handle, nullptr) << c.what;
        const BITMAP info = info_of(bitmap.handle);
        EXPECT_EQ(info.bmWidth, 2) << c.what;
        EXPECT_EQ(info.bmHeight, 2) << c.what;
        EXPECT_EQ(info.bmBitsPixel, c.bmp.bits) << c.what;
        EXPECT_EQ(pixel_of(bitmap.handle, 0, 0), RGB(255, 0, 0)) << c.what;
        EXPECT_EQ(pixel_of(bitmap.handle, 1, 1), RGB(0, 0, 255)) << c.what;
    }
}

TEST_F(ZippedImages, LogsTheEntryAndItsPixelByteCount) {
    fixtures::enable_log(root);
    std::optional<HBITMAP> result = load(bmp_file({5, 3, 8, std::vector<uint32_t>(256, 0), 0, [](int, int) { return 0u; }}));
    ASSERT_TRUE(result && *result);
    Bitmap bitmap(*result);
    const std::string log = fixtures::read_logs(root);
    EXPECT_NE(log.find("load_zipped_image: P.BMP - 24\n"), std::string::npos) << log;  // 3 rows of 8 bytes
}

TEST_F(ZippedImages, ATopDownBitmapKeepsItsRowOrder) {
    const std::string bottom_up = bmp_file({1, 2, 24, {}, 0, [](int, int y) { return y == 0 ? 0xFF0000u : 0x0000FFu; }});
    // The first row in the file is now the top one.
    std::optional<HBITMAP> result = load(legacy_test::with32(bottom_up, 22, uint32_t(-2)));
    ASSERT_TRUE(result && *result);
    Bitmap bitmap(*result);
    EXPECT_EQ(pixel_of(bitmap.handle, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(pixel_of(bitmap.handle, 0, 1), RGB(255, 0, 0));
}

TEST_F(ZippedImages, HostileHeadersGiveNoBitmap) {
    const std::string eight = bmp_file({4, 4, 8, std::vector<uint32_t>(256, 0x123456), 0, [](int, int) { return 7u; }});
    auto with16 = [&](size_t at, uint32_t v) { return legacy_test::with16(eight, at, v); };
    auto with32 = [&](size_t at, uint32_t v) { return legacy_test::with32(eight, at, v); };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"bit count 3", with16(28, 3)},
        {"bit count 0", with16(28, 0)},
        {"bit count 64", with16(28, 64)},
        {"width 0", with32(18, 0)},
        {"width 10001", with32(18, 10001)},
        {"negative width", with32(18, uint32_t(-4))},
        {"height 0", with32(22, 0)},
        {"height 10001", with32(22, 10001)},
        {"height -10001", with32(22, uint32_t(-10001))},
        {"the most negative height", with32(22, 0x80000000u)},
        {"biClrUsed above 2^bits", with32(46, 257)},
        {"an information header shorter than 40 bytes", with32(14, 12)},
        {"an information header running past the pixel offset", with32(14, 2000)},
        {"pixels starting inside the colour table", with32(10, 54 + 512)},
        {"pixels starting past the entry", with32(10, uint32_t(eight.size()))},
        {"the largest pixel offset", with32(10, UINT32_MAX)},
        {"pixels cut short", eight.substr(0, eight.size() - 1)},
        {"a colour table cut short", eight.substr(0, 54 + 100)},
        {"headers cut short", eight.substr(0, 40)},
        {"a width whose rows pass the entry", with32(18, 10000)},
        {"compressed pixels", with32(30, 1)},
        {"two planes", with16(26, 2)},
        {"an empty entry", ""},
    };
    for (const auto& c : cases) {
        std::optional<HBITMAP> result = load(c.bytes);
        ASSERT_TRUE(result.has_value()) << c.what;
        EXPECT_EQ(*result, nullptr) << c.what;
        Bitmap cleanup(result.value_or(nullptr));
    }
}

TEST_F(ZippedImages, AMissingEntryIsNotRead) {
    std::optional<HBITMAP> result = load(bmp_file({}));
    ASSERT_TRUE(result && *result);
    Bitmap bitmap(*result);
    SkinArchive archive(u"\\skin.zip");
    EXPECT_FALSE(load_zipped_image(archive, u"q.bmp").has_value());
    SkinArchive none(u"\\none.zip");
    EXPECT_FALSE(load_zipped_image(none, u"p.bmp").has_value());
}
