#include "base/ActiveScheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/kernel/Time.h"
#include "platform/threads/Threads.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/Window.h"

namespace skinner {
namespace {

std::atomic<DWORD> test_now{0};
DWORD test_tick() { return test_now.load(); }

// A frozen clock the tests step, so the window timer fires exactly when told.
class ScheduledTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_now = 5000;
        platform::set_tick_source(&test_tick);
    }
    void TearDown() override { platform::set_tick_source(nullptr); }

    void step(DWORD ms) {
        test_now += ms;
        platform::wake_all_message_queues();
        pump();
    }
    // Dispatches whatever is waiting, without blocking.
    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ASSERT_NE(msg.message, WM_QUIT);
            DispatchMessageW(&msg);
        }
    }
    // The interval of the scheduler's window timer, 0 when none is armed.
    DWORD armed() {
        std::shared_ptr<platform::ThreadQueue> q = platform::current_queue();
        std::lock_guard guard(q->lock);
        for (const platform::ThreadTimer& t : q->timers) {
            if (t.window == scheduler.window() && t.id == CActiveScheduler::window_timer_id) {
                return t.interval;
            }
        }
        return 0;
    }

    CActiveScheduler scheduler{nullptr, u"SkinnerClass_Test"};
};

struct CountingListener : TimerListener {
    void on_timer(Timer& timer) override {
        ++calls;
        fired_at.push_back(test_now.load());
        if (restarts > 0) {
            --restarts;
            timer.start(0.05);
        }
    }
    int calls = 0;
    int restarts = 0;
    std::vector<DWORD> fired_at;
};

TEST_F(ScheduledTest, HiddenWindowCarriesTheApplicationClass) {
    WCHAR text[64] = {};
    ASSERT_NE(scheduler.window(), nullptr);
    GetClassNameW(scheduler.window(), text, 64);
    EXPECT_EQ(std::u16string(text), u"CActiveSkinnerClass_Test");
    GetWindowTextW(scheduler.window(), text, 64);
    EXPECT_EQ(std::u16string(text), u"CActiveSkinnerClass_Test");
    EXPECT_FALSE(IsWindowVisible(scheduler.window()));
    EXPECT_EQ(CActiveScheduler::instance(), &scheduler);
}

TEST_F(ScheduledTest, TimerFiresOnceAfterItsDelay) {
    CountingListener listener;
    Timer timer(listener);
    timer.start(0.1);
    EXPECT_TRUE(timer.is_active());
    EXPECT_EQ(armed(), 100u);
    step(99);
    EXPECT_EQ(listener.calls, 0);
    step(1);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_FALSE(timer.is_active());
    EXPECT_EQ(armed(), 0u);
    step(500);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(scheduler.active_count(), 0);
}

TEST_F(ScheduledTest, TinyDelayCompletesInTheStartPassAndRunsWithTheNextCompletion) {
    CountingListener listener;
    Timer timer(listener);
    timer.start(0.0004);
    EXPECT_TRUE(timer.is_active());
    EXPECT_EQ(armed(), 0u);
    EXPECT_EQ(listener.calls, 0);
    pump();
    EXPECT_EQ(listener.calls, 1);
}

TEST_F(ScheduledTest, RestartMovesTheDueTimeAndCancelDropsEvenAQueuedCall) {
    CountingListener listener;
    Timer timer(listener);
    timer.start(0.1);
    step(50);
    timer.start(0.1);
    EXPECT_EQ(armed(), 100u);
    step(60);
    EXPECT_EQ(listener.calls, 0);
    step(40);
    EXPECT_EQ(listener.fired_at, std::vector<DWORD>{5150});

    timer.start(0.0);  // due at once: queued for the next completion message
    timer.cancel();
    EXPECT_FALSE(timer.is_active());
    pump();
    EXPECT_EQ(listener.calls, 1);

    {
        Timer doomed(listener);
        doomed.start(0.2);
    }
    step(300);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(scheduler.active_count(), 0);
}

TEST_F(ScheduledTest, TimersShareOneWindowTimerArmedForTheNearest) {
    CountingListener slow_listener, fast_listener;
    Timer slow(slow_listener), fast(fast_listener);
    slow.start(0.3);
    fast.start(0.1);
    EXPECT_EQ(armed(), 100u);
    step(100);
    EXPECT_EQ(fast_listener.calls, 1);
    EXPECT_EQ(slow_listener.calls, 0);
    EXPECT_EQ(armed(), 200u);
    step(200);
    EXPECT_EQ(slow_listener.calls, 1);
    EXPECT_EQ(armed(), 0u);
}

TEST_F(ScheduledTest, ListenerRestartingItsTimerRepeatsAndTickWrapIsHarmless) {
    test_now = 0xFFFFFFF0u;
    CountingListener listener;
    listener.restarts = 2;
    Timer timer(listener);
    timer.start(0.05);
    for (int i = 0; i < 3; ++i) {
        step(50);
    }
    EXPECT_EQ(listener.fired_at, (std::vector<DWORD>{0x22u, 0x54u, 0x86u}));
    EXPECT_FALSE(timer.is_active());
}

