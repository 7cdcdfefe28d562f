#pragma once
// Owns one loaded module, freed with the object.
#include <string>

#include "platform/window/Modules.h"

namespace skinner {

class DynamicLibrary {
public:
    explicit DynamicLibrary(const std::u16string& name);
    virtual ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool is_loaded() const { return module_ != nullptr; }
    // The exported entry point, null when the library or the export is missing.
    FARPROC find(const std::u16string& export_name) const;

private:
    HMODULE module_ = nullptr;
};

}  // namespace skinner
