// A message box answers a key pressed while it stands, not the repeats of one held from before:
// an Enter that opened something which then says so in a box must not close the box unread.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

}  // namespace
