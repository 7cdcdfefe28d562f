#include "platform/window/Modules.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <cstdio>

#include "platform/kernel/Core.h"
#include "platform/window/InputPanel.h"

namespace {

struct Module {
    std::u16string name;  // lower case
    std::map<std::u16string, FARPROC> exports;
    int loads = 0;
};

std::u16string lower(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + 32);
        }
    }
    return text;
}

template <class F>
FARPROC entry(F f) {
    return reinterpret_cast<FARPROC>(f);
}

struct ModuleTable {
    std::mutex lock;
    std::vector<Module> modules;

    ModuleTable() {
        for (const char16_t* name : {u"coredll.dll", u"aygshell.dll", u"commctrl.dll", u"tapres.dll"}) {
            modules.push_back(Module{name, {}, 0});
        }
        // The shell's pen helpers; there is no SndSetSound, so ringtones go through the registry.
        Module& shell = modules[1];
        shell.exports[u"SHSipPreference"] = entry(SHSipPreference);
        shell.exports[u"SHSipInfo"] = entry(SHSipInfo);
        shell.exports[u"SHRecognizeGesture"] = entry(SHRecognizeGesture);
        shell.exports[u"SHDoneButton"] = entry(SHDoneButton);
    }

    // A module's handle is its index + 1, scaled so it never looks like a small number.
    Module* find(HMODULE handle) {
        auto value = reinterpret_cast<uintptr_t>(handle);
        if (value < 0x10000 || (value & 0xFFFF) != 0) {
            return nullptr;
        }
        size_t index = (value >> 16) - 1;
        return index < modules.size() ? &modules[index] : nullptr;
    }

    Module* find(const std::u16string& name) {
        std::u16string key = lower(name);
        // A path before the file name does not matter: the platform's modules are everywhere.
        size_t slash = key.find_last_of(u"\\/");
        if (slash != std::u16string::npos) {
            key = key.substr(slash + 1);
        }
        if (key.find(u'.') == std::u16string::npos) {
            key += u".dll";
        }
        for (Module& m : modules) {
            if (m.name == key) {
                return &m;
            }
        }
        return nullptr;
    }

    HMODULE handle_of(const Module& m) const {
        return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(&m - modules.data() + 1) << 16);
    }
};

ModuleTable& table() {
    static auto* instance = new ModuleTable;
    return *instance;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleTable& t = table();
    std::lock_guard guard(t.lock);
    Module* m = t.find(std::u16string(name));
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++m->loads;
    return t.handle_of(*m);
}

HMODULE LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    if (file || (flags & ~LOAD_LIBRARY_AS_DATAFILE) != 0) {
        std::fprintf(stderr, "platform: LoadLibraryExW with a file or flags 0x%x is not supported\n", flags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The platform's modules are its own: loaded for their resources or their code, they are the same.
    return LoadLibraryW(name);
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name) {
        std::fprintf(stderr, "platform: GetModuleHandleW of a named module is not supported\n");
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return platform::program_instance();
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name) {
    ModuleTable& t = table();
    std::lock_guard guard(t.lock);
    Module* m = t.find(module);
    if (!m || m->loads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    auto it = m->exports.find(name);
    if (it == m->exports.end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

BOOL FreeLibrary(HMODULE module) {
    ModuleTable& t = table();
    std::lock_guard guard(t.lock);
    Module* m = t.find(module);
    if (!m || m->loads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --m->loads;
    return TRUE;
}

namespace platform {

HINSTANCE program_instance() {
    // Beyond every handle the module table hands out (index + 1 in the high half).
    return reinterpret_cast<HINSTANCE>(uintptr_t(0x7FFF) << 16);
}

void register_module_export(const char16_t* module, const char16_t* name, FARPROC function) {
    ModuleTable& t = table();
    std::lock_guard guard(t.lock);
    if (Module* m = t.find(std::u16string(module))) {
        m->exports[name] = function;
    }
}

}  // namespace platform
