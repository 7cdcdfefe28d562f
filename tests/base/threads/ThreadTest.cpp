#include "base/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "base/Atomic.h"
#include "base/CriticalSection.h"
#include "base/Event.h"
#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"

namespace skinner {
namespace {

bool eventually(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// Work that waits for the test to let it go, or for a stop request.
class GatedThread : public Thread {
public:
    ~GatedThread() override {
        request_stop();
        join();
    }
    Event gate{true};
    std::atomic<int> runs{0};
    std::atomic<HRESULT> com_result{-1};

protected:
    void run() override {
        ++runs;
        com_result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        while (!stop_requested() && gate.wait(5) == WAIT_TIMEOUT) {
        }
    }
};

class InstantThread : public Thread {
public:
    ~InstantThread() override { join(); }
    std::atomic<int> runs{0};

protected:
    void run() override { ++runs; }
};

TEST(Thread, StartingTwiceWithoutJoinCreatesNoSecondThread) {
    GatedThread thread;
    EXPECT_FALSE(thread.is_running());
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.is_running());
    EXPECT_NE(thread.thread_id(), 0u);
    EXPECT_FALSE(thread.start());
    thread.gate.set();
    thread.join();
    EXPECT_EQ(thread.runs, 1);
    EXPECT_FALSE(thread.is_running());
    EXPECT_EQ(thread.handle(), nullptr);
    // Once joined it can run again.
    thread.gate.reset();
    ASSERT_TRUE(thread.start());
    thread.request_stop();
    thread.join();
    EXPECT_EQ(thread.runs, 2);
}

TEST(Thread, RunsWithComInitialised) {
    GatedThread thread;
    thread.gate.set();
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_EQ(thread.com_result, S_FALSE);  // the entry initialised it already
}

TEST(Thread, WorkThatEndsEarlyReportsNotRunningWithoutJoin) {
    // Repeated: the work often ends before start has returned.
    for (int i = 0; i < 200; ++i) {
        InstantThread thread;
        ASSERT_TRUE(thread.start());
        ASSERT_TRUE(eventually([&] { return !thread.is_running(); })) << "round " << i;
        thread.join();  // returns at once
        EXPECT_EQ(thread.runs, 1);
    }
}

TEST(Thread, EndedWorkCanBeStartedAgainWithoutJoin) {
    InstantThread thread;
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(eventually([&] { return !thread.is_running(); }));
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_EQ(thread.runs, 2);
}

TEST(Thread, DestroyingAStartedThreadWaitsForIt) {
    // Without the base's join the entry would touch freed memory (the sanitizers see it).
    for (int i = 0; i < 100; ++i) {
        auto thread = std::make_unique<InstantThread>();
        ASSERT_TRUE(thread->start());
        thread.reset();
    }
    auto gated = std::make_unique<GatedThread>();
    ASSERT_TRUE(gated->start());
    gated.reset();  // asks it to stop and waits
}

TEST(Thread, StopRequestEndsPollingWork) {
    GatedThread thread;
    ASSERT_TRUE(thread.start());
    EXPECT_FALSE(thread.stop_requested());
    thread.request_stop();
    EXPECT_TRUE(thread.stop_requested());
    ASSERT_TRUE(eventually([&] { return !thread.is_running(); }));
    thread.join();
    ASSERT_TRUE(thread.start());  // a new start clears the flag
    EXPECT_FALSE(thread.stop_requested());
}

TEST(Thread, PriorityLevelsMapOntoThePlatformTable) {
    struct Case {
        int level;
        int priority;
    };
    const Case cases[] = {
        {-5, THREAD_PRIORITY_LOWEST}, {-2, THREAD_PRIORITY_LOWEST}, {-1, THREAD_PRIORITY_BELOW_NORMAL},
        {0, THREAD_PRIORITY_NORMAL},  {1, THREAD_PRIORITY_ABOVE_NORMAL}, {2, THREAD_PRIORITY_HIGHEST},
        {7, THREAD_PRIORITY_HIGHEST},
    };
    GatedThread thread;
    EXPECT_FALSE(thread.set_priority(0));  // no thread yet
    ASSERT_TRUE(thread.start());
    for (const Case& c : cases) {
        EXPECT_TRUE(thread.set_priority(c.level)) << c.level;
        EXPECT_EQ(platform::requested_thread_priority(thread.handle()), c.priority) << c.level;
    }
    thread.gate.set();
    thread.join();
}

TEST(Thread, WorkCanSetItsOwnPriorityAtOnce) {
    // The player raises itself first thing in its work, racing the start that stores the handle.
    struct SelfRaising : Thread {
        std::atomic<bool> raised{false};
        ~SelfRaising() override { join(); }
        void run() override { raised = set_priority(1); }
    };
    for (int round = 0; round < 50; ++round) {
        SelfRaising thread;
        ASSERT_TRUE(thread.start());
        thread.join();
        EXPECT_TRUE(thread.raised) << round;
    }
}

TEST(CriticalSection, GuardsSharedStateAcrossThreads) {
    struct Counter : Thread {
        CriticalSection* section = nullptr;
        long* value = nullptr;
        ~Counter() override { join(); }
        void run() override {
            for (int i = 0; i < 5000; ++i) {
                ScopedLock outer(*section);
                ScopedLock inner(*section);  // recursive
                *value = *value + 1;
            }
        }
    };
    CriticalSection section;
    long value = 0;
    Counter counters[4];
    for (Counter& c : counters) {
        c.section = &section;
        c.value = &value;
        ASSERT_TRUE(c.start());
    }
    for (Counter& c : counters) {
        c.join();
    }
    EXPECT_EQ(value, 4 * 5000);
}

TEST(CriticalSection, DestroyedWhileHeldByItsOwnerIsReleased) {
    auto section = std::make_unique<CriticalSection>();
    section->enter();
    section->enter();
    section.reset();  // no held lock is destroyed (the sanitizers would report it)
    SUCCEED();
}

TEST(Event, ManualEventStaysSignalledAutoEventIsClearedByItsWait) {
    Event manual(true);
    Event automatic(false);
    EXPECT_EQ(manual.wait(0), WAIT_TIMEOUT);
    manual.set();
    automatic.set();
    EXPECT_EQ(manual.wait(), WAIT_OBJECT_0);
    EXPECT_EQ(manual.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(automatic.wait(), WAIT_OBJECT_0);
    EXPECT_EQ(automatic.wait(0), WAIT_TIMEOUT);
    manual.reset();
    EXPECT_EQ(manual.wait(0), WAIT_TIMEOUT);
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    struct Signaller : Thread {
        Event* event = nullptr;
        ~Signaller() override { join(); }
        void run() override {
            Sleep(10);
            event->set();
        }
    };
    Event event(false);
    Signaller signaller;
    signaller.event = &event;
    ASSERT_TRUE(signaller.start());
    EXPECT_EQ(event.wait(5000), WAIT_OBJECT_0);
}

TEST(Atomic, StepsReturnTheNewValue) {
    int32_t value = 5;
    EXPECT_EQ(atomic_increment(&value), 6);
    EXPECT_EQ(atomic_decrement(&value), 5);
    EXPECT_EQ(atomic_decrement(&value), 4);
    EXPECT_EQ(value, 4);
}

}  // namespace
}  // namespace skinner
