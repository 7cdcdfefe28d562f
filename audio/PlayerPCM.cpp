#include "audio/PlayerPCM.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "audio/AudioLog.h"
#include "base/Event.h"
#include "base/Log.h"
#include "base/Thread.h"
#include "platform/threads/Threads.h"
#include "platform/waveout/WaveOut.h"
#include "platform/window/Messages.h"

namespace audio {

namespace {

constexpr int kPullFrames = 16384;
constexpr int kBufferCount = 6;
constexpr int kBufferMilliseconds = 200;

enum State { kIdle = 0, kPlaying = 1, kDraining = 2 };

}  // namespace

// The player's own thread and everything it shares with the user-interface thread. Every
// field below the start event is guarded by the owner's node lock.
class PlayerThread : public skinner::Thread {
public:
    explicit PlayerThread(PlayerPCM& owner) : owner_(owner) {}
    ~PlayerThread() override;

    // Starts the thread; when it cannot start, commands fail instead of waiting for it.
    void launch();

    bool command_play();
    bool command_stop();
    bool is_finished();
    int unplayed_samples();
    int buffer_size();

protected:
    void run() override;

private:
    NodeLock& lock() { return owner_.node_lock(); }
    bool post_command();
    void handle(const MSG& msg);

    void on_command();
    void on_open(HWAVEOUT device);
    void on_done(HWAVEOUT device, WAVEHDR* header);
    void on_close(HWAVEOUT device);
    void common_tail();

    void open_device();
    bool fill_buffers();
    bool submit(WAVEHDR& header, DWORD length);
    void close_device();
    void discard_device();
    void release_headers();
    bool any_in_use() const;
    bool has_device_format(const AudioBlock& block) const;

    PlayerPCM& owner_;
    // Set once the thread's queue exists; the thread id is written before it.
    skinner::Event started_{true};
    DWORD queue_thread_ = 0;

    HWAVEOUT device_ = nullptr;
    bool closing_ = false;  // waveOutClose called, MM_WOM_CLOSE not yet seen
    std::array<WAVEHDR, kBufferCount> headers_{};
    std::array<std::vector<char>, kBufferCount> buffers_;
    int buffer_size_ = 0;
    int channels_ = 0;
    int bits_ = 0;
    int rate_ = 0;
    AudioBlock current_;
    int64_t queued_frames_ = 0;
    double volume_ = 1.0;
    int state_ = kIdle;
    bool play_ = false;
    bool finished_ = true;
    bool restart_ = false;
};

PlayerThread::~PlayerThread() {
    request_stop();
    started_.wait();
    post_command();
    join();
}

void PlayerThread::launch() {
    if (!start()) {
        log_error("PlayerThread::launch cannot start the thread ", 0);
        started_.set();
        return;
    }
    set_priority(1);
}

bool PlayerThread::post_command() {
    return PostThreadMessageW(queue_thread_, WM_USER, 0, 0) != FALSE;
}

bool PlayerThread::command_play() {
    started_.wait();
    {
        NodeGuard guard(lock());
        play_ = true;
        finished_ = false;
    }
    return post_command();
}

bool PlayerThread::command_stop() {
    started_.wait();
    {
        NodeGuard guard(lock());
        play_ = false;
        finished_ = true;
        restart_ = true;
    }
    return post_command();
}

bool PlayerThread::is_finished() {
    NodeGuard guard(lock());
    return finished_;
}

int PlayerThread::unplayed_samples() {
    NodeGuard guard(lock());
    if (!device_ || closing_) {
        return 0;
    }
    MMTIME time;
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device_, &time, sizeof(time)) != MMSYSERR_NOERROR) {
        return 0;
    }
    int64_t unplayed = queued_frames_ - int64_t(time.u.sample);
    return unplayed > 0 ? static_cast<int>(std::min<int64_t>(unplayed, INT32_MAX)) : 0;
}

int PlayerThread::buffer_size() {
    NodeGuard guard(lock());
    return buffer_size_;
}

void PlayerThread::run() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes this thread's queue
    queue_thread_ = GetCurrentThreadId();
    started_.set();
    while (!stop_requested()) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        handle(msg);
    }
    NodeGuard guard(lock());
    if (device_ && !closing_) {
        waveOutReset(device_);
        release_headers();
        waveOutClose(device_);
    }
    device_ = nullptr;
}

