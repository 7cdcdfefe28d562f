#include "platform/kernel/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/kernel/DevicePath.h"
#include "platform/kernel/Unicode.h"

namespace {

constexpr DWORD supported_flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_SEQUENTIAL_SCAN;
constexpr int64_t seconds_1601_to_1970 = 11644473600LL;

DWORD error_of_errno(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_GEN_FAILURE;
    }
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool is_directory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string parent_of(const std::string& host) {
    size_t slash = host.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : host.substr(0, slash);
}

// ENOENT means a missing file when its folder exists, else a missing path.
DWORD missing_error(const std::string& host) {
    return is_directory(parent_of(host)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool map_path(LPCWSTR name, std::string& host) {
    if (!name) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    return platform::host_path_of(name, host);
}

FILETIME filetime_of(const struct timespec& t) {
    uint64_t value = static_cast<uint64_t>(t.tv_sec + seconds_1601_to_1970) * 10000000ULL +
                     static_cast<uint64_t>(t.tv_nsec) / 100;
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(value);
    out.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return out;
}

// Bytes the files may still take (set_write_room); negative: no limit.
std::atomic<int64_t> write_room{-1};

// Takes up to `wanted` bytes of the room; what may be written.
DWORD take_write_room(DWORD wanted) {
    int64_t room = write_room.load();
    for (;;) {
        if (room < 0) {
            return wanted;
        }
        const int64_t taken = std::min<int64_t>(room, wanted);
        if (write_room.compare_exchange_weak(room, room - taken)) {
            return static_cast<DWORD>(taken);
        }
    }
}

// Makes a change of the folder's entries durable.
void sync_folder_of(const std::string& host) {
    int dir = open(parent_of(host).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}

class FileObject;

// Every open file of the process by its inode, for the share-mode check.
struct OpenFiles {
    std::mutex lock;
    std::vector<FileObject*> files;
};

OpenFiles& open_files() {
    static OpenFiles* instance = new OpenFiles;  // file handles may close during exit
    return *instance;
}

class FileObject : public platform::KernelObject {
public:
    FileObject(int fd, DWORD access, DWORD share, dev_t device, ino_t inode)
        : fd(fd), access(access), share(share), device(device), inode(inode), limited(write_room.load() >= 0) {}
    ~FileObject() override {
        {
            OpenFiles& open = open_files();
            std::lock_guard guard(open.lock);
            std::erase(open.files, this);
        }
        close(fd);
    }

    const int fd;
    const DWORD access;
    const DWORD share;
    const dev_t device;
    const ino_t inode;
    const bool limited;  // opened while a write room was set
};

bool shares_with(DWORD access, DWORD share, const FileObject& other) {
    auto needs = [](DWORD wanted, DWORD granted) {
        return (!(wanted & GENERIC_READ) || (granted & FILE_SHARE_READ)) &&
               (!(wanted & GENERIC_WRITE) || (granted & FILE_SHARE_WRITE));
    };
    return needs(access, other.share) && needs(other.access, share);
}

bool is_open_in_process(dev_t device, ino_t inode) {
    OpenFiles& open = open_files();
    std::lock_guard guard(open.lock);
    for (const FileObject* f : open.files) {
        if (f->device == device && f->inode == inode) {
            return true;
        }
    }
    return false;
}

std::shared_ptr<FileObject> find_file(HANDLE handle) {
    std::shared_ptr<FileObject> file = platform::find_handle_as<FileObject>(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
}

// Opens without creating first, so that we know whether the file was there.
int open_host_file(const std::string& host, int access_flags, DWORD creation, bool& existed) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = open(host.c_str(), access_flags | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT || creation == OPEN_EXISTING) {
            existed = fd >= 0;
            return fd;
        }
        fd = open(host.c_str(), access_flags | O_CLOEXEC | O_CREAT | O_EXCL, 0666);
        if (fd >= 0 || errno != EEXIST) {
            existed = false;
            return fd;
        }
    }
    return -1;
}

class SearchObject : public platform::KernelObject {
public:
    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
};

struct timespec timespec_of(const struct statx_timestamp& t) {
    return {static_cast<time_t>(t.tv_sec), static_cast<long>(t.tv_nsec)};
}

// One statx relative to the open folder: no path walk per entry, which a folder of thousands
// of files would feel.
bool entry_data(int folder, const char* name, const std::u16string& wide, WIN32_FIND_DATAW& data) {
    if (wide.size() >= MAX_PATH) {
        return false;
    }
    const unsigned int wanted = STATX_BASIC_STATS | STATX_BTIME;
    struct statx info;
    if (statx(folder, name, 0, wanted, &info) != 0 && statx(folder, name, AT_SYMLINK_NOFOLLOW, wanted, &info) != 0) {
        return false;
    }
    data = WIN32_FIND_DATAW{};
    if (S_ISDIR(info.stx_mode)) {
        data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        uint64_t size = info.stx_size;
        data.nFileSizeLow = static_cast<DWORD>(size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    if (!(info.stx_mode & S_IWUSR)) {
        data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    }
    // The host keeps no creation time everywhere; the last change stands in for it.
    data.ftCreationTime = filetime_of(timespec_of((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime));
    data.ftLastAccessTime = filetime_of(timespec_of(info.stx_atime));
    data.ftLastWriteTime = filetime_of(timespec_of(info.stx_mtime));
    std::copy(wide.begin(), wide.end(), data.cFileName);
    data.cFileName[wide.size()] = 0;
    return true;
}

bool mask_matches_at(std::u16string_view mask, std::u16string_view name) {
    // Iterative glob: remember the last '*' and retry from one character further on.
    size_t m = 0;
    size_t n = 0;
    size_t star = std::u16string_view::npos;
    size_t resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = n;
        } else if (m < mask.size() && (mask[m] == u'?' || platform::fold_case(mask[m]) == platform::fold_case(name[n]))) {
            ++m;
            ++n;
        } else if (star != std::u16string_view::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') {
        ++m;
    }
    return m == mask.size();
}

}  // namespace

namespace platform {

void set_write_room(int64_t bytes) {
    write_room = bytes < 0 ? -1 : bytes;
}

bool mask_matches(std::u16string_view mask, std::u16string_view name) {
    if (mask_matches_at(mask, name)) {
        return true;
    }
    // A trailing ".*" also matches names without an extension, so "*.*" matches all.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == u".*" && name.find(u'.') == std::u16string_view::npos) {
        return mask_matches_at(mask.substr(0, mask.size() - 2), name);
    }
    return false;
}

}  // namespace platform

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share_mode, SECURITY_ATTRIBUTES* security,
                   DWORD creation, DWORD flags, HANDLE template_file) {
    if (security || template_file || (flags & ~supported_flags) ||
        (share_mode & ~(FILE_SHARE_READ | FILE_SHARE_WRITE)) || (access & ~(GENERIC_READ | GENERIC_WRITE)) ||
        !access || (creation != CREATE_ALWAYS && creation != OPEN_EXISTING && creation != OPEN_ALWAYS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string host;
    if (!map_path(name, host)) {
        return INVALID_HANDLE_VALUE;
    }
    int access_flags = (access & GENERIC_READ) && (access & GENERIC_WRITE) ? O_RDWR
                       : (access & GENERIC_WRITE)                        ? O_WRONLY
                                                                         : O_RDONLY;
    // Only regular files: a folder, and a FIFO, socket or device named like a file, are refused
    // before they are opened (a FIFO's open would wait for its other end for good).
    struct stat info;
    if (stat(host.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = false;
    // Non-blocking, in case something else took the name in between; the type is checked again.
    int fd = open_host_file(host, access_flags | O_NONBLOCK, creation, existed);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? missing_error(host) : errno == ENXIO ? ERROR_ACCESS_DENIED : error_of_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_shared<FileObject>(fd, access, share_mode, info.st_dev, info.st_ino);
    {
        OpenFiles& open = open_files();
        std::lock_guard guard(open.lock);
        for (const FileObject* other : open.files) {
            if (other->device == info.st_dev && other->inode == info.st_ino && !shares_with(access, share_mode, *other)) {
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;  // never registered: the destructor just closes
            }
        }
        open.files.push_back(file.get());
    }
    // Truncation waits for the share check, so a refused open never destroys content.
    if (creation == CREATE_ALWAYS && existed && ftruncate(fd, 0) != 0) {
        SetLastError(error_of_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::insert_handle(std::move(file));
    SetLastError(existed && creation != OPEN_EXISTING ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD to_read, LPDWORD read_count, OVERLAPPED* overlapped) {
    if (read_count) {
        *read_count = 0;
    }
    std::shared_ptr<FileObject> file = find_file(handle);
    if (!file) {
        return FALSE;
    }
    if (overlapped || (!buffer && to_read)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (!(file->access & GENERIC_READ)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    DWORD done = 0;
    while (done < to_read) {
        ssize_t n = read(file->fd, static_cast<char*>(buffer) + done, to_read - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            if (read_count) {
                *read_count = done;
            }
            return fail(ERROR_READ_FAULT);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<DWORD>(n);
    }
    if (read_count) {
        *read_count = done;
    }
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID data, DWORD to_write, LPDWORD written, OVERLAPPED* overlapped) {
    if (written) {
        *written = 0;
    }
    std::shared_ptr<FileObject> file = find_file(handle);
    if (!file) {
        return FALSE;
    }
    if (overlapped || (!data && to_write)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (!(file->access & GENERIC_WRITE)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    const DWORD allowed = file->limited ? take_write_room(to_write) : to_write;
    DWORD done = 0;
    while (done < allowed) {
        ssize_t n = write(file->fd, static_cast<const char*>(data) + done, allowed - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (written) {
                *written = done;
            }
            return fail(n < 0 && (errno == ENOSPC || errno == EDQUOT) ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        done += static_cast<DWORD>(n);
    }
    if (written) {
        *written = done;
    }
    return allowed == to_write ? TRUE : fail(ERROR_DISK_FULL);
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distance_high, DWORD method) {
    std::shared_ptr<FileObject> file = find_file(handle);
    if (!file) {
        return INVALID_SET_FILE_POINTER;
    }
    int64_t offset = distance_high ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
                                                          static_cast<uint32_t>(distance))
                                   : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = lseek(file->fd, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat info;
        base = fstat(file->fd, &info) == 0 ? info.st_size : -1;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + offset;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the position must fit the 32-bit result.
    if (!distance_high && target >= int64_t(0xFFFFFFFF)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->fd, target, SEEK_SET) < 0) {
        SetLastError(error_of_errno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distance_high) {
        *distance_high = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE handle, LPDWORD size_high) {
    std::shared_ptr<FileObject> file = find_file(handle);
    if (!file) {
        return INVALID_FILE_SIZE;
    }
    struct stat info;
    if (fstat(file->fd, &info) != 0) {
        SetLastError(error_of_errno(errno));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size_high) {
        *size_high = static_cast<DWORD>(size >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE handle) {
    std::shared_ptr<FileObject> file = find_file(handle);
    if (!file) {
        return FALSE;
    }
    if (!(file->access & GENERIC_WRITE)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    if (fsync(file->fd) != 0) {
        return fail(ERROR_WRITE_FAULT);
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR name) {
    std::string host;
    if (!map_path(name, host)) {
        return FALSE;
    }
    struct stat info;
    if (lstat(host.c_str(), &info) != 0) {
        return fail(errno == ENOENT ? missing_error(host) : error_of_errno(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    if (is_open_in_process(info.st_dev, info.st_ino)) {
        return fail(ERROR_SHARING_VIOLATION);
    }
    if (unlink(host.c_str()) != 0) {
        return fail(error_of_errno(errno));
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR new_name, DWORD flags) {
    if (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::fprintf(stderr, "MoveFileExW: flags 0x%X are not supported\n", flags);
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::string from;
    std::string to;
    if (!map_path(existing, from) || !map_path(new_name, to)) {
        return FALSE;
    }
    struct stat info;
    if (lstat(from.c_str(), &info) != 0) {
        return fail(errno == ENOENT ? missing_error(from) : error_of_errno(errno));
    }
    if (!S_ISREG(info.st_mode) || is_directory(to)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    const unsigned int mode = flags & MOVEFILE_REPLACE_EXISTING ? 0 : RENAME_NOREPLACE;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), mode) != 0) {
        return fail(errno == ENOENT ? missing_error(to) : error_of_errno(errno));
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        sync_folder_of(to);
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR name, SECURITY_ATTRIBUTES* security) {
    if (security) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::string host;
    if (!map_path(name, host)) {
        return FALSE;
    }
    if (mkdir(host.c_str(), 0777) != 0) {
        return fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : error_of_errno(errno));
    }
    return TRUE;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR folder, ULARGE_INTEGER* free_to_caller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* total_free) {
    std::string host;
    if (!map_path(folder ? folder : u"\\", host)) {
        return FALSE;
    }
    struct statvfs info;
    if (statvfs(host.c_str(), &info) != 0) {
        return fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : error_of_errno(errno));
    }
    if (free_to_caller) {
        free_to_caller->QuadPart = static_cast<ULONGLONG>(info.f_bavail) * info.f_frsize;
    }
    if (total) {
        total->QuadPart = static_cast<ULONGLONG>(info.f_blocks) * info.f_frsize;
    }
    if (total_free) {
        total_free->QuadPart = static_cast<ULONGLONG>(info.f_bfree) * info.f_frsize;
    }
    return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string_view text(pattern);
    size_t separator = text.find_last_of(u"\\/");
    std::u16string_view folder = separator == std::u16string_view::npos ? std::u16string_view(u"\\") : text.substr(0, separator + 1);
    std::u16string_view mask = separator == std::u16string_view::npos ? text : text.substr(separator + 1);
    if (mask.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (mask == u"." || mask == u"..") {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    std::string host;
    if (!platform::host_path_of(folder, host)) {
        return INVALID_HANDLE_VALUE;
    }
    DIR* dir = opendir(host.c_str());
    if (!dir) {
        SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string root;
    platform::host_path_of(u"\\", root);
    bool at_root = host == root;
    auto search = std::make_shared<SearchObject>();
    while (dirent* entry = readdir(dir)) {
        bool dots = std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0;
        if (dots && at_root) {
            continue;
        }
        const std::u16string name = platform::utf16_from_utf8(entry->d_name);
        if (!platform::mask_matches(mask, name)) {
            continue;
        }
        WIN32_FIND_DATAW found;
        if (entry_data(dirfd(dir), entry->d_name, name, found)) {
            search->entries.push_back(found);
        }
    }
    closedir(dir);
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *data = search->entries[0];
    search->next = 1;
    SetLastError(ERROR_SUCCESS);
    return platform::insert_handle(std::move(search));
}

BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data) {
    std::shared_ptr<SearchObject> search = platform::find_handle_as<SearchObject>(handle);
    if (!search) {
        return fail(ERROR_INVALID_HANDLE);
    }
    if (!data) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (search->next >= search->entries.size()) {
        return fail(ERROR_NO_MORE_FILES);
    }
    *data = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (!platform::find_handle_as<SearchObject>(handle)) {
        return fail(ERROR_INVALID_HANDLE);
    }
    return CloseHandle(handle);
}
