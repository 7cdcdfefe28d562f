#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/support/Canvas32.h"

using gdi_test::Canvas32;

namespace {

HFONT make_font(const char16_t* face, LONG height, LONG weight = FW_NORMAL, BYTE underline = 0) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfUnderline = underline;
    std::u16string name(face);
    name.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

// The test face at em 16: ascent 12, descent 4, advance 8, boxes 7 wide and 12 high.
class TestFace : public ::testing::Test {
protected:
    void SetUp() override {
        font = make_font(platform::test_face_name, -16);
        ASSERT_NE(font, nullptr);
        old = SelectObject(canvas.dc(), font);
        SetTextColor(canvas.dc(), RGB(255, 255, 255));
        SetBkMode(canvas.dc(), TRANSPARENT);
    }
    void TearDown() override {
        SelectObject(canvas.dc(), old);
        DeleteObject(font);
    }
    int draw(const std::u16string& text, RECT r, UINT format) {
        return DrawTextW(canvas.dc(), text.c_str(), int(text.size()), &r, format);
    }
    bool lit(int x, int y) { return (canvas.at(x, y) & 0xFFFFFF) == 0xFFFFFF; }

    Canvas32 canvas{128, 64};
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
};

}  // namespace

TEST_F(TestFace, MetricsAreExact) {
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent, 12);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmInternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 8);

    HFONT bold = make_font(platform::test_face_name, -16, FW_BOLD);
    SelectObject(canvas.dc(), bold);
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    EXPECT_EQ(tm.tmAveCharWidth, 9);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    SelectObject(canvas.dc(), font);
    DeleteObject(bold);
}

TEST_F(TestFace, MeasuringBreaksLinesAtCrLfAndTheirPairs) {
    struct Case {
        std::u16string text;
        UINT extra;
        LONG width;
        LONG height;
    };
    const Case cases[] = {
        {u"abc", 0, 24, 16},
        {u"", 0, 0, 0},
        {u"ab\ncd e", 0, 32, 32},
        {u"a\r\nb", 0, 8, 32},
        {u"a\n\rb", 0, 8, 32},
        {u"a\r\rb", 0, 8, 48},
        {u"a\n\nb", 0, 8, 48},
        {u"a\nbcd", DT_SINGLELINE, 32, 16},
    };
    for (const Case& c : cases) {
        RECT r{5, 7, 6, 8};
        int height = draw(c.text, r, DT_CALCRECT | DT_NOPREFIX | c.extra);
        RECT measured{5, 7, 6, 8};
        DrawTextW(canvas.dc(), c.text.c_str(), int(c.text.size()), &measured, DT_CALCRECT | DT_NOPREFIX | c.extra);
        EXPECT_EQ(height, c.height) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(measured.right - measured.left, c.width) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(measured.bottom - measured.top, c.height);
    }
    EXPECT_EQ(canvas.count(0xFFFFFF), 0) << "measuring draws nothing";
}

TEST_F(TestFace, EachAlignmentPlacesTheTextInItsRectangle) {
    // Rectangle (10, 10)-(110, 50): 100 wide, 40 high; "ab" is 16 wide and 16 high.
    struct Case {
        UINT flags;
        int x;
        int y;
        int result;
    };
    const Case cases[] = {
        {DT_LEFT | DT_TOP, 10, 10, 16},
        {DT_CENTER | DT_TOP, 52, 10, 16},
        {DT_RIGHT | DT_TOP, 94, 10, 16},
        {DT_LEFT | DT_VCENTER, 10, 22, 28},
        {DT_CENTER | DT_VCENTER, 52, 22, 28},
        {DT_RIGHT | DT_BOTTOM, 94, 34, 40},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < canvas.width() * canvas.height(); ++i) canvas.at(i % 128, i / 128) = 0;
        int result = draw(u"ab", RECT{10, 10, 110, 50}, c.flags | DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_EQ(result, c.result) << c.flags;
        EXPECT_EQ(canvas.count(0xFFFFFF), 2 * 7 * 12) << c.flags;
        EXPECT_TRUE(lit(c.x, c.y)) << c.flags;
        EXPECT_TRUE(lit(c.x + 6, c.y + 11)) << c.flags;
        EXPECT_FALSE(lit(c.x - 1, c.y)) << c.flags;
        EXPECT_FALSE(lit(c.x + 7, c.y)) << "gap between glyphs, flags " << c.flags;
        EXPECT_TRUE(lit(c.x + 8, c.y)) << c.flags;
        EXPECT_FALSE(lit(c.x, c.y + 12)) << "descent stays clear, flags " << c.flags;
        EXPECT_FALSE(lit(c.x, c.y - 1)) << c.flags;
    }
}

