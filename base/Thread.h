#pragma once
// A worker thread: a derived class puts its work in run, which polls stop_requested.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/Types.h"

namespace skinner {

class Thread {
public:
    Thread();
    // Asks the work to stop and waits for it: the object is never destroyed while its
    // thread may still touch it. Derived classes join in their own destructor, before
    // their members go.
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // False while a started thread's work is still running. A thread whose work has ended
    // is joined first, so the object can be started again.
    bool start();
    // Waits for the thread to end and releases its handle; nothing when not started.
    void join();
    // True from a successful start until the work has returned.
    bool is_running() const;

    void request_stop();
    bool stop_requested() const;

    // Level -2 (lowest) to 2 (highest); outside levels take the nearest end.
    bool set_priority(int level);

    uint32_t thread_id() const { return thread_id_; }
    // The platform handle, null while no thread is attached.
    HANDLE handle() const { return handle_; }

protected:
    virtual void run() = 0;

private:
    static DWORD thread_proc(LPVOID parameter);

    // Owned by the controlling thread only; the entry never touches it, so it is closed
    // exactly once, by join.
    HANDLE handle_ = nullptr;
    uint32_t thread_id_ = 0;
    // Held by start while it stores the handle; the entry takes it once before run, so
    // run (calling set_priority, say) sees the handle and id.
    std::mutex start_lock_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_flag_{false};
};

}  // namespace skinner
