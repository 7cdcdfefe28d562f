#include "base/Registry.h"

#include <vector>

#include "platform/kernel/Core.h"
#include "platform/registry/Registry.h"

namespace skinner {

namespace {

struct RootName {
    const char16_t* name;
    HKEY key;
};

const RootName& root_name(int index) {
    static const RootName roots[] = {
        {u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {u"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {u"HKEY_USERS", HKEY_USERS},
    };
    return roots[index];
}

// An open registry key, closed on every path out.
class OpenKey {
public:
    OpenKey(const std::u16string& full_path, REGSAM access) {
        HKEY root = nullptr;
        std::u16string sub_key = split_registry_path(full_path, root);
        // A path with no known root fails here rather than reaching the platform.
        if (root != nullptr &&
            RegCreateKeyExW(root, sub_key.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool is_open() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::u16string split_registry_path(const std::u16string& full_path, HKEY& root) {
    for (int i = 0; i < 4; ++i) {
        std::u16string_view name = root_name(i).name;
        if (full_path.compare(0, name.size(), name) == 0) {
            root = root_name(i).key;
            // The one character after the root name is its separator.
            return full_path.size() > name.size() + 1 ? full_path.substr(name.size() + 1) : std::u16string();
        }
    }
    return std::u16string();
}

bool registry_read_dword(const std::u16string& full_path, const std::u16string& name, DWORD& out) {
    OpenKey key(full_path, KEY_READ);
    if (!key.is_open()) {
        return false;
    }
    BYTE probe = 0;
    DWORD type = REG_NONE;
    DWORD size = 1;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, &probe, &size) != ERROR_MORE_DATA ||
        type != REG_DWORD || size != sizeof(DWORD)) {
        return false;
    }
    DWORD value = 0;
    size = sizeof value;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return false;
    }
    out = value;
    return true;
}

bool registry_read_string(const std::u16string& full_path, const std::u16string& name, std::u16string& out) {
    OpenKey key(full_path, KEY_READ);
    if (!key.is_open()) {
        return false;
    }
    BYTE probe = 0;
    DWORD type = REG_NONE;
    DWORD size = 1;
    LONG answer = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, &probe, &size);
    if (answer == ERROR_SUCCESS) {
        // At most one byte: no room for a character.
        if (type != REG_SZ) {
            return false;
        }
        out.clear();
        return true;
    }
    if (answer != ERROR_MORE_DATA || type != REG_SZ) {
        return false;
    }
    // Room for every stored unit plus a terminator the value may lack.
    std::vector<char16_t> text(size / 2 + 1, u'\0');
    DWORD read_size = size;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read_size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    out.assign(text.data());
    return true;
}

bool registry_write_string(const std::u16string& full_path, const std::u16string& name, const std::u16string& value) {
    OpenKey key(full_path, KEY_ALL_ACCESS);
    if (!key.is_open()) {
        return false;
    }
    DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size) ==
           ERROR_SUCCESS;
}

bool registry_write_dword(const std::u16string& full_path, const std::u16string& name, DWORD value) {
    OpenKey key(full_path, KEY_ALL_ACCESS);
    if (!key.is_open()) {
        return false;
    }
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool is_call_active() {
    DWORD count = 0;
    return registry_read_dword(u"HKEY_LOCAL_MACHINE\\System\\State\\Phone", u"Active Call Count", count) &&
           count != 0;
}

}  // namespace skinner
