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
#include "platform/text/Text.h"

namespace platform {

namespace {

constexpr const char16_t* root_names[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER", u"HKEY_LOCAL_MACHINE",
                                          u"HKEY_USERS"};

std::u16string fold(std::u16string_view text) {
    std::u16string folded(text);
    CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

struct Value {
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::u16string path;                   // as first written, e.g. HKEY_CURRENT_USER\Software
    std::map<std::u16string, Value> values;  // by folded name
};

using Keys = std::map<std::u16string, Key>;  // by folded path

// memcpy, but an empty copy may have null pointers (an empty vector's data).
void copy_bytes(void* to, const void* from, size_t count) {
    if (count != 0) {
        std::memcpy(to, from, count);
    }
}

// ---- The file format: ASCII lines; every character outside printable ASCII, and the
// characters that delimit the fields, are written as %uXXXX.

void escape_into(std::string& out, std::u16string_view text, bool in_key) {
    static const char hex[] = "0123456789ABCDEF";
    for (char16_t c : text) {
        bool plain = c >= 0x20 && c < 0x7F && c != u'%' && c != u'"' && !(in_key && (c == u'[' || c == u']'));
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "%u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out.push_back(hex[(c >> shift) & 0xF]);
            }
        }
    }
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<uint32_t> parse_hex(std::string_view text, size_t digits) {
    if (text.size() != digits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        int d = hex_digit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(d);
    }
    return value;
}

std::optional<std::u16string> unescape(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 6 > text.size() || text[i + 1] != 'u') {
                return std::nullopt;
            }
            auto unit = parse_hex(text.substr(i + 2, 4), 4);
            if (!unit) {
                return std::nullopt;
            }
            out.push_back(static_cast<char16_t>(*unit));
            i += 5;
        } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F || c == '"') {
            return std::nullopt;
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

// Splits a key path at '\'; empty components are refused.
std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = path.size();
        }
        if (end == start) {
            return std::nullopt;
        }
        parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool is_root_name(std::u16string_view name) {
    for (const char16_t* root : root_names) {
        if (fold(name) == fold(root)) {
            return true;
        }
    }
    return false;
}

// Adds the key and every key above it.
Key& add_key(Keys& keys, const std::vector<std::u16string>& parts) {
    std::u16string path;
    Key* key = nullptr;
    for (const std::u16string& part : parts) {
        if (!path.empty()) {
            path += u'\\';
        }
        path += part;
        Key& entry = keys[fold(path)];
        if (entry.path.empty()) {
            entry.path = path;
        }
        key = &entry;
    }
    return *key;
}

// One line of the store file as it was read. Lines it cannot read (and comments and blanks)
// are kept as they were and written back in their places: they may be another program's.
struct Line {
    enum Kind { verbatim, key_line, value_line };
    Kind kind = verbatim;
    std::string text;       // as read, without its '\n'
    std::u16string key;     // folded path: of the key line, or of the key that holds the value
    std::u16string value;   // folded name of a value line's value
    std::string canonical;  // a value line: the value as it was read, written out again
};

// The store: its keys, and the file's lines in their order.
struct Document {
    Keys keys;
    std::vector<Line> lines;
    int problems = 0;
};

void append_key_line(std::string& out, const Key& key) {
    out += '[';
    escape_into(out, key.path, true);
    out += "]\n";
}

std::string value_text(const Value& value) {
    std::string out = "\"";
    escape_into(out, value.name, false);
    out += "\"=";
    if (value.type == REG_DWORD) {
        uint32_t v = 0;
        std::memcpy(&v, value.data.data(), 4);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08X", v);
        out += text;
    } else {
        std::u16string units(value.data.size() / 2, u'\0');
        copy_bytes(units.data(), value.data.data(), units.size() * 2);
        out += "sz:\"";
        escape_into(out, units, false);
        out += '"';
    }
    return out;
}

