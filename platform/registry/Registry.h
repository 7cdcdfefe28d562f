#pragma once
// Registry: RegCreateKeyExW, RegQueryValueExW (a buffer too small gives ERROR_MORE_DATA
// with the needed size and the type), RegSetValueExW, RegDeleteValueW and RegCloseKey
// over the predefined roots. Keys and value names compare case-insensitively; values are
// DWORDs and strings. The store is one text file, rewritten atomically on every change
// and shared safely between processes (Registry.cpp); its text is read and written by
// RegistryText.h.
#include <string>

#include "platform/Types.h"

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t(0x80000002));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t(0x80000003));

using REGSAM = DWORD;
using PHKEY = HKEY*;
using LPBYTE = BYTE*;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD ERROR_BAD_PATHNAME = 161;

// Opens the sub-key of an open key or a root, creating every missing key on the way.
// Classes, options and security attributes are not supported.
LONG RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD reserved, LPWSTR class_name, DWORD options, REGSAM access,
                     LPVOID security, PHKEY result, LPDWORD disposition);
// Null data asks for the size. A null or empty name is the key's default value.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
// REG_DWORD takes exactly 4 bytes; REG_SZ an even count of bytes, stored as given.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
LONG RegCloseKey(HKEY key);

namespace platform {

// The host file of the store: <root>/Windows/registry in a sandbox, else
// $XDG_CONFIG_HOME/vantrel/registry (~/.config when unset).
std::string registry_file_path();

// Lines of the store file that could not be read at the last load (tests check that a
// file left by a killed writer is clean).
int registry_load_problems();

}  // namespace platform
