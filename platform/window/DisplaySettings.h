#pragma once
// The display-settings record and codes that the program hands to "ChangeDisplaySettingsEx"
// when "coredll.dll" has that entry point (this platform has none; the program then uses its
// own substitute).
#include "platform/Types.h"

// 192 bytes, as the device's entry point expects; the program only reads and writes the
// size, the fields mask and the two orientation fields.
struct DEVMODEW {
    WCHAR dmDeviceName[32] = {};
    WORD dmSpecVersion = 0;
    WORD dmDriverVersion = 0;
    WORD dmSize = 0;
    WORD dmDriverExtra = 0;
    DWORD dmFields = 0;
    BYTE dmOtherSettings[108] = {};
    DWORD dmDisplayOrientation = 0;
    DWORD dmDisplayQueryOrientation = 0;
};
static_assert(sizeof(DEVMODEW) == 192);

constexpr DWORD DM_DISPLAYORIENTATION = 0x00800000;
constexpr DWORD DM_DISPLAYQUERYORIENTATION = 0x01000000;

constexpr DWORD CDS_TEST = 0x00000002;
constexpr DWORD CDS_RESET = 0x40000000;

constexpr DWORD DMDO_0 = 0;
constexpr DWORD DMDO_90 = 1;
constexpr DWORD DMDO_180 = 2;
constexpr DWORD DMDO_270 = 4;

constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr LONG DISP_CHANGE_BADFLAGS = -4;
constexpr LONG DISP_CHANGE_BADPARAM = -5;

using ChangeDisplaySettingsExProc = LONG (*)(LPCWSTR device_name, DEVMODEW* mode, HWND window, DWORD flags,
                                             LPVOID parameter);
