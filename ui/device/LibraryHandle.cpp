#include "ui/device/LibraryHandle.h"

#include "base/Path.h"
#include "platform/window/Modules.h"

namespace skinner {

LibraryHandle::LibraryHandle(const std::u16string& name) : module_(LoadLibraryW(expand_path(name).c_str())) {}

LibraryHandle::~LibraryHandle() {
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

LibraryHandle& shell_library() {
    static LibraryHandle library(u"aygshell.dll");
    return library;
}

}  // namespace skinner
