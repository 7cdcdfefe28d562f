#include <cstdio>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/WindowTable.h"

namespace platform {

void turn_screen() {
    const DeviceProfile& now = device_profile();
    if (!can_turn_screen(now)) {
        // No layout of the shell (nor of a program) would fit: the screen stays as it is.
        std::fprintf(stderr, "platform: the screen stays %dx%d: no Smartphone has a screen %d wide\n", now.screen_width,
                     now.screen_height, now.screen_height);
        return;
    }
    turn_device_screen();
    std::vector<HWND> top_level;
    {
        WindowTable& t = window_table();
        std::lock_guard guard(t.lock);
        // DCs still drawing on the old screen keep it alive until they are released.
        const DeviceProfile& p = device_profile();
        t.screen = std::make_shared<WindowSurface>(p.screen_width, p.screen_height);
        screen_changed();
        top_level = t.z_order;
    }
    for (HWND h : top_level) {
        PostMessageW(h, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    }
}

}  // namespace platform
