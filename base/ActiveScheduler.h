#pragma once
// Active objects: work marked pending on the user-interface thread, completed from any
// thread (or by a timer), and run later from that thread's message loop through the
// scheduler's hidden window. One-shot timers share a single window timer.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Types.h"

namespace skinner {

class CActiveScheduler;

class CActive {
public:
    // The priority is accepted for the callers' sake and not used.
    explicit CActive(int priority);
    // A pending object may not be destroyed: fatal error.
    virtual ~CActive();
    CActive(const CActive&) = delete;
    CActive& operator=(const CActive&) = delete;

    // Called on the user-interface thread once the object has completed.
    virtual void run() = 0;
    // Must make a pending object complete at once (cancel waits for that completion).
    virtual void on_cancel() = 0;

    bool is_active() const { return active_.load(); }
    void set_active();
    // May be called from any thread.
    void notify();
    // Synchronous: when pending, completes it without calling run.
    void cancel();

    int32_t id() const { return id_; }

private:
    friend class CActiveScheduler;
    std::atomic<bool> active_{false};
    const int32_t id_;
};

class TimerActive;

class CActiveScheduler {
public:
    // The hidden window's class and title are "CActive" + the application's class name.
    CActiveScheduler(HINSTANCE instance, const std::u16string& application_class_name);
    // Fatal error while an object is still pending.
    virtual ~CActiveScheduler();
    CActiveScheduler(const CActiveScheduler&) = delete;
    CActiveScheduler& operator=(const CActiveScheduler&) = delete;

    // The scheduler of the process (the Application's), null while there is none.
    static CActiveScheduler* instance();

    void set_active(CActive& object);
    void notify(CActive& object);
    bool process_actives();
    void wait_for(CActive& object);
    void start_timer(TimerActive& timer, double seconds);
    void check_timers();

    static LRESULT window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window() const;
    int32_t active_count() const;

    // Runs the scheduler's completed objects.
    static constexpr UINT completion_message = 0x405;
    static constexpr uintptr_t window_timer_id = 1;
    // The timer pass's "no timer" wait.
    static constexpr int32_t no_timer_wait = 10000000;

private:
    struct Core;
    std::unique_ptr<Core> core_;
};

class Timer;

class TimerListener {
public:
    virtual ~TimerListener() = default;
    virtual void on_timer(Timer& timer) = 0;
};

class TimerActive : public CActive {
public:
    explicit TimerActive(Timer& owner);
    void run() override;
    void on_cancel() override;

    Timer& owner;
    uint32_t due = 0;  // GetTickCount time at which it completes
};

// A one-shot timer for controls: on_timer is called once per start, on the
// user-interface thread; repeating users start it again from on_timer.
class Timer {
public:
    explicit Timer(TimerListener& listener);
    virtual ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // A started timer starts again from now.
    void start(double seconds);
    void cancel();
    bool is_active() const;

private:
    friend class TimerActive;
    std::unique_ptr<TimerActive> timer_object_;
    TimerListener& listener_;
};

}  // namespace skinner