TEST_F(TestFace, TextIsClippedToItsRectangleAndTheDcClip) {
    draw(u"abcdef", RECT{0, 0, 20, 30}, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(canvas.count(0xFFFFFF), (7 + 7 + 4) * 12);
    EXPECT_FALSE(lit(20, 0));

    Canvas32 other(64, 16);
    SelectObject(other.dc(), font);
    SetTextColor(other.dc(), RGB(255, 255, 255));
    SetBkMode(other.dc(), TRANSPARENT);
    IntersectClipRect(other.dc(), 0, 0, 64, 5);
    RECT r{0, 0, 64, 16};
    DrawTextW(other.dc(), u"ab", 2, &r, DT_NOPREFIX);
    EXPECT_EQ(other.count(0xFFFFFF), 2 * 7 * 5);
    SelectObject(other.dc(), old);
}

TEST_F(TestFace, DrawingWithoutSingleLineStacksTheLines) {
    draw(u"a\nbb", RECT{0, 0, 100, 60}, DT_NOPREFIX | DT_RIGHT);
    EXPECT_TRUE(lit(92, 0));
    EXPECT_FALSE(lit(84, 0));
    EXPECT_TRUE(lit(84, 16));
    EXPECT_EQ(canvas.count(0xFFFFFF), 3 * 7 * 12);
}

TEST_F(TestFace, PrefixAmpersandIsDroppedAndUnderlinesItsCharacter) {
    RECT r{0, 0, 1, 1};
    DrawTextW(canvas.dc(), u"a&&b", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, 24);
    r = RECT{0, 0, 1, 1};
    DrawTextW(canvas.dc(), u"&ab", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, 16);
    draw(u"&ab", RECT{0, 0, 100, 20}, DT_SINGLELINE);
    EXPECT_TRUE(lit(7, 13)) << "the underline runs under the whole advance";
    EXPECT_FALSE(lit(8, 13));
}

TEST_F(TestFace, OpaqueModeFillsTheLineBoxAndUnsupportedFlagsFail) {
    EXPECT_EQ(SetBkMode(canvas.dc(), OPAQUE), TRANSPARENT);
    SetTextColor(canvas.dc(), RGB(255, 0, 0));
    draw(u"a", RECT{0, 0, 100, 30}, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(canvas.count(0xFF0000), 7 * 12);
    EXPECT_EQ(canvas.count(0xFFFFFF), 8 * 16 - 7 * 12);
    EXPECT_EQ(draw(u"a", RECT{0, 0, 100, 30}, DT_NOPREFIX | 0x10 /* word break */), 0);
}

TEST(RealFont, FaceIsFoundOrFallsBackAndRendersAntiAliased) {
    Canvas32 canvas(200, 40);
    for (const char16_t* face : {u"DejaVu Sans", u"No Such Face At All"}) {
        HFONT font = make_font(face, -20);
        ASSERT_NE(font, nullptr);
        HGDIOBJ old = SelectObject(canvas.dc(), font);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
        EXPECT_GE(tm.tmHeight, 20);
        EXPECT_LE(tm.tmHeight, 30);
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);

        // Prefix widths never shrink.
        std::u16string text = u"Wavy lines, ij & WW";
        LONG previous = 0;
        for (size_t n = 1; n <= text.size(); ++n) {
            RECT r{0, 0, 1, 1};
            DrawTextW(canvas.dc(), text.c_str(), int(n), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
            EXPECT_GE(r.right, previous);
            previous = r.right;
        }
        EXPECT_GT(previous, 100);

        SetTextColor(canvas.dc(), RGB(255, 255, 255));
        SetBkMode(canvas.dc(), TRANSPARENT);
        RECT r{0, 0, 200, 40};
        DrawTextW(canvas.dc(), u"Hello", -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        int full = 0, partial = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 200; ++x) {
                uint32_t v = canvas.at(x, y) & 0xFF;
                full += v == 255;
                partial += v > 0 && v < 255;
                canvas.at(x, y) = 0;
            }
        }
        EXPECT_GT(full, 20);
        EXPECT_GT(partial, 10) << "edges are blended";
        SelectObject(canvas.dc(), old);
        DeleteObject(font);
    }
}
