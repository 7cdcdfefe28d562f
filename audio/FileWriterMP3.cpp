#include "audio/FileWriterMP3.h"

#include <cstring>
#include <limits>

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "base/Path.h"
#include "platform/kernel/Core.h"

namespace audio {

namespace {

constexpr const char16_t* partial_suffix = u".vantrel-part";

class PartialFiles : public skinner::FileVisitor {
public:
    bool on_file(const std::u16string& path) override {
        const bool removed = skinner::delete_file(path);
        skinner::Log::instance() << u"FileWriterMP3 removed partial file {" << path << u"} result=" << removed << u"\n";
        return true;
    }
    bool on_directory(const std::u16string&) override { return true; }
};

}  // namespace

std::u16string FileWriterMP3::partial_path_of(const std::u16string& target) { return target + partial_suffix; }

void FileWriterMP3::remove_partial_files(const std::u16string& folder) {
    PartialFiles visitor;
    const std::u16string mask = std::u16string(u"*") + partial_suffix;
    skinner::find_files(visitor, skinner::expand_path(folder), mask, mask, false);
}

FileWriterMP3::FileWriterMP3(const std::u16string& path, bool append)
    : append_(append), path_(path), written_path_(append ? path : partial_path_of(path)) {
    file_ = std::make_unique<skinner::File>(written_path_, append ? 3 : 1);
    if (append_ && file_->is_open()) {
        file_->seek(file_->size());
        total_size_ = file_->position();
    }
}

FileWriterMP3::~FileWriterMP3() {
    NodeGuard guard(node_lock());
    if (!finished_ && is_ok() && total_size_ != 0) {
        // Never finished nor abandoned: what it received is the whole file.
        if (buffered_ == 0 || write_buffered("FileWriterMP3::~FileWriterMP3 error=")) {
            put_in_place();
        }
    }
    const bool created = !append_ && file_ && file_->is_open();
    file_.reset();
    if (created && !(finished_ && ok_)) {
        skinner::delete_file(written_path_);
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

// The bytes on the disk before the name moves: a crash then finds the old file or the new
// one, never a part of it.
bool FileWriterMP3::put_in_place() {
    finished_ = true;
    if (append_) {
        return ok_;
    }
    if (!file_->flush()) {
        skinner::Log::instance() << "FileWriterMP3::finish flush error=" << static_cast<int>(GetLastError()) << "\n";
        ok_ = false;
        return false;
    }
    file_.reset();  // closed before it moves
    if (!skinner::move_file_over(written_path_, path_)) {
        skinner::Log::instance() << u"FileWriterMP3::finish move error=" << static_cast<int>(GetLastError()) << u" {"
                                 << path_ << u"}\n";
        ok_ = false;
        skinner::delete_file(written_path_);
        return false;
    }
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
    return ok_ && (finished_ || (file_ && file_->is_open()));
}

int FileWriterMP3::get_size() {
    NodeGuard guard(node_lock());
    return static_cast<int>(std::min<int64_t>(total_size_, std::numeric_limits<int>::max()));
}

bool FileWriterMP3::finish() {
    NodeGuard guard(node_lock());
    if (finished_ || !is_ok()) {
        return is_ok();
    }
    if (buffered_ != 0 && !write_buffered("FileWriterMP3::finish error=")) {
        return false;
    }
    // A new file with no bytes is no file: nothing replaces the target.
    if (!append_ && total_size_ == 0) {
        finished_ = true;
        ok_ = false;
        return false;
    }
    return put_in_place();
}

void FileWriterMP3::abandon() {
    NodeGuard guard(node_lock());
    if (!finished_) {
        ok_ = false;
    }
}

}  // namespace audio
