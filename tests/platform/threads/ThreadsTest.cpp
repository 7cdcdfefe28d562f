#include "platform/threads/Threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/kernel/Core.h"
#include "tests/fixtures/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

long elapsed_ms(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

struct Gate {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Set as the thread's last touch of the gate, so a test whose thread handle is gone can
    // still wait until the gate may be destroyed.
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD seen_id = 0;
    ~Gate() {
        CloseHandle(release);
        CloseHandle(finished);
    }
};

DWORD wait_for_gate(LPVOID parameter) {
    Gate* gate = static_cast<Gate*>(parameter);
    gate->seen_id = GetCurrentThreadId();
    WaitForSingleObject(gate->release, INFINITE);
    SetEvent(gate->finished);
    return 0;
}

TEST(PlatformThreads, ThreadHandleIsSignalledWhenTheThreadEnds) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, wait_for_gate, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    SetEvent(gate.release);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_EQ(gate.seen_id, id);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(PlatformThreads, HandleClosedBeforeTheThreadEndsIsSafe) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, wait_for_gate, &gate, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
    SetEvent(gate.release);
    EXPECT_EQ(WaitForSingleObject(gate.finished, INFINITE), WAIT_OBJECT_0);
}

TEST(PlatformThreads, UnsupportedCreationArgumentsFail) {
    int dummy = 0;
    SetLastError(0);
    EXPECT_EQ(CreateThread(&dummy, 0, wait_for_gate, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateThread(nullptr, 0, wait_for_gate, nullptr, 4, nullptr), nullptr);
}

TEST(PlatformThreads, PriorityIsBestEffortAndChecksItsArguments) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, wait_for_gate, &gate, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(platform::requested_thread_priority(thread), THREAD_PRIORITY_NORMAL);
    // Raising needs privileges a test run lacks: still a success for the caller.
    for (int priority : {THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_TIME_CRITICAL}) {
        EXPECT_TRUE(SetThreadPriority(thread, priority)) << priority;
        EXPECT_EQ(platform::requested_thread_priority(thread), priority);
    }
    EXPECT_FALSE(SetThreadPriority(thread, 8));
    EXPECT_FALSE(SetThreadPriority(thread, -1));
    SetEvent(gate.release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    SetLastError(0);
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_NORMAL));
}

TEST(PlatformThreads, SleepWaitsAtLeastTheTime) {
    auto begin = Clock::now();
    Sleep(30);
    EXPECT_GE(elapsed_ms(begin), 30);
    Sleep(0);
}

struct Shared {
    CRITICAL_SECTION section;
    long counter = 0;  // guarded by section
    int max_depth = 0;
};

DWORD count_under_lock(LPVOID parameter) {
    Shared* shared = static_cast<Shared*>(parameter);
    for (int i = 0; i < 2000; ++i) {
        EnterCriticalSection(&shared->section);
        EnterCriticalSection(&shared->section);  // recursive entry by the owner
        long seen = shared->counter;
        shared->counter = seen + 1;
        LeaveCriticalSection(&shared->section);
        LeaveCriticalSection(&shared->section);
    }
    return 0;
}

TEST(PlatformThreads, CriticalSectionIsRecursiveAndExcludesOtherThreads) {
    Shared shared;
    InitializeCriticalSection(&shared.section);
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i) {
        threads.push_back(CreateThread(nullptr, 0, count_under_lock, &shared, 0, nullptr));
        ASSERT_NE(threads.back(), nullptr);
    }
    for (HANDLE t : threads) {
        EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
        CloseHandle(t);
    }
    EXPECT_EQ(shared.counter, 4 * 2000);
    EXPECT_EQ(shared.section.OwnerThread.load(), 0u);
    DeleteCriticalSection(&shared.section);
}

DWORD try_enter_after_release(LPVOID parameter) {
    Shared* shared = static_cast<Shared*>(parameter);
    EnterCriticalSection(&shared->section);
    shared->counter = 42;
    LeaveCriticalSection(&shared->section);
    return 0;
}

