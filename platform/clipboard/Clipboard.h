#pragma once
// The clipboard: OpenClipboard, CloseClipboard, EmptyClipboard, SetClipboardData and
// GetClipboardData, for text (CF_UNICODETEXT, zero-terminated UTF-16 in local memory, see
// platform/clipboard/LocalMemory.h). It is held within the program and joined to the desktop's
// clipboard where the display has one: text put on it reaches the desktop when the clipboard is
// closed, and text another desktop program copied is what GetClipboardData then gives. The
// desktop is only reached from the display's thread; other threads see the program's own.
#include "platform/Types.h"
#include "platform/clipboard/LocalMemory.h"

constexpr UINT CF_UNICODETEXT = 13;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// Fails while another thread has it open. The window may be null.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees what the clipboard holds; the clipboard must be open.
BOOL EmptyClipboard();
// The clipboard owns the memory from then on (the caller must not free it); returns it, or
// null on failure (not open, a format other than text, a handle that LocalAlloc did not give).
HANDLE SetClipboardData(UINT format, HANDLE memory);
// The clipboard's own memory (the caller must not free it), or null when it holds no text.
HANDLE GetClipboardData(UINT format);
