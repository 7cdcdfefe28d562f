#include <gtest/gtest.h>

#include "base/Cursor.h"
#include "base/PixelBlock.h"
#include "base/ScreenMetrics.h"
#include "platform/device/DeviceProfile.h"
#include "platform/window/Window.h"

namespace skinner {
namespace {

// A display entry point that reports a fixed orientation to a test and records resets.
DWORD reported = DMDO_0;
DWORD last_reset = 0xFFFF;
LONG fake_display(LPCWSTR, DEVMODEW* mode, HWND, DWORD flags, LPVOID) {
    if (flags == CDS_TEST) {
        mode->dmDisplayOrientation = reported;
    } else if (flags == CDS_RESET) {
        last_reset = mode->dmDisplayOrientation;
    }
    return DISP_CHANGE_SUCCESSFUL;
}

TEST(ScreenOrientation, ReportedOrientationAndTheQuarterTurnModel) {
    struct Case {
        DWORD reported;
        int plain;
        int remapped;
    };
    const Case cases[] = {
        {DMDO_0, 0, 3}, {DMDO_90, 1, 0}, {DMDO_180, 2, 1}, {DMDO_270, 3, 2}, {3, 0, 0},
    };
    CoreDllFunctions plain(&fake_display, false);
    CoreDllFunctions remapped(&fake_display, true);
    for (const Case& c : cases) {
        reported = c.reported;
        EXPECT_EQ(get_screen_orientation(plain), c.plain) << c.reported;
        EXPECT_EQ(get_screen_orientation(remapped), c.remapped) << c.reported;
    }

    DEVMODEW mode;
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = DMDO_270;
    EXPECT_EQ(remapped.change_display_settings_ex(nullptr, &mode, nullptr, CDS_RESET, nullptr), 0);
    EXPECT_EQ(last_reset, DMDO_0);  // asked for a quarter turn further
    mode.dmSize = 191;
    EXPECT_EQ(remapped.change_display_settings_ex(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_BADPARAM);
}

TEST(ScreenOrientation, SubstituteWithoutTheEntryPoint) {
    struct Case {
        WORD size;
        DWORD fields;
        DWORD flags;
        DWORD orientation;
        LONG result;
    };
    const Case cases[] = {
        {191, DM_DISPLAYQUERYORIENTATION, CDS_TEST, 0, DISP_CHANGE_BADPARAM},
        {192, DM_DISPLAYQUERYORIENTATION, CDS_TEST, 2, DISP_CHANGE_SUCCESSFUL},
        {192, 1, CDS_TEST, 2, DISP_CHANGE_SUCCESSFUL},
        {192, DM_DISPLAYORIENTATION, CDS_TEST, 2, DISP_CHANGE_FAILED},
        {192, 1, CDS_RESET, 0, DISP_CHANGE_SUCCESSFUL},
        {192, 1, CDS_RESET, 1, DISP_CHANGE_FAILED},
        {192, DM_DISPLAYORIENTATION, CDS_RESET, 0, DISP_CHANGE_FAILED},
        {192, 1, 0, 0, DISP_CHANGE_BADFLAGS},
    };
    for (const Case& c : cases) {
        DEVMODEW mode;
        mode.dmSize = c.size;
        mode.dmFields = c.fields;
        mode.dmDisplayOrientation = c.orientation;
        EXPECT_EQ(CoreDllFunctions::substitute(nullptr, &mode, nullptr, c.flags, nullptr), c.result)
            << c.fields << " " << c.flags;
        if (c.flags == CDS_TEST && c.result == DISP_CHANGE_SUCCESSFUL) {
            EXPECT_EQ(mode.dmDisplayOrientation, DMDO_0);
        }
    }
    EXPECT_EQ(get_screen_orientation(CoreDllFunctions(nullptr, false)), 0);
    EXPECT_EQ(get_screen_orientation(CoreDllFunctions(nullptr, true)), 0);
    EXPECT_EQ(get_screen_orientation(), 0);  // this platform's coredll.dll has no such entry point
}

TEST(ScreenMetrics, SizeAndDpiOfTheDeviceProfile) {
    ScreenMetrics metrics;
    const platform::DeviceProfile& profile = platform::device_profile();
    EXPECT_EQ(metrics.width, profile.screen_width);
    EXPECT_EQ(metrics.height, profile.screen_height);
    EXPECT_EQ(metrics.dpi, profile.dpi);
    EXPECT_EQ(metrics.rect.right, metrics.width);
    EXPECT_EQ(metrics.rect.bottom, metrics.height);
    EXPECT_EQ(metrics.orientation, 0);
}

TEST(PixelBlock, RowsArePaddedToFourBytes) {
    struct Case {
        int32_t width, height, stride;
    };
    const Case cases[] = {{1, 1, 4}, {2, 1, 4}, {3, 2, 8}, {4, 3, 8}};
    for (const Case& c : cases) {
        auto block = PixelBlock::create(c.width, c.height);
        ASSERT_TRUE(block);
        EXPECT_EQ(block->stride, c.stride);
        EXPECT_TRUE(block->owns);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(block->row(c.height - 1)) + c.stride,
                  reinterpret_cast<uint8_t*>(block->pixels) + c.stride * c.height);
    }
}

TEST(Cursor, NamesLoadTheirSystemCursors) {
    struct Case {
        const char16_t* name;
        LPCWSTR system_cursor;
    };
    const Case cases[] = {
        {u"ARROW", IDC_ARROW},   {u"HAND", IDC_HAND},         {u"IBEAM", IDC_IBEAM},   {u"SIZENESW", IDC_SIZENESW},
        {u"SIZENS", IDC_SIZENS}, {u"SIZENWSE", IDC_SIZENWSE}, {u"SIZEWE", IDC_SIZEWE}, {u"WAIT", IDC_WAIT},
        {u"SIZEALL", IDC_SIZEALL}, {u"NO", IDC_NO},           {u"HELP", IDC_HELP},     {u"APPSTARTING", IDC_APPSTARTING},
    };
    for (const Case& c : cases) {
        Cursor cursor = Cursor::from_name(c.name);
        EXPECT_FALSE(cursor.is_empty());
        EXPECT_EQ(cursor.handle(), LoadCursorW(nullptr, c.system_cursor));
    }
    EXPECT_TRUE(Cursor::from_name(u"arrow").is_empty());
    EXPECT_TRUE(Cursor::from_name(u"").is_empty());

    const std::u16string text = u"NOPE";
    Cursor parsed;
    EXPECT_EQ(parse_value(parsed, text.data(), text.data() + 2), text.data() + 2);
    EXPECT_EQ(parsed.handle(), LoadCursorW(nullptr, IDC_NO));
    EXPECT_EQ(parse_value(parsed, text.data(), text.data() + 4), nullptr);
    EXPECT_TRUE(parsed.is_empty());
}

TEST(Cursor, ApplyShowsTheCursorOrTheArrow) {
    Cursor hand = Cursor::from_name(u"HAND");
    Cursor copy = hand;
    Cursor& alias = copy;
    copy = alias;  // itself
    EXPECT_EQ(copy.handle(), hand.handle());
    copy.apply();
    EXPECT_EQ(GetCursor(), hand.handle());
    Cursor().apply();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
}  // namespace skinner
