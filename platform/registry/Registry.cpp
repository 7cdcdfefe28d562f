#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/registry/RegistryText.h"
#include "platform/text/Text.h"

namespace platform {

namespace {

using namespace registry_text;


std::string config_home() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config";
    }
    if (const passwd* entry = getpwuid(getuid())) {
        return std::string(entry->pw_dir) + "/.config";
    }
    return "/tmp";
}

// The file's bytes; nullopt when it cannot be read (a missing file reads as empty), errno
// saying why. Only a regular file: a FIFO in its place must not hold the process.
std::optional<std::string> read_file(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::string();
        }
        return std::nullopt;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return std::nullopt;
    }
    std::string bytes;
    char chunk[8192];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            close(fd);
            return n == 0 ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
}

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The file a chain of symbolic links ends at (the path itself when it is none): a store kept
// elsewhere through a link stays a link.
std::string final_target(const std::string& path) {
    std::filesystem::path at = path;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error))) {
            break;
        }
        std::filesystem::path next = std::filesystem::read_symlink(at, error);
        if (error) {
            break;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.lexically_normal().string();
}

// A crash at any point leaves either the old file or the new one, never a mix.
bool replace_file(const std::string& link, const std::string& bytes) {
    const std::string path = final_target(link);
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    // The file keeps the permissions it had.
    struct stat old_file;
    if (stat(path.c_str(), &old_file) == 0) {
        fchmod(fd, old_file.st_mode & 07777);
    }
    bool ok = write_all(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);  // makes the rename itself durable
        close(dir);
    }
    return true;
}

// Serialises the writers of all processes; the kernel drops the lock when its holder dies.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0) {
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

struct OpenKey {
    std::u16string path;
    REGSAM access;
};

