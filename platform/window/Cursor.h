#pragma once
// The system's cursors: LoadCursorW (system cursors only), SetCursor and GetCursor. The desktop
// window shows the nearest host cursor.
#include "platform/Types.h"

inline LPCWSTR const IDC_ARROW = reinterpret_cast<LPCWSTR>(uintptr_t(32512));
inline LPCWSTR const IDC_IBEAM = reinterpret_cast<LPCWSTR>(uintptr_t(32513));
inline LPCWSTR const IDC_WAIT = reinterpret_cast<LPCWSTR>(uintptr_t(32514));
inline LPCWSTR const IDC_CROSS = reinterpret_cast<LPCWSTR>(uintptr_t(32515));
inline LPCWSTR const IDC_UPARROW = reinterpret_cast<LPCWSTR>(uintptr_t(32516));
inline LPCWSTR const IDC_SIZENWSE = reinterpret_cast<LPCWSTR>(uintptr_t(32642));
inline LPCWSTR const IDC_SIZENESW = reinterpret_cast<LPCWSTR>(uintptr_t(32643));
inline LPCWSTR const IDC_SIZEWE = reinterpret_cast<LPCWSTR>(uintptr_t(32644));
inline LPCWSTR const IDC_SIZENS = reinterpret_cast<LPCWSTR>(uintptr_t(32645));
inline LPCWSTR const IDC_SIZEALL = reinterpret_cast<LPCWSTR>(uintptr_t(32646));
inline LPCWSTR const IDC_NO = reinterpret_cast<LPCWSTR>(uintptr_t(32648));
inline LPCWSTR const IDC_HAND = reinterpret_cast<LPCWSTR>(uintptr_t(32649));
inline LPCWSTR const IDC_APPSTARTING = reinterpret_cast<LPCWSTR>(uintptr_t(32650));
inline LPCWSTR const IDC_HELP = reinterpret_cast<LPCWSTR>(uintptr_t(32651));

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// instance must be null: the program's own resources hold no cursors.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

namespace platform {

// The system cursor shown now (its IDC_ number), 0 for none.
int current_cursor_id();

}  // namespace platform
