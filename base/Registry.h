#pragma once
// Registry values by full key path ("HKEY_CURRENT_USER\Software\ZEPH"), and the phone's
// call state. Every call opens the key, creating it when missing, and closes it again.
#include <string>

#include "platform/Types.h"

namespace skinner {

// The sub-key after the root name and its separator; root is set only when the path
// starts with a known root name (exact case), else the sub-key is empty.
std::u16string split_registry_path(const std::u16string& full_path, HKEY& root);

// Each returns false and leaves out untouched when the key has no such value of that type.
bool registry_read_string(const std::u16string& full_path, const std::u16string& name, std::u16string& out);
bool registry_read_dword(const std::u16string& full_path, const std::u16string& name, DWORD& out);
bool registry_write_string(const std::u16string& full_path, const std::u16string& name, const std::u16string& value);
bool registry_write_dword(const std::u16string& full_path, const std::u16string& name, DWORD value);

// True while the phone reports an active call.
bool is_call_active();

}  // namespace skinner
