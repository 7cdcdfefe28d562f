#pragma once
// A device root of a harness's own under the temporary folder, removed when the run ends; the
// harness writes its input there as a file, because the readers it drives open files.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz_root {

inline std::string& folder() {
    static std::string path;
    return path;
}

inline void remove_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder(), ignored);
}

// Sets VANTREL_ROOT to a new folder; false when none can be made.
inline bool enter(const char* tag) {
    std::string pattern = std::string("/tmp/vantrel-fuzz-") + tag + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    folder() = pattern;
    setenv("VANTREL_ROOT", pattern.c_str(), 1);
    std::atexit(remove_folder);
    return true;
}

// Replaces the file of that name in the root by the bytes.
inline void write_file(const std::string& name, const void* data, size_t size) {
    std::ofstream out(folder() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
}

}  // namespace fuzz_root
