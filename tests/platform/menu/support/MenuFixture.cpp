#include "MenuFixture.h"

#include <cstdlib>
#include <deque>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"

namespace fixtures {

namespace {

std::vector<Seen> recorded;
std::deque<std::function<void()>> pending_steps;
uintptr_t script_timer = 0;

LRESULT CALLBACK_owner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    recorded.push_back({window, message, wParam, lParam});
    if (message == WM_INITMENUPOPUP && MenuTest::fill_on_init) {
        MenuTest::fill_on_init(reinterpret_cast<HMENU>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK_step(HWND, UINT, uintptr_t, DWORD) {
    if (pending_steps.empty()) {
        KillTimer(nullptr, script_timer);
        script_timer = 0;
        return;
    }
    std::function<void()> step = std::move(pending_steps.front());
    pending_steps.pop_front();
    step();
}

}  // namespace

std::function<void(HMENU)> MenuTest::fill_on_init;

void MenuTest::SetUp() {
    static bool registered = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = CALLBACK_owner;
        wc.lpszClassName = u"MenuOwner";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    ASSERT_STREQ(platform::ensure_display().name(), "headless");
    pump();
    forget();
}

void MenuTest::TearDown() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        if (IsWindow(*it)) {
            DestroyWindow(*it);
        }
    }
    pending_steps.clear();
    pump();
    forget();
    fill_on_init = nullptr;
}

HWND MenuTest::make_owner() {
    HWND w = CreateWindowExW(0, u"MenuOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                             nullptr, nullptr, nullptr);
    made.push_back(w);
    pump();
    return w;
}

void MenuTest::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::vector<Seen> MenuTest::seen(UINT message) {
    std::vector<Seen> out;
    for (const Seen& s : recorded) {
        if (s.message == message) {
            out.push_back(s);
        }
    }
    return out;
}

void MenuTest::forget() {
    recorded.clear();
}

void MenuTest::script(std::vector<std::function<void()>> steps) {
    for (auto& s : steps) {
        pending_steps.push_back(std::move(s));
    }
    script_timer = SetTimer(nullptr, 0, 10, CALLBACK_step);
}

POINT centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace fixtures
