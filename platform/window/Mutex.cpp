#include "platform/window/Mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/kernel/Core.h"
#include "platform/threads/Threads.h"
#include "platform/window/Remote.h"

namespace {

// One per name in this process; every handle of that name shares it.
class MutexCore {
public:
    explicit MutexCore(int file) : file_(file) {}
    ~MutexCore() {
        if (file_ >= 0) {
            close(file_);  // releases the file lock with it
        }
    }

    // Tries once; true when the calling thread owns the mutex afterwards.
    bool try_acquire_locked(DWORD me) {
        if (owner_ == me) {
            ++count_;
            return true;
        }
        if (owner_ != 0) {
            return false;
        }
        if (file_ >= 0 && flock(file_, LOCK_EX | LOCK_NB) != 0) {
            return false;  // another process holds it
        }
        owner_ = me;
        count_ = 1;
        return true;
    }

    DWORD wait(DWORD milliseconds) {
        DWORD me = GetCurrentThreadId();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        std::unique_lock guard(lock_);
        for (;;) {
            if (try_acquire_locked(me)) {
                return WAIT_OBJECT_0;
            }
            // A holder in another process cannot wake us: look again every few milliseconds.
            auto step = std::chrono::steady_clock::now() + std::chrono::milliseconds(owner_ ? 50 : 10);
            if (milliseconds != INFINITE && step > deadline) {
                step = deadline;
            }
            released_.wait_until(guard, step);
            if (milliseconds != INFINITE && std::chrono::steady_clock::now() >= deadline) {
                return try_acquire_locked(me) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
            }
        }
    }

    bool release() {
        std::lock_guard guard(lock_);
        if (owner_ != GetCurrentThreadId()) {
            return false;
        }
        if (--count_ == 0) {
            owner_ = 0;
            if (file_ >= 0) {
                flock(file_, LOCK_UN);
            }
            released_.notify_all();
        }
        return true;
    }

    bool held_elsewhere() {
        std::lock_guard guard(lock_);
        if (owner_ != 0 || file_ < 0) {
            return false;
        }
        if (flock(file_, LOCK_EX | LOCK_NB) != 0) {
            return true;
        }
        flock(file_, LOCK_UN);
        return false;
    }

private:
    std::mutex lock_;
    std::condition_variable released_;
    int file_;
    DWORD owner_ = 0;  // lock_
    int count_ = 0;    // lock_
};

class MutexObject : public platform::KernelObject {
public:
    explicit MutexObject(std::shared_ptr<MutexCore> core) : core(std::move(core)) {}
    DWORD wait(DWORD milliseconds) override { return core->wait(milliseconds); }
    std::shared_ptr<MutexCore> core;
};

std::mutex names_lock;
std::map<std::u16string, std::weak_ptr<MutexCore>>& names() {
    static auto* instance = new std::map<std::u16string, std::weak_ptr<MutexCore>>;
    return *instance;
}

std::string file_for(const std::u16string& name) {
    std::string folder = platform::instance_folder();
    if (folder.empty()) {
        return {};
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (char16_t c : name) {
        for (int shift = 12; shift >= 0; shift -= 4) {
            hex.push_back(digits[(c >> shift) & 0xF]);
        }
    }
    return folder + "/mutex-" + hex;
}

}  // namespace

HANDLE CreateMutexW(SECURITY_ATTRIBUTES* attributes, BOOL initial_owner, LPCWSTR name) {
    if (attributes) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::shared_ptr<MutexCore> core;
    bool existed = false;
    if (!name || !*name) {
        core = std::make_shared<MutexCore>(-1);
    } else {
        std::u16string key = name;
        if (key.size() > MAX_PATH) {
            SetLastError(ERROR_INVALID_NAME);
            return nullptr;
        }
        std::lock_guard guard(names_lock);
        core = names()[key].lock();
        existed = core != nullptr;
        if (!core) {
            std::string path = file_for(key);
            int file = path.empty() ? -1 : open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (file < 0) {
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            core = std::make_shared<MutexCore>(file);
            names()[key] = core;
            existed = core->held_elsewhere();
        }
    }
    if (initial_owner && !existed) {
        core->wait(0);
    }
    HANDLE handle = platform::insert_handle(std::make_shared<MutexObject>(core));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto object = platform::find_handle_as<MutexObject>(mutex);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!object->core->release()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}
