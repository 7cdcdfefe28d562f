#pragma once
// Files and folders: CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSize,
// FlushFileBuffers, DeleteFileW, MoveFileExW, CreateDirectoryW, GetDiskFreeSpaceExW and the directory
// search FindFirstFileW / FindNextFileW / FindClose. Paths are device paths
// (platform/kernel/DevicePath.h). File handles close with CloseHandle.
#include <cstdint>
#include <string_view>

#include "platform/Types.h"
#include "platform/kernel/Core.h"

constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;

constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;

constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

// Never filled in here: callers pass null, anything else is refused.
struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    WCHAR cFileName[MAX_PATH] = {};
};

// Only regular files open: a folder, FIFO, socket or device fails with ERROR_ACCESS_DENIED
// (and is never opened on the host, so that nothing waits for a FIFO's other end).
// Access is GENERIC_READ and/or GENERIC_WRITE; creation CREATE_ALWAYS, OPEN_EXISTING or
// OPEN_ALWAYS (both set ERROR_ALREADY_EXISTS when the file was there). Sharing is checked
// between the handles of this process: a handle that does not share an access blocks
// other opens that want it (ERROR_SHARING_VIOLATION).
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share_mode, SECURITY_ATTRIBUTES* security,
                   DWORD creation, DWORD flags, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, OVERLAPPED* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD to_write, LPDWORD written, OVERLAPPED* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distance_high, DWORD method);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
BOOL FlushFileBuffers(HANDLE file);

BOOL DeleteFileW(LPCWSTR name);
// Renames a file in one step: whoever looks finds the old file or the new one under the new
// name, never neither. Without MOVEFILE_REPLACE_EXISTING an existing target fails with
// ERROR_ALREADY_EXISTS; MOVEFILE_WRITE_THROUGH returns once the rename is on the disk.
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR new_name, DWORD flags);
BOOL CreateDirectoryW(LPCWSTR name, SECURITY_ATTRIBUTES* security);
BOOL GetDiskFreeSpaceExW(LPCWSTR folder, ULARGE_INTEGER* free_to_caller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* total_free);

// The mask is the last component of the pattern: '*' and '?' match regardless of case,
// and "*.*" matches every name. Entries come in the host file system's order.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE search);

namespace platform {

// The mask rule of FindFirstFileW, for tests and for other searches of the platform.
bool mask_matches(std::u16string_view mask, std::u16string_view name);

// For fault tests: the files opened from now on take only this many more bytes in all, as a
// disk that fills up would (a write past it puts in what fits and fails with ERROR_DISK_FULL);
// files opened before (a log) write on. A negative count lifts the limit.
void set_write_room(int64_t bytes);

}  // namespace platform
