#pragma once
// Mutexes as kernel objects (CreateMutexW, ReleaseMutex; WaitForSingleObject and CloseHandle
// from the kernel). A named mutex is shared by every process of the user on the same device: it
// is a lock on a file in the instance folder, which the kernel frees when its holder dies.
#include "platform/Types.h"

struct SECURITY_ATTRIBUTES;

constexpr DWORD ERROR_NOT_OWNER = 288;

// Recursive for its owning thread. GetLastError is ERROR_ALREADY_EXISTS when a mutex of that
// name was open already (in this process, or held by another one).
HANDLE CreateMutexW(SECURITY_ATTRIBUTES* attributes, BOOL initial_owner, LPCWSTR name);
BOOL ReleaseMutex(HANDLE mutex);