void PlayerThread::handle(const MSG& msg) {
    switch (msg.message) {
    case MM_WOM_OPEN:
        on_open(reinterpret_cast<HWAVEOUT>(msg.wParam));
        break;
    case MM_WOM_DONE:
        on_done(reinterpret_cast<HWAVEOUT>(msg.wParam), reinterpret_cast<WAVEHDR*>(msg.lParam));
        break;
    case MM_WOM_CLOSE:
        on_close(reinterpret_cast<HWAVEOUT>(msg.wParam));
        break;
    case WM_USER:
        on_command();
        break;
    default:
        break;
    }
}

void PlayerThread::on_command() {
    if (stop_requested()) {
        return;  // the owner is going away: open nothing more
    }
    NodeGuard guard(lock());
    if (play_ && restart_) {
        restart_ = false;
        // A play right after a stop: the old device must not keep playing its queue.
        if (state_ != kIdle) {
            discard_device();
        }
    }
    if (play_ && state_ == kIdle) {
        if (current_.empty()) {
            current_ = owner_.pull(kPullFrames);
        }
        if (!current_.empty()) {
            channels_ = current_.channels;
            bits_ = current_.bits;
            rate_ = current_.sample_rate;
            state_ = kPlaying;
            open_device();
        } else if (!any_in_use()) {
            finished_ = true;
        }
    } else if (!play_ && state_ != kIdle && device_ && !closing_) {
        // Also while draining: a stop silences what is still queued.
        state_ = kDraining;
        waveOutReset(device_);
        current_ = AudioBlock();
        queued_frames_ = 0;
    }
}

void PlayerThread::on_open(HWAVEOUT device) {
    NodeGuard guard(lock());
    if (device != device_ || closing_) {
        return;  // a device given up since
    }
    double volume = std::clamp(volume_, 0.0, 1.0);
    DWORD level = static_cast<DWORD>(volume * 65535);
    waveOutSetVolume(device_, level | (level << 16));
    common_tail();
}

void PlayerThread::on_done(HWAVEOUT device, WAVEHDR* header) {
    NodeGuard guard(lock());
    if (device != device_) {
        return;  // a buffer of a device given up since: the header is no longer its
    }
    for (WAVEHDR& own : headers_) {
        if (&own == header) {
            own.dwUser = 0;
            waveOutUnprepareHeader(device_, &own, sizeof(WAVEHDR));
        }
    }
    common_tail();
}

void PlayerThread::on_close(HWAVEOUT device) {
    NodeGuard guard(lock());
    if (device != device_ || state_ != kDraining) {
        return;
    }
    close_device();
    // While play is still set the command posted by close_device either opens the next
    // device (the format changed) or, with nothing left to pull, finishes.
    if (!play_) {
        finished_ = true;
    }
}

void PlayerThread::common_tail() {
    if (state_ == kPlaying && !fill_buffers()) {
        state_ = kDraining;
    }
    if (state_ == kDraining && !any_in_use() && !closing_) {
        closing_ = true;
        if (MMRESULT result = waveOutClose(device_); result != MMSYSERR_NOERROR) {
            log_error("PlayerThread::common_tail waveOutClose failed ", static_cast<long>(result));
            close_device();
            if (!play_) {
                finished_ = true;
            }
        }
    }
}

void PlayerThread::open_device() {
    if (device_) {
        return;
    }
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels_);
    format.nSamplesPerSec = static_cast<DWORD>(rate_);
    format.nBlockAlign = static_cast<WORD>((bits_ * channels_) / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    format.wBitsPerSample = static_cast<WORD>(bits_);
    format.cbSize = 0;
    HWAVEOUT device = nullptr;
    MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, queue_thread_,
                                  reinterpret_cast<DWORD_PTR>(this), CALLBACK_THREAD);
    if (result != MMSYSERR_NOERROR) {
        // Nothing can play: end as finished so the user-interface thread does not wait on us.
        log_error("PlayerThread::open_device waveOutOpen failed ", static_cast<long>(result));
        state_ = kIdle;
        channels_ = bits_ = rate_ = 0;
        finished_ = true;
        return;
    }
    device_ = device;
    closing_ = false;
    int size = ((rate_ * kBufferMilliseconds) / 1000) * format.nBlockAlign;
    if (size != buffer_size_) {
        for (std::vector<char>& buffer : buffers_) {
            buffer.assign(static_cast<size_t>(size), 0);
        }
        buffer_size_ = size;
    }
    for (WAVEHDR& header : headers_) {
        header = WAVEHDR();
    }
    queued_frames_ = current_.frame_count();
}

