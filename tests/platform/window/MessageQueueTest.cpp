#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/display/Display.h"
#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/Window.h"

namespace {

// Everything waiting in the calling thread's queue, in retrieval order.
std::vector<UINT> drain(HWND filter = nullptr, UINT low = 0, UINT high = 0) {
    std::vector<UINT> seen;
    MSG msg;
    while (PeekMessageW(&msg, filter, low, high, PM_REMOVE)) {
        seen.push_back(msg.message);
    }
    return seen;
}

TEST(MessageQueue, PostedThreadMessagesComeInOrderWithTheirParameters) {
    drain();
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_USER + 1, 11, 12));
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 2, 21, 22));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, WM_USER + 1);
    EXPECT_EQ(msg.wParam, 11u);
    EXPECT_EQ(msg.lParam, 12);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, PeekWithoutRemoveLeavesTheMessage) {
    drain();
    PostMessageW(nullptr, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(drain(), std::vector<UINT>{WM_USER});
}

TEST(MessageQueue, RangeFilterTakesMatchingMessagesOutOfOrder) {
    drain();
    PostMessageW(nullptr, WM_USER + 1, 0, 0);
    PostMessageW(nullptr, WM_CHAR, 'a', 0);
    PostMessageW(nullptr, WM_USER + 2, 0, 0);
    EXPECT_EQ(drain(nullptr, WM_CHAR, WM_CHAR), std::vector<UINT>{WM_CHAR});
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST(MessageQueue, UnknownFlagsAndStaleTargetsFail) {
    MSG msg;
    SetLastError(0);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, 0x10000));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(PostThreadMessageW(0xFFFFFFF0u, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x12345));
    EXPECT_FALSE(PostMessageW(bogus, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetMessageW(&msg, bogus, 0, 0), -1);
}

TEST(MessageQueue, QuitComesAfterPostedMessagesAndEndsGetMessage) {
    drain();
    PostMessageW(nullptr, WM_USER, 0, 0);
    PostQuitMessage(7);
    PostMessageW(nullptr, WM_USER + 1, 0, 0);
    MSG msg;
    EXPECT_GT(GetMessageW(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_GT(GetMessageW(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_USER + 1);
    // WM_QUIT passes any range filter.
    EXPECT_EQ(GetMessageW(&msg, nullptr, WM_TIMER, WM_TIMER), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, PostFromAnotherThreadWakesABlockedGetMessage) {
    drain();
    DWORD me = GetCurrentThreadId();
    std::thread poster([me] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        for (int i = 0; i < 100; ++i) {
            PostThreadMessageW(me, WM_USER, static_cast<WPARAM>(i), 0);
        }
        PostThreadMessageW(me, WM_USER + 1, 0, 0);
    });
    MSG msg;
    WPARAM expected = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message == WM_USER) {
        EXPECT_EQ(msg.wParam, expected++);
    }
    EXPECT_EQ(msg.message, WM_USER + 1);
    EXPECT_EQ(expected, 100u);
    poster.join();
}

TEST(MessageQueue, ThreadMessagesToAThreadThatAlreadyEndedFail) {
    std::atomic<DWORD> id{0};
    std::thread t([&] {
        platform::ensure_message_queue();
        id = GetCurrentThreadId();
    });
    t.join();
    EXPECT_FALSE(PostThreadMessageW(id, WM_USER, 0, 0));
}

TEST(MessageQueue, EnsuredQueueKeepsMessagesPostedBeforeTheFirstRead) {
    std::atomic<DWORD> id{0};
    std::atomic<bool> posted{false};
    std::atomic<UINT> got{0};
    std::thread t([&] {
        platform::ensure_message_queue();
        id = GetCurrentThreadId();
        while (!posted) {
            std::this_thread::yield();
        }
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            got = msg.message;
        }
    });
    while (!id) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(PostThreadMessageW(id, MM_WOM_DONE, 0, 0));
    posted = true;
    t.join();
    EXPECT_EQ(got, MM_WOM_DONE);
}

TEST(MessageQueue, TranslateMessagePostsTheCharacterOfAKey) {
    drain();
    MSG key;
    key.message = WM_KEYDOWN;
    key.wParam = 'Q';
    EXPECT_TRUE(TranslateMessage(&key));
    key.wParam = VK_LEFT;
    EXPECT_FALSE(TranslateMessage(&key));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(u'q'));
    EXPECT_TRUE(drain().empty());
}

// Host events as a test plays them: a wait ends when it is woken, or gives up after a long while
// (counted as stuck, which a lost wake-up would make).
class FakeHost : public platform::HostEvents {
public:
    void wait(DWORD milliseconds) override {
        std::unique_lock lock(m_);
        waits_.push_back(milliseconds);
        waiting_ = true;
        cv_.notify_all();
        const auto limit = std::chrono::milliseconds(std::min<DWORD>(milliseconds, 10000));
        if (!cv_.wait_for(lock, limit, [&] { return woken_; }) && milliseconds > 10000) {
            ++stuck_;
        }
        woken_ = false;
        waiting_ = false;
    }
    void wake() override {
        std::lock_guard lock(m_);
        woken_ = true;
        cv_.notify_all();
    }
    // Until the thread sleeps in a wait after the first `after` waits.
    void await_waiting(size_t after = 0) {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return waiting_ && waits_.size() > after; });
    }
    std::vector<DWORD> waits() {
        std::lock_guard lock(m_);
        return waits_;
    }
    int stuck() {
        std::lock_guard lock(m_);
        return stuck_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool woken_ = false;
    bool waiting_ = false;
    int stuck_ = 0;
    std::vector<DWORD> waits_;
};

