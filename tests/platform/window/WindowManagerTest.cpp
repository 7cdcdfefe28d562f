#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "platform/gdi/Gdi.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Time.h"
#include "platform/threads/Threads.h"
#include "platform/window/Input.h"
#include "platform/window/Window.h"
#include "support/WindowFixture.h"

namespace {

using fixtures::Recorder;
using fixtures::Seen;
using fixtures::step_test_clock;

constexpr DWORD shown_popup = WS_POPUP | WS_VISIBLE;

class Windows : public fixtures::WindowTest {};

LPARAM xy(int x, int y) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

TEST_F(Windows, RetrievalOrderIsSentPostedInputPaintTimer) {
    HWND w = make_window(shown_popup, {0, 40, 100, 140});
    pump();
    SetTimer(w, 5, 20, nullptr);
    step_test_clock(25);
    InvalidateRect(w, nullptr, FALSE);
    platform::inject_pen(platform::PenAction::Down, POINT{10, 50});
    PostMessageW(w, WM_USER + 7, 0, 0);
    std::atomic<bool> sending{false};
    std::thread sender([&] {
        sending = true;
        EXPECT_EQ(SendMessageW(w, WM_USER + 8, 0, 0), 0);
    });
    while (!sending) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Recorder::take();

    std::vector<UINT> order;
    MSG msg;
    for (int i = 0; i < 4 && GetMessageW(&msg, w, 0, 0) > 0; ++i) {
        order.push_back(msg.message);
        DispatchMessageW(&msg);
    }
    sender.join();
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 7, WM_LBUTTONDOWN, WM_PAINT, WM_TIMER}));
    std::vector<Seen> seen = Recorder::take();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().message, WM_USER + 8u);  // handled inside the first GetMessageW
    KillTimer(w, 5);
}

TEST_F(Windows, WindowFilterTakesTheWindowAndItsChildrenOnly) {
    HWND a = make_window(shown_popup, {0, 40, 100, 140});
    HWND b = make_window(shown_popup, {0, 40, 100, 140});
    HWND child = make_window(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, a);
    pump();
    PostMessageW(b, WM_USER + 1, 0, 0);
    PostMessageW(child, WM_USER + 2, 0, 0);
    PostMessageW(nullptr, WM_USER + 3, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    EXPECT_FALSE(PeekMessageW(&msg, a, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(intptr_t(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
}

TEST_F(Windows, SendMessageRunsOnTheOwnerThreadAndReturnsItsResult) {
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    DWORD ui = GetCurrentThreadId();
    static std::atomic<DWORD> handled_on{0};
    WNDCLASSW wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER) {
            handled_on = GetCurrentThreadId();
            return static_cast<LRESULT>(wp * 2);
        }
        return DefWindowProcW(h, m, wp, lp);
    };
    wc.lpszClassName = u"Doubler";
    RegisterClassW(&wc);
    HWND doubler = CreateWindowExW(0, u"Doubler", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    made.push_back(doubler);
    EXPECT_EQ(SendMessageW(doubler, WM_USER, 21, 0), 42);  // same thread: direct
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    std::thread other([&] {
        result = SendMessageW(doubler, WM_USER, 50, 0);
        done = true;
    });
    // Until this thread reads its queue the sender waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(done);
    MSG msg;
    while (!done) {
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        std::this_thread::yield();
    }
    other.join();
    EXPECT_EQ(result, 100);
    EXPECT_EQ(handled_on, ui);
    (void)w;
}

TEST_F(Windows, ThreadsSendingToEachOtherDoNotDeadlock) {
    static HWND here = nullptr;
    static HWND there = nullptr;
    WNDCLASSW wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER + 1) {
            return SendMessageW(here, WM_USER + 2, 0, 0) + 1;  // back to the sender's thread
        }
        if (m == WM_USER + 2) {
            return 10;
        }
        return DefWindowProcW(h, m, wp, lp);
    };
    wc.lpszClassName = u"PingPong";
    RegisterClassW(&wc);
    here = CreateWindowExW(0, u"PingPong", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    made.push_back(here);
    std::atomic<bool> ready{false};
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        there = CreateWindowExW(0, u"PingPong", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ready = true;
        MSG msg;
        while (!stop) {
            PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
            std::this_thread::yield();
        }
        DestroyWindow(there);
    });
    while (!ready) {
        std::this_thread::yield();
    }
    EXPECT_EQ(SendMessageW(there, WM_USER + 1, 0, 0), 11);
    stop = true;
    owner.join();
}

TEST_F(Windows, SendToAWindowWhoseThreadEndsReturnsZero) {
    std::atomic<HWND> w{nullptr};
    std::atomic<bool> leave{false};
    std::thread owner([&] {
        w = CreateWindowExW(0, fixtures::recording_class(), u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr);
        while (!leave) {
            std::this_thread::yield();
        }
    });
    while (!w) {
        std::this_thread::yield();
    }
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        leave = true;
    });
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 0);
    owner.join();
    closer.join();
    EXPECT_FALSE(IsWindow(w));
}

