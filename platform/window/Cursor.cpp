#include "platform/window/Cursor.h"

#include <atomic>

#include "platform/kernel/Core.h"

namespace {

std::atomic<uintptr_t> current{0};

bool is_system_cursor(uintptr_t id) {
    switch (id) {
    case 32512: case 32513: case 32514: case 32515: case 32516: case 32642: case 32643:
    case 32644: case 32645: case 32646: case 32648: case 32649: case 32650: case 32651:
        return true;
    default:
        return false;
    }
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    auto id = reinterpret_cast<uintptr_t>(name);
    if (instance || !is_system_cursor(id)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor) {
    auto id = reinterpret_cast<uintptr_t>(cursor);
    if (id && !is_system_cursor(id)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GetCursor();
    }
    return reinterpret_cast<HCURSOR>(current.exchange(id));
}

HCURSOR GetCursor() {
    return reinterpret_cast<HCURSOR>(current.load());
}

namespace platform {

int current_cursor_id() {
    return static_cast<int>(current.load());
}

}  // namespace platform
