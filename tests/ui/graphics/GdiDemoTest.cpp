// A demo without forms: nine-sliced, masked and alpha-blended pictures and aligned text in a
// real font, drawn into a bitmap and saved as gdi_demo.png in the build folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/imaging/Imaging.h"
#include "tests/ui/support/PictureFiles.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Painter.h"
#include "ui/graphics/Picture.h"

using namespace skinner;
using ui_test::bmp_bytes;

namespace {

// A 24 x 24 button face: a dark 3-pixel frame with rounded corners, a lighter bevel and a
// vertical gradient inside; its _1 mask cuts the corners off.
bool inside_rounded(int x, int y, int inset, int radius) {
    int cx = std::clamp(x, inset + radius, 23 - inset - radius);
    int cy = std::clamp(y, inset + radius, 23 - inset - radius);
    int dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

uint32_t button_pixel(int x, int y) {
    if (!inside_rounded(x, y, 0, 7)) return 0xFFFFFF;  // white under a black mask pixel
    if (!inside_rounded(x, y, 3, 4)) return 0x203060;
    if (!inside_rounded(x, y, 5, 2)) return 0x90B0F0;
    int shade = 230 - y * 5;
    return uint32_t(shade / 2) << 16 | uint32_t(shade * 3 / 4) << 8 | uint32_t(shade);
}

uint32_t button_mask(int x, int y) {
    return inside_rounded(x, y, 0, 7) ? 0xFFFFFF : 0x000000;
}

// A round glow whose opacity falls off from the centre (the _8 mask's blue channel).
uint32_t glow_pixel(int x, int y) {
    return (uint32_t(255) << 16) | (uint32_t(160 + x) << 8) | uint32_t(40 + y);
}

uint32_t glow_mask(int x, int y) {
    double d = std::hypot(x - 31.5, y - 31.5) / 32.0;
    double a = std::clamp(1.0 - d, 0.0, 1.0);
    return uint32_t(a * a * 255.0 + 0.5);
}

// A star cut out by a _1 mask.
bool in_star(int x, int y) {
    double dx = x - 24, dy = y - 24;
    double angle = std::atan2(dy, dx);
    double r = std::hypot(dx, dy);
    double edge = 12 + 10 * std::cos(5 * angle);
    return r <= edge;
}

uint32_t star_pixel(int x, int y) {
    return in_star(x, y) ? 0xF0C020 - uint32_t(y) * 0x020200 : 0xFFFFFF;
}

uint32_t star_mask(int x, int y) {
    return in_star(x, y) ? 0xFFFFFF : 0;
}

}  // namespace

TEST(GdiDemo, DrawsPicturesAndTextIntoAPng) {
    ui_test::PictureRoot sandbox;
    sandbox.write("demo/button.bmp", bmp_bytes(24, 24, button_pixel));
    sandbox.write("demo/button_1.bmp", bmp_bytes(24, 24, button_mask));
    sandbox.write("demo/glow.bmp", bmp_bytes(64, 64, glow_pixel));
    sandbox.write("demo/glow_8.bmp", bmp_bytes(64, 64, glow_mask));
    sandbox.write("demo/star.bmp", bmp_bytes(48, 48, star_pixel));
    sandbox.write("demo/star_1.bmp", bmp_bytes(48, 48, star_mask));

    const int width = 480, height = 360;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    {
        Painter painter(dc, {0, 0}, {width, height});
        for (int y = 0; y < height; y += 8) {
            uint8_t v = uint8_t(230 - y / 6);
            painter.fill_rect({0, y}, {width, 8}, Color{v, uint8_t(v - 10), uint8_t(v - 30), 255});
        }

        Picture button(u"\\demo\\button", false, 1);
        Picture stretched = button;
        ASSERT_TRUE(button.is_loaded());
        button.set_border_min({8, 8});
        button.set_border_max({16, 16});
        stretched.set_border_min({8, 8});
        stretched.set_border_max({16, 16});
        stretched.set_stretch(true);
        button.draw(painter, {16, 16}, {200, 48});
        stretched.draw(painter, {232, 16}, {232, 48});
        button.draw(painter, {16, 80}, {12, 12});  // smaller than its borders

        Picture star(u"\\demo\\star", false, 1);
        star.draw(painter, {40, 110}, {48, 48});
        Picture big_star = star;
        big_star.set_stretch(true);
        big_star.set_border_min({0, 0});
        big_star.set_border_max({48, 48});
        big_star.draw(painter, {100, 96}, {96, 96});

        Picture glow(u"\\demo\\glow", false, 1);
        ASSERT_TRUE(glow.rep()->mask_is_8bit);
        glow.draw(painter, {220, 100}, {64, 64});
        Picture wide_glow = glow;
        wide_glow.set_stretch(true);
        wide_glow.set_border_min({0, 0});
        wide_glow.set_border_max({64, 64});
        wide_glow.draw(painter, {300, 96}, {160, 80});

        Font title(FontSpec(u"DejaVu Sans", 12, 1));
        FontSpec bold_spec(u"DejaVu Sans", 9, 1);
        bold_spec.bold = true;
        Font small(bold_spec);
        title.draw_text(painter, Color{255, 255, 255, 255}, u"Tiled button", {16, 16}, {200, 48}, 1, 1);
        title.draw_text(painter, Color{255, 255, 220, 255}, u"Stretched button", {232, 16}, {232, 48}, 1, 1);

        const char16_t* names[3][3] = {{u"top left", u"top centre", u"top right"},
                                       {u"middle left", u"centre", u"middle right"},
                                       {u"bottom left", u"bottom centre", u"bottom right"}};
        Point box{440, 110};
        Point at{20, 200};
        painter.fill_rect(at, box, Color{40, 44, 60, 255});
        painter.push_clip({at.x + 1, at.y + 1}, {box.x - 2, box.y - 2});
        painter.fill_rect(at, box, Color{250, 250, 245, 255});
        for (int v = 0; v < 3; ++v) {
            for (int h = 0; h < 3; ++h) {
                small.draw_text(painter, Color{30, 40, 90, 255}, names[v][h], {at.x + 6, at.y + 4},
                                {box.x - 12, box.y - 8}, h, v);
            }
        }
        painter.pop_clip();
        title.draw_text_ellipsis(painter, Color{20, 20, 20, 255},
                                 u"A long name that does not fit in its box is shortened", {20, 320},
                                 {300, 24}, 0, 1);
        Point measured = title.measure_text(u"Two lines\nmeasured");
        EXPECT_GT(measured.y, title.measure_text(u"Two lines").y);
    }
    // The corner of the tiled button lies outside its mask: the background shows there.
    EXPECT_EQ(GetPixel(dc, 16, 16), GetPixel(dc, 10, 16));
    EXPECT_NE(GetPixel(dc, 20, 40), GetPixel(dc, 10, 40));
    SelectObject(dc, old);
    DeleteDC(dc);
    std::string path = std::string(VANTREL_TEST_BINARY_DIR) + "/gdi_demo.png";
    ASSERT_TRUE(platform::save_bitmap_png(bitmap, path));
    EXPECT_GT(std::filesystem::file_size(path), 2000u);
    DeleteObject(bitmap);
}