TEST(PlatformThreads, CriticalSectionIsHeldUntilTheLastLeave) {
    Shared shared;
    InitializeCriticalSection(&shared.section);
    EnterCriticalSection(&shared.section);
    EnterCriticalSection(&shared.section);
    HANDLE other = CreateThread(nullptr, 0, try_enter_after_release, &shared, 0, nullptr);
    ASSERT_NE(other, nullptr);
    LeaveCriticalSection(&shared.section);
    EXPECT_EQ(WaitForSingleObject(other, 50), WAIT_TIMEOUT);  // still held once
    LeaveCriticalSection(&shared.section);
    EXPECT_EQ(WaitForSingleObject(other, INFINITE), WAIT_OBJECT_0);
    CloseHandle(other);
    EnterCriticalSection(&shared.section);
    EXPECT_EQ(shared.counter, 42);
    LeaveCriticalSection(&shared.section);
    DeleteCriticalSection(&shared.section);
}

TEST(PlatformThreads, EventsFollowTheirResetKind) {
    struct Case {
        BOOL manual;
        BOOL initial;
        DWORD first_wait;
        DWORD second_wait;
    };
    const Case cases[] = {
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},    // manual: stays signalled after a wait
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},    // auto: the wait clears it
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    };
    for (const Case& c : cases) {
        HANDLE event = CreateEventW(nullptr, c.manual, c.initial, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.first_wait) << c.manual << c.initial;
        EXPECT_EQ(WaitForSingleObject(event, 10), c.second_wait) << c.manual << c.initial;
        EXPECT_TRUE(SetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(EventModify(event, EVENT_RESET));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
        EXPECT_TRUE(EventModify(event, EVENT_SET));
        EXPECT_TRUE(ResetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
        CloseHandle(event);
    }
}

TEST(PlatformThreads, EventTimeOutTakesAboutItsTime) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto begin = Clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 40), WAIT_TIMEOUT);
    EXPECT_GE(elapsed_ms(begin), 40);
    CloseHandle(event);
}

DWORD set_after_delay(LPVOID parameter) {
    Sleep(20);
    SetEvent(static_cast<HANDLE>(parameter));
    return 0;
}

TEST(PlatformThreads, EventSetOnAnotherThreadReleasesTheWaiter) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, set_after_delay, event, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST(PlatformThreads, EventCallsRejectWhatTheyDoNotSupport) {
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"named"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(EventModify(event, EVENT_PULSE));
    CloseHandle(event);
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

DWORD bump_many(LPVOID parameter) {
    LONG* value = static_cast<LONG*>(parameter);
    for (int i = 0; i < 10000; ++i) {
        InterlockedIncrement(value);
        InterlockedIncrement(value);
        InterlockedDecrement(value);
    }
    return 0;
}

TEST(PlatformThreads, InterlockedCountersReturnTheNewValueAndLoseNoStep) {
    LONG value = 0;
    EXPECT_EQ(InterlockedIncrement(&value), 1);
    EXPECT_EQ(InterlockedDecrement(&value), 0);
    EXPECT_EQ(InterlockedDecrement(&value), -1);
    value = 0;
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i) {
        threads.push_back(CreateThread(nullptr, 0, bump_many, &value, 0, nullptr));
    }
    for (HANDLE t : threads) {
        WaitForSingleObject(t, INFINITE);
        CloseHandle(t);
    }
    EXPECT_EQ(value, 4 * 10000);
}

DWORD com_on_fresh_thread(LPVOID parameter) {
    *static_cast<HRESULT*>(parameter) = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoUninitialize();
    return 0;
}

TEST(PlatformThreads, ComIsCountedPerThread) {
    ASSERT_EQ(platform::com_init_count(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    HRESULT other = -1;
    HANDLE thread = CreateThread(nullptr, 0, com_on_fresh_thread, &other, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(other, S_OK);
    EXPECT_EQ(platform::com_init_count(), 2);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // unmatched: ignored
    EXPECT_EQ(platform::com_init_count(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, 2), E_INVALIDARG);
    EXPECT_EQ(platform::com_init_count(), 0);
}

struct WritesOnDestruction {
    std::string path;
    ~WritesOnDestruction() {
        if (FILE* f = std::fopen(path.c_str(), "w")) {
            std::fclose(f);
        }
    }
};

TEST(PlatformThreadsDeathTest, TerminateProcessExitsAtOnceWithTheCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fixtures::TempDir dir;
    std::string marker = dir.file("destroyed");
    EXPECT_EXIT(
        {
            WritesOnDestruction guard{marker};
            TerminateProcess(GetCurrentProcess(), 7);
        },
        testing::ExitedWithCode(7), "");
    EXPECT_FALSE(std::filesystem::exists(marker)) << "destructors ran";
    int dummy = 0;
    EXPECT_FALSE(TerminateProcess(&dummy, 1));
}

}  // namespace
