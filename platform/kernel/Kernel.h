#pragma once
// The kernel, as the program calls it:
// - core (Core.h): GetLastError, SetLastError, error codes, the handle table, CloseHandle,
//   WaitForSingleObject
// - files (Files.h): CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSize,
//   FlushFileBuffers, DeleteFileW, CreateDirectoryW, GetDiskFreeSpaceExW,
//   FindFirstFileW, FindNextFileW, FindClose
// - the program file (Module.h): GetModuleFileNameW
// - time (Time.h): GetTickCount, GetLocalTime, SystemTimeToFileTime, FileTimeToLocalFileTime
// - the user's language (Locale.h): GetUserDefaultLangID
// - power (Power.h): SystemIdleTimerReset
// Inside the platform: device paths onto host paths (DevicePath.h), UTF-16/UTF-8 and case
// folding of names (Unicode.h).
#include "platform/kernel/Core.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Locale.h"
#include "platform/kernel/Module.h"
#include "platform/kernel/Power.h"
#include "platform/kernel/Time.h"
