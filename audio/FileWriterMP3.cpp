#include "audio/FileWriterMP3.h"

#include <cstring>
#include <limits>

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "platform/kernel/Core.h"

namespace audio {

FileWriterMP3::FileWriterMP3(const std::u16string& path, bool append)
    : file_(std::make_unique<skinner::File>(path, append ? 3 : 1)), append_(append), path_(path) {
    if (append_ && file_->is_open()) {
        file_->seek(file_->size());
        total_size_ = file_->position();
    }
}

FileWriterMP3::~FileWriterMP3() {
    NodeGuard guard(node_lock());
    if (file_->is_open() && buffered_ != 0) {
        write_buffered("FileWriterMP3::~FileWriterMP3 error=");
    }
    bool created = !append_ && file_->is_open();
    bool failed = !ok_ || file_->size() == 0;
    file_.reset();
    if (created && failed) {
        skinner::delete_file(path_);
    }
}

bool FileWriterMP3::write_buffered(const char* place) {
    uint32_t written = file_->write(buffer_, buffered_);
    if (written != buffered_) {
        skinner::Log::instance() << place << static_cast<int>(GetLastError()) << "\n";
        ok_ = false;
        return false;
    }
    buffered_ = 0;
    return true;
}

void FileWriterMP3::on_data(const AudioBlock& block) {
    NodeGuard guard(node_lock());
    if (!is_ok()) {
        return;
    }
    const uint32_t length = block.length();
    total_size_ += length;
    if (buffered_ + length > kBufferSize) {
        if (!write_buffered("FileWriterMP3::on_data1 error=")) {
            return;
        }
    }
    if (length <= kBufferSize) {
        std::memcpy(buffer_ + buffered_, block.const_data(), length);
        buffered_ += length;
        return;
    }
    if (file_->write(block.const_data(), length) != length) {
        skinner::Log::instance() << "FileWriterMP3::on_data2 error=" << static_cast<int>(GetLastError()) << "\n";
        ok_ = false;
    }
}

bool FileWriterMP3::is_ok() {
    NodeGuard guard(node_lock());
    return ok_ && file_->is_open();
}

int FileWriterMP3::get_size() {
    NodeGuard guard(node_lock());
    return static_cast<int>(std::min<int64_t>(total_size_, std::numeric_limits<int>::max()));
}

bool FileWriterMP3::finish() {
    NodeGuard guard(node_lock());
    if (is_ok() && buffered_ != 0) {
        write_buffered("FileWriterMP3::finish error=");
    }
    return is_ok();
}

void FileWriterMP3::abandon() {
    NodeGuard guard(node_lock());
    ok_ = false;
}

}  // namespace audio
