#pragma once
// Threads and synchronisation: CreateThread (the handle is a kernel object, signalled when
// the thread ends), thread ids and priorities, Sleep, critical sections (recursive), events
// (manual and auto reset), interlocked counters, the per-thread COM counters and
// TerminateProcess on the current process.
#include <atomic>
#include <mutex>

#include "platform/Types.h"

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_INVALIDARG = int32_t(0x80070057);

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

// The device's numbering: a smaller number is a higher priority.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;

HANDLE CreateThread(LPVOID security, DWORD stack_size, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creation_flags, LPDWORD thread_id);
DWORD GetCurrentThreadId();
// Best effort: the host may refuse to raise a priority; the call still succeeds.
BOOL SetThreadPriority(HANDLE thread, int priority);
void Sleep(DWORD milliseconds);

// Recursive: the owning thread may enter again and leaves as often as it entered.
struct CRITICAL_SECTION {
    std::mutex lock;
    std::atomic<DWORD> OwnerThread{0};
    DWORD LockCount = 0;  // recursion depth, touched only by the owner
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

constexpr DWORD EVENT_PULSE = 1;
constexpr DWORD EVENT_RESET = 2;
constexpr DWORD EVENT_SET = 3;

// Named events are not supported (fail with ERROR_NOT_SUPPORTED).
HANDLE CreateEventW(LPVOID security, BOOL manual_reset, BOOL initial_state, LPCWSTR name);
BOOL EventModify(HANDLE event, DWORD function);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);

constexpr DWORD COINIT_MULTITHREADED = 0;
// Counts per thread: S_OK for the first call on a thread, S_FALSE for the nested ones.
HRESULT CoInitializeEx(LPVOID reserved, DWORD coinit);
void CoUninitialize();

HANDLE GetCurrentProcess();
// Only the current process: ends it at once with the code, running no destructors.
BOOL TerminateProcess(HANDLE process, UINT exit_code);

namespace platform {

// The priority last given to a thread through SetThreadPriority (THREAD_PRIORITY_NORMAL
// when none was), -1 for a handle that is not a thread. For tests.
int requested_thread_priority(HANDLE thread);

// How many CoInitializeEx calls of this thread are not yet matched by CoUninitialize.
int com_init_count();

}  // namespace platform