TEST_F(ScheduledTest, HugeDelaysArmNoWindowTimer) {
    CountingListener listener;
    Timer far(listener), beyond(listener);
    far.start(9999.999);  // just under the no-timer wait
    EXPECT_EQ(armed(), 9999999u);
    far.start(10000.0);
    EXPECT_EQ(armed(), 0u);
    beyond.start(1e12);  // clamped, not overflowed
    EXPECT_EQ(armed(), 0u);
    EXPECT_TRUE(beyond.is_active());
}

// An active object completed by a worker thread.
class WorkerDone : public CActive {
public:
    WorkerDone() : CActive(0) {}
    void run() override {
        ++runs;
        ran_on = GetCurrentThreadId();
    }
    void on_cancel() override {
        if (on_cancel_hook) {
            on_cancel_hook();
        }
    }
    int runs = 0;
    DWORD ran_on = 0;
    std::function<void()> on_cancel_hook;
};

TEST_F(ScheduledTest, ObjectsCompletedFromAWorkerRunOnTheInterfaceThread) {
    std::vector<std::unique_ptr<WorkerDone>> objects;
    for (int i = 0; i < 20; ++i) {
        objects.push_back(std::make_unique<WorkerDone>());
        objects.back()->set_active();
    }
    EXPECT_EQ(scheduler.active_count(), 20);
    std::thread worker([&] {
        for (auto& o : objects) {
            o->notify();
        }
    });
    const DWORD ui = GetCurrentThreadId();
    auto all_ran = [&] {
        for (auto& o : objects) {
            if (o->runs == 0) return false;
        }
        return true;
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!all_ran() && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    worker.join();
    pump();
    for (auto& o : objects) {
        EXPECT_EQ(o->runs, 1);
        EXPECT_EQ(o->ran_on, ui);
        EXPECT_FALSE(o->is_active());
    }
    EXPECT_EQ(scheduler.active_count(), 0);
}

TEST_F(ScheduledTest, CancelWaitsForTheWorkersCompletionAndKeepsOthersForTheLoop) {
    WorkerDone cancelled, bystander;
    cancelled.set_active();
    bystander.set_active();
    std::thread worker;
    cancelled.on_cancel_hook = [&] {
        worker = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            bystander.notify();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            cancelled.notify();
        });
    };
    cancelled.cancel();
    worker.join();
    EXPECT_FALSE(cancelled.is_active());
    EXPECT_EQ(cancelled.runs, 0);
    EXPECT_EQ(bystander.runs, 0);  // nothing else runs while waiting
    pump();                        // the completion message taken by the wait was put back
    EXPECT_EQ(bystander.runs, 1);
    EXPECT_EQ(cancelled.runs, 0);
    EXPECT_EQ(scheduler.active_count(), 0);
}

TEST_F(ScheduledTest, CancelStopsAtAQuitRequestAndKeepsIt) {
    WorkerDone object;
    object.set_active();
    PostQuitMessage(5);
    object.cancel();  // never completes by itself: the wait must not outlive the quit
    EXPECT_TRUE(object.is_active());
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 5u);
    object.notify();
    pump();
    EXPECT_EQ(object.runs, 1);
}

TEST_F(ScheduledTest, CancelStopsWhenItsWindowIsGone) {
    WorkerDone object;
    object.set_active();
    DestroyWindow(scheduler.window());
    object.cancel();  // GetMessageW fails at once instead of being retried for ever
    EXPECT_TRUE(object.is_active());
    object.notify();
    scheduler.process_actives();
    EXPECT_EQ(object.runs, 1);
}

TEST_F(ScheduledTest, RunMaySetItsObjectActiveAgain) {
    struct Again : CActive {
        Again() : CActive(0) {}
        void run() override {
            if (++runs < 3) {
                set_active();
                notify();
            }
        }
        void on_cancel() override {}
        int runs = 0;
    } again;
    again.set_active();
    again.notify();
    pump();
    EXPECT_EQ(again.runs, 3);
    EXPECT_FALSE(again.is_active());
}

// The real clock and a blocking loop, as the program runs it.
TEST(SchedulerLoop, TimerCallComesFromGetMessageAboutItsDelayLater) {
    CActiveScheduler scheduler(nullptr, u"SkinnerClass_Loop");
    struct Quitter : TimerListener {
        void on_timer(Timer&) override {
            ++calls;
            PostQuitMessage(0);
        }
        int calls = 0;
    } listener;
    Timer timer(listener);
    Timer guard(listener);  // ends the loop should the first never fire
    guard.start(5.0);
    const auto started = std::chrono::steady_clock::now();
    timer.start(0.1);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(listener.calls, 1);
    EXPECT_TRUE(guard.is_active());
    EXPECT_GE(waited, std::chrono::milliseconds(95));
    EXPECT_LT(waited, std::chrono::milliseconds(2000));
}

TEST(CActive, IdsGrowByOne) {
    WorkerDone a, b;
    EXPECT_EQ(b.id(), a.id() + 1);
}

}  // namespace
}  // namespace skinner
