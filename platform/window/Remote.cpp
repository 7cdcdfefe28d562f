#include "platform/window/Remote.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

constexpr uint32_t request_magic = 0x56574D31;  // "VWM1"
constexpr uint32_t kind_copydata = 1;
constexpr uint32_t kind_foreground = 2;
// A command line is far shorter; anything larger from another process is refused.
constexpr uint32_t max_copydata_bytes = 64 * 1024;
constexpr int reply_timeout_ms = 20000;
constexpr int request_timeout_ms = 2000;
constexpr int reply_wait_at_exit_ms = 1000;

struct Request {
    uint32_t magic = request_magic;
    uint32_t kind = 0;
    uint64_t window = 0;
    uint64_t wparam = 0;
    uint64_t data_word = 0;
    uint32_t byte_count = 0;
    uint32_t reserved = 0;
};

struct Reply {
    int64_t result = 0;
    uint32_t delivered = 0;
    uint32_t reserved = 0;
};

std::mutex publish_lock;
std::atomic<int> replies_owed{0};  // requests read whose reply is not yet written
bool listener_started = false;  // publish_lock
std::string published_folder;   // publish_lock: where this process's files are

uint32_t fnv1a(const std::string& text) {
    uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h = (h ^ c) * 16777619u;
    }
    return h;
}

bool make_private_folder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

std::string hex_utf16(const std::u16string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (char16_t c : text) {
        for (int shift = 12; shift >= 0; shift -= 4) {
            out.push_back(digits[(c >> shift) & 0xF]);
        }
    }
    return out.empty() ? "-" : out;
}

std::u16string unhex_utf16(const std::string& text) {
    std::u16string out;
    if (text == "-") {
        return out;
    }
    for (size_t i = 0; i + 4 <= text.size(); i += 4) {
        out.push_back(static_cast<char16_t>(std::strtoul(text.substr(i, 4).c_str(), nullptr, 16)));
    }
    return out;
}

bool process_alive(pid_t pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
}

std::string windows_file(const std::string& folder, pid_t pid) {
    return folder + "/windows-" + std::to_string(pid);
}

std::string socket_file(const std::string& folder, pid_t pid) {
    return folder + "/socket-" + std::to_string(pid);
}

bool read_all(int fd, void* buffer, size_t size, int timeout_ms) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, timeout_ms) <= 0) {
            return false;
        }
        ssize_t n = read(fd, p, size);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool write_all(int fd, const void* buffer, size_t size) {
    const auto* p = static_cast<const char*>(buffer);
    while (size > 0) {
        ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A window handle given by another process: only a top-level window of ours counts.
bool local_top_level(HWND window) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    WindowData* w = find_window(window);
    return w && !w->is_child() && !w->destroying;
}

// One request from another instance. WM_COPYDATA from outside is checked before the window
// sees it: only data word 0 (the command line hand-over), a bounded size, whole UTF-16 units.
Reply handle_request(int fd, const Request& request) {
    Reply reply;
    std::vector<char> bytes;
    if (request.kind == kind_copydata) {
        if (request.byte_count > max_copydata_bytes) {
            return reply;
        }
        bytes.resize(request.byte_count);
        if (!bytes.empty() && !read_all(fd, bytes.data(), bytes.size(), request_timeout_ms)) {
            return reply;
        }
    }
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.window));
    if (!local_top_level(window)) {
        return reply;
    }
    if (request.kind == kind_copydata) {
        if (request.data_word != 0) {
            return reply;
        }
        COPYDATASTRUCT data;
        data.dwData = 0;
        data.cbData = request.byte_count & ~1u;  // an odd trailing byte is no character
        data.lpData = data.cbData ? bytes.data() : nullptr;
        reply.result = SendMessageW(window, WM_COPYDATA, static_cast<WPARAM>(request.wparam),
                                    reinterpret_cast<LPARAM>(&data));
        reply.delivered = 1;
    } else if (request.kind == kind_foreground) {
        reply.result = SetForegroundWindow(window);
        reply.delivered = 1;
    }
    return reply;
}

void serve(int listener) {
    for (;;) {
        int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        Request request;
        if (read_all(fd, &request, sizeof request, request_timeout_ms) && request.magic == request_magic) {
            ++replies_owed;
            Reply reply = handle_request(fd, request);
            write_all(fd, &reply, sizeof reply);
            --replies_owed;
        }
        close(fd);
    }
}

void remove_published_files() {
    // A window that ends the process as it handles a request (a hand-over saying "quit") has
    // still to answer its sender: the process waits for that reply, but not for ever.
    for (int waited = 0; replies_owed.load() > 0 && waited < reply_wait_at_exit_ms; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::lock_guard guard(publish_lock);
    if (!published_folder.empty()) {
        unlink(windows_file(published_folder, getpid()).c_str());
        unlink(socket_file(published_folder, getpid()).c_str());
    }
}

bool fill_socket_address(sockaddr_un& address, const std::string& path) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Starts the listener the first time this process has windows to show to others.
void start_listener(const std::string& folder) {
    std::string path = socket_file(folder, getpid());
    sockaddr_un address;
    if (!fill_socket_address(address, path)) {
        std::fprintf(stderr, "platform: instance socket path too long: %s\n", path.c_str());
        return;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0) {
        std::fprintf(stderr, "platform: instance socket %s: %s\n", path.c_str(), std::strerror(errno));
        close(fd);
        return;
    }
    std::atexit(remove_published_files);
    std::thread(serve, fd).detach();
}

struct RemoteProcessWindows {
    pid_t pid = 0;
    std::vector<RemoteWindow> windows;
};

std::vector<RemoteWindow> read_windows_file(const std::string& path) {
    std::vector<RemoteWindow> out;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) {
        return out;
    }
    char line[8192];
    while (std::fgets(line, sizeof line, f)) {
        char cls[4096];
        char text[4096];
        unsigned long long handle = 0;
        unsigned long long parent = 0;
        if (std::sscanf(line, "%llx %llx %4095s %4095s", &handle, &parent, cls, text) == 4) {
            RemoteWindow w;
            w.handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
            w.parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(parent));
            w.class_name = unhex_utf16(cls);
            w.text = unhex_utf16(text);
            out.push_back(std::move(w));
        }
    }
    std::fclose(f);
    return out;
}

