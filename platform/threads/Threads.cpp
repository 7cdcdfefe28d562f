#include "platform/threads/Threads.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <memory>

#include "platform/kernel/Core.h"

namespace {

// Thread ids are our own small numbers, handed out at creation so that CreateThread can
// report the id before the thread has run.
std::atomic<DWORD> next_thread_id{1};
thread_local DWORD current_thread_id = 0;
thread_local int com_depth = 0;

DWORD allocate_thread_id() {
    return next_thread_id.fetch_add(1);
}

// Waits on a condition with the platform's time-out convention.
template <class Predicate>
bool wait_for(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, DWORD milliseconds,
              Predicate ready) {
    if (milliseconds == INFINITE) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}

// Host niceness for each device priority (TIME_CRITICAL .. IDLE).
constexpr int nice_of_priority[8] = {-10, -5, -2, 0, 2, 5, 10, 19};

class ThreadObject : public platform::KernelObject {
public:
    DWORD wait(DWORD milliseconds) override {
        std::unique_lock guard(lock_);
        return wait_for(ended_cv_, guard, milliseconds, [this] { return ended_; }) ? WAIT_OBJECT_0
                                                                                 : WAIT_TIMEOUT;
    }

    void mark_ended() {
        std::lock_guard guard(lock_);
        ended_ = true;
        ended_cv_.notify_all();
    }

    // The host thread learns its kernel id only once it runs; a priority asked for before
    // that is applied then.
    void attach_host_thread(pid_t tid) {
        std::lock_guard guard(lock_);
        host_tid_ = tid;
        apply_priority();
    }

    void set_priority(int priority) {
        std::lock_guard guard(lock_);
        priority_ = priority;
        apply_priority();
    }

    int priority() {
        std::lock_guard guard(lock_);
        return priority_;
    }

private:
    void apply_priority() {
        if (host_tid_ != 0 && !ended_) {
            // Raising a priority needs privileges we may lack; that is not the caller's failure.
            setpriority(PRIO_PROCESS, static_cast<id_t>(host_tid_), nice_of_priority[priority_]);
        }
    }

    std::mutex lock_;
    std::condition_variable ended_cv_;
    bool ended_ = false;
    pid_t host_tid_ = 0;
    int priority_ = THREAD_PRIORITY_NORMAL;
};

struct StartRecord {
    std::shared_ptr<ThreadObject> object;
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
    DWORD id;
};

void* host_thread_entry(void* argument) {
    std::unique_ptr<StartRecord> record(static_cast<StartRecord*>(argument));
    current_thread_id = record->id;
    record->object->attach_host_thread(static_cast<pid_t>(syscall(SYS_gettid)));
    record->start(record->parameter);
    record->object->mark_ended();
    return nullptr;
}

class EventObject : public platform::KernelObject {
public:
    EventObject(bool manual_reset, bool signalled) : manual_reset_(manual_reset), signalled_(signalled) {}

    DWORD wait(DWORD milliseconds) override {
        std::unique_lock guard(lock_);
        if (!wait_for(cv_, guard, milliseconds, [this] { return signalled_; })) {
            return WAIT_TIMEOUT;
        }
        if (!manual_reset_) {
            signalled_ = false;  // an auto-reset event releases one waiter
        }
        return WAIT_OBJECT_0;
    }

    void set() {
        std::lock_guard guard(lock_);
        signalled_ = true;
        if (manual_reset_) {
            cv_.notify_all();
        } else {
            cv_.notify_one();
        }
    }

    void reset() {
        std::lock_guard guard(lock_);
        signalled_ = false;
    }

private:
    std::mutex lock_;
    std::condition_variable cv_;
    const bool manual_reset_;
    bool signalled_;
};

}  // namespace

HANDLE CreateThread(LPVOID security, DWORD stack_size, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creation_flags, LPDWORD thread_id) {
    if (security != nullptr || creation_flags != 0 || start == nullptr) {
        std::fprintf(stderr, "CreateThread: unsupported arguments (security %p, flags %#x)\n", security,
                     creation_flags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>();
    auto record = std::make_unique<StartRecord>(StartRecord{object, start, parameter, allocate_thread_id()});
    if (thread_id != nullptr) {
        *thread_id = record->id;  // written before the thread exists, so it never races with it
    }

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stack_size != 0) {
        pthread_attr_setstacksize(&attributes, stack_size < PTHREAD_STACK_MIN ? PTHREAD_STACK_MIN : stack_size);
    }
    HANDLE handle = platform::insert_handle(object);
    pthread_t host;
    int error = pthread_create(&host, &attributes, host_thread_entry, record.get());
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        platform::remove_handle(handle);
        SetLastError(error == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    record.release();  // the new thread owns it now
    return handle;
}

DWORD GetCurrentThreadId() {
    if (current_thread_id == 0) {
        current_thread_id = allocate_thread_id();  // a thread we did not create
    }
    return current_thread_id;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    auto object = platform::find_handle_as<ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    object->set_priority(priority);
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->OwnerThread.store(0);
    section->LockCount = 0;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    DWORD me = GetCurrentThreadId();
    if (section->OwnerThread.load(std::memory_order_relaxed) == me) {
        ++section->LockCount;
        return;
    }
    section->lock.lock();
    section->OwnerThread.store(me, std::memory_order_relaxed);
    section->LockCount = 1;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (section->OwnerThread.load(std::memory_order_relaxed) != GetCurrentThreadId()) {
        std::fprintf(stderr, "LeaveCriticalSection: the calling thread does not own the section\n");
        return;
    }
    if (--section->LockCount == 0) {
        section->OwnerThread.store(0, std::memory_order_relaxed);
        section->lock.unlock();
    }
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    if (section->OwnerThread.load() != 0) {
        std::fprintf(stderr, "DeleteCriticalSection: the section is still held\n");
    }
}

HANDLE CreateEventW(LPVOID security, BOOL manual_reset, BOOL initial_state, LPCWSTR name) {
    if (security != nullptr || name != nullptr) {
        std::fprintf(stderr, "CreateEventW: security attributes and names are not supported\n");
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    return platform::insert_handle(std::make_shared<EventObject>(manual_reset != FALSE, initial_state != FALSE));
}

BOOL EventModify(HANDLE event, DWORD function) {
    auto object = platform::find_handle_as<EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (function) {
        case EVENT_SET:
            object->set();
            return TRUE;
        case EVENT_RESET:
            object->reset();
            return TRUE;
        default:
            std::fprintf(stderr, "EventModify: unsupported function %u\n", function);
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
    }
}

BOOL SetEvent(HANDLE event) {
    return EventModify(event, EVENT_SET);
}

BOOL ResetEvent(HANDLE event) {
    return EventModify(event, EVENT_RESET);
}

LONG InterlockedIncrement(LONG volatile* value) {
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedDecrement(LONG volatile* value) {
    return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST);
}

HRESULT CoInitializeEx(LPVOID reserved, DWORD coinit) {
    if (reserved != nullptr || coinit != COINIT_MULTITHREADED) {
        std::fprintf(stderr, "CoInitializeEx: only the multithreaded model is supported\n");
        return E_INVALIDARG;
    }
    return com_depth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (com_depth > 0) {
        --com_depth;
    }
}

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(intptr_t(-1));
}

BOOL TerminateProcess(HANDLE process, UINT exit_code) {
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    _exit(static_cast<int>(exit_code));
}

namespace platform {

int requested_thread_priority(HANDLE thread) {
    auto object = find_handle_as<ThreadObject>(thread);
    return object ? object->priority() : -1;
}

int com_init_count() {
    return com_depth;
}

}  // namespace platform
