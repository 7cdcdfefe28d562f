#include "platform/kernel/Core.h"

#include <mutex>
#include <unordered_map>

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<platform::KernelObject>> objects;
    uintptr_t next = 0x1000;
};

HandleTable& table() {
    static HandleTable* instance = new HandleTable;  // lives until exit: threads may close handles late
    return *instance;
}

}  // namespace

DWORD GetLastError() {
    return last_error;
}

void SetLastError(DWORD error) {
    last_error = error;
}

namespace platform {

DWORD KernelObject::wait(DWORD) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

HANDLE insert_handle(std::shared_ptr<KernelObject> object) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> find_handle(HANDLE handle) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> remove_handle(HANDLE handle) {
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end()) {
        return nullptr;
    }
    std::shared_ptr<KernelObject> object = std::move(it->second);
    t.objects.erase(it);
    return object;
}

}  // namespace platform

BOOL CloseHandle(HANDLE handle) {
    // The object dies outside the table's lock: its destructor may close other handles.
    std::shared_ptr<platform::KernelObject> object = platform::remove_handle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    std::shared_ptr<platform::KernelObject> object = platform::find_handle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return object->wait(milliseconds);
}
