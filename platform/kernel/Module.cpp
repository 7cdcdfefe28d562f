#include "platform/kernel/Module.h"

#include <string>

#include "platform/kernel/Core.h"
#include "platform/kernel/DevicePath.h"

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::u16string path;
    if (!platform::device_path_of(platform::program_host_path(), path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (path.size() >= size) {
        path.copy(buffer, size - 1);
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    path.copy(buffer, path.size());
    buffer[path.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}
