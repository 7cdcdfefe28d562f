#include "platform/kernel/DevicePath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Unicode.h"

namespace platform {

namespace {

using Components = std::vector<std::u16string>;

bool is_separator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// Splits and resolves '.' and '..'; false when '..' climbs above the root.
bool split_device_path(std::u16string_view path, Components& out) {
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && is_separator(path[i])) {
            ++i;
        }
        size_t start = i;
        while (i < path.size() && !is_separator(path[i])) {
            ++i;
        }
        std::u16string_view part = path.substr(start, i - start);
        if (part.empty() || part == u".") {
            continue;
        }
        if (part == u"..") {
            if (out.empty()) {
                return false;
            }
            out.pop_back();
            continue;
        }
        out.emplace_back(part);
    }
    return true;
}

std::string join_host(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

// Lexical clean-up of an absolute host path: no '.', '..' or doubled '/'.
std::string clean_host_path(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == '/') {
            ++i;
        }
        size_t start = i;
        while (i < path.size() && path[i] != '/') {
            ++i;
        }
        std::string_view part = path.substr(start, i - start);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

// The rest of `path` below `folder`, when it lies there ("" for the folder itself).
bool below(const std::string& path, const std::string& folder, std::string& rest) {
    if (folder == "/") {
        rest = path.substr(1);
        return true;
    }
    if (path == folder) {
        rest.clear();
        return true;
    }
    if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/') {
        rest = path.substr(folder.size() + 1);
        return true;
    }
    return false;
}

std::string sandbox_root() {
    const std::string& root = device_profile().root;
    return root.empty() ? std::string("/") : clean_host_path(root);
}

std::string program_folder() {
    const std::string& exe = program_host_path();
    size_t slash = exe.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : exe.substr(0, slash);
}

std::u16string program_title() {
    const std::string& exe = program_host_path();
    std::string name = exe.substr(exe.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return utf16_from_utf8(name);
}

// A device folder served from a host folder other than the root's own tree.
struct Mount {
    Components device;
    std::string host;
};

std::vector<Mount> mounts() {
    std::vector<Mount> list;
    if (device_profile().root.empty()) {
        list.push_back({{u"Temp"}, clean_host_path(host_temp_folder())});
        return list;
    }
    std::string rest;
    std::string folder = program_folder();
    if (!below(folder, sandbox_root(), rest)) {
        list.push_back({{u"Program Files", program_title()}, folder});
    }
    return list;
}

bool starts_with_components(const Components& path, const Components& prefix) {
    if (path.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (!equal_ignoring_case(path[i], prefix[i])) {
            return false;
        }
    }
    return true;
}

// The entry of `folder` whose name equals `name` regardless of case; empty when none.
std::string find_ignoring_case(const std::string& folder, const std::u16string& name) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return {};
    }
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (equal_ignoring_case(utf16_from_utf8(entry->d_name), name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

const std::string& program_host_path() {
    static const std::string path = [] {
        std::string buffer(4096, '\0');
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) {
            return std::string("/");
        }
        buffer.resize(static_cast<size_t>(n));
        return clean_host_path(buffer);
    }();
    return path;
}

std::string host_temp_folder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp == '/' ? std::string(tmp) : std::string("/tmp");
}

bool host_path_of(std::u16string_view device_path, std::string& host_path) {
    if (device_path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    for (char16_t c : device_path) {
        if (c == 0 || c == u'*' || c == u'?') {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
    }
    Components parts;
    if (!split_device_path(device_path, parts)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string current = sandbox_root();
    size_t first = 0;
    for (const Mount& mount : mounts()) {
        if (starts_with_components(parts, mount.device)) {
            current = mount.host;
            first = mount.device.size();
            break;
        }
    }
    bool exists = true;
    for (size_t i = first; i < parts.size(); ++i) {
        std::string candidate = join_host(current, utf8_from_utf16(parts[i]));
        struct stat info;
        if (exists && lstat(candidate.c_str(), &info) != 0) {
            std::string real = find_ignoring_case(current, parts[i]);
            if (real.empty()) {
                exists = false;
            } else {
                candidate = join_host(current, real);
            }
        }
        current = std::move(candidate);
    }
    host_path = std::move(current);
    return true;
}

bool device_path_of(std::string_view host_path, std::u16string& device_path) {
    if (host_path.empty() || host_path[0] != '/') {
        return false;
    }
    std::string path = clean_host_path(host_path);
    std::u16string prefix;
    std::string rest;
    bool found = false;
    for (const Mount& mount : mounts()) {
        if (below(path, mount.host, rest)) {
            for (const std::u16string& part : mount.device) {
                prefix += u'\\';
                prefix += part;
            }
            found = true;
            break;
        }
    }
    if (!found && !below(path, sandbox_root(), rest)) {
        return false;
    }
    std::u16string out = prefix;
    if (!rest.empty() || out.empty()) {
        out += u'\\';
    }
    for (char16_t c : utf16_from_utf8(rest)) {
        out += c == u'/' ? u'\\' : c;
    }
    device_path = std::move(out);
    return true;
}

}  // namespace platform