struct TimerCase {
    const char* name;
    UINT interval;
    DWORD step;
    int expected_ticks;
};

TEST_F(Windows, TimersFireWhenDueAndCoalesceMissedTicks) {
    const TimerCase cases[] = {
        {"not yet due", 100, 99, 0},
        {"due", 100, 100, 1},
        {"ten periods missed give one tick", 100, 1000, 1},
        {"0 ms is clamped and does not spin", 0, 0, 0},
        {"0 ms fires after the minimum", 0, 10, 1},
    };
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    for (const TimerCase& c : cases) {
        SetTimer(w, 1, c.interval, nullptr);
        step_test_clock(c.step);
        int ticks = 0;
        MSG msg;
        while (PeekMessageW(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            ++ticks;
            ASSERT_LT(ticks, 10) << c.name;
        }
        EXPECT_EQ(ticks, c.expected_ticks) << c.name;
        KillTimer(w, 1);
    }
}

TEST_F(Windows, ResettingATimerReplacesItAndKillTimerStopsIt) {
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    SetTimer(w, 3, 100, nullptr);
    step_test_clock(90);
    SetTimer(w, 3, 100, nullptr);  // due again 100 ms from now
    step_test_clock(20);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE));
    step_test_clock(80);
    ASSERT_TRUE(PeekMessageW(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE));
    step_test_clock(100);
    EXPECT_TRUE(KillTimer(w, 3));
    EXPECT_FALSE(PeekMessageW(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(KillTimer(w, 3));
}

TEST_F(Windows, TimersOfADestroyedWindowStop) {
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    SetTimer(w, 1, 10, nullptr);
    DestroyWindow(w);
    step_test_clock(100);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(Windows, BlockingGetMessageWakesForATimerOnTheRealClock) {
    fixtures::use_real_clock();
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    SetTimer(w, 9, 30, nullptr);
    MSG msg;
    auto start = std::chrono::steady_clock::now();
    ASSERT_GT(GetMessageW(&msg, w, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
    KillTimer(w, 9);
}

TEST_F(Windows, BlockingGetMessageNoticesAClockSteppedWithoutAWakeUp) {
    static std::atomic<DWORD> ticks{5000};
    platform::set_tick_source([] { return ticks.load(); });
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    SetTimer(w, 4, 1000, nullptr);
    std::thread stepper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ticks += 1000;  // no wake_all_message_queues
    });
    MSG msg;
    ASSERT_GT(GetMessageW(&msg, w, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_TIMER);
    stepper.join();
    KillTimer(w, 4);
}

TEST_F(Windows, ActivationAndFocusMessagesComeInOrder) {
    HWND a = make_window(shown_popup, {0, 40, 100, 140});
    std::vector<Seen> first = Recorder::take();
    auto has = [](const std::vector<Seen>& seen, Seen s) { return std::find(seen.begin(), seen.end(), s) != seen.end(); };
    EXPECT_TRUE(has(first, {a, WM_ACTIVATE, WA_ACTIVE, 0}));
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(GetForegroundWindow(), a);

    HWND b = make_window(shown_popup, {0, 40, 100, 140});
    std::vector<Seen> order;
    for (const Seen& s : Recorder::take()) {
        if (s.message == WM_ACTIVATE || s.message == WM_SETFOCUS || s.message == WM_KILLFOCUS) {
            order.push_back(s);
        }
    }
    std::vector<Seen> expected{
        {a, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(b)},
        {b, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(a)},
        {a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0},
        {b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0},
    };
    EXPECT_EQ(order, expected);

    EXPECT_EQ(SetFocus(b), b);  // no change, no messages
    EXPECT_TRUE(Recorder::take().empty());
}

TEST_F(Windows, HidingAnOwnedWindowActivatesItsOwner) {
    HWND owner = make_window(shown_popup, {0, 40, 100, 140});
    HWND other = make_window(shown_popup, {0, 40, 100, 140});
    HWND popup = make_window(shown_popup, {10, 50, 50, 90}, owner);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetForegroundWindow(), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetForegroundWindow(), owner);
    EXPECT_FALSE(IsWindowVisible(popup));
    (void)other;
}

// However an owned window goes, the activation comes back to its owner, so that the keys have
// somewhere to go; a dialog's edit may give the focus to its hidden window on the way out.
TEST_F(Windows, AnOwnedWindowThatGoesHandsTheActivationToItsOwner) {
    struct Case {
        const char* name;
        void (*end)(HWND popup, HWND edit);
    };
    const Case cases[] = {
        {"destroyed while shown", [](HWND popup, HWND) { DestroyWindow(popup); }},
        {"hidden, then destroyed", [](HWND popup, HWND) {
             ShowWindow(popup, SW_HIDE);
             DestroyWindow(popup);
         }},
        {"hidden, its edit focused again, then destroyed", [](HWND popup, HWND edit) {
             ShowWindow(popup, SW_HIDE);
             SetFocus(edit);
             DestroyWindow(popup);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND owner = make_window(shown_popup, {0, 40, 100, 140});
        HWND popup = make_window(shown_popup, {10, 50, 50, 90}, owner);
        HWND edit = make_window(WS_CHILD | WS_VISIBLE, {0, 0, 20, 10}, popup);
        SetFocus(edit);
        ASSERT_EQ(GetForegroundWindow(), popup);
        c.end(popup, edit);
        EXPECT_EQ(GetForegroundWindow(), owner);
        EXPECT_TRUE(GetFocus() == nullptr || GetFocus() == owner);
        DestroyWindow(owner);
    }
}

TEST_F(Windows, DestroyWindowTakesOwnedAndChildWindowsAndIsHarmlessTwice) {
    HWND owner = make_window(shown_popup, {0, 40, 100, 140});
    HWND child = make_window(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, owner);
    HWND popup = make_window(shown_popup, {0, 40, 50, 90}, owner);
    SetCapture(child);
    Recorder::take();
    EXPECT_TRUE(DestroyWindow(owner));
    std::vector<HWND> destroyed;
    for (const Seen& s : Recorder::take()) {
        if (s.message == WM_DESTROY) {
            destroyed.push_back(s.hwnd);
        }
    }
    EXPECT_EQ(destroyed, (std::vector<HWND>{popup, owner, child}));
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(DestroyWindow(owner));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(Windows, HandlesAreNotReusedSoon) {
    std::set<HWND> seen;
    for (int i = 0; i < 50; ++i) {
        HWND h = CreateWindowExW(0, fixtures::recording_class(), u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
        EXPECT_TRUE(seen.insert(h).second);
        DestroyWindow(h);
    }
}

TEST_F(Windows, RegisteringAClassTwiceFailsHarmlessly) {
    WNDCLASSW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Twice";
    EXPECT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    HWND h = CreateWindowExW(0, u"twice", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    made.push_back(h);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_TRUE(UnregisterClassW(u"Twice", nullptr));
}

TEST_F(Windows, DefaultPlacementFillsTheWorkAreaAndMoveSendsSizeAtOnce) {
    HWND w = CreateWindowExW(0, fixtures::recording_class(), u"", WS_POPUP, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                             nullptr, nullptr, nullptr, nullptr);
    made.push_back(w);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.bottom, work.bottom);
    Recorder::take();
    MoveWindow(w, 20, 110, 200, 100, TRUE);
    std::vector<Seen> seen = Recorder::take();
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{w, WM_SIZE, SIZE_RESTORED, xy(200, 100)}), seen.end());
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 100);
    POINT p{5, 5};
    ClientToScreen(w, &p);
    EXPECT_EQ(p.x, 25);
    EXPECT_EQ(p.y, 115);
}

TEST_F(Windows, SubclassingReplacesTheProcedureAndCanChainToTheOldOne) {
    static WNDPROC previous = nullptr;
    static int seen_by_subclass = 0;
    seen_by_subclass = 0;
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    auto sub = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        ++seen_by_subclass;
        return CallWindowProcW(previous, h, m, wp, lp);
    };
    previous = reinterpret_cast<WNDPROC>(SetWindowLongW(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+sub)));
    EXPECT_EQ(previous, fixtures::CALLBACK_recording_proc);
    Recorder::take();
    SendMessageW(w, WM_USER, 1, 2);
    EXPECT_EQ(seen_by_subclass, 1);
    EXPECT_EQ(Recorder::take().size(), 1u);
    SetWindowLongW(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetWindowLongW(w, GWL_STYLE, GetWindowLongW(w, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(WS_POPUP));
}

TEST_F(Windows, TextAndClassNameAreReadBackAndCut) {
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10}, nullptr, u"Caption");
    WCHAR buffer[5];
    EXPECT_EQ(GetWindowTextW(w, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"Capt");
    SetWindowTextW(w, u"New title");
    WCHAR full[64];
    GetWindowTextW(w, full, 64);
    EXPECT_EQ(std::u16string(full), u"New title");
    EXPECT_EQ(GetClassNameW(w, full, 64), 8);
    EXPECT_EQ(std::u16string(full), u"Recorder");
    EXPECT_EQ(FindWindowW(u"Recorder", u"New title"), w);
}

TEST_F(Windows, PaintRegionsCoalesceIntoOneBoundingRectangle) {
    HWND w = make_window(shown_popup, {0, 40, 100, 140});
    pump();
    RECT a{10, 10, 30, 30};
    RECT b{50, 0, 60, 10};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, FALSE);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.top, 0);
    EXPECT_EQ(ps.rcPaint.right, 60);
    EXPECT_EQ(ps.rcPaint.bottom, 30);
    EndPaint(w, &ps);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Windows, HiddenWindowsGetNoPaintUntilShownAndUpdateWindowPaintsAtOnce) {
    HWND w = make_window(WS_POPUP, {0, 40, 100, 140});
    InvalidateRect(w, nullptr, FALSE);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    ShowWindow(w, SW_SHOWNA);
    Recorder::take();
    UpdateWindow(w);
    EXPECT_EQ(Recorder::take_messages({WM_PAINT}), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_TRUE(UpdateWindow(w));  // nothing invalid: nothing sent
    EXPECT_TRUE(Recorder::take().empty());
}

TEST_F(Windows, DCsAreHandedOutAndReleasedOnce) {
    HWND w = make_window(WS_POPUP, {0, 0, 10, 10});
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_EQ(ReleaseDC(w, dc), 0);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(Windows, ADCStillOutWhenItsWindowGoesKeepsItsPixels) {
    HWND w = CreateWindowExW(0, fixtures::recording_class(), u"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                             nullptr);
    HDC dc = GetDC(w);
    MoveWindow(w, 0, 0, 40, 40, FALSE);  // a new surface; the DC keeps the old one
    DestroyWindow(w);
    RECT r{0, 0, 20, 20};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(FillRect(dc, &r, brush), 0);
    DeleteObject(brush);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
}

TEST_F(Windows, CaptureChangedOnlyWhenCaptureIsTakenAway) {
    HWND a = make_window(shown_popup, {0, 40, 100, 140});
    HWND b = make_window(shown_popup, {100, 40, 200, 140});
    Recorder::take();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(Recorder::take(), (std::vector<Seen>{{a, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(b)}}));
    ReleaseCapture();
    EXPECT_TRUE(Recorder::take().empty());
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(a);
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Recorder::take_messages({WM_CAPTURECHANGED}), std::vector<UINT>{WM_CAPTURECHANGED});
}

TEST_F(Windows, PenGoesToTheWindowUnderItOrToTheCaptureInSignedClientCoordinates) {
    HWND a = make_window(shown_popup, {0, 40, 100, 140});
    HWND b = make_window(shown_popup, {100, 40, 200, 140});
    pump();
    Recorder::take();
    platform::inject_pen(platform::PenAction::Down, POINT{150, 60});
    platform::inject_pen(platform::PenAction::Up, POINT{150, 60});
    pump();
    auto pen = [](const std::vector<Seen>& all) {
        std::vector<Seen> out;
        for (const Seen& s : all) {
            if (s.message >= WM_MOUSEFIRST && s.message <= WM_MOUSELAST) {
                out.push_back(s);
            }
        }
        return out;
    };
    EXPECT_EQ(pen(Recorder::take()),
              (std::vector<Seen>{{b, WM_LBUTTONDOWN, MK_LBUTTON, xy(50, 20)}, {b, WM_LBUTTONUP, 0, xy(50, 20)}}));
    SetCapture(a);
    platform::inject_pen(platform::PenAction::Down, POINT{150, 60});
    platform::inject_pen(platform::PenAction::Move, POINT{150, 20});
    platform::inject_pen(platform::PenAction::Up, POINT{150, 20});
    platform::inject_pen(platform::PenAction::Move, POINT{10, 50});  // no hover without a press
    pump();
    EXPECT_EQ(pen(Recorder::take()), (std::vector<Seen>{{a, WM_LBUTTONDOWN, MK_LBUTTON, xy(150, 20)},
                                                         {a, WM_MOUSEMOVE, MK_LBUTTON, xy(150, -20)},
                                                         {a, WM_LBUTTONUP, 0, xy(150, -20)}}));
    ReleaseCapture();
}

TEST_F(Windows, SecondQuickTapIsADoubleClickAndADisabledWindowGetsNoPen) {
    HWND w = make_window(shown_popup, {0, 40, 100, 140});
    pump();
    Recorder::take();
    for (int i = 0; i < 3; ++i) {
        platform::inject_pen(platform::PenAction::Down, POINT{10, 50});
        platform::inject_pen(platform::PenAction::Up, POINT{10, 50});
        step_test_clock(100);
    }
    pump();
    EXPECT_EQ(Recorder::take_messages({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
    EnableWindow(w, FALSE);
    EXPECT_FALSE(platform::inject_pen(platform::PenAction::Down, POINT{10, 50}));
    platform::inject_pen(platform::PenAction::Up, POINT{10, 50});
    EXPECT_FALSE(platform::inject_key(VK_RETURN, true, false));
    platform::inject_key(VK_RETURN, false, false);
    pump();
    EXPECT_TRUE(Recorder::take_messages({WM_LBUTTONDOWN, WM_KEYDOWN}).empty());
}

TEST_F(Windows, KeysGoToTheFocusAndRepeatWithoutKeyUps) {
    HWND w = make_window(shown_popup, {0, 40, 100, 140});
    HWND child = make_window(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, w);
    SetFocus(child);
    pump();
    Recorder::take();
    platform::inject_key(VK_DOWN, true, false);
    platform::inject_key(VK_DOWN, true, true);
    platform::inject_key(VK_DOWN, false, false);
    pump();
    std::vector<Seen> keys;
    for (const Seen& s : Recorder::take()) {
        if (s.message == WM_KEYDOWN || s.message == WM_KEYUP) {
            keys.push_back(s);
        }
    }
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].hwnd, child);
    EXPECT_EQ(keys[0].lParam & (1 << 30), 0);
    EXPECT_EQ(keys[1].message, WM_KEYDOWN);
    EXPECT_NE(keys[1].lParam & (1 << 30), 0);
    EXPECT_EQ(keys[2].message, WM_KEYUP);
}

TEST_F(Windows, ShiftStateIsReadAndShapesTheCharacter) {
    make_window(shown_popup, {0, 40, 100, 140});
    pump();
    auto typed = [] {
        platform::inject_key('A', true, false);
        platform::inject_key('A', false, false);
        MSG msg;
        WPARAM ch = 0;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            if (msg.message == WM_CHAR) {
                ch = msg.wParam;
            }
        }
        return ch;
    };
    EXPECT_EQ(typed(), static_cast<WPARAM>(u'a'));
    platform::inject_key(VK_SHIFT, true, false);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(typed(), static_cast<WPARAM>(u'A'));
    platform::inject_key(VK_SHIFT, false, false);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    pump();
}

}  // namespace
