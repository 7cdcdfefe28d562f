// The journeys' screen comparison: what counts as a differing pixel, and PNG files that
// keep every pixel.
#include <gtest/gtest.h>

#include "tests/e2e/support/Journey.h"
#include "tests/fixtures/TempDir.h"

namespace {

e2e::Image grey(int width, int height, unsigned char level) {
    e2e::Image image{width, height, {}};
    image.rgb.assign(static_cast<size_t>(width * height * 3), level);
    return image;
}

TEST(ImageCompare, CountsPixelsBeyondTheToleranceOutsideIgnoredAreas) {
    struct Case {
        const char* what;
        int x, y, channel, change;
        std::vector<e2e::Area> ignore;
        int expected;
    };
    const Case cases[] = {
        {"same", 0, 0, 0, 0, {}, 0},
        {"within the tolerance", 3, 2, 1, 32, {}, 0},
        {"just beyond it", 3, 2, 1, 33, {}, 1},
        {"darker, blue", 0, 3, 2, -40, {}, 1},
        {"in an ignored area", 3, 2, 0, 100, {{2, 1, 2, 2}}, 0},
        {"next to an ignored area", 3, 2, 0, 100, {{0, 0, 3, 4}}, 1},
    };
    for (const Case& c : cases) {
        const e2e::Image a = grey(5, 4, 100);
        e2e::Image b = a;
        b.rgb[static_cast<size_t>((c.y * 5 + c.x) * 3 + c.channel)] = static_cast<unsigned char>(100 + c.change);
        EXPECT_EQ(e2e::differing_pixels(a, b, 32, c.ignore), c.expected) << c.what;
    }
    EXPECT_EQ(e2e::differing_pixels(grey(5, 4, 0), grey(4, 5, 0), 32, {}), 20) << "other size";
    EXPECT_EQ(e2e::differing_pixels(grey(5, 4, 0), e2e::Image{}, 32, {}), 20) << "no screen";
}

TEST(ImageCompare, PngFilesKeepEveryPixel) {
    fixtures::TempDir dir;
    e2e::Image image = grey(7, 3, 0);
    for (size_t i = 0; i < image.rgb.size(); ++i) {
        image.rgb[i] = static_cast<unsigned char>(i * 37);
    }
    ASSERT_TRUE(e2e::write_png(dir.file("x/a.png"), image));
    const e2e::Image back = e2e::read_png(dir.file("x/a.png"));
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.rgb, image.rgb);
    EXPECT_TRUE(e2e::read_png(dir.file("missing.png")).empty());
}

TEST(ImageCompare, CropsAnAreaRowByRow) {
    e2e::Image image = grey(5, 4, 0);
    for (size_t i = 0; i < image.rgb.size(); ++i) {
        image.rgb[i] = static_cast<unsigned char>(i);
    }
    const e2e::Image part = fixtures::crop(image, {1, 2, 3, 2});
    ASSERT_EQ(part.width, 3);
    ASSERT_EQ(part.height, 2);
    EXPECT_EQ(part.pixel(0, 0), image.pixel(1, 2));
    EXPECT_EQ(part.pixel(2, 1), image.pixel(3, 3));
    EXPECT_EQ(image.pixel(1, 0), 0x030405u);
    EXPECT_TRUE(fixtures::crop(image, {3, 2, 3, 2}).empty()) << "beyond the right edge";
}

}  // namespace
