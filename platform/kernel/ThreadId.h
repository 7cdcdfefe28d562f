#pragma once
// Thread identity: GetCurrentThreadId (the kernel's id of the calling thread, the value that
// CreateThread reports and that PostThreadMessageW and the wave-out callbacks address).
#include "platform/Types.h"

DWORD GetCurrentThreadId();
