#pragma once
// The program's settings file ("%app_path%/Settings.ini"): key=value text that one object
// either reads or writes. Writing starts the file anew with the first value stored, so
// a run that has nothing to store leaves the old file as it was.
#include <memory>
#include <string>

#include "base/Log.h"
#include "ui/skin/PropertyMap.h"

namespace app {

constexpr const char16_t* settings_file_path = u"%app_path%/Settings.ini";
constexpr const char16_t* settings_key_current_folder = u"CurrentFolder";
constexpr const char16_t* settings_key_selected_path = u"SelectedPath";

class SettingsFile {
public:
    explicit SettingsFile(std::u16string path);
    // Writes what is pending.
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // The stored value, or the default; a missing or unreadable file holds no values.
    std::u16string read(const std::u16string& key, const std::u16string& default_value);
    // Empty and single-space values are never stored, nor values with a line break (they
    // would break the one-line-per-key format).
    void write(const std::u16string& key, const std::u16string& value);
    // A file that cannot be written is said once in the log and once on the standard error.
    void flush();
    const std::u16string& path() const { return path_; }

private:
    void drop_writer();

    std::u16string pending_;
    std::u16string path_;
    std::unique_ptr<skinner::TextFileWriter> writer_;
    std::unique_ptr<skinner::PropertyMap> reader_;
    bool failure_told_ = false;
};

}  // namespace app
