#include "base/ScreenMetrics.h"

#include "base/DeviceKind.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Window.h"

namespace skinner {

namespace {

constexpr WORD full_mode_size = sizeof(DEVMODEW);

// A quarter turn further, and back.
DWORD turned_forward(DWORD orientation) {
    switch (orientation) {
    case DMDO_0: return DMDO_90;
    case DMDO_90: return DMDO_180;
    case DMDO_180: return DMDO_270;
    case DMDO_270: return DMDO_0;
    default: return orientation;
    }
}

DWORD turned_back(DWORD orientation) {
    switch (orientation) {
    case DMDO_0: return DMDO_270;
    case DMDO_90: return DMDO_0;
    case DMDO_180: return DMDO_90;
    case DMDO_270: return DMDO_180;
    default: return orientation;
    }
}

}  // namespace

ScreenMetrics::ScreenMetrics() {
    HDC screen = GetDC(nullptr);
    width = GetDeviceCaps(screen, HORZRES);
    height = GetDeviceCaps(screen, VERTRES);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    rect = RECT{0, 0, width, height};
    orientation = get_screen_orientation();
    ReleaseDC(nullptr, screen);
}

CoreDllFunctions& CoreDllFunctions::instance() {
    static CoreDllFunctions functions;
    return functions;
}

CoreDllFunctions::CoreDllFunctions() : library_(std::make_unique<DynamicLibrary>(u"coredll.dll")) {
    if (FARPROC found = library_->find(u"ChangeDisplaySettingsEx")) {
        entry_ = reinterpret_cast<ChangeDisplaySettingsExProc>(found);
    }
    remap_orientation_ = device_kind() == device_kind_moto_q;
}

CoreDllFunctions::CoreDllFunctions(ChangeDisplaySettingsExProc entry, bool remap_orientation)
    : entry_(entry ? entry : &substitute), remap_orientation_(remap_orientation) {}

LONG CoreDllFunctions::change_display_settings_ex(LPCWSTR device_name, DEVMODEW* mode, HWND window, DWORD flags,
                                                  LPVOID parameter) const {
    if (!remap_orientation_) {
        return entry_(device_name, mode, window, flags, parameter);
    }
    // This model's display is mounted a quarter turn off what it reports.
    if (!mode || mode->dmSize < full_mode_size) {
        return DISP_CHANGE_BADPARAM;
    }
    const bool orientation_only = mode->dmFields == DM_DISPLAYORIENTATION;
    if (orientation_only && flags == CDS_RESET) {
        mode->dmDisplayOrientation = turned_forward(mode->dmDisplayOrientation);
    }
    LONG result = entry_(device_name, mode, window, flags, parameter);
    if (orientation_only && flags == CDS_TEST) {
        mode->dmDisplayOrientation = turned_back(mode->dmDisplayOrientation);
    }
    return result;
}

LONG CoreDllFunctions::substitute(LPCWSTR, DEVMODEW* mode, HWND, DWORD flags, LPVOID) {
    if (!mode || mode->dmSize < full_mode_size) {
        return DISP_CHANGE_BADPARAM;
    }
    if (flags == CDS_TEST) {
        if (mode->dmFields == DM_DISPLAYQUERYORIENTATION || mode->dmFields == 1) {
            mode->dmDisplayOrientation = DMDO_0;
            return DISP_CHANGE_SUCCESSFUL;
        }
        return DISP_CHANGE_FAILED;
    }
    if (flags == CDS_RESET) {
        return mode->dmFields == 1 && mode->dmDisplayOrientation == DMDO_0 ? DISP_CHANGE_SUCCESSFUL
                                                                           : DISP_CHANGE_FAILED;
    }
    return DISP_CHANGE_BADFLAGS;
}

int get_screen_orientation() {
    return get_screen_orientation(CoreDllFunctions::instance());
}

int get_screen_orientation(const CoreDllFunctions& functions) {
    DEVMODEW mode;
    mode.dmSize = full_mode_size;
    mode.dmFields = DM_DISPLAYORIENTATION;
    if (functions.change_display_settings_ex(nullptr, &mode, nullptr, CDS_TEST, nullptr) != DISP_CHANGE_SUCCESSFUL) {
        return 0;
    }
    switch (mode.dmDisplayOrientation) {
    case DMDO_90: return 1;
    case DMDO_180: return 2;
    case DMDO_270: return 3;
    default: return 0;
    }
}

}  // namespace skinner
