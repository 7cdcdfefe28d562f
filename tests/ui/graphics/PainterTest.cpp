#include <gtest/gtest.h>

#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/support/PictureFiles.h"
#include "ui/graphics/Painter.h"
#include "ui/graphics/Picture.h"

using namespace skinner;
using gdi_test::Canvas32;
using ui_test::bmp_bytes;

namespace {

// Every pixel of a picture has its own colour: 0x00XXYY00 with the column in XX, row in YY.
uint32_t coordinate_color(int x, int y) {
    return (uint32_t(x + 1) << 16) | (uint32_t(y + 1) << 8);
}

class NineSlice : public ::testing::Test {
protected:
    Picture load(const std::string& name, int w, int h, const ui_test::PixelFunction& f) {
        sandbox.write("pics/" + name + ".bmp", bmp_bytes(w, h, f));
        return Picture(u"\\pics\\" + std::u16string(name.begin(), name.end()), false, 1);
    }
    void write(const std::string& name, int w, int h, const ui_test::PixelFunction& f) {
        sandbox.write("pics/" + name + ".bmp", bmp_bytes(w, h, f));
    }
    // The source column that each destination column shows, row y (-1: untouched).
    static std::vector<int> columns(Canvas32& c, int y, int width) {
        std::vector<int> out;
        for (int x = 0; x < width; ++x) {
            uint32_t v = c.at(x, y) & 0xFFFFFF;
            out.push_back(v == 0 ? -1 : int(v >> 16) - 1);
        }
        return out;
    }
    ui_test::PictureRoot sandbox;
};

}  // namespace

TEST(PainterClip, PushedClipsIntersectAndPopRestores) {
    Canvas32 canvas(10, 10);
    Painter painter(canvas.dc(), {1, 1}, {8, 8});
    painter.push_clip({5, 5}, {10, 10});
    EXPECT_EQ(painter.clip().left, 5);
    EXPECT_EQ(painter.clip().right, 9);
    painter.push_clip({20, 20}, {3, 3});  // outside the clip in force: empty
    EXPECT_EQ(painter.clip().left, painter.clip().right);
    painter.fill_rect({0, 0}, {10, 10}, Color{255, 0, 0, 0});
    EXPECT_EQ(canvas.count(0xFF0000), 0);
    painter.pop_clip();
    painter.fill_rect({0, 0}, {10, 10}, Color{255, 0, 0, 0});
    EXPECT_EQ(canvas.count(0xFF0000), 16);
    painter.pop_clip();
    painter.pop_clip();  // the constructor's rectangle stays
    painter.fill_rect({0, 0}, {10, 10}, Color{0, 255, 0, 0});
    EXPECT_EQ(canvas.count(0x00FF00), 64);
}

TEST_F(NineSlice, BordersShrinkWhenTheDestinationIsSmall) {
    // Borders of 10 around a middle of 2 columns.
    Picture p = load("wide", 22, 1, coordinate_color);
    p.set_border_min({10, 0});
    p.set_border_max({12, 1});
    struct Case {
        int width;
        std::vector<int> expected;
    };
    std::vector<int> narrow{0, 1, 2, 3, 4, 5, 16, 17, 18, 19, 20, 21};
    std::vector<int> wide;
    for (int i = 0; i < 10; ++i) wide.push_back(i);
    for (int i : {10, 11, 10, 11, 10}) wide.push_back(i);
    for (int i = 12; i < 22; ++i) wide.push_back(i);
    for (const Case& c : {Case{12, narrow}, Case{25, wide}}) {
        Canvas32 canvas(30, 1);
        Painter painter(canvas.dc(), {0, 0}, {30, 1});
        p.draw(painter, {0, 0}, {c.width, 1});
        std::vector<int> shown = columns(canvas, 0, c.width);
        EXPECT_EQ(shown, c.expected) << c.width;
        EXPECT_EQ(canvas.at(c.width, 0), 0u);
    }
    // A left border of 1 and a right border of 9, drawn 4 wide: no left border, 4 of the right.
    p.set_border_min({1, 0});
    p.set_border_max({13, 1});
    Canvas32 canvas(8, 1);
    Painter painter(canvas.dc(), {0, 0}, {8, 1});
    p.draw(painter, {0, 0}, {4, 1});
    EXPECT_EQ(columns(canvas, 0, 4), (std::vector<int>{18, 19, 20, 21}));
}

