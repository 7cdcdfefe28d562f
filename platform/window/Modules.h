#pragma once
// Shared libraries as the program sees them: LoadLibraryW, GetProcAddressW and FreeLibrary over
// the modules the platform provides ("coredll.dll", "aygshell.dll", "commctrl.dll",
// "tapres.dll"), each exporting the entry points that the platform has.
#include "platform/Types.h"

using FARPROC = void (*)();

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

HMODULE LoadLibraryW(LPCWSTR name);
// By name; an ordinal (a value below 0x10000 in place of the name) finds nothing.
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
BOOL FreeLibrary(HMODULE module);

namespace platform {

// Adds an entry point to a module (another area of the platform offering one of its calls).
void register_module_export(const char16_t* module, const char16_t* name, FARPROC entry);

}  // namespace platform
