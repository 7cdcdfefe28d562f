#include "base/ActiveScheduler.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <list>

#include "base/Atomic.h"
#include "base/CriticalSection.h"
#include "base/Log.h"
#include "base/Strings.h"
#include "platform/kernel/Time.h"
#include "platform/window/Window.h"

namespace skinner {

namespace {

std::atomic<int32_t> next_active_id{1};
std::atomic<CActiveScheduler*> process_scheduler{nullptr};

std::u16string numbered(const char16_t* before, int32_t number, const char16_t* after) {
    std::u16string text = before;
    text << number << after;
    return text;
}

CActiveScheduler& scheduler_of_process(const char16_t* place) {
    CActiveScheduler* scheduler = process_scheduler.load();
    if (!scheduler) {
        gluck(u"No active scheduler", place);
    }
    return *scheduler;
}

// Seconds as whole milliseconds, rounded to nearest; delays beyond the 32-bit range are
// clamped there instead of overflowing the conversion.
int32_t delay_milliseconds(double seconds) {
    double ms = seconds * 1000.0 + 0.5;
    if (std::isnan(ms)) {
        return 0;
    }
    ms = std::clamp(ms, double(std::numeric_limits<int32_t>::min()), double(std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(ms);
}

}  // namespace

// --- CActive -------------------------------------------------------------------------

CActive::CActive(int /*priority*/) : id_(next_active_id.fetch_add(1)) {}

CActive::~CActive() {
    if (active_.load()) {
        gluck(numbered(u"Active object ", id_, u" is already active"), u"CActive::~CActive()");
    }
}

void CActive::set_active() {
    scheduler_of_process(u"CActive::set_active()").set_active(*this);
}

void CActive::notify() {
    scheduler_of_process(u"CActive::notify()").notify(*this);
}

void CActive::cancel() {
    if (active_.load()) {
        scheduler_of_process(u"CActive::cancel()").wait_for(*this);
    }
}

// --- CActiveScheduler ----------------------------------------------------------------

struct CActiveScheduler::Core {
    CriticalSection lock;
    int32_t active_counter = 0;    // changed atomically; set, run and waited on the UI thread
    std::list<CActive*> completed;  // lock
    std::list<TimerActive*> timers;  // user-interface thread, in start order
    HWND window = nullptr;
};

CActiveScheduler::CActiveScheduler(HINSTANCE instance, const std::u16string& application_class_name)
    : core_(std::make_unique<Core>()) {
    const std::u16string name = u"CActive" + application_class_name;
    WNDCLASSW window_class;
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = &CActiveScheduler::window_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = name.c_str();
    RegisterClassW(&window_class);  // a second scheduler finds the class registered already
    core_->window = CreateWindowExW(0, name.c_str(), name.c_str(), WS_POPUP, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                    nullptr, nullptr, instance, nullptr);
    if (core_->window) {
        SetWindowLongW(core_->window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    process_scheduler.store(this);
}

CActiveScheduler::~CActiveScheduler() {
    if (core_->active_counter != 0) {
        gluck(numbered(u"Some active objects still live while scheduler is terminating active_counter=",
                       core_->active_counter, u""),
              u"");
    }
    CActiveScheduler* self = this;
    process_scheduler.compare_exchange_strong(self, nullptr);
    if (core_->window) {
        SetWindowLongW(core_->window, GWL_USERDATA, 0);
        DestroyWindow(core_->window);
    }
}

CActiveScheduler* CActiveScheduler::instance() {
    return process_scheduler.load();
}

HWND CActiveScheduler::window() const {
    return core_->window;
}

int32_t CActiveScheduler::active_count() const {
    return core_->active_counter;
}

void CActiveScheduler::set_active(CActive& object) {
    if (object.active_.load()) {
        gluck(numbered(u"Object ", object.id_, u" is already active"), u"CActiveScheduler::set_active()");
    }
    object.active_.store(true);
    atomic_increment(&core_->active_counter);
}

void CActiveScheduler::notify(CActive& object) {
    if (!object.active_.load()) {
        gluck(numbered(u"Active object ", object.id_, u" is not active"), u"CActiveScheduler::notify()");
    }
    ScopedLock guard(core_->lock);
    core_->completed.push_back(&object);
    PostMessageW(core_->window, completion_message, 0, 0);
}

bool CActiveScheduler::process_actives() {
    for (;;) {
        CActive* object = nullptr;
        {
            ScopedLock guard(core_->lock);
            if (core_->completed.empty()) {
                return true;
            }
            object = core_->completed.front();
            core_->completed.pop_front();
        }
        if (!object->active_.load()) {
            gluck(numbered(u"Active object ", object->id_, u" is not marked active"),
                  u"CActiveScheduler::process_actives()");
        }
        object->active_.store(false);
        atomic_decrement(&core_->active_counter);
        object->run();  // outside the lock: it may set itself active again or complete others
    }
}

void CActiveScheduler::wait_for(CActive& object) {
    object.on_cancel();
    bool took_completion = false;
    for (;;) {
        {
            ScopedLock guard(core_->lock);
            auto found = std::find(core_->completed.begin(), core_->completed.end(), &object);
            if (found != core_->completed.end()) {
                core_->completed.erase(found);
                object.active_.store(false);
                atomic_decrement(&core_->active_counter);
                break;
            }
        }
        MSG msg;
        BOOL got = GetMessageW(&msg, core_->window, completion_message, completion_message);
        if (got == 0) {
            // The quit request belongs to the loop that waits outside: hand it back.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) {
            break;  // no window to wait on: nothing can arrive
        }
        took_completion = true;
    }
    if (took_completion) {
        PostMessageW(core_->window, completion_message, 0, 0);
    }
}

void CActiveScheduler::start_timer(TimerActive& timer, double seconds) {
    timer.cancel();
    timer.due = GetTickCount() + static_cast<uint32_t>(delay_milliseconds(seconds));
    set_active(timer);
    core_->timers.push_back(&timer);
    check_timers();
}

void CActiveScheduler::check_timers() {
    KillTimer(core_->window, window_timer_id);
    const uint32_t now = GetTickCount();
    int32_t wait = no_timer_wait;
    for (auto it = core_->timers.begin(); it != core_->timers.end();) {
        // A signed difference, so the tick counter's wrap-around is harmless.
        const int32_t remaining = static_cast<int32_t>((*it)->due - now);
        if (remaining < 1) {
            notify(**it);
            it = core_->timers.erase(it);
        } else {
            wait = std::min(wait, remaining);
            ++it;
        }
    }
    if (wait != no_timer_wait) {
        SetTimer(core_->window, window_timer_id, static_cast<UINT>(wait), nullptr);
    }
}

LRESULT CActiveScheduler::window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* scheduler = reinterpret_cast<CActiveScheduler*>(GetWindowLongW(window, GWL_USERDATA));
    if (scheduler) {
        if (message == completion_message) {
            scheduler->process_actives();
        } else if (message == WM_TIMER) {
            scheduler->check_timers();
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --- Timer ---------------------------------------------------------------------------

TimerActive::TimerActive(Timer& owner) : CActive(2), owner(owner) {}

void TimerActive::run() {
    owner.listener_.on_timer(owner);
}

void TimerActive::on_cancel() {
    due = GetTickCount();
    scheduler_of_process(u"TimerActive::on_cancel()").check_timers();
}

Timer::Timer(TimerListener& listener) : timer_object_(std::make_unique<TimerActive>(*this)), listener_(listener) {}

Timer::~Timer() {
    cancel();
}

void Timer::start(double seconds) {
    scheduler_of_process(u"Timer::start()").start_timer(*timer_object_, seconds);
}

void Timer::cancel() {
    timer_object_->cancel();
}

bool Timer::is_active() const {
    return timer_object_->is_active();
}

}  // namespace skinner
