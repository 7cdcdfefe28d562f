#pragma once
// Shell: special folders by CSIDL (SHGetSpecialFolderPath) and ShellExecuteEx, which opens
// a file or a web address with the desktop's opener (xdg-open).
#include "platform/Types.h"

constexpr int CSIDL_PROGRAMS = 2;
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_STARTUP = 7;
constexpr int CSIDL_STARTMENU = 11;
constexpr int CSIDL_WINDOWS = 36;
constexpr int CSIDL_PROGRAM_FILES = 38;

// The folder's device path into a buffer of at least MAX_PATH characters. In the sandbox
// the device's own folders (\My Documents, \Windows, \Windows\StartUp,
// \Windows\Start Menu\Programs, \Windows\Start Menu, \Program Files); on the host the
// user's documents folder and folders under $XDG_DATA_HOME/vantrel. Nothing is created.
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int csidl, BOOL create);

constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x40;
constexpr int SW_SHOWNORMAL = 1;

struct SHELLEXECUTEINFO {
    DWORD cbSize = sizeof(SHELLEXECUTEINFO);
    ULONG fMask = 0;
    HWND hwnd = nullptr;
    LPCWSTR lpVerb = nullptr;
    LPCWSTR lpFile = nullptr;
    LPCWSTR lpParameters = nullptr;
    LPCWSTR lpDirectory = nullptr;
    int nShow = 0;
    HINSTANCE hInstApp = nullptr;
    HANDLE hProcess = nullptr;
};

// Verb "open" (or none). The file is a device path that must exist, opened without
// parameters; the file "iexplore.exe" (the browser) opens the address in lpParameters.
// The opener runs as a child that is always reaped; with SEE_MASK_NOCLOSEPROCESS,
// hProcess is a handle to it that WaitForSingleObject waits on and CloseHandle closes.
// Without xdg-open on PATH it fails with ERROR_NO_ASSOCIATION.
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);
