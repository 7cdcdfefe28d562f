#include "platform/window/Input.h"

#include <array>
#include <atomic>

#include "platform/window/Keys.h"

namespace platform {

namespace {

std::atomic<int32_t> pen_x{0};
std::atomic<int32_t> pen_y{0};
std::array<std::atomic<bool>, 256> keys_down{};

}  // namespace

POINT pen_position() {
    return POINT{pen_x.load(), pen_y.load()};
}

void set_pen_position(POINT screen) {
    pen_x.store(screen.x);
    pen_y.store(screen.y);
}

void set_key_down(UINT virtual_key, bool down) {
    if (virtual_key < keys_down.size()) {
        keys_down[virtual_key].store(down);
    }
}

bool key_is_down(UINT virtual_key) {
    if (virtual_key == VK_SHIFT) {
        return keys_down[VK_SHIFT].load() || keys_down[VK_LSHIFT].load() || keys_down[VK_RSHIFT].load();
    }
    return virtual_key < keys_down.size() && keys_down[virtual_key].load();
}

WCHAR character_of_key(UINT vk) {
    bool shift = key_is_down(VK_SHIFT);
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return static_cast<WCHAR>(vk);
    }
    switch (vk) {
    case VK_BACK: return u'\b';
    case VK_TAB: return u'\t';
    case VK_RETURN: return u'\r';
    case VK_ESCAPE: return 0x1B;
    case VK_SPACE: return u' ';
    case VK_STAR: return u'*';
    case VK_POUND: return u'#';
    default: return 0;
    }
}

}  // namespace platform

SHORT GetKeyState(int virtual_key) {
    return platform::key_is_down(static_cast<UINT>(virtual_key)) ? static_cast<SHORT>(0x8000) : 0;
}
