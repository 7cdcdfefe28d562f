#pragma once
// The end of the conversion chain: coded bytes in, written to the target file through a
// 16384-byte buffer. A new file is written whole or not at all: the bytes go to a partial file
// beside the target, which is moved over it only once everything reached the disk, so that a
// ringtone already under that name stays until its replacement is complete.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/DataNodes.h"

namespace skinner {
class File;
}

namespace audio {

class FileWriterMP3 : public DataSink {
public:
    FileWriterMP3(const std::u16string& path, bool append);
    // Finishes a writer that was neither finished nor abandoned; a new file that got no bytes,
    // or not all of them, leaves nothing behind.
    ~FileWriterMP3() override;

    void on_data(const AudioBlock& block) override;
    // The ok flag and the file being open.
    bool is_ok();
    int get_size();
    // Writes the buffered bytes now and puts the new file in place (flushed to the disk, then
    // moved over the target); whether everything received reached the target.
    bool finish();
    // Gives up: the partial file is deleted when the writer goes (a cancelled or failed run).
    void abandon();

    // Where a new file is written until it is complete: beside the target, under a name no
    // folder listing offers.
    static std::u16string partial_path_of(const std::u16string& target);
    // Deletes the partial files a run that was killed left in the folder.
    static void remove_partial_files(const std::u16string& folder);

private:
    static constexpr uint32_t kBufferSize = 16384;

    bool write_buffered(const char* place);
    bool put_in_place();

    std::unique_ptr<skinner::File> file_;
    bool ok_ = true;
    bool finished_ = false;
    int64_t total_size_ = 0;
    uint8_t buffer_[kBufferSize];
    uint32_t buffered_ = 0;
    bool append_;
    std::u16string path_;
    // The file written: the partial file of a new target, the target itself when appending.
    std::u16string written_path_;
};

}  // namespace audio
