// Window and thread timers: SetTimer and KillTimer.
#include "platform/window/WindowManager.h"

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/kernel/Time.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using namespace platform::window_steps;

uintptr_t SetTimer(HWND window, uintptr_t id, UINT milliseconds, TIMERPROC proc) {
    static std::atomic<uintptr_t> next_thread_timer{0x7F00};
    std::shared_ptr<platform::ThreadQueue> q;
    if (window) {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        q = platform::find_queue(w->thread_id);
    } else {
        q = platform::current_queue();
        id = next_thread_timer.fetch_add(1);
    }
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // A zero or tiny interval would make the queue spin; the device clamps it too.
    UINT interval = std::max(milliseconds, USER_TIMER_MINIMUM);
    std::lock_guard guard(q->lock);
    DWORD due = GetTickCount() + interval;
    auto it = std::find_if(q->timers.begin(), q->timers.end(),
                           [&](const platform::ThreadTimer& t) { return t.window == window && t.id == id; });
    if (it != q->timers.end()) {
        it->interval = interval;
        it->due = due;
        it->proc = proc;
    } else {
        q->timers.push_back({window, id, interval, due, proc});
    }
    q->changed_locked();
    return id ? id : 1;
}

BOOL KillTimer(HWND window, uintptr_t id) {
    std::shared_ptr<platform::ThreadQueue> q;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        q = w ? platform::find_queue(w->thread_id) : platform::current_queue();
    }
    if (!q) {
        return FALSE;
    }
    std::lock_guard guard(q->lock);
    auto before = q->timers.size();
    std::erase_if(q->timers, [&](const platform::ThreadTimer& t) { return t.window == window && t.id == id; });
    return q->timers.size() != before ? TRUE : FALSE;
}
