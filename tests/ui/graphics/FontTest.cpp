#include <gtest/gtest.h>

#include <climits>

#include "tests/platform/gdi/support/Canvas32.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using gdi_test::Canvas32;

namespace {

// The test face at size 12 (lfHeight -16): advance 8, boxes 7 x 12, lines 16 high.
FontSpec test_spec(int32_t size = 12) {
    return FontSpec(platform::test_face_name, size, 1);
}

const Color white{255, 255, 255, 255};

}  // namespace

TEST(FontSpec, ParsesTheSkinsDescriptions) {
    struct Case {
        std::u16string text;
        bool ok;
        int32_t size;
        bool bold, italic, underline;
        std::u16string face;
    };
    const Case cases[] = {
        {u"14 1 0 0 Two Words", true, 14, true, false, false, u"Two Words"},
        {u"12,1,0,0,Arial", false, 12, false, false, false, u"Tahoma"},
        {u"Arial 12", false, 0, false, false, false, u"Tahoma"},
        {u"", false, 12, false, false, false, u"Tahoma"},
        {u" \t\r\n", false, 12, false, false, false, u"Tahoma"},
        {u"\t+5\n-1 0 7  Face \t", true, 5, true, false, true, u"Face \t"},
        {u"10 1", false, 10, true, false, false, u"Tahoma"},
        {u"10 0 0 0", true, 10, false, false, false, u""},
        {u"- 1 1 1 X", false, 0, false, false, false, u"Tahoma"},
        {u"99999999999999999999 0 0 0 X", true, INT32_MAX, false, false, false, u"X"},
        {u"-99999999999999999999 0 0 0 X", true, INT32_MIN, false, false, false, u"X"},
    };
    for (const Case& c : cases) {
        FontSpec spec(1);
        std::string what(c.text.begin(), c.text.end());
        EXPECT_EQ(spec.parse(c.text), c.ok) << what;
        EXPECT_EQ(spec.size, c.size) << what;
        EXPECT_EQ(spec.bold, c.bold) << what;
        EXPECT_EQ(spec.italic, c.italic) << what;
        EXPECT_EQ(spec.underline, c.underline) << what;
        EXPECT_EQ(spec.face, c.face) << what;
    }
}

TEST(FontSpec, HeightsAtNinetySixDotsPerInchWithoutOverflow) {
    struct Case {
        int32_t size;
        int32_t scale;
        LONG height;
        LONG shared;
    };
    const Case cases[] = {
        {12, 1, -16, -16}, {10, 1, -13, -14}, {8, 2, -21, -21}, {0, 1, 0, 0},
        {24, 1, -32, -32}, {19, 1, -25, -25}, {INT32_MAX, 2, -1024, -1024}, {-12, 1, 15, 16},
        {INT32_MIN, 1, 1024, 1024},
    };
    for (const Case& c : cases) {
        FontSpec spec(u"X", c.size, c.scale);
        EXPECT_EQ(font_height_of(spec), c.height) << c.size << "x" << c.scale;
        EXPECT_EQ(shared_font_height_of(spec), c.shared) << c.size << "x" << c.scale;
    }
}

TEST(FontCache, SpecsShareOnePlatformFontUntilTheLastHandle) {
    FontSpec bold(u"Tahoma", 12, 1);
    bold.bold = true;
    FontSpec underlined = bold;
    underlined.underline = true;
    {
        Font a(bold);
        Font b(bold);
        Font c(underlined);
        EXPECT_EQ(a.rep(), b.rep());
        EXPECT_NE(a.rep(), c.rep());
        EXPECT_NE(a.rep()->handle(), nullptr) << "a missing face falls back to a real one";
        EXPECT_EQ(FontCache::size(), 2u);
        Font d = a;
        d = d;
        EXPECT_EQ(d.rep(), a.rep());
        d = Font();
        EXPECT_EQ(d.rep(), nullptr);
        EXPECT_EQ(d.measure_text(u"abc"), Point(0, 0));
        EXPECT_GT(a.measure_text(u"Hello").x, 20);
    }
    EXPECT_EQ(FontCache::size(), 0u);
    EXPECT_FALSE(FontSpec(u"A", 1, 1) < FontSpec(u"A", 1, 1));
    EXPECT_TRUE(FontSpec(u"Z", 1, 1) < FontSpec(u"A", 1, 2)) << "scale first";
    EXPECT_TRUE(FontSpec(u"Z", 1, 1) < FontSpec(u"A", 2, 1)) << "then size";
}

