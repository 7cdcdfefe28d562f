#include "WindowFixture.h"

#include <atomic>

#include "platform/kernel/Time.h"

namespace fixtures {

namespace {

std::mutex seen_lock;
std::vector<Seen> seen_messages;
std::atomic<DWORD> test_ticks{0};

DWORD test_clock() {
    return test_ticks.load();
}

}  // namespace

void Recorder::add(const Seen& seen) {
    std::lock_guard guard(seen_lock);
    seen_messages.push_back(seen);
}

std::vector<Seen> Recorder::take() {
    std::lock_guard guard(seen_lock);
    std::vector<Seen> all;
    all.swap(seen_messages);
    return all;
}

std::vector<UINT> Recorder::take_messages(const std::vector<UINT>& wanted) {
    std::vector<UINT> out;
    for (const Seen& s : take()) {
        for (UINT w : wanted) {
            if (s.message == w) {
                out.push_back(s.message);
            }
        }
    }
    return out;
}

LRESULT CALLBACK_recording_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder::add({hwnd, message, wParam, lParam});
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LPCWSTR recording_class() {
    static bool registered = [] {
        WNDCLASSW wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = CALLBACK_recording_proc;
        wc.lpszClassName = u"Recorder";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return u"Recorder";
}

void use_test_clock(DWORD start) {
    test_ticks = start;
    platform::set_tick_source(test_clock);
}

void step_test_clock(DWORD milliseconds) {
    test_ticks += milliseconds;
    platform::wake_all_message_queues();
}

void use_real_clock() {
    platform::set_tick_source(nullptr);
}

void WindowTest::SetUp() {
    use_test_clock(1000);
    pump();
    Recorder::take();
}

void WindowTest::TearDown() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        if (IsWindow(*it)) {
            DestroyWindow(*it);
        }
    }
    pump();
    Recorder::take();
    ReleaseCapture();
    use_real_clock();
}

HWND WindowTest::make_window(DWORD style, RECT rect, HWND parent, LPCWSTR title) {
    HWND h = CreateWindowExW(0, recording_class(), title, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    made.push_back(h);
    return h;
}

std::vector<MSG> WindowTest::pump() {
    std::vector<MSG> all;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        all.push_back(msg);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return all;
}

}  // namespace fixtures
