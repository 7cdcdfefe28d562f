#pragma once
// What the system tells about itself, from the device profile: GetVersionExW and
// SystemParametersInfoW (work area, platform type, OEM text, input-panel state).
#include "platform/Types.h"

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    WCHAR szCSDVersion[128] = {};
};

constexpr DWORD VER_PLATFORM_WIN32_CE = 3;

constexpr UINT SPI_SETWORKAREA = 47;
constexpr UINT SPI_GETWORKAREA = 48;
constexpr UINT SPI_SETSIPINFO = 224;
constexpr UINT SPI_GETSIPINFO = 225;
constexpr UINT SPI_GETPLATFORMTYPE = 257;
constexpr UINT SPI_GETOEMINFO = 258;

// WM_SETTINGCHANGE's wParam after the screen's resolution or orientation changed.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;

BOOL GetVersionExW(OSVERSIONINFOW* info);
// Text queries take uiParam as the buffer's size in bytes.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);

namespace platform {

// Height of the top bar (and of the menu bar below the work area) for the device.
int bar_height();
// The screen less the top bar and the menu bar, in screen coordinates.
RECT work_area();

}  // namespace platform
