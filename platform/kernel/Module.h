#pragma once
// GetModuleFileNameW: the program file (the real executable) as a device path.
#include "platform/Types.h"

// Only the program itself (module null). Returns the characters copied without the
// terminating zero; a buffer too small gets the truncated, terminated path, the result is
// the buffer size and the last error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
