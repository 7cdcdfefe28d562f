// A message box answers a key pressed while it stands, not the repeats of one held from before:
// an Enter that opened something which then says so in a box must not close the box unread.
// It draws the icon its flags ask for before its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Core.h"
#include "platform/window/Input.h"
#include "platform/window/Window.h"
#include "support/WindowFixture.h"

namespace {

constexpr DWORD shown_popup = WS_POPUP | WS_VISIBLE;

// The box's loop is driven by a timer that must fire on its own.
class MessageBoxes : public fixtures::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        fixtures::use_real_clock();
    }
};

// Run one step a tick from inside the box's own loop.
std::vector<std::function<void()>> steps;
size_t next_step = 0;

void CALLBACK_step(HWND, UINT, uintptr_t id, DWORD) {
    if (next_step >= steps.size()) {
        KillTimer(nullptr, id);
        return;
    }
    steps[next_step++]();
}

bool box_stands() { return FindWindowW(u"Dialog", u"Caption") != nullptr; }

TEST_F(MessageBoxes, RepeatsOfAnEnterHeldFromBeforeDoNotAnswerIt) {
    HWND owner = make_window(shown_popup, {0, 40, 200, 240});
    pump();
    // The key went down before the box came up: what the box sees of it are repeats.
    platform::inject_key(VK_RETURN, true, false);
    pump();
    bool stood_through_repeats = false;
    bool stood_after_release = false;
    steps = {
        [] {},  // one idle pass, so that the box stands
        [] { platform::inject_key(VK_RETURN, true, true); },
        [] { platform::inject_key(VK_RETURN, true, true); },
        [&] { stood_through_repeats = box_stands(); },
        [] { platform::inject_key(VK_RETURN, false, false); },
        [&] { stood_after_release = box_stands(); },
        [] {
            platform::inject_key(VK_RETURN, true, false);
            platform::inject_key(VK_RETURN, false, false);
        },
    };
    next_step = 0;
    const uintptr_t timer = SetTimer(nullptr, 0, 10, CALLBACK_step);
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_OK), IDOK);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(stood_through_repeats);
    EXPECT_TRUE(stood_after_release);
    EXPECT_EQ(next_step, steps.size());
    EXPECT_FALSE(box_stands());
}

enum class Hue { none, red, amber, blue };

Hue hue_of(uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    // Only strong colours count: the grey and dark blue of the box and the edges of its text
    // are none of them.
    if (std::max({r, g, b}) - std::min({r, g, b}) < 100) return Hue::none;
    if (r > 170 && g < 110 && b < 110) return Hue::red;
    if (r > 200 && g > 130 && g < 220 && b < 110) return Hue::amber;
    if (b > 170 && r < 100 && b > g) return Hue::blue;
    return Hue::none;
}

// The box as it stood on the screen, its rows top first.
struct Shown {
    int width = 0;
    std::vector<uint32_t> pixels;

    int x_of(size_t i) const { return static_cast<int>(i % static_cast<size_t>(width)); }
};

Shown show_box(HWND owner, const char16_t* text, UINT type) {
    Shown shown;
    steps = {
        [] {},
        [&] {
            RECT r;
            ASSERT_TRUE(GetWindowRect(FindWindowW(u"Dialog", u"Caption"), &r));
            shown.width = r.right - r.left;
            const std::vector<uint32_t> screen = platform::headless::screen_pixels();
            const int screen_width = platform::device_profile().screen_width;
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    shown.pixels.push_back(screen[static_cast<size_t>(y * screen_width + x)]);
                }
            }
        },
        [] {
            platform::inject_key(VK_RETURN, true, false);
            platform::inject_key(VK_RETURN, false, false);
        },
    };
    next_step = 0;
    const uintptr_t timer = SetTimer(nullptr, 0, 10, CALLBACK_step);
    EXPECT_EQ(MessageBoxW(owner, text, u"Caption", MB_OK | type), IDOK);
    KillTimer(nullptr, timer);
    return shown;
}

TEST_F(MessageBoxes, EachIconFlagDrawsItsIconBeforeTheText) {
    HWND owner = make_window(shown_popup, {0, 40, 200, 240});
    pump();
    struct Case {
        UINT icon;
        Hue hue;
    };
    const Case cases[] = {
        {MB_ICONHAND, Hue::red},
        {MB_ICONQUESTION, Hue::blue},
        {MB_ICONEXCLAMATION, Hue::amber},
        {MB_ICONASTERISK, Hue::blue},
    };
    const char16_t* text = u"This file cannot be played.";
    const Shown plain = show_box(owner, text, 0);
    ASSERT_GT(plain.width, 0);
    for (uint32_t pixel : plain.pixels) ASSERT_EQ(hue_of(pixel), Hue::none) << std::hex << pixel;
    std::vector<Shown> icons;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        const Shown with_text = show_box(owner, text, c.icon);
        const Shown without_text = show_box(owner, u"", c.icon);
        ASSERT_EQ(with_text.pixels.size(), without_text.pixels.size());
        int coloured = 0;
        int icon_right = -1;
        for (size_t i = 0; i < without_text.pixels.size(); ++i) {
            if (hue_of(without_text.pixels[i]) == c.hue) {
                ++coloured;
                icon_right = std::max(icon_right, without_text.x_of(i));
            }
        }
        // A shape of some size, and the text wholly to its right.
        EXPECT_GT(coloured, 150);
        int text_left = with_text.width;
        for (size_t i = 0; i < with_text.pixels.size(); ++i) {
            if (with_text.pixels[i] != without_text.pixels[i]) text_left = std::min(text_left, with_text.x_of(i));
        }
        EXPECT_LT(text_left, with_text.width);
        EXPECT_LT(icon_right, text_left);
        icons.push_back(without_text);
    }
    // The question and the information are both blue, with marks of their own.
    EXPECT_TRUE(icons[1].pixels != icons[3].pixels);
}

TEST_F(MessageBoxes, AnIconValueItDoesNotKnowIsRefused) {
    HWND owner = make_window(shown_popup, {0, 40, 200, 240});
    pump();
    // Should it stand after all, Enter ends it.
    steps = {[] {},
             [] {
                 platform::inject_key(VK_RETURN, true, false);
                 platform::inject_key(VK_RETURN, false, false);
             }};
    next_step = 0;
    const uintptr_t timer = SetTimer(nullptr, 0, 10, CALLBACK_step);
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_OK | 0x50), 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(box_stands());
}

}  // namespace
