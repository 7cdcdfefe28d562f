#include "platform/waveout/WaveRecorder.h"

#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/waveout/WaveOutDevice.h"

namespace platform {

// One WAV file being written. Its header is brought up to date after every append, so
// the file can be read at any time.
class WaveSegment {
public:
    WaveSegment(std::FILE* file, const WAVEFORMATEX& format) : file_(file), format_(format) { write_header(); }
    ~WaveSegment() { std::fclose(file_); }
    WaveSegment(const WaveSegment&) = delete;
    WaveSegment& operator=(const WaveSegment&) = delete;

    const WAVEFORMATEX& format() const { return format_; }

    void append(const uint8_t* bytes, size_t size) {
        std::lock_guard guard(lock_);
        // A RIFF size field holds 32 bits; what does not fit is not recorded.
        size_t room = 0xFFFFFFF0u - 36 - data_bytes_;
        size = std::min(size, room);
        if (size == 0) {
            return;
        }
        std::fseek(file_, 0, SEEK_END);
        if (std::fwrite(bytes, 1, size, file_) == size) {
            data_bytes_ += static_cast<uint32_t>(size);
        }
        write_header();
    }

private:
    static void put16(std::vector<uint8_t>& out, uint32_t value) {
        out.push_back(static_cast<uint8_t>(value));
        out.push_back(static_cast<uint8_t>(value >> 8));
    }
    static void put32(std::vector<uint8_t>& out, uint32_t value) {
        put16(out, value & 0xFFFF);
        put16(out, value >> 16);
    }
    static void put_tag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

    void write_header() {
        std::vector<uint8_t> h;
        put_tag(h, "RIFF");
        put32(h, 36 + data_bytes_);
        put_tag(h, "WAVE");
        put_tag(h, "fmt ");
        put32(h, 16);
        put16(h, WAVE_FORMAT_PCM);
        put16(h, format_.nChannels);
        put32(h, format_.nSamplesPerSec);
        put32(h, format_.nSamplesPerSec * format_.nBlockAlign);
        put16(h, format_.nBlockAlign);
        put16(h, format_.wBitsPerSample);
        put_tag(h, "data");
        put32(h, data_bytes_);
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(h.data(), 1, h.size(), file_);
        std::fflush(file_);
    }

    std::mutex lock_;
    std::FILE* file_;
    WAVEFORMATEX format_;
    uint32_t data_bytes_ = 0;
};

namespace {

struct RecordingStore {
    std::mutex lock;
    std::string base;
    std::vector<std::string> files;
    std::shared_ptr<WaveSegment> current;
};

RecordingStore& store() {
    static RecordingStore instance;
    return instance;
}

bool same_format(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

std::string numbered(const std::string& path, size_t number) {
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        dot = path.size();
    }
    return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

}  // namespace

bool WaveRecording::begin(const std::string& path, const WAVEFORMATEX& format) {
    RecordingStore& s = store();
    std::lock_guard guard(s.lock);
    if (s.base != path) {
        s.base = path;
        s.files.clear();
        s.current.reset();
    }
    if (!s.current || !same_format(s.current->format(), format)) {
        std::string name = s.files.empty() ? path : numbered(path, s.files.size() + 1);
        std::FILE* file = std::fopen(name.c_str(), "w+b");
        if (!file) {
            wave_out_log("waveOutOpen: cannot write the recording " + name);
            return false;
        }
        s.current = std::make_shared<WaveSegment>(file, format);
        s.files.push_back(name);
    }
    segment_ = s.current;
    return true;
}

void WaveRecording::append(const uint8_t* bytes, size_t size) {
    if (segment_) {
        segment_->append(bytes, size);
    }
}

void WaveRecording::end() {
    segment_.reset();
}

std::vector<std::string> wave_out_recordings() {
    RecordingStore& s = store();
    std::lock_guard guard(s.lock);
    return s.files;
}

}  // namespace platform