constexpr UINT host_test_end = WM_USER + 9;
constexpr UINT host_test_sent = WM_USER + 3;
std::atomic<bool> host_test_painted{false};

LRESULT CALLBACK_host_test(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        host_test_painted = true;
        return 0;
    }
    if (message == host_test_sent) {
        return 42;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A thread whose queue waits through a host, reading messages until host_test_end.
struct HostThread {
    FakeHost host;
    std::atomic<HWND> window{nullptr};
    std::atomic<DWORD> id{0};
    std::thread thread;

    explicit HostThread(bool with_timer) {
        thread = std::thread([this, with_timer] {
            std::shared_ptr<platform::ThreadQueue> q = platform::current_queue();
            {
                std::lock_guard lock(q->lock);
                q->host = &host;
            }
            HWND w = CreateWindowExW(0, u"HostTest", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
            if (with_timer) {
                SetTimer(w, 1, 50, nullptr);
            }
            window = w;
            id = GetCurrentThreadId();
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != host_test_end) {
                DispatchMessageW(&msg);
                if (msg.message == WM_TIMER) {
                    KillTimer(w, 1);
                    PostThreadMessageW(GetCurrentThreadId(), host_test_end, 0, 0);
                }
            }
            DestroyWindow(w);
        });
        while (!id) {
            std::this_thread::yield();
        }
    }
    ~HostThread() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

void register_host_test_class() {
    platform::ensure_display();  // on this thread, not on a host thread that ends
    static bool registered = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = CALLBACK_host_test;
        wc.lpszClassName = u"HostTest";
        return RegisterClassW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
}

TEST(MessageQueue, AThreadWaitingForHostEventsWakesForWhatOtherThreadsDo) {
    register_host_test_class();
    struct Case {
        const char* what;
        std::function<void(HostThread&)> act;
    };
    const Case cases[] = {
        {"a posted message", [](HostThread& t) { PostThreadMessageW(t.id, host_test_end, 0, 0); }},
        {"a sent message",
         [](HostThread& t) {
             EXPECT_EQ(SendMessageW(t.window, host_test_sent, 0, 0), 42);
             PostThreadMessageW(t.id, host_test_end, 0, 0);
         }},
        {"a window invalidated",
         [](HostThread& t) {
             host_test_painted = false;
             const size_t before = t.host.waits().size();
             InvalidateRect(t.window, nullptr, FALSE);
             t.host.await_waiting(before);  // the paint done, it waits again
             EXPECT_TRUE(host_test_painted);
             PostThreadMessageW(t.id, host_test_end, 0, 0);
         }},
    };
    for (const Case& c : cases) {
        HostThread t(false);
        t.host.await_waiting();
        c.act(t);
        t.thread.join();
        EXPECT_EQ(t.host.stuck(), 0) << c.what;
        ASSERT_FALSE(t.host.waits().empty()) << c.what;
        EXPECT_EQ(t.host.waits().front(), INFINITE) << c.what;  // nothing due: no reason to look again
    }
}

TEST(MessageQueue, AHostWaitEndsWhenATimerIsDue) {
    register_host_test_class();
    HostThread t(true);
    t.thread.join();
    std::vector<DWORD> waits = t.host.waits();
    ASSERT_FALSE(waits.empty());
    for (DWORD w : waits) {
        EXPECT_LE(w, 50u);
    }
    EXPECT_EQ(t.host.stuck(), 0);
}

}  // namespace