// Sends one request to the process that owns the window; false when it cannot be reached.
bool send_request(HWND window, const Request& request, const void* bytes, Reply* reply) {
    std::string folder = instance_folder();
    pid_t pid = static_cast<pid_t>(process_of_window(window));
    sockaddr_un address;
    if (folder.empty() || !fill_socket_address(address, socket_file(folder, pid))) {
        return false;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              write_all(fd, &request, sizeof request) &&
              (request.byte_count == 0 || write_all(fd, bytes, request.byte_count)) &&
              read_all(fd, reply, sizeof *reply, reply_timeout_ms);
    close(fd);
    return ok;
}

}  // namespace

std::string instance_folder() {
    std::string base;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && make_private_folder(std::string(runtime) + "/vantrel")) {
        base = std::string(runtime) + "/vantrel";
    } else {
        const char* tmp = std::getenv("TMPDIR");
        base = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-" + std::to_string(getuid());
        if (!make_private_folder(base)) {
            return {};
        }
    }
    // Instances see each other only on the same device: one subfolder per device root.
    const std::string& root = device_profile().root;
    char name[32];
    std::snprintf(name, sizeof name, "/device-%08x", root.empty() ? 0u : fnv1a(root));
    std::string folder = base + name;
    return make_private_folder(folder) ? folder : std::string();
}

bool is_remote_window(HWND window) {
    DWORD pid = process_of_window(window);
    return window && pid != 0 && pid != static_cast<DWORD>(getpid());
}

std::vector<RemoteWindow> remote_windows() {
    std::vector<RemoteWindow> all;
    std::string folder = instance_folder();
    DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
    if (!dir) {
        return all;
    }
    std::vector<pid_t> pids;
    while (dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "windows-", 8) == 0) {
            pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name + 8));
            if (pid > 0 && pid != getpid()) {
                pids.push_back(pid);
            }
        }
    }
    closedir(dir);
    std::sort(pids.begin(), pids.end());
    for (pid_t pid : pids) {
        if (!process_alive(pid)) {
            // Left behind by an instance that died: nobody answers there.
            unlink(windows_file(folder, pid).c_str());
            unlink(socket_file(folder, pid).c_str());
            continue;
        }
        for (RemoteWindow& w : read_windows_file(windows_file(folder, pid))) {
            if (process_of_window(w.handle) == static_cast<DWORD>(pid)) {
                all.push_back(std::move(w));
            }
        }
    }
    return all;
}

bool find_remote_window(HWND window, RemoteWindow* out) {
    if (!is_remote_window(window)) {
        return false;
    }
    std::string folder = instance_folder();
    pid_t pid = static_cast<pid_t>(process_of_window(window));
    if (folder.empty() || !process_alive(pid)) {
        return false;
    }
    for (RemoteWindow& w : read_windows_file(windows_file(folder, pid))) {
        if (w.handle == window) {
            *out = std::move(w);
            return true;
        }
    }
    return false;
}

bool remote_window_exists(HWND window) {
    RemoteWindow w;
    return find_remote_window(window, &w);
}

LRESULT remote_send_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA || !lParam) {
        std::fprintf(stderr, "platform: message %u cannot be sent to another process\n", message);
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->cbData > max_copydata_bytes || (data->cbData && !data->lpData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Request request;
    request.kind = kind_copydata;
    request.window = reinterpret_cast<uintptr_t>(window);
    request.wparam = wParam;
    request.data_word = data->dwData;
    request.byte_count = data->cbData;
    Reply reply;
    if (!send_request(window, request, data->lpData, &reply)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<LRESULT>(reply.result);
}

bool remote_set_foreground(HWND window) {
    Request request;
    request.kind = kind_foreground;
    request.window = reinterpret_cast<uintptr_t>(window);
    Reply reply;
    if (!send_request(window, request, nullptr, &reply) || !reply.delivered) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return reply.result != 0;
}

void publish_windows() {
    std::string lines;
    {
        WindowTable& t = window_table();
        std::lock_guard guard(t.lock);
        for (HWND h : t.z_order) {
            WindowData* w = find_window(h);
            if (!w || w->destroying) {
                continue;
            }
            char head[64];
            std::snprintf(head, sizeof head, "%llx %llx ",
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w->handle)),
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w->parent)));
            lines += head + hex_utf16(w->class_name) + " " + hex_utf16(w->text) + "\n";
        }
    }
    std::lock_guard guard(publish_lock);
    if (published_folder.empty()) {
        if (lines.empty()) {
            return;  // nothing to show yet: no folder, no listener
        }
        published_folder = instance_folder();
        if (published_folder.empty()) {
            return;
        }
    }
    if (!listener_started) {
        listener_started = true;
        start_listener(published_folder);
    }
    std::string path = windows_file(published_folder, getpid());
    std::string temporary = path + ".new";
    FILE* f = std::fopen(temporary.c_str(), "w");
    if (!f) {
        return;
    }
    bool ok = std::fwrite(lines.data(), 1, lines.size(), f) == lines.size();
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        std::rename(temporary.c_str(), path.c_str());
    } else {
        unlink(temporary.c_str());
    }
}

}  // namespace platform
