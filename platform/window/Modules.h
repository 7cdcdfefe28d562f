#pragma once
// Shared libraries as the program sees them: LoadLibraryW, LoadLibraryExW, GetProcAddressW and
// FreeLibrary over the modules the platform provides ("coredll.dll", "aygshell.dll",
// "commctrl.dll", "tapres.dll"), each exporting the entry points that the platform has; and
// GetModuleHandleW(NULL), the program's own instance, whose resources are platform/resource/.
#include "platform/Types.h"

using FARPROC = void (*)();

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

HMODULE LoadLibraryW(LPCWSTR name);
// No file handle; flags 0 or LOAD_LIBRARY_AS_DATAFILE (a module read for its resources).
HMODULE LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags);
// Only NULL, the program itself.
HMODULE GetModuleHandleW(LPCWSTR name);
// By name; an ordinal (a value below 0x10000 in place of the name) finds nothing.
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
BOOL FreeLibrary(HMODULE module);

namespace platform {

// The program's own instance (what GetModuleHandleW(NULL) returns).
HINSTANCE program_instance();

// Adds an entry point to a module (another area of the platform offering one of its calls).
void register_module_export(const char16_t* module, const char16_t* name, FARPROC entry);

}  // namespace platform
