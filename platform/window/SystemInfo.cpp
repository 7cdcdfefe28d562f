#include "platform/window/SystemInfo.h"

#include <algorithm>
#include <cstdio>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/window/InputPanel.h"

namespace {

bool copy_text(const char16_t* text, UINT bytes, LPVOID out) {
    size_t length = std::char_traits<char16_t>::length(text);
    if (!out || bytes < (length + 1) * sizeof(WCHAR)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    std::copy_n(text, length + 1, static_cast<WCHAR*>(out));
    return true;
}

}  // namespace

namespace platform {

int bar_height() {
    const DeviceProfile& p = device_profile();
    if (p.type == DeviceType::Smartphone) {
        // By the shorter side, so that a turned screen keeps its bar.
        return smartphone_bar_height(std::min(p.screen_width, p.screen_height));
    }
    if (p.dpi < 128) {
        return 26;
    }
    return p.dpi < 192 ? 35 : 52;
}

RECT work_area() {
    const DeviceProfile& p = device_profile();
    int b = bar_height();
    return RECT{0, b, p.screen_width, std::max(b, p.screen_height - b)};
}

}  // namespace platform

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *info = OSVERSIONINFOW{};
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    info->dwMajorVersion = static_cast<DWORD>(platform::device_profile().os_major);
    info->dwMinorVersion = 2;
    info->dwBuildNumber = 1;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    return TRUE;
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT) {
    switch (action) {
    case SPI_GETWORKAREA:
        if (!pvParam) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *static_cast<RECT*>(pvParam) = platform::work_area();
        return TRUE;
    case SPI_GETPLATFORMTYPE: {
        bool phone = platform::device_profile().type == platform::DeviceType::Smartphone;
        return copy_text(phone ? u"SmartPhone" : u"PocketPC", uiParam, pvParam) ? TRUE : FALSE;
    }
    case SPI_GETOEMINFO:
        return copy_text(u"Vantrel Linux device", uiParam, pvParam) ? TRUE : FALSE;
    case SPI_GETSIPINFO:
        return SHSipInfo(action, uiParam, pvParam, 0);
    default:
        std::fprintf(stderr, "platform: SystemParametersInfoW action %u is not supported\n", action);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}
