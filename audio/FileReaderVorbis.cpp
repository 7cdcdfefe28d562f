#include "audio/FileReaderVorbis.h"

#include <algorithm>
#include <climits>

#include <tremor/ivorbisfile.h>

#include "audio/PositionMath.h"

namespace audio {

namespace {

constexpr int kMaxFramesPerRead = 8192;
// A hole (lost pages) is skipped; this many in one read, or this many failed reads in
// a row, end the stream instead of letting a consumer spin on it.
constexpr int kMaxHolesPerRead = 64;
constexpr int kMaxFailedReads = 8;

skinner::File& file_of(void* source) { return *static_cast<skinner::File*>(source); }

size_t vorbis_read(void* ptr, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) {
        return 0;
    }
    const size_t wanted = std::min<size_t>(size * count, UINT32_MAX);
    return file_of(source).read(ptr, static_cast<uint32_t>(wanted)) / size;
}

int vorbis_seek(void* source, ogg_int64_t offset, int whence) {
    skinner::File& file = file_of(source);
    int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = file.position();
    } else if (whence == SEEK_END) {
        base = file.size();
    } else if (whence != SEEK_SET) {
        return -1;
    }
    const int64_t target = base + offset;
    if (target < 0 || target > UINT32_MAX) {
        return -1;
    }
    return file.seek(static_cast<uint32_t>(target)) ? 0 : -1;
}

int vorbis_close(void*) {
    return 0;  // the reader closes its File
}

long vorbis_tell(void* source) { return static_cast<long>(file_of(source).position()); }

}  // namespace

FileReaderVorbis::FileReaderVorbis(const std::u16string& path) : file_(path, 0), vf_(std::make_unique<OggVorbis_File>()) {
    if (!file_.is_open()) {
        return;
    }
    const ov_callbacks callbacks = {vorbis_read, vorbis_seek, vorbis_close, vorbis_tell};
    if (ov_open_callbacks(&file_, vf_.get(), nullptr, 0, callbacks) != 0) {
        return;
    }
    info_ = ov_info(vf_.get(), -1);
    if (info_ == nullptr || info_->channels <= 0 || info_->rate < kMinSampleRate) {
        ov_clear(vf_.get());
        info_ = nullptr;
        return;
    }
    // The library divides by the stream's duration in milliseconds: a stream shorter
    // than that (headers only) would divide by zero.
    long bitrate = ov_time_total(vf_.get(), -1) > 0 ? ov_bitrate(vf_.get(), -1) : 0;
    // The library's average comes out as 0 for some short streams; the nominal rate of
    // the stream header is the next best answer.
    if (bitrate <= 0) {
        bitrate = info_->bitrate_nominal;
    }
    bitrate_ = static_cast<int>(std::clamp<long>(bitrate, 0, INT_MAX));
}

FileReaderVorbis::~FileReaderVorbis() {
    NodeGuard guard(lock_);
    if (info_ != nullptr) {
        ov_clear(vf_.get());
    }
}

bool FileReaderVorbis::is_open() {
    NodeGuard guard(lock_);
    return info_ != nullptr;
}

bool FileReaderVorbis::at_end() {
    NodeGuard guard(lock_);
    return info_ == nullptr || ended_ || get_position() >= get_length();
}

int FileReaderVorbis::get_channels() { return info_ != nullptr ? info_->channels : 0; }

int FileReaderVorbis::get_sample_rate() { return info_ != nullptr ? static_cast<int>(info_->rate) : 0; }

int FileReaderVorbis::get_bitrate() { return bitrate_; }

int FileReaderVorbis::get_length() {
    NodeGuard guard(lock_);
    return info_ != nullptr ? clamp_to_int(std::max<ogg_int64_t>(ov_pcm_total(vf_.get(), -1), 0)) : 0;
}

int FileReaderVorbis::get_position() {
    NodeGuard guard(lock_);
    return info_ != nullptr ? clamp_to_int(std::max<ogg_int64_t>(ov_pcm_tell(vf_.get()), 0)) : 0;
}

void FileReaderVorbis::seek(int position) {
    NodeGuard guard(lock_);
    if (info_ == nullptr) {
        return;
    }
    if (ov_pcm_seek(vf_.get(), std::clamp(position, 0, get_length())) == 0) {
        ended_ = false;
        failed_reads_ = 0;
    }
}

void FileReaderVorbis::read(AudioBlock& out, int frames) {
    NodeGuard guard(lock_);
    out = AudioBlock();
    if (info_ == nullptr || ended_ || frames <= 0) {
        return;
    }
    const int channels = info_->channels;
    const int n = std::min(frames, kMaxFramesPerRead);
    skinner::SharedBuffer bytes(static_cast<uint32_t>(channels) * n * 2);
    long got = 0;
    int bitstream = 0;
    for (int holes = 0;; ++holes) {
        got = ov_read(vf_.get(), reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.length()), &bitstream);
        if (got != OV_HOLE || holes == kMaxHolesPerRead) {
            break;
        }
    }
    if (got < 0) {
        if (++failed_reads_ >= kMaxFailedReads || got == OV_HOLE) {
            ended_ = true;
        }
        return;
    }
    failed_reads_ = 0;
    if (got == 0) {
        ended_ = true;
        return;
    }
    out.buffer = skinner::SharedBuffer(bytes, 0, static_cast<uint32_t>(got));
    out.channels = channels;
    out.bits = 16;
    out.sample_rate = static_cast<int>(info_->rate);
}

AudioFormatVorbis::AudioFormatVorbis(std::unique_ptr<FileReaderVorbis> reader, const std::u16string& path)
    : AudioFormat(std::move(reader), path, u"Vorbis") {}

}  // namespace audio