class RegistryStore {
public:
    // Opens (creating when missing) root\sub_key.
    LONG create_key(HKEY parent, LPCWSTR sub_key, REGSAM access, PHKEY result, LPDWORD disposition) {
        std::lock_guard guard(lock_);
        std::optional<std::u16string> base = path_of(parent);
        if (!base) {
            return ERROR_INVALID_HANDLE;
        }
        std::u16string sub = sub_key != nullptr ? std::u16string(sub_key) : std::u16string();
        if (!sub.empty() && sub.back() == u'\\') {
            sub.pop_back();
        }
        std::u16string full = sub.empty() ? *base : *base + u'\\' + sub;
        auto parts = split_key_path(full);
        if (!parts) {
            return ERROR_BAD_PATHNAME;
        }
        refresh();
        bool created = false;
        if (doc_.keys.find(fold(full)) == doc_.keys.end()) {
            LONG error = change([&](Keys& keys) {
                if (keys.find(fold(full)) != keys.end()) {
                    return false;  // another process made it meanwhile
                }
                add_key(keys, *parts);
                created = true;
                return true;
            });
            if (error != ERROR_SUCCESS) {
                return error;
            }
        }
        uintptr_t value = next_handle_;
        next_handle_ += 4;
        handles_[value] = OpenKey{doc_.keys.at(fold(full)).path, access};
        *result = reinterpret_cast<HKEY>(value);
        if (disposition != nullptr) {
            *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
        return ERROR_SUCCESS;
    }

    LONG query(HKEY handle, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
        std::lock_guard guard(lock_);
        auto open_key = handles_.find(reinterpret_cast<uintptr_t>(handle));
        if (open_key == handles_.end()) {
            return ERROR_INVALID_HANDLE;
        }
        if ((open_key->second.access & KEY_QUERY_VALUE) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        if (data != nullptr && size == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        refresh();
        const Value* value = find_value(open_key->second.path, name);
        if (value == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (type != nullptr) {
            *type = value->type;
        }
        DWORD needed = static_cast<DWORD>(value->data.size());
        if (data != nullptr && *size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (data != nullptr) {
            copy_bytes(data, value->data.data(), needed);
        }
        if (size != nullptr) {
            *size = needed;
        }
        return ERROR_SUCCESS;
    }

    LONG set(HKEY handle, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
        std::lock_guard guard(lock_);
        std::optional<std::u16string> path = writable_path(handle);
        if (!path) {
            return last_access_error_;
        }
        if ((type == REG_DWORD && size != 4) || (type == REG_SZ && size % 2 != 0) ||
            (size != 0 && data == nullptr)) {
            return ERROR_INVALID_PARAMETER;
        }
        if (type != REG_DWORD && type != REG_SZ) {
            std::fprintf(stderr, "RegSetValueExW: value type %u is not supported\n", type);
            return ERROR_INVALID_PARAMETER;
        }
        Value value;
        value.name = name != nullptr ? name : u"";
        value.type = type;
        value.data.assign(data, data + size);
        return change([&](Keys& keys) {
            auto parts = split_key_path(*path);
            add_key(keys, *parts).values[fold(value.name)] = value;
            return true;
        });
    }

    LONG remove(HKEY handle, LPCWSTR name) {
        std::lock_guard guard(lock_);
        std::optional<std::u16string> path = writable_path(handle);
        if (!path) {
            return last_access_error_;
        }
        bool found = false;
        LONG error = change([&](Keys& keys) {
            auto key = keys.find(fold(*path));
            found = key != keys.end() && key->second.values.erase(fold(name != nullptr ? name : u"")) > 0;
            return found;
        });
        if (error != ERROR_SUCCESS) {
            return error;
        }
        return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }

    LONG close(HKEY handle) {
        std::lock_guard guard(lock_);
        if (root_index(handle) >= 0) {
            return ERROR_SUCCESS;
        }
        return handles_.erase(reinterpret_cast<uintptr_t>(handle)) > 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }

    int problems() {
        std::lock_guard guard(lock_);
        refresh();
        return doc_.problems;
    }

private:
    static int root_index(HKEY key) {
        uintptr_t value = reinterpret_cast<uintptr_t>(key);
        return value >= 0x80000000u && value <= 0x80000003u ? static_cast<int>(value - 0x80000000u) : -1;
    }

    std::optional<std::u16string> path_of(HKEY key) const {
        int root = root_index(key);
        if (root >= 0) {
            return std::u16string(root_names[root]);
        }
        auto open_key = handles_.find(reinterpret_cast<uintptr_t>(key));
        if (open_key == handles_.end()) {
            return std::nullopt;
        }
        return open_key->second.path;
    }

    std::optional<std::u16string> writable_path(HKEY handle) {
        auto open_key = handles_.find(reinterpret_cast<uintptr_t>(handle));
        if (open_key == handles_.end()) {
            last_access_error_ = ERROR_INVALID_HANDLE;
            return std::nullopt;
        }
        if ((open_key->second.access & KEY_SET_VALUE) == 0) {
            last_access_error_ = ERROR_ACCESS_DENIED;
            return std::nullopt;
        }
        return open_key->second.path;
    }

    const Value* find_value(const std::u16string& path, LPCWSTR name) const {
        auto key = doc_.keys.find(fold(path));
        if (key == doc_.keys.end()) {
            return nullptr;
        }
        auto value = key->second.values.find(fold(name != nullptr ? name : u""));
        return value == key->second.values.end() ? nullptr : &value->second;
    }

    // Rereads the file when its bytes changed since the last load (another process
    // wrote it, or a test moved the device root). False when it cannot be read: what is in
    // memory may then be old, and nothing may be written from it.
    bool refresh() {
        std::string path = registry_file_path();
        std::optional<std::string> bytes = read_file(path);
        if (!bytes) {
            const int error = errno;
            if (!read_failure_told_) {
                std::fprintf(stderr, "registry: cannot read %s: %s; no change is written until it can be read\n",
                             path.c_str(), std::strerror(error));
                read_failure_told_ = true;
            }
            if (path != path_) {
                doc_ = Document();  // another store's keys are none of this one's
                path_.clear();
                bytes_.clear();
            }
            read_error_ = error == EACCES || error == EPERM ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT;
            return false;
        }
        read_failure_told_ = false;
        if (path == path_ && *bytes == bytes_) {
            return true;
        }
        doc_ = parse(*bytes, path, true);
        path_ = path;
        bytes_ = std::move(*bytes);
        return true;
    }

    // Applies a change to the newest content under the cross-process lock and writes it
    // out; memory follows only when the file was written. A file that cannot be read is
    // never written over: its content would be lost.
    template <class Change>
    LONG change(Change apply) {
        std::string path = registry_file_path();
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        FileLock file_lock(path + ".lock");
        if (!file_lock.held()) {
            std::fprintf(stderr, "registry: cannot lock %s: %s\n", path.c_str(), std::strerror(errno));
            return ERROR_ACCESS_DENIED;
        }
        if (!refresh()) {
            return read_error_;
        }
        Document doc = doc_;
        if (!apply(doc.keys)) {
            return ERROR_SUCCESS;
        }
        std::string bytes = serialise(doc);
        if (!replace_file(path, bytes)) {
            std::fprintf(stderr, "registry: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return ERROR_WRITE_FAULT;
        }
        // As another process would read it back: the lines the new values took.
        doc_ = parse(bytes, path, false);  // its bad lines were reported when it was read
        path_ = path;
        bytes_ = std::move(bytes);
        return ERROR_SUCCESS;
    }

    std::mutex lock_;
    std::string path_;
    std::string bytes_;
    Document doc_;
    bool read_failure_told_ = false;
    LONG read_error_ = ERROR_SUCCESS;
    std::map<uintptr_t, OpenKey> handles_;
    uintptr_t next_handle_ = 0x10000;
    LONG last_access_error_ = ERROR_SUCCESS;
};

RegistryStore& store() {
    static RegistryStore* instance = new RegistryStore;  // lives until exit: threads may use it late
    return *instance;
}

}  // namespace

std::string registry_file_path() {
    const std::string& root = device_profile().root;
    if (!root.empty()) {
        return root + "/Windows/registry";
    }
    return config_home() + "/vantrel/registry";
}

int registry_load_problems() {
    return store().problems();
}

}  // namespace platform

LONG RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD reserved, LPWSTR class_name, DWORD options, REGSAM access,
                     LPVOID security, PHKEY result, LPDWORD disposition) {
    if (reserved != 0 || (class_name != nullptr && class_name[0] != 0) || options != REG_OPTION_NON_VOLATILE ||
        security != nullptr || result == nullptr) {
        std::fprintf(stderr, "RegCreateKeyExW: classes, options and security attributes are not supported\n");
        return ERROR_INVALID_PARAMETER;
    }
    return platform::store().create_key(key, sub_key, access, result, disposition);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (reserved != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return platform::store().query(key, name, type, data, size);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (reserved != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    return platform::store().set(key, name, type, data, size);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    return platform::store().remove(key, name);
}

LONG RegCloseKey(HKEY key) {
    return platform::store().close(key);
}
