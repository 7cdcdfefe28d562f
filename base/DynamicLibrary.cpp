#include "base/DynamicLibrary.h"

#include "platform/window/Modules.h"

namespace skinner {

DynamicLibrary::DynamicLibrary(const std::u16string& name) : module_(LoadLibraryW(name.c_str())) {}

DynamicLibrary::~DynamicLibrary() {
    if (module_) {
        FreeLibrary(module_);
    }
}

FARPROC DynamicLibrary::find(const std::u16string& export_name) const {
    if (!module_) {
        return nullptr;
    }
    return GetProcAddressW(module_, export_name.c_str());
}

}  // namespace skinner
