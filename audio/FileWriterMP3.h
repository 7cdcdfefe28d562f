#pragma once
// The end of the conversion chain: coded bytes in, written to the target file through a
// 16384-byte buffer. A new file that ends up empty or failed is deleted again.
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
    // Writes what is buffered; deletes a file it created when nothing or not all was written.
    ~FileWriterMP3() override;

    void on_data(const AudioBlock& block) override;
    // The ok flag and the file being open.
    bool is_ok();
    int get_size();
    // Writes the buffered bytes now; whether everything received reached the file.
    bool finish();
    // Gives up: the file is deleted when the writer goes (a cancelled or failed run).
    void abandon();

private:
    static constexpr uint32_t kBufferSize = 16384;

    bool write_buffered(const char* place);

    std::unique_ptr<skinner::File> file_;
    bool ok_ = true;
    int64_t total_size_ = 0;
    uint8_t buffer_[kBufferSize];
    uint32_t buffered_ = 0;
    bool append_;
    std::u16string path_;
};

}  // namespace audio
