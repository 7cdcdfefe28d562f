#include "platform/kernel/ThreadId.h"

#include <sys/syscall.h>
#include <unistd.h>

DWORD GetCurrentThreadId() {
    thread_local DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}
