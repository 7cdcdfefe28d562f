#pragma once
// Thin helpers over the platform's file-system calls; each expands its path first.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace skinner {

// One lookup of a file or folder (a trailing separator is allowed).
class FileInfo {
public:
    explicit FileInfo(const std::u16string& path);
    bool exists() const { return attributes != 0xFFFFFFFF; }

    std::u16string path;               // as given
    uint32_t attributes = 0xFFFFFFFF;  // 0x10: a folder
    uint32_t last_error = 0;
    uint32_t size = 0;                 // low 32 bits
    DateTime creation;                 // local time
    DateTime last_write;               // local time
};

bool delete_file(const std::u16string& path);
// Renames a file over another in one step, durably: the target is the old file or the new
// one, never neither, whenever the machine stops.
bool move_file_over(const std::u16string& from, const std::u16string& to);
// Bytes free for the caller on the volume that holds the path (for a path not made yet, its
// nearest existing folder); 0 on failure.
double disk_free_space(const std::u16string& path);
// Total bytes of the path's volume; 0 on failure.
double disk_total_space(const std::u16string& path);

// Creates an (already expanded) folder and its missing parents, top down, logging every
// attempt, including the levels that exist.
void make_directories(const std::u16string& path);
void create_directories(const std::u16string& path);

// Opens a file with the program the desktop has for it; logged.
bool execute_file(const std::u16string& file, const std::u16string& parameters);
// Opens an address in the web browser.
bool open_url(const std::u16string& url);

class FileVisitor {
public:
    // Returning false ends the listing of the folder being searched.
    virtual bool on_file(const std::u16string& path) = 0;
    virtual bool on_directory(const std::u16string& path) = 0;

protected:
    ~FileVisitor() = default;
};

// Files of `folder` matching file_mask, then its folders matching folder_mask (without
// "." and ".."), each searched in turn when recursive. Always true.
bool find_files(FileVisitor& visitor, const std::u16string& folder, const std::u16string& file_mask,
                const std::u16string& folder_mask, bool recursive);

}  // namespace skinner
