// The desktop keyboard as the device's keys: Esc is Back on both kinds, and Backspace is Back
// on a Smartphone, which has no backspace key, while a Pocket PC's text fields need it.
#include "platform/display/DesktopKeys.h"

#include <gtest/gtest.h>

#include "platform/window/Keys.h"

namespace {

using platform::DeviceType;

struct KeyCase {
    const char* what;
    SDL_Keycode key;
    Uint16 modifiers;
    DeviceType device;
    UINT expected;
};

TEST(DesktopKeys, BecomeTheDevicesKeys) {
    const KeyCase cases[] = {
        {"backspace deletes on a Pocket PC", SDLK_BACKSPACE, 0, DeviceType::PocketPC, VK_BACK},
        {"backspace is Back on a Smartphone", SDLK_BACKSPACE, 0, DeviceType::Smartphone, VK_ESCAPE},
        {"escape is Back", SDLK_ESCAPE, 0, DeviceType::PocketPC, VK_ESCAPE},
        {"escape is Back on a Smartphone", SDLK_ESCAPE, 0, DeviceType::Smartphone, VK_ESCAPE},
        {"F1 the left soft key", SDLK_F1, 0, DeviceType::Smartphone, VK_TSOFT1},
        {"F2 the right soft key", SDLK_F2, 0, DeviceType::PocketPC, VK_TSOFT2},
        {"a letter as its capital", SDLK_q, 0, DeviceType::PocketPC, 'Q'},
        {"a digit", SDLK_7, 0, DeviceType::Smartphone, '7'},
        {"a shifted digit is text", SDLK_1, KMOD_LSHIFT, DeviceType::PocketPC, 0},
        {"shift 8 is the star key", SDLK_8, KMOD_LSHIFT, DeviceType::Smartphone, VK_STAR},
        {"shift 3 is the pound key", SDLK_3, KMOD_RSHIFT, DeviceType::Smartphone, VK_POUND},
        {"a key the device has not", SDLK_F12, 0, DeviceType::PocketPC, 0},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(platform::device_key(c.key, c.modifiers, c.device), c.expected) << c.what;
    }
}

}  // namespace
