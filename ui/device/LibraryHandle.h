#pragma once
// Keeps a shared library loaded for its lifetime.
#include <string>

#include "platform/Types.h"

namespace skinner {

class LibraryHandle {
public:
    // The name may begin with a path macro.
    explicit LibraryHandle(const std::u16string& name);
    ~LibraryHandle();
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    // Null when the library could not be loaded.
    HMODULE get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

// "aygshell.dll", loaded at first use and kept until the process ends.
LibraryHandle& shell_library();

}  // namespace skinner
