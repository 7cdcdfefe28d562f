#include "platform/waveout/WaveOutDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/kernel/Time.h"
#include "platform/window/Messages.h"

namespace platform {

WaveOutDevice::WaveOutDevice(HWAVEOUT handle, const WAVEFORMATEX& format, DWORD callback_thread, bool notify)
    : handle_(handle), format_(format), callback_thread_(callback_thread), notify_(notify) {}

void WaveOutDevice::post(UINT message, LPARAM lparam) {
    if (notify_) {
        // A thread that has gone simply misses the notification, as on the device.
        PostThreadMessageW(callback_thread_, message, reinterpret_cast<WPARAM>(handle_), lparam);
    }
}

MMRESULT WaveOutDevice::prepare(WAVEHDR* header) {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header->dwBufferLength > 0 && !header->lpData) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::unprepare(WAVEHDR* header) {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header->dwFlags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::write(WAVEHDR* header) {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!(header->dwFlags & WHDR_PREPARED)) {
        return WAVERR_UNPREPARED;
    }
    if (header->dwFlags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    if (entries_.empty()) {
        // After an underrun the clock starts again with this buffer.
        run_tick_ = GetTickCount();
        run_frame_ = queued_end_;
    }
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    // A trailing partial frame cannot be played and is not counted.
    uint64_t frames = header->dwBufferLength / format_.nBlockAlign;
    entries_.push_back(Entry{header, queued_end_, queued_end_ + frames});
    queued_end_ += frames;
    wake_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::reset() {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    for (const Entry& entry : entries_) {
        entry.header->dwFlags = (entry.header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        post(MM_WOM_DONE, reinterpret_cast<LPARAM>(entry.header));
    }
    entries_.clear();
    queued_end_ = 0;
    taken_ = 0;
    heard_ = 0;
    run_frame_ = 0;
    ++resets_;
    wake_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::position(DWORD& frames) {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    frames = static_cast<DWORD>(heard_);
    return MMSYSERR_NOERROR;
}

void WaveOutDevice::set_volume(DWORD volume) {
    std::lock_guard guard(lock_);
    volume_ = volume;
}

MMRESULT WaveOutDevice::mark_closed() {
    std::lock_guard guard(lock_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!entries_.empty()) {
        return WAVERR_STILLPLAYING;
    }
    closed_ = true;
    wake_.notify_all();
    return MMSYSERR_NOERROR;
}

size_t WaveOutDevice::take_locked(uint8_t* out, size_t frames) {
    size_t align = format_.nBlockAlign;
    size_t copied = 0;
    for (const Entry& entry : entries_) {
        if (copied == frames) {
            break;
        }
        if (entry.end <= taken_) {
            continue;
        }
        size_t from = static_cast<size_t>(taken_ - entry.start);
        size_t count = std::min<size_t>(frames - copied, static_cast<size_t>(entry.end - taken_));
        std::memcpy(out + copied * align, entry.header->lpData + from * align, count * align);
        copied += count;
        taken_ += count;
    }
    apply_volume(out, copied);
    return copied;
}

void WaveOutDevice::apply_volume(uint8_t* bytes, size_t frames) const {
    if (volume_ == 0xFFFFFFFF) {
        return;
    }
    DWORD levels[2] = {volume_ & 0xFFFF, volume_ >> 16};
    size_t channels = format_.nChannels;
    for (size_t i = 0; i < frames * channels; ++i) {
        DWORD level = levels[i % channels];
        if (format_.wBitsPerSample == 16) {
            int16_t sample = 0;
            std::memcpy(&sample, bytes + 2 * i, 2);
            sample = static_cast<int16_t>(int64_t(sample) * level / 0xFFFF);
            std::memcpy(bytes + 2 * i, &sample, 2);
        } else {
            int centred = int(bytes[i]) - 128;
            bytes[i] = static_cast<uint8_t>(int64_t(centred) * level / 0xFFFF + 128);
        }
    }
}

void WaveOutDevice::heard_until_locked(uint64_t frames) {
    heard_ = std::max(heard_, std::min(frames, taken_));
    while (!entries_.empty() && entries_.front().end <= heard_) {
        WAVEHDR* header = entries_.front().header;
        entries_.pop_front();
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        post(MM_WOM_DONE, reinterpret_cast<LPARAM>(header));
    }
}

void wave_out_log(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace platform
