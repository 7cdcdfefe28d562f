#pragma once
// The screen's size, dots per inch and orientation, and the display-settings entry point of
// "coredll.dll" (or a substitute where the system lacks it).
#include <memory>

#include "base/DynamicLibrary.h"
#include "platform/Types.h"
#include "platform/window/DisplaySettings.h"

namespace skinner {

struct ScreenMetrics {
    ScreenMetrics();

    int32_t width = 0;
    int32_t height = 0;
    RECT rect;            // (0, 0, width, height)
    int orientation = 0;  // 0 normal, 1, 2, 3 quarter turns (DMDO_90, DMDO_180, DMDO_270)
    int32_t dpi = 0;      // vertical
};

class CoreDllFunctions {
public:
    // The process-wide object, made at first use.
    static CoreDllFunctions& instance();

    // An entry point of one's own (null: the substitute), remapped as on kind 8 when asked.
    CoreDllFunctions(ChangeDisplaySettingsExProc entry, bool remap_orientation);

    // The display-settings call with the platform's five arguments.
    LONG change_display_settings_ex(LPCWSTR device_name, DEVMODEW* mode, HWND window, DWORD flags,
                                    LPVOID parameter) const;

    // What stands in for a missing entry point: the orientation is always DMDO_0.
    static LONG substitute(LPCWSTR device_name, DEVMODEW* mode, HWND window, DWORD flags, LPVOID parameter);

private:
    CoreDllFunctions();
    std::unique_ptr<DynamicLibrary> library_;
    ChangeDisplaySettingsExProc entry_ = &substitute;
    bool remap_orientation_ = false;
};

// 0..3 through the process's display entry point; 0 when it fails.
int get_screen_orientation();
int get_screen_orientation(const CoreDllFunctions& functions);

}  // namespace skinner
