#include "app/SettingsFile.h"

#include <cstdio>
#include <utility>

#include "base/File.h"
#include "base/Path.h"
#include "platform/kernel/DevicePath.h"
#include "platform/kernel/Unicode.h"

namespace app {

namespace {

bool is_storable(const std::u16string& value) {
    return !value.empty() && value != u" " && value.find_first_of(u"\r\n") == std::u16string::npos;
}

}  // namespace

SettingsFile::SettingsFile(std::u16string path) : path_(std::move(path)) {}

SettingsFile::~SettingsFile() {
    flush();
    reader_.reset();
    writer_.reset();
}

std::u16string SettingsFile::read(const std::u16string& key, const std::u16string& default_value) {
    drop_writer();
    if (!reader_) {
        reader_ = std::make_unique<skinner::PropertyMap>(path_);
    }
    return reader_->get(key, default_value);
}

void SettingsFile::write(const std::u16string& key, const std::u16string& value) {
    if (!is_storable(value)) {
        return;
    }
    reader_.reset();
    if (!writer_) {
        writer_ = std::make_unique<skinner::TextFileWriter>(path_, skinner::File::create_always);
    }
    pending_ += key + u" " + value + u"\n";
}

void SettingsFile::flush() {
    if (!writer_) {
        return;
    }
    writer_->write(pending_.data(), pending_.data() + pending_.size());
    writer_->flush();
    pending_.clear();
    if (!writer_->is_ok() && !failure_told_) {
        // Once in the log and once where the user sees it: the next start will not find them.
        failure_told_ = true;
        skinner::Log::instance() << u"ERROR: SettingsFile could not write {" << path_ << u"}\n";
        const std::u16string device = skinner::expand_path(path_);
        std::string host;
        if (!platform::host_path_of(device, host)) host = platform::utf8_from_utf16(device);
        std::fprintf(stderr, "Vantrel: the settings could not be written to %s\n", host.c_str());
    }
}

// The writer has already truncated the file: what is pending goes in before it closes,
// or a read after a write would find the settings gone.
void SettingsFile::drop_writer() {
    flush();
    writer_.reset();
}

}  // namespace app
