#pragma once
// One open wave-out device: the queue of written buffers, the position heard, and the
// notifications to the callback thread. An output (paced clock or sound card) drains it.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/waveout/WaveOut.h"

namespace platform {

class WaveOutDevice;

// What consumes a device's queue. start runs once the device is set up; stop returns
// only when the output will not touch the device again.
class WaveOutput {
public:
    virtual ~WaveOutput() = default;
    virtual bool start(WaveOutDevice& device) = 0;
    virtual void stop() = 0;
};

class WaveOutDevice {
public:
    WaveOutDevice(HWAVEOUT handle, const WAVEFORMATEX& format, DWORD callback_thread, bool notify);

    HWAVEOUT handle() const { return handle_; }
    const WAVEFORMATEX& format() const { return format_; }
    std::mutex& lock() { return lock_; }
    std::condition_variable& wake() { return wake_; }

    void post(UINT message, LPARAM lparam);

    MMRESULT prepare(WAVEHDR* header);
    MMRESULT unprepare(WAVEHDR* header);
    MMRESULT write(WAVEHDR* header);
    MMRESULT reset();
    MMRESULT position(DWORD& frames);
    void set_volume(DWORD volume);
    // WAVERR_STILLPLAYING while buffers are queued; afterwards the device takes no calls.
    MMRESULT mark_closed();

    // For outputs, under lock(): copy up to `frames` queued frames not yet taken into
    // `out` at the device's volume; returns the frames copied.
    size_t take_locked(uint8_t* out, size_t frames);
    // Frames written and not yet taken.
    uint64_t pending_locked() const { return queued_end_ - taken_; }
    uint64_t taken_locked() const { return taken_; }
    // Everything up to `frames` (since the last reset) has been heard: buffers that
    // lie wholly before it are returned to their owner.
    void heard_until_locked(uint64_t frames);
    bool idle_locked() const { return entries_.empty(); }
    // Counts the resets, so an output can tell that the stream started again.
    uint64_t reset_count_locked() const { return resets_; }
    // Tick count and stream frame at which the current run of buffers began playing.
    DWORD run_start_tick_locked() const { return run_tick_; }
    uint64_t run_start_frame_locked() const { return run_frame_; }

private:
    struct Entry {
        WAVEHDR* header;
        uint64_t start;  // first frame, counted since the last reset
        uint64_t end;
    };

    void apply_volume(uint8_t* bytes, size_t frames) const;

    HWAVEOUT handle_;
    WAVEFORMATEX format_;
    DWORD callback_thread_;
    bool notify_;

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Entry> entries_;
    uint64_t queued_end_ = 0;
    uint64_t taken_ = 0;
    uint64_t heard_ = 0;
    uint64_t resets_ = 0;
    DWORD run_tick_ = 0;
    uint64_t run_frame_ = 0;
    DWORD volume_ = 0xFFFFFFFF;
    bool closed_ = false;
};

// A device's output paced by GetTickCount; with a recorder path it also writes what it
// plays into the WAV recording.
std::unique_ptr<WaveOutput> make_paced_output(bool record, const std::string& path);
// The sound card through SDL; null, with the reason, when no card can be opened.
std::unique_ptr<WaveOutput> make_sdl_output(const WAVEFORMATEX& format, std::string& why_not);

// A diagnostic line of the wave-out layer.
void wave_out_log(const std::string& line);

}  // namespace platform
