#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "tests/platform/gdi/support/Canvas32.h"

using gdi_test::Canvas32;

namespace {

// A DIB of the given depth whose rows (top row first) the test fills in, bytes as stored.
struct PaletteDib {
    PaletteDib(int width, int height, int bpp, std::vector<RGBQUAD> colors, bool bottom_up) {
        std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = bottom_up ? height : -height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = WORD(bpp);
        info->bmiHeader.biClrUsed = DWORD(colors.size());
        auto* table = reinterpret_cast<RGBQUAD*>(storage.data() + sizeof(BITMAPINFOHEADER));
        for (size_t i = 0; i < colors.size(); ++i) table[i] = colors[i];
        void* b = nullptr;
        bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &b, nullptr, 0);
        bits = static_cast<uint8_t*>(b);
        stride = ((width * bpp + 31) / 32) * 4;
        this->height = height;
        this->bottom_up = bottom_up;
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~PaletteDib() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    uint8_t* row(int y) { return bits + (bottom_up ? height - 1 - y : y) * stride; }

    HBITMAP bitmap = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    int height = 0;
    bool bottom_up = false;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};

RGBQUAD quad(uint32_t rgb) {
    return RGBQUAD{BYTE(rgb), BYTE(rgb >> 8), BYTE(rgb >> 16), 0};
}

}  // namespace

TEST(GdiObjects, MemoryDcStartsWithAStockBitmapAndSelectionSwaps) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP a = CreateCompatibleBitmap(dc, 4, 3);
    HBITMAP b = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ stock = SelectObject(dc, a);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);  // harmless
    EXPECT_EQ(SelectObject(dc, b), a);
    EXPECT_FALSE(DeleteObject(b)) << "a selected bitmap is not deleted";
    EXPECT_EQ(SelectObject(dc, stock), b);

    BITMAP info{};
    ASSERT_EQ(GetObjectW(stock, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    ASSERT_EQ(GetObjectW(a, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);

    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(a)) << "a deleted handle stays dead";
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, BitmapLivesInOneDcAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 2, 2);
    HGDIOBJ old1 = SelectObject(first, bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again into its own DC is fine";
    SelectObject(first, old1);
    HGDIOBJ old2 = SelectObject(second, bitmap);
    EXPECT_NE(old2, nullptr);
    SelectObject(second, old2);
    DeleteDC(first);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, DeletingADcReleasesItsBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    SelectObject(dc, bitmap);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, DeviceCapsComeFromTheDeviceProfile) {
    setenv("VANTREL_SCREEN", "240x320", 1);
    setenv("VANTREL_DPI", "131", 1);
    platform::reload_device_profile();
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 320);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 131);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 131);
    DeleteDC(dc);
    unsetenv("VANTREL_SCREEN");
    unsetenv("VANTREL_DPI");
    platform::reload_device_profile();
}

TEST(GdiObjects, DibSectionRefusesWhatItCannotHold) {
    struct Case {
        const char* what;
        LONG width;
        LONG height;
        WORD bpp;
        DWORD compression;
        DWORD header_size = sizeof(BITMAPINFOHEADER);
    };
    const Case cases[] = {
        {"no width", 0, 4, 32, BI_RGB},   {"no height", 4, 0, 32, BI_RGB},
        {"odd depth", 4, 4, 7, BI_RGB},   {"compressed", 4, 4, 8, 1},
        {"huge", 100000, 100000, 32, BI_RGB},
        {"a longer header: its colour table would lie past the caller's record", 4, 4, 8, BI_RGB, 108},
    };
    for (const Case& c : cases) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = c.header_size;
        info.bmiHeader.biWidth = c.width;
        info.bmiHeader.biHeight = c.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = c.bpp;
        info.bmiHeader.biCompression = c.compression;
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
    }
}

TEST(GdiBlit, RasterOperationsCombineSourceAndDestination) {
    struct Case {
        DWORD rop;
        uint32_t expected;
    };
    const uint32_t dest = 0x00F0F00F;
    const uint32_t source = 0x00FF0F0C;
    const Case cases[] = {
        {SRCCOPY, source},
        {SRCPAINT, dest | source},
        {SRCAND, dest & source},
    };
    for (const Case& c : cases) {
        Canvas32 to(3, 1, dest);
        Canvas32 from(3, 1, source);
        ASSERT_TRUE(BitBlt(to.dc(), 1, 0, 1, 1, from.dc(), 0, 0, c.rop));
        EXPECT_EQ(to.row(0), (std::vector<uint32_t>{dest, c.expected, dest})) << std::hex << c.rop;
    }
    Canvas32 to(1, 1);
    Canvas32 from(1, 1);
    EXPECT_FALSE(BitBlt(to.dc(), 0, 0, 1, 1, from.dc(), 0, 0, 0x00660046)) << "an unsupported operation fails";
}

