#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"
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

}  // namespace