bool PlayerThread::has_device_format(const AudioBlock& block) const {
    return block.channels == channels_ && block.bits == bits_ && block.sample_rate == rate_;
}

bool PlayerThread::fill_buffers() {
    for (int i = 0; i < kBufferCount; ++i) {
        WAVEHDR& header = headers_[i];
        if (header.dwUser) {
            continue;
        }
        char* out = buffers_[i].data();
        uint32_t size = static_cast<uint32_t>(buffer_size_);
        uint32_t filled = 0;
        while (filled < size) {
            if (current_.empty()) {
                current_ = owner_.pull(kPullFrames);
                if (current_.empty()) {
                    break;
                }
                queued_frames_ += current_.frame_count();
            }
            if (!has_device_format(current_)) {
                break;  // the next device plays it
            }
            uint32_t count = std::min(size - filled, current_.length());
            std::memcpy(out + filled, current_.const_data(), count);
            filled += count;
            current_.buffer = skinner::SharedBuffer(current_.buffer, count, current_.length() - count);
        }
        if (!submit(header, filled) || filled < size) {
            return false;
        }
    }
    return true;
}

bool PlayerThread::submit(WAVEHDR& header, DWORD length) {
    size_t index = static_cast<size_t>(&header - headers_.data());
    header = WAVEHDR();
    header.lpData = buffers_[index].data();
    header.dwBufferLength = length;
    header.dwUser = 1;
    MMRESULT result = waveOutPrepareHeader(device_, &header, sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) {
        result = waveOutWrite(device_, &header, sizeof(WAVEHDR));
        if (result != MMSYSERR_NOERROR) {
            waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
        }
    }
    if (result != MMSYSERR_NOERROR) {
        // A buffer the device never took would keep the device from draining.
        log_error("PlayerThread::fill_buffers waveOutWrite failed ", static_cast<long>(result));
        header.dwUser = 0;
        return false;
    }
    return true;
}

void PlayerThread::release_headers() {
    for (WAVEHDR& header : headers_) {
        if (header.dwUser) {
            waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
            header.dwUser = 0;
        }
    }
}

void PlayerThread::close_device() {
    release_headers();
    state_ = kIdle;
    queued_frames_ = 0;
    channels_ = bits_ = rate_ = 0;
    device_ = nullptr;
    closing_ = false;
    post_command();  // a pending play opens the next device
}

// The restart: the old device is reset and closed at once, its notifications still on
// the way are ignored, and the rest of the old block is dropped.
void PlayerThread::discard_device() {
    if (device_ && !closing_) {
        waveOutReset(device_);
        release_headers();
        waveOutClose(device_);
    }
    for (WAVEHDR& header : headers_) {
        header.dwUser = 0;
    }
    current_ = AudioBlock();
    state_ = kIdle;
    queued_frames_ = 0;
    channels_ = bits_ = rate_ = 0;
    device_ = nullptr;
    closing_ = false;
}

bool PlayerThread::any_in_use() const {
    return std::any_of(headers_.begin(), headers_.end(), [](const WAVEHDR& h) { return h.dwUser != 0; });
}

PlayerPCM::PlayerPCM() : thread_(std::make_unique<PlayerThread>(*this)) {
    thread_->launch();
}

PlayerPCM::~PlayerPCM() {
    thread_.reset();
}

void PlayerPCM::on_data(const AudioBlock&) {
    skinner::gluck(u"on_data unexpected - player is active object", u"PlayerPCM::on_data");
}

bool PlayerPCM::play() {
    return thread_->command_play();
}

bool PlayerPCM::stop() {
    return thread_->command_stop();
}

bool PlayerPCM::is_finished() {
    return thread_->is_finished();
}

int PlayerPCM::get_unplayed_samples() {
    return thread_->unplayed_samples();
}

int PlayerPCM::buffer_size() {
    return thread_->buffer_size();
}

}  // namespace audio