TEST(GdiBlit, MaskThenImageShowsImageOnlyWhereTheMaskIsWhite) {
    // The framework's masked blit: the mask with SRCPAINT, then the image (white where
    // transparent) with SRCAND.
    const uint32_t background = 0x00336699;
    Canvas32 dest(4, 1, background);
    Canvas32 mask(4, 1);
    Canvas32 image(4, 1);
    const uint32_t mask_row[] = {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000};
    const uint32_t image_row[] = {0xFF0000, 0xFFFFFF, 0x00FF00, 0xFFFFFF};
    for (int x = 0; x < 4; ++x) {
        mask.at(x, 0) = mask_row[x];
        image.at(x, 0) = image_row[x];
    }
    BitBlt(dest.dc(), 0, 0, 4, 1, mask.dc(), 0, 0, SRCPAINT);
    BitBlt(dest.dc(), 0, 0, 4, 1, image.dc(), 0, 0, SRCAND);
    EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{0xFF0000, background, 0x00FF00, background}));
}

TEST(GdiBlit, SourceOutsideTheBitmapIsNeverRead) {
    Canvas32 dest(6, 1, 0x111111);
    Canvas32 source(2, 1);
    source.at(0, 0) = 0xAA0000;
    source.at(1, 0) = 0x00BB00;
    ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 6, 1, source.dc(), -2, 0, SRCCOPY));
    EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{0x111111, 0x111111, 0xAA0000, 0x00BB00, 0x111111, 0x111111}));
    ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 6, 1, source.dc(), 5, 7, SRCCOPY));
    EXPECT_EQ(dest.count(0x111111), 4);
}

TEST(GdiBlit, ClipRectangleLimitsEveryDrawingCall) {
    Canvas32 dest(8, 8);
    Canvas32 source(8, 8, 0xFFFFFF);
    EXPECT_EQ(IntersectClipRect(dest.dc(), 2, 2, 6, 5), SIMPLEREGION);
    BitBlt(dest.dc(), 0, 0, 8, 8, source.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dest.count(0xFFFFFF), 4 * 3);
    EXPECT_EQ(dest.at(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(dest.at(6, 2) & 0xFFFFFF, 0u);
    EXPECT_EQ(GetPixel(dest.dc(), 1, 1), CLR_INVALID) << "outside the clip";

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(IntersectClipRect(dest.dc(), 10, 10, 12, 12), NULLREGION);
    RECT all{0, 0, 8, 8};
    FillRect(dest.dc(), &all, red);
    EXPECT_EQ(dest.count(0xFF0000), 0) << "an empty clip draws nothing";

    EXPECT_EQ(SelectClipRgn(dest.dc(), nullptr), SIMPLEREGION);
    FillRect(dest.dc(), &all, red);
    EXPECT_EQ(dest.count(0xFF0000), 64);
    EXPECT_EQ(GetPixel(dest.dc(), 8, 0), CLR_INVALID) << "outside the bitmap";
    DeleteObject(red);
}

TEST(GdiBlit, StretchIsNearestNeighbourWithTheHitTestMapping) {
    Canvas32 source(3, 1);
    source.at(0, 0) = 0x000001;
    source.at(1, 0) = 0x000002;
    source.at(2, 0) = 0x000003;
    {
        Canvas32 dest(6, 2);
        ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 6, 2, source.dc(), 0, 0, 3, 1, SRCCOPY));
        std::vector<uint32_t> doubled{1, 1, 2, 2, 3, 3};
        EXPECT_EQ(dest.row(0), doubled);
        EXPECT_EQ(dest.row(1), doubled);
    }
    {
        Canvas32 dest(7, 1);
        StretchBlt(dest.dc(), 0, 0, 7, 1, source.dc(), 0, 0, 3, 1, SRCCOPY);
        std::vector<uint32_t> expected;
        for (int d = 0; d < 7; ++d) expected.push_back(uint32_t(1 + d * 3 / 7));
        EXPECT_EQ(dest.row(0), expected);
    }
    {
        Canvas32 dest(2, 1);
        StretchBlt(dest.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 3, 1, SRCCOPY);
        EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{1, 2}));
    }
    {
        Canvas32 dest(4, 1, 9);
        StretchBlt(dest.dc(), 1, 0, 2, 1, source.dc(), 1, 0, 1, 1, SRCPAINT);
        EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{9, 9 | 2, 9 | 2, 9}));
    }
    Canvas32 dest(2, 1);
    EXPECT_FALSE(StretchBlt(dest.dc(), 0, 0, -2, 1, source.dc(), 0, 0, 3, 1, SRCCOPY));
}

