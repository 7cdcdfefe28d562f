#pragma once
// Device paths onto host paths, the one place that knows how the device's file system
// lies on Linux. With VANTREL_ROOT set, '\' is that folder; without it '\' is the host's
// '/' and '\Temp' the host's temporary folder. When the program file lies outside the
// sandbox, its folder appears as '\Program Files\<program title>'.
#include <string>
#include <string_view>

namespace platform {

// Device path to host path: '\' and '/' both separate, '.' and '..' are resolved and
// '..' above '\' is refused (ERROR_ACCESS_DENIED); a path without a leading separator
// counts from '\' (the device has no current folder). Each component that exists is
// found case-insensitively when the exact name is missing; missing components are kept
// as written (so new files get the caller's spelling). False sets the last error.
bool host_path_of(std::u16string_view device_path, std::string& host_path);

// Host path (absolute) to device path; false when it lies outside the device's files.
bool device_path_of(std::string_view host_path, std::u16string& device_path);

// The host's own folders behind the device: the program file, the temporary folder.
const std::string& program_host_path();
std::string host_temp_folder();

}  // namespace platform