TEST(FontRep, MeasuresEveryLineButDrawsOne) {
    Font font(test_spec());
    EXPECT_EQ(font.measure_text(u"abc"), Point(24, 16));
    EXPECT_EQ(font.measure_text(u""), Point(0, 0));
    EXPECT_EQ(font.measure_text(u"a\nbcd"), Point(24, 32));
    Canvas32 canvas(64, 20);
    Painter painter(canvas.dc(), {0, 0}, {64, 20});
    font.draw_text(painter, white, u"a\nb", {0, 0}, {64, 20}, 0, 0);
    EXPECT_EQ(canvas.count(0xFFFFFF), 2 * 7 * 12);
    EXPECT_EQ(canvas.at(8, 0) & 0xFFFFFF, 0xFFFFFFu) << "b follows a on the same line";
}

TEST(FontRep, AlignsInItsRectangleAndRestoresTheDc) {
    Font font(test_spec());
    struct Case {
        int h, v;
        int x, y;
    };
    const Case cases[] = {{0, 0, 4, 2}, {1, 1, 4 + 42, 2 + 12}, {2, 2, 4 + 84, 2 + 24}};
    for (const Case& c : cases) {
        Canvas32 canvas(110, 50);
        Painter painter(canvas.dc(), {0, 0}, {110, 50});
        COLORREF before = SetTextColor(canvas.dc(), RGB(1, 2, 3));
        font.draw_text(painter, white, u"ab", {4, 2}, {100, 40}, c.h, c.v);
        EXPECT_EQ(canvas.at(c.x, c.y) & 0xFFFFFF, 0xFFFFFFu) << c.h << c.v;
        EXPECT_EQ(canvas.at(c.x - 1, c.y) & 0xFFFFFF, 0u) << c.h << c.v;
        EXPECT_EQ(canvas.at(c.x, c.y - 1) & 0xFFFFFF, 0u) << c.h << c.v;
        EXPECT_EQ(SetTextColor(canvas.dc(), before), RGB(1, 2, 3)) << "the colour is restored";
        EXPECT_EQ(SetBkMode(canvas.dc(), OPAQUE), OPAQUE) << "the background mode is restored";
    }
}

TEST(FontRep, EllipsisShortensOnlyWhatDoesNotFit) {
    Font font(test_spec());
    struct Case {
        int width;
        int boxes;  // glyph boxes drawn (the ellipsis is one box too)
    };
    // "abcd" is 32 wide; a prefix of n plus the ellipsis is 8n + 8 wide.
    const Case cases[] = {{32, 4}, {31, 3}, {25, 3}, {24, 2}, {9, 1}};
    for (const Case& c : cases) {
        Canvas32 canvas(40, 16);
        Painter painter(canvas.dc(), {0, 0}, {40, 16});
        font.draw_text_ellipsis(painter, white, u"abcd", {0, 0}, {c.width, 16}, 0, 0);
        EXPECT_EQ(canvas.count(0xFFFFFF), c.boxes * 7 * 12) << c.width;
    }
    // Not even the ellipsis fits: it is drawn alone, clipped to the rectangle.
    Canvas32 canvas(40, 16);
    Painter painter(canvas.dc(), {0, 0}, {40, 16});
    font.draw_text_ellipsis(painter, white, u"abcd", {0, 0}, {5, 16}, 0, 0);
    EXPECT_EQ(canvas.count(0xFFFFFF), 5 * 12);
}

TEST(SharedFont, DefaultHasNoFontAndOthersReadTheirMetrics) {
    const SharedPtr<SharedFont>& def = default_shared_font();
    ASSERT_TRUE(def);
    EXPECT_EQ(def->handle(), nullptr);
    EXPECT_EQ(def->height(), 0);
    EXPECT_EQ(default_shared_font_copy().get(), def.get());
    EXPECT_GE(def.use_count(), 2);

    SharedFont font(test_spec(12));
    ASSERT_NE(font.handle(), nullptr);
    EXPECT_EQ(font.height(), 16);
    EXPECT_EQ(font.descent(), 4);
    EXPECT_EQ(font.internal_leading(), 0);
}
