#include "base/File.h"

#include "base/Path.h"
#include "platform/kernel/Files.h"

namespace skinner {

namespace {

constexpr DWORD open_flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS;

}  // namespace

File::File(const std::u16string& path, int open_mode) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD creation = OPEN_ALWAYS;
    if (open_mode == read_existing) {
        access = GENERIC_READ;
        creation = OPEN_EXISTING;
    } else if (open_mode == create_always) {
        access = GENERIC_WRITE;
        creation = CREATE_ALWAYS;
    } else if (open_mode == append) {
        access = GENERIC_WRITE;
    }
    std::u16string expanded = expand_path(path);
    handle_ = CreateFileW(expanded.c_str(), access, FILE_SHARE_READ, nullptr, creation, open_flags, nullptr);
    if (open_mode == append && handle_ != INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_SUCCESS);
        SetFilePointer(handle_, 0, nullptr, FILE_END);
        if (GetLastError() != ERROR_SUCCESS) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }
}

File::~File() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

uint32_t File::read(void* buffer, uint32_t n) {
    if (n == 0 || !is_open()) {
        return 0;
    }
    DWORD done = 0;
    return ReadFile(handle_, buffer, n, &done, nullptr) ? done : 0;
}

uint32_t File::write(const void* data, uint32_t n) {
    if (n == 0 || !is_open()) {
        return 0;
    }
    DWORD done = 0;
    return WriteFile(handle_, data, n, &done, nullptr) ? done : 0;
}

uint32_t File::skip(int32_t n) {
    if (n == 0 || !is_open()) {
        return 0;
    }
    DWORD before = SetFilePointer(handle_, 0, nullptr, FILE_CURRENT);
    if (before == INVALID_SET_FILE_POINTER) {
        return 0;
    }
    DWORD after = SetFilePointer(handle_, n, nullptr, FILE_CURRENT);
    if (after == INVALID_SET_FILE_POINTER) {
        return 0;
    }
    return after - before;
}

bool File::is_open() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

uint32_t File::size() const {
    if (!is_open()) {
        return 0;
    }
    DWORD size = GetFileSize(handle_, nullptr);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

bool File::seek(uint32_t position) {
    if (!is_open()) {
        return false;
    }
    return SetFilePointer(handle_, static_cast<LONG>(position), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

uint32_t File::position() const {
    if (!is_open()) {
        return 0;
    }
    DWORD position = SetFilePointer(handle_, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER ? 0 : position;
}

bool File::flush() {
    return is_open() && FlushFileBuffers(handle_);
}

}  // namespace skinner
