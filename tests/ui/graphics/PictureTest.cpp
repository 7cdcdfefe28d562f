#include <gtest/gtest.h>

#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/support/PictureFiles.h"
#include "ui/graphics/Painter.h"
#include "ui/graphics/Picture.h"

using namespace skinner;
using gdi_test::Canvas32;
using ui_test::bmp_bytes;

namespace {

uint32_t column_color(int x, int) {
    return 0x100000u * uint32_t(x + 1);
}

class PictureFiles : public ::testing::Test {
protected:
    void write(const std::string& name, int w, int h, const ui_test::PixelFunction& f) {
        sandbox.write("pics/" + name, bmp_bytes(w, h, f));
    }
    ui_test::PictureRoot sandbox;
};

}  // namespace

TEST_F(PictureFiles, SamePathAndScaleShareOneRepUntilTheLastHandleGoes) {
    write("box.bmp", 3, 2, [](int, int) { return 0x112233u; });
    {
        Picture a(u"\\pics\\box", false, 1);
        ASSERT_TRUE(a.is_loaded());
        EXPECT_EQ(a.get_size(), Point(3, 2));
        Picture b(u"\\pics\\box", true, 1);
        Picture other_scale(u"\\pics\\box", false, 2);
        EXPECT_EQ(a.rep(), b.rep());
        EXPECT_NE(a.rep(), other_scale.rep());
        EXPECT_EQ(PictureCache::size(), 2u);
        {
            Picture c = a;
            c = c;  // assignment to itself keeps the handle
            EXPECT_EQ(c.rep(), a.rep());
            c = Picture();
            EXPECT_EQ(c.rep(), nullptr);
        }
        Picture survivor = b;
        a = Picture();
        b = Picture();
        EXPECT_TRUE(survivor.is_loaded());
        Canvas32 canvas(4, 4);
        Painter painter(canvas.dc(), {0, 0}, {4, 4});
        survivor.draw(painter, {0, 0}, {3, 2});
        EXPECT_EQ(canvas.at(2, 1) & 0xFFFFFF, 0x112233u);
    }
    EXPECT_EQ(PictureCache::size(), 0u);
    // Gone from the cache: a new handle decodes the file again.
    write("box.bmp", 3, 2, [](int, int) { return 0x445566u; });
    Picture again(u"\\pics\\box", false, 1);
    Canvas32 canvas(4, 4);
    Painter painter(canvas.dc(), {0, 0}, {4, 4});
    again.draw(painter, {0, 0}, {3, 2});
    EXPECT_EQ(canvas.at(0, 0) & 0xFFFFFF, 0x445566u);
}

TEST_F(PictureFiles, MissingFileGivesAnEmptyPictureThatDrawsNothing) {
    Picture missing(u"\\pics\\nothing", false, 1);
    EXPECT_NE(missing.rep(), nullptr);
    EXPECT_FALSE(missing.is_loaded());
    EXPECT_EQ(missing.get_size(), Point(0, 0));
    EXPECT_FALSE(missing.is_transparent_at({1, 1}, {0, 0}, {4, 4})) << "no mask: opaque inside";
    Picture none;
    EXPECT_EQ(none.rep(), nullptr);
    EXPECT_EQ(none.get_size(), Point(0, 0));
    EXPECT_TRUE(none.is_transparent_at({1, 1}, {0, 0}, {4, 4}));
    Canvas32 canvas(4, 4, 0x777777);
    Painter painter(canvas.dc(), {0, 0}, {4, 4});
    missing.draw(painter, {0, 0}, {4, 4});
    none.draw(painter, {0, 0}, {4, 4});
    EXPECT_EQ(canvas.count(0x777777), 16);
}

TEST_F(PictureFiles, ScaleTwoPrefersTheX2FileElseStretchesTwice) {
    write("plain.bmp", 3, 2, column_color);
    write("both.bmp", 3, 2, column_color);
    write("both_x2.bmp", 5, 5, [](int, int) { return 0xABCDEFu; });
    Picture variant(u"\\pics\\both", false, 2);
    EXPECT_EQ(variant.get_size(), Point(5, 5)) << "the variant at its own size";
    EXPECT_EQ(variant.rep()->width, 5);

    Picture stretched(u"\\pics\\plain", false, 2);
    ASSERT_TRUE(stretched.is_loaded());
    EXPECT_EQ(stretched.rep()->width, 3) << "the size as read";
    BITMAP info{};
    GetObjectW(stretched.rep()->image, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 4);
    HDCSelector image(nullptr, stretched.rep()->image);
    for (int x = 0; x < 6; ++x) {
        COLORREF c = GetPixel(image.dc(), x, 3);
        EXPECT_EQ(GetRValue(c), uint32_t(0x10 * (x / 2 + 1))) << x;
    }
}