TEST_F(NineSlice, DrawingShowsWhatMapPointSays) {
    Picture p = load("grid", 9, 7, coordinate_color);
    p.set_border_min({2, 1});
    p.set_border_max({6, 5});  // a middle of 4 x 4
    for (bool stretch : {false, true}) {
        p.set_stretch(stretch);
        Canvas32 canvas(23, 17);
        Painter painter(canvas.dc(), {0, 0}, {23, 17});
        p.draw(painter, {1, 2}, {21, 14});
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 23; ++x) {
                Point m = p.map_point({x, y}, {1, 2}, {22, 16});
                uint32_t expected = m.x < 0 || m.y < 0 ? 0 : coordinate_color(m.x, m.y);
                ASSERT_EQ(canvas.at(x, y) & 0xFFFFFF, expected) << "stretch " << stretch << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(NineSlice, TileCoversWithWholeCopiesColumnByColumn) {
    Picture p = load("tile", 4, 4, coordinate_color);
    p.set_border_min({0, 0});
    p.set_border_max({4, 4});
    Canvas32 canvas(12, 8);
    Painter painter(canvas.dc(), {0, 0}, {12, 8});
    p.draw(painter, {0, 0}, {10, 6});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.at(x, y) & 0xFFFFFF, coordinate_color(x % 4, y % 4));
    EXPECT_EQ(canvas.at(10, 0), 0u);
    EXPECT_EQ(canvas.at(0, 6), 0u);
}

TEST_F(NineSlice, MaskedPictureKeepsTheBackgroundWhereTheMaskIsBlack) {
    write("ring", 3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0xFFFFFFu : 0x0000FFu; });
    write("ring_1", 3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0u : 0xFFFFFFu; });
    // At scale 2 the file is stretched twice and the skin's coordinates are doubled; its
    // one-pixel slices are two pixels wide and still drawn as lines and fills.
    for (int scale : {1, 2}) {
        Picture p(u"\\pics\\ring", false, scale);
        p.set_origin({0, 0});
        p.set_border_min({scale, scale});
        p.set_border_max({2 * scale, 2 * scale});
        p.set_end({3 * scale, 3 * scale});
        Canvas32 canvas(10, 10, 0x00AA00);
        Painter painter(canvas.dc(), {0, 0}, {10, 10});
        p.draw(painter, {1, 1}, {8, 8});
        int inner = 8 - 2 * scale;
        EXPECT_EQ(canvas.count(0x0000FF), 8 * 8 - inner * inner) << scale;
        EXPECT_EQ(canvas.count(0x00AA00), 100 - 64 + inner * inner) << scale;
        EXPECT_EQ(canvas.at(1 + scale, 1 + scale) & 0xFFFFFF, 0x00AA00u) << "the middle is transparent";
        EXPECT_EQ(canvas.at(scale, 4) & 0xFFFFFF, 0x0000FFu) << "the left edge, scale " << scale;
    }
}

TEST_F(NineSlice, EightBitMaskBlendsOverTheBackground) {
    // Columns of alpha 0, 128 and 255 in the mask's blue channel.
    write("glass", 3, 1, [](int, int) { return 0xFF0000u; });
    write("glass_8", 3, 1, [](int x, int) { return x == 0 ? 0u : x == 1 ? 128u : 255u; });
    Picture p(u"\\pics\\glass", false, 1);
    ASSERT_TRUE(p.rep()->mask_is_8bit);
    p.set_border_min({0, 0});
    p.set_border_max({3, 1});
    Canvas32 canvas(3, 1, 0x0000FF);
    Painter painter(canvas.dc(), {0, 0}, {3, 1});
    p.draw(painter, {0, 0}, {3, 1});
    EXPECT_EQ(canvas.at(0, 0) & 0xFFFFFF, 0x0000FFu) << "alpha 0 leaves the background";
    EXPECT_EQ(canvas.at(1, 0) & 0xFFFFFF, uint32_t((0xFF * 128) >> 8) << 16 | ((0xFF * 128) >> 8));
    EXPECT_EQ(canvas.at(2, 0) & 0xFFFFFF, uint32_t((0xFF * 255) >> 8) << 16 | (0xFF >> 8)) << "(fg 255 + bg) >> 8";
}

TEST_F(NineSlice, AlphaPathKeepsOnePixelEdgesAndMiddles) {
    // Every slice one pixel: drawn as lines and fills, which must carry the mask's alpha.
    write("frame", 3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0x00FF00u : 0xFF0000u; });
    write("frame_8", 3, 3, [](int, int) { return 0x0000FFu; });
    Picture p(u"\\pics\\frame", false, 1);
    p.set_border_min({1, 1});
    p.set_border_max({2, 2});
    Canvas32 canvas(6, 5, 0x0000FF);
    Painter painter(canvas.dc(), {0, 0}, {6, 5});
    p.draw(painter, {0, 0}, {6, 5});
    const uint32_t red = 0xFE0000 | (0xFF >> 8), green = 0x00FE00;
    EXPECT_EQ(canvas.count(red), 6 * 5 - 4 * 3) << "edges";
    EXPECT_EQ(canvas.count(green), 4 * 3) << "middle";
}

TEST(Dib32, PowerOfTwoPictureIsPaddedWithZeros) {
    ui_test::PictureRoot sandbox;
    sandbox.write("pics/p.bmp", bmp_bytes(5, 3, [](int, int) { return 0x123456u; }));
    Picture p(u"\\pics\\p", false, 1);
    auto dib = Dib32::from_picture(p, {5, 3}, true);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->width(), 8);
    EXPECT_EQ(dib->height(), 4);
    EXPECT_EQ(dib->row(2)[4], 0xFF123456u);
    EXPECT_EQ(dib->row(2)[5], 0u);
    EXPECT_EQ(dib->row(3)[0], 0u);
}

TEST(RowTable, RowsAreListedTopToBottomForEitherStride) {
    uint8_t block[4 * 12] = {};
    RowTable rows;
    rows.fill(block, 3, 4, 12);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(rows.row(1)), block + 12);
    rows.fill(block, 3, 4, -12);  // bottom-up: the top row is the last in memory
    EXPECT_EQ(reinterpret_cast<uint8_t*>(rows.row(0)), block + 36);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(rows.row(3)), block);
    EXPECT_EQ(rows.count(), 4);
}

TEST(HDCSelectorDeathTest, ABitmapThatCannotBeSelectedIsFatal) {
    HDCSelector empty(nullptr, nullptr);
    EXPECT_EQ(empty.dc(), nullptr);
    HDC holder = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(holder, 2, 2);
    SelectObject(holder, bitmap);
    EXPECT_DEATH({ HDCSelector again(nullptr, bitmap); }, "");
    DeleteDC(holder);
    DeleteObject(bitmap);
}
