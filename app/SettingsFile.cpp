#include "app/SettingsFile.h"

#include <utility>

#include "base/File.h"

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
}

// The writer has already truncated the file: what is pending goes in before it closes,
// or a read after a write would find the settings gone.
void SettingsFile::drop_writer() {
    flush();
    writer_.reset();
}

}  // namespace app
