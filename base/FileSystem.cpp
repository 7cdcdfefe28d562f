#include "base/FileSystem.h"

#include <vector>

#include "base/Log.h"
#include "base/Path.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Time.h"
#include "platform/shell/Shell.h"

namespace skinner {

namespace {

constexpr DWORD directory_attribute = 0x10;

DateTime local_time_of(const FILETIME& utc) {
    FILETIME local;
    if (!FileTimeToLocalFileTime(&utc, &local)) {
        return DateTime();
    }
    return DateTime(local);
}

// A search handle closed on every way out.
class Search {
public:
    Search(const std::u16string& pattern, WIN32_FIND_DATAW& data)
        : handle_(FindFirstFileW(expand_path(pattern).c_str(), &data)), data_(data) {}
    ~Search() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next() { return FindNextFileW(handle_, &data_) != FALSE; }

private:
    HANDLE handle_;
    WIN32_FIND_DATAW& data_;
};

bool is_dot_entry(const WCHAR* name) {
    std::u16string_view n(name);
    return n == u"." || n == u"..";
}

bool shell_open(const std::u16string& file, const std::u16string& parameters) {
    SHELLEXECUTEINFO info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    BOOL ok = ShellExecuteEx(&info);
    // Nobody waits for the opener: its handle is not kept.
    if (info.hProcess) {
        CloseHandle(info.hProcess);
    }
    return ok != FALSE;
}

}  // namespace

FileInfo::FileInfo(const std::u16string& given) : path(given) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(expand_path(remove_trailing_separator(given)).c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        attributes = data.dwFileAttributes;
        size = data.nFileSizeLow;
        creation = local_time_of(data.ftCreationTime);
        last_write = local_time_of(data.ftLastWriteTime);
        FindClose(search);
    }
    last_error = GetLastError();
}

bool delete_file(const std::u16string& path) {
    return DeleteFileW(expand_path(path).c_str()) != FALSE;
}

bool move_file_over(const std::u16string& from, const std::u16string& to) {
    return MoveFileExW(expand_path(from).c_str(), expand_path(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

double disk_free_space(const std::u16string& path) {
    ULARGE_INTEGER free_to_caller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER total_free{};
    // The path's own volume, not the root's: a folder may be another file system. A path not
    // made yet is asked through the nearest folder above it that exists.
    std::u16string folder = expand_path(path);
    if (folder.size() > 1) folder = remove_trailing_separator(folder);
    for (; !folder.empty(); folder = get_parent_directory(folder)) {
        if (GetDiskFreeSpaceExW(folder.c_str(), &free_to_caller, &total, &total_free)) {
            return static_cast<double>(free_to_caller.QuadPart);
        }
    }
    return 0;
}

double disk_total_space(const std::u16string& path) {
    ULARGE_INTEGER free_to_caller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER total_free{};
    if (!GetDiskFreeSpaceExW(expand_path(path).c_str(), &free_to_caller, &total, &total_free)) {
        return 0;
    }
    return static_cast<double>(total.QuadPart);
}

void make_directories(const std::u16string& path) {
    if (path.empty()) {
        return;
    }
    make_directories(get_parent_directory(path));
    std::u16string folder = remove_trailing_separator(path);
    bool made = CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
    Log::instance() << u"CreateDirectoryW {" << folder << u"} result=" << made << u"\n";
}

void create_directories(const std::u16string& path) {
    make_directories(expand_path(path));
}

bool execute_file(const std::u16string& file, const std::u16string& parameters) {
    std::u16string expanded = expand_path(file);
    Log::instance() << u"execute_file(" << expanded << u"} {" << parameters << u")\n";
    return shell_open(expanded, parameters);
}

bool open_url(const std::u16string& url) {
    return shell_open(u"iexplore.exe", url);
}

bool find_files(FileVisitor& visitor, const std::u16string& folder, const std::u16string& file_mask,
                const std::u16string& folder_mask, bool recursive) {
    // With one mask for both passes one search serves them: a folder of thousands is read once.
    const bool one_search = file_mask == folder_mask;
    std::vector<std::u16string> folders;
    WIN32_FIND_DATAW data;
    {
        Search files(folder.empty() ? file_mask : join_path(folder, file_mask), data);
        for (bool more = files.found(); more; more = files.next()) {
            if (!(data.dwFileAttributes & directory_attribute)) {
                if (!visitor.on_file(join_path(folder, data.cFileName))) return true;
            } else if (one_search && !is_dot_entry(data.cFileName)) {
                folders.push_back(join_path(folder, data.cFileName));
            }
        }
    }
    if (!one_search) {
        Search found(folder.empty() ? folder_mask : join_path(folder, folder_mask), data);
        for (bool more = found.found(); more; more = found.next()) {
            if ((data.dwFileAttributes & directory_attribute) && !is_dot_entry(data.cFileName)) {
                folders.push_back(join_path(folder, data.cFileName));
            }
        }
    }
    // The folders after every file, each searched in turn when recursive.
    for (const std::u16string& full : folders) {
        if (!visitor.on_directory(full)) {
            return true;
        }
        if (recursive) {
            find_files(visitor, full, file_mask, folder_mask, recursive);
        }
    }
    return true;
}

}  // namespace skinner
