#pragma once
// Local memory, as the clipboard hands it over: LocalAlloc, LocalLock, LocalUnlock, LocalSize,
// LocalFree. As on the device, a handle is the address of its memory, moveable or not, so
// LocalLock gives the handle back; every handle is checked against the blocks we handed out.
#include <string>
#include <string_view>

#include "platform/Types.h"

using HLOCAL = HANDLE;

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Null (ERROR_NOT_ENOUGH_MEMORY) when the memory cannot be had; unknown flags fail too.
HLOCAL LocalAlloc(UINT flags, UINT bytes);
LPVOID LocalLock(HLOCAL memory);
// FALSE with ERROR_SUCCESS: the block is unlocked (a handle here is never really locked).
BOOL LocalUnlock(HLOCAL memory);
// The size asked for, exactly; 0 for a handle that is not ours.
UINT LocalSize(HLOCAL memory);
// Null when freed; the handle back when it is not ours or the clipboard owns it.
HLOCAL LocalFree(HLOCAL memory);

namespace platform {

// Text in local memory as the clipboard carries it: up to its terminating zero and never past
// the block (an odd last byte is no character); and a new block holding text and its zero.
std::u16string local_text(HLOCAL memory);
HLOCAL local_text_block(std::u16string_view text);

// The clipboard takes a block over (LocalFree then refuses it) and gives it back to free it.
bool local_memory_take_over(HLOCAL memory);
void local_memory_release(HLOCAL memory);

}  // namespace platform
