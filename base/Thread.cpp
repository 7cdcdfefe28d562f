#include "base/Thread.h"

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"

namespace skinner {

Thread::Thread() = default;

Thread::~Thread() {
    if (handle_ != nullptr) {
        request_stop();
        join();
    }
}

bool Thread::start() {
    if (handle_ != nullptr) {
        if (is_running()) {
            return false;
        }
        join();  // the work has returned; only the entry's last steps remain
    }
    stop_flag_ = false;
    // Set before the thread exists: work that ends before CreateThread returns clears it.
    running_ = true;
    std::lock_guard guard(start_lock_);
    DWORD id = 0;
    handle_ = CreateThread(nullptr, 0, &Thread::thread_proc, this, 0, &id);
    if (handle_ == nullptr) {
        running_ = false;
        return false;
    }
    thread_id_ = id;
    return true;
}

DWORD Thread::thread_proc(LPVOID parameter) {
    Thread* self = static_cast<Thread*>(parameter);
    { std::lock_guard wait_for_start(self->start_lock_); }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    self->run();
    // The last touch of the object: after this the owner may join and delete it.
    self->running_ = false;
    CoUninitialize();
    return 0;
}

void Thread::join() {
    if (handle_ == nullptr) {
        return;
    }
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
}

bool Thread::is_running() const {
    return running_;
}

void Thread::request_stop() {
    stop_flag_.store(true, std::memory_order_relaxed);
}

bool Thread::stop_requested() const {
    return stop_flag_.load(std::memory_order_relaxed);
}

bool Thread::set_priority(int level) {
    static constexpr int priorities[5] = {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                          THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                          THREAD_PRIORITY_HIGHEST};
    int index = std::clamp(level, -2, 2) + 2;
    return SetThreadPriority(handle_, priorities[index]) != FALSE;
}

}  // namespace skinner