TEST_F(PictureFiles, OneBitMaskComesBeforeTheEightBitMask) {
    for (const char* name : {"both", "eight"}) {
        write(std::string(name) + ".bmp", 2, 2, [](int, int) { return 0xFF0000u; });
        write(std::string(name) + "_8.bmp", 2, 2, [](int, int) { return 0x000080u; });
    }
    write("both_1.bmp", 2, 2, [](int x, int) { return x == 0 ? 0xFFFFFFu : 0u; });
    Picture both(u"\\pics\\both", false, 1);
    Picture eight(u"\\pics\\eight", false, 1);
    EXPECT_NE(both.rep()->mask, nullptr);
    EXPECT_FALSE(both.rep()->mask_is_8bit);
    EXPECT_NE(eight.rep()->mask, nullptr);
    EXPECT_TRUE(eight.rep()->mask_is_8bit);
    EXPECT_FALSE(both.is_transparent_at({0, 1}, {0, 0}, {2, 2}));
    EXPECT_TRUE(both.is_transparent_at({1, 1}, {0, 0}, {2, 2}));
    EXPECT_TRUE(both.is_transparent_at({2, 1}, {0, 0}, {2, 2})) << "the right edge is outside";
    EXPECT_TRUE(both.is_transparent_at({0, 2}, {0, 0}, {2, 2})) << "the bottom edge is outside";
}

TEST_F(PictureFiles, MapPointTilesOrStretchesTheMiddle) {
    write("bar.bmp", 20, 1, column_color);
    Picture bar(u"\\pics\\bar", false, 1);
    bar.set_border_min({5, 0});
    bar.set_border_max({15, 1});
    // 35 wide: borders of 5, and 25 pixels of a 10 pixel middle.
    std::vector<int> tiled, stretched;
    for (int x = 5; x < 30; ++x) tiled.push_back(bar.map_point({x, 0}, {0, 0}, {35, 1}).x);
    std::vector<int> expected;
    for (int i = 0; i < 25; ++i) expected.push_back(5 + i % 10);
    EXPECT_EQ(tiled, expected);
    bar.set_stretch(true);
    for (int x = 5; x < 30; ++x) stretched.push_back(bar.map_point({x, 0}, {0, 0}, {35, 1}).x);
    expected.clear();
    for (int i = 0; i < 25; ++i) expected.push_back(5 + i * 10 / 25);
    EXPECT_EQ(stretched, expected);
    EXPECT_EQ(bar.map_point({2, 0}, {0, 0}, {35, 1}), Point(2, 0));
    EXPECT_EQ(bar.map_point({33, 0}, {0, 0}, {35, 1}), Point(18, 0));
    EXPECT_EQ(bar.map_point({35, 0}, {0, 0}, {35, 1}), Point(-1, 0));
    EXPECT_EQ(bar.map_point({-1, 1}, {0, 0}, {35, 1}), Point(-1, -1));

    bar.set_stretch(false);
    bar.set_border_max({5, 1});
    EXPECT_EQ(bar.map_point({12, 0}, {0, 0}, {35, 1}).x, 0) << "an empty tiled middle maps to 0";
}

TEST_F(PictureFiles, CoordinatesOutOfOrderOrOutsideStayInsideTheBitmap) {
    write("small.bmp", 4, 4, column_color);
    Picture p(u"\\pics\\small", false, 1);
    p.set_origin({-3, 2});
    p.set_border_min({9, 1});
    p.set_border_max({2, 50});
    p.set_end({40, -7});
    PictureSlices s = p.slices();
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.right, 4);
    EXPECT_LE(s.left, s.min_x);
    EXPECT_LE(s.min_x, s.max_x);
    EXPECT_LE(s.max_x, s.right);
    EXPECT_EQ(s.top, 2);
    EXPECT_EQ(s.bottom, 2);
    for (int x = -2; x < 30; ++x) {
        Point m = p.map_point({x, 3}, {0, 0}, {25, 6});
        EXPECT_LT(m.x, 4);
    }
    Canvas32 canvas(30, 10);
    Painter painter(canvas.dc(), {0, 0}, {30, 10});
    p.draw(painter, {0, 0}, {25, 6});
    p.set_stretch(true);
    p.draw(painter, {0, 0}, {25, 6});
}