// The lines as they were, each value line as its value is now (unchanged lines keep their
// bytes, removed values drop out), the values new to a key at the end of its first section,
// and new keys at the end.
std::string serialise(const Document& doc) {
    std::string out;
    if (doc.lines.empty()) {
        out = "; Vantrel registry: [key], then \"name\"=dword:XXXXXXXX or \"name\"=sz:\"UTF-16 units\"\n";
    }
    std::map<std::u16string, std::vector<std::u16string>> written;  // values with a line, by key
    std::map<std::u16string, bool> keyed;                            // keys with a line
    for (const Line& line : doc.lines) {
        if (line.kind == Line::value_line) {
            written[line.key].push_back(line.value);
        } else if (line.kind == Line::key_line) {
            keyed[line.key] = true;
        }
    }
    auto is_written = [&](const std::u16string& key, const std::u16string& value) {
        auto names = written.find(key);
        return names != written.end() && std::find(names->second.begin(), names->second.end(), value) != names->second.end();
    };
    auto add_new_values = [&](const std::u16string& folded) {
        auto key = doc.keys.find(folded);
        if (key == doc.keys.end()) return;
        for (const auto& [name, value] : key->second.values) {
            if (!is_written(folded, name)) {
                out += value_text(value);
                out += '\n';
                written[folded].push_back(name);
            }
        }
    };
    // A section runs to the next line that opens a key, readable or not.
    std::optional<std::u16string> section;
    for (const Line& line : doc.lines) {
        const bool opens = line.kind == Line::key_line || (line.kind == Line::verbatim && line.text.starts_with('['));
        if (opens && section) {
            add_new_values(*section);
            section.reset();
        }
        switch (line.kind) {
        case Line::key_line:
            section = line.key;
            out += line.text;
            out += '\n';
            break;
        case Line::value_line: {
            auto key = doc.keys.find(line.key);
            if (key == doc.keys.end()) break;
            auto value = key->second.values.find(line.value);
            if (value == key->second.values.end()) break;  // deleted
            const std::string now = value_text(value->second);
            out += now == line.canonical ? line.text : now;
            out += '\n';
            break;
        }
        case Line::verbatim:
            out += line.text;
            out += '\n';
            break;
        }
    }
    if (section) {
        add_new_values(*section);
    }
    for (const auto& [folded, key] : doc.keys) {
        if (!keyed.count(folded)) {
            append_key_line(out, key);
            add_new_values(folded);
        }
    }
    return out;
}

// Bad lines are reported (when told to) and kept as they are; values under a bad key line are
// kept with it.
Document parse(const std::string& text, const std::string& file, bool report) {
    Document result;
    const Key* current = nullptr;
    std::map<std::pair<std::u16string, std::u16string>, size_t> value_lines;  // the line of each value
    std::vector<size_t> superseded;
    size_t line_start = 0;
    int line_number = 0;
    while (line_start < text.size()) {
        size_t line_end = text.find('\n', line_start);
        if (line_end == std::string::npos) {
            line_end = text.size();
        }
        Line entry;
        entry.text.assign(text, line_start, line_end - line_start);
        std::string_view line(entry.text);
        line_start = line_end + 1;
        ++line_number;
        auto problem = [&](const char* what) {
            ++result.problems;
            if (report) {
                std::fprintf(stderr, "registry: %s line %d kept as it is: %s\n", file.c_str(), line_number, what);
            }
        };
        auto keep = [&] { result.lines.push_back(std::move(entry)); };
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == ';') {
            keep();
            continue;
        }
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') {
                problem("key line without ']'");
                keep();
                continue;
            }
            auto path = unescape(line.substr(1, line.size() - 2));
            auto parts = path ? split_key_path(*path) : std::nullopt;
            if (!parts || !is_root_name(parts->front())) {
                problem("bad key path");
                keep();
                continue;
            }
            current = &add_key(result.keys, *parts);
            entry.kind = Line::key_line;
            entry.key = fold(current->path);
            keep();
            continue;
        }
        if (current == nullptr) {
            problem("value outside a valid key");
            keep();
            continue;
        }
        size_t name_end = line.size() > 1 && line.front() == '"' ? line.find('"', 1) : std::string_view::npos;
        if (name_end == std::string_view::npos || line.substr(name_end + 1, 1) != "=") {
            problem("bad value name");
            keep();
            continue;
        }
        auto name = unescape(line.substr(1, name_end - 1));
        std::string_view data = line.substr(name_end + 2);
        Value value;
        const char* bad = nullptr;
        if (data.starts_with("dword:")) {
            auto v = parse_hex(data.substr(6), 8);
            if (!v) {
                bad = "bad DWORD";
            } else {
                value.type = REG_DWORD;
                value.data.resize(4);
                std::memcpy(value.data.data(), &*v, 4);
            }
        } else if (data.starts_with("sz:\"") && data.size() >= 5 && data.back() == '"') {
            auto units = unescape(data.substr(4, data.size() - 5));
            if (!units) {
                bad = "bad string";
            } else {
                value.type = REG_SZ;
                value.data.resize(units->size() * 2);
                copy_bytes(value.data.data(), units->data(), value.data.size());
            }
        } else {
            bad = "unknown value type";
        }
        if (bad == nullptr && !name) {
            bad = "bad value name";
        }
        if (bad != nullptr) {
            problem(bad);
            keep();
            continue;
        }
        value.name = *name;
        entry.kind = Line::value_line;
        entry.key = fold(current->path);
        entry.value = fold(value.name);
        entry.canonical = value_text(value);
        // A name given twice: the later line holds the value, the earlier one is not written back.
        auto [earlier, first] = value_lines.try_emplace({entry.key, entry.value}, result.lines.size());
        if (!first) {
            superseded.push_back(earlier->second);
            earlier->second = result.lines.size();
        }
        result.keys[entry.key].values[entry.value] = std::move(value);
        keep();
    }
    std::sort(superseded.begin(), superseded.end());
    for (auto index = superseded.rbegin(); index != superseded.rend(); ++index) {
        result.lines.erase(result.lines.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return result;
}

// ---- Host files.

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