TEST(GdiBlit, SourceIsConvertedToTheDestinationFormat) {
    const std::vector<RGBQUAD> palette{quad(0x102030), quad(0xA0B0C0), quad(0xFF0000), quad(0x00FF00)};
    struct Case {
        int bpp;
        bool bottom_up;
        std::vector<uint8_t> first_row;  // bytes of the top row
    };
    // Pixels 1, 0, 3, 2 in each layout.
    const Case cases[] = {
        {8, true, {1, 0, 3, 2}},
        {4, false, {0x10, 0x32}},
        {24, true, {0xC0, 0xB0, 0xA0, 0x30, 0x20, 0x10, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF}},
    };
    for (const Case& c : cases) {
        PaletteDib source(4, 2, c.bpp, c.bpp <= 8 ? palette : std::vector<RGBQUAD>{}, c.bottom_up);
        std::copy(c.first_row.begin(), c.first_row.end(), source.row(0));
        Canvas32 dest(4, 1);
        BitBlt(dest.dc(), 0, 0, 4, 1, source.dc, 0, 0, SRCCOPY);
        EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{0xA0B0C0, 0x102030, 0x00FF00, 0xFF0000})) << c.bpp;
    }
    // Monochrome: bit set is palette entry 1.
    PaletteDib mono(8, 1, 1, {quad(0x000000), quad(0xFFFFFF)}, true);
    mono.row(0)[0] = 0xA0;
    Canvas32 dest(8, 1);
    BitBlt(dest.dc(), 0, 0, 8, 1, mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.row(0), (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0}));
    // Into a palette bitmap, the nearest colour is taken.
    PaletteDib indexed(2, 1, 8, palette, false);
    Canvas32 colours(2, 1);
    colours.at(0, 0) = 0xF00808;
    colours.at(1, 0) = 0x9FB0C2;
    BitBlt(indexed.dc, 0, 0, 2, 1, colours.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(indexed.row(0)[0], 2);
    EXPECT_EQ(indexed.row(0)[1], 1);
}

TEST(GdiBlit, OverlappingBlitWithinOneBitmapCopiesTheOriginal) {
    Canvas32 canvas(5, 1);
    for (int x = 0; x < 5; ++x) canvas.at(x, 0) = uint32_t(x + 1);
    BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{1, 1, 2, 3, 4}));
}

TEST(GdiBlit, ThirtyTwoBitCopiesKeepTheAlphaByte) {
    Canvas32 from(1, 1, 0x80123456);
    Canvas32 to(1, 1);
    BitBlt(to.dc(), 0, 0, 1, 1, from.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(to.at(0, 0), 0x80123456u);
    EXPECT_EQ(GetPixel(to.dc(), 0, 0), RGB(0x12, 0x34, 0x56));
}

TEST(GdiDraw, FillRectAndPolylineLeaveOutTheEndPoints) {
    Canvas32 canvas(6, 6);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    RECT r{1, 1, 3, 4};
    EXPECT_EQ(FillRect(canvas.dc(), &r, brush), 1);
    EXPECT_EQ(canvas.count(0x010203), 2 * 3);
    EXPECT_EQ(canvas.at(1, 1), 0x010203u);
    EXPECT_EQ(canvas.at(3, 1), 0u);
    DeleteObject(brush);

    struct Case {
        std::vector<POINT> points;
        std::vector<std::pair<int, int>> lit;
    };
    const Case cases[] = {
        {{{0, 0}, {3, 0}}, {{0, 0}, {1, 0}, {2, 0}}},
        {{{2, 3}, {2, 0}}, {{2, 3}, {2, 2}, {2, 1}}},
        {{{0, 0}, {3, 3}}, {{0, 0}, {1, 1}, {2, 2}}},
        {{{0, 5}, {0, 3}, {2, 3}}, {{0, 5}, {0, 4}, {0, 3}, {1, 3}}},
        {{{1, 1}, {1, 1}}, {}},
    };
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
    for (const Case& c : cases) {
        Canvas32 lines(6, 6);
        HGDIOBJ old = SelectObject(lines.dc(), pen);
        ASSERT_TRUE(Polyline(lines.dc(), c.points.data(), int(c.points.size())));
        SelectObject(lines.dc(), old);
        EXPECT_EQ(lines.count(0x0000FF), int(c.lit.size()));
        for (auto [x, y] : c.lit) {
            EXPECT_EQ(lines.at(x, y), 0x0000FFu) << x << "," << y;
        }
    }
    EXPECT_EQ(CreatePen(PS_SOLID, 3, 0), nullptr) << "wide pens are not supported";
    DeleteObject(pen);
}

TEST(GdiSurface, WindowDcDrawsInsideItsClipWithoutAlpha) {
    std::vector<uint32_t> pixels(4 * 3, 0);
    platform::PixelSurface surface{pixels.data(), 4, 3, 4};
    HDC dc = platform::gdi_create_surface_dc(&surface, RECT{1, 0, 3, 2}, nullptr);
    ASSERT_NE(dc, nullptr);
    Canvas32 source(4, 3, 0xFF445566);
    BitBlt(dc, 0, 0, 4, 3, source.dc(), 0, 0, SRCCOPY);
    std::vector<uint32_t> expected{0, 0x445566, 0x445566, 0, 0, 0x445566, 0x445566, 0, 0, 0, 0, 0};
    EXPECT_EQ(pixels, expected);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP compatible = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, compatible), nullptr) << "a window DC holds no bitmap";
    EXPECT_FALSE(DeleteDC(dc)) << "window DCs are released by the window system";
    DeleteDC(memory);
    DeleteObject(compatible);
    platform::gdi_delete_surface_dc(dc);
    EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);
}
