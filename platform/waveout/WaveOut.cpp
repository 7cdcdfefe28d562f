#include "platform/waveout/WaveOut.h"

#include <atomic>
#include <unordered_map>

#include "platform/device/DeviceProfile.h"
#include "platform/waveout/WaveOutDevice.h"

namespace {

using platform::WaveOutDevice;
using platform::WaveOutput;

constexpr DWORD kCallbackTypeMask = 0x00070000;

// An open device with what drains it; the output goes first on destruction.
struct OpenDevice {
    std::unique_ptr<WaveOutDevice> device;
    std::unique_ptr<WaveOutput> output;
};

struct DeviceTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<OpenDevice>> devices;
    uintptr_t next = 0x5000;
};

DeviceTable& table() {
    static DeviceTable* instance = new DeviceTable;  // outlives threads that close late
    return *instance;
}

// Handle values are never reused, so a stale handle fails cleanly.
HWAVEOUT new_handle() {
    DeviceTable& t = table();
    std::lock_guard guard(t.lock);
    uintptr_t value = t.next;
    t.next += 4;
    return reinterpret_cast<HWAVEOUT>(value);
}

void insert(HWAVEOUT handle, std::shared_ptr<OpenDevice> open) {
    DeviceTable& t = table();
    std::lock_guard guard(t.lock);
    t.devices.emplace(reinterpret_cast<uintptr_t>(handle), std::move(open));
}

std::shared_ptr<OpenDevice> find(HWAVEOUT handle) {
    DeviceTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.devices.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.devices.end() ? nullptr : it->second;
}

void remove(HWAVEOUT handle) {
    DeviceTable& t = table();
    std::lock_guard guard(t.lock);
    t.devices.erase(reinterpret_cast<uintptr_t>(handle));
}

bool valid_format(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
           f.nSamplesPerSec <= 192000 && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nAvgBytesPerSec == f.nBlockAlign * f.nSamplesPerSec;
}

std::atomic<bool> no_sound_card{false};

// The output VANTREL_AUDIO asks for; null for an unknown device name.
std::unique_ptr<WaveOutput> make_output(const WAVEFORMATEX& format) {
    const std::string& kind = platform::device_profile().audio;
    if (kind == "null") {
        return platform::make_paced_output(false, {});
    }
    if (kind.rfind("wav:", 0) == 0 && kind.size() > 4) {
        return platform::make_paced_output(true, kind.substr(4));
    }
    if (kind == "sdl") {
        if (!no_sound_card.load()) {
            std::string why_not;
            if (auto card = platform::make_sdl_output(format, why_not)) {
                return card;
            }
            if (!no_sound_card.exchange(true)) {
                platform::wave_out_log("waveOutOpen: no sound card (" + why_not + "), playing on the null device");
            }
        }
        return platform::make_paced_output(false, {});
    }
    platform::wave_out_log("waveOutOpen: unknown VANTREL_AUDIO device \"" + kind + "\"");
    return nullptr;
}

}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* device, UINT device_id, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR /*instance*/, DWORD flags) {
    if (!device || !format) {
        return MMSYSERR_INVALPARAM;
    }
    if (device_id != WAVE_MAPPER && device_id != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    DWORD callback_type = flags & kCallbackTypeMask;
    if ((flags & ~kCallbackTypeMask) != 0 || (callback_type != CALLBACK_NULL && callback_type != CALLBACK_THREAD)) {
        platform::wave_out_log("waveOutOpen: unsupported flags " + std::to_string(flags));
        return MMSYSERR_INVALFLAG;
    }
    if (callback_type == CALLBACK_THREAD && (callback == 0 || callback > 0xFFFFFFFFu)) {
        return MMSYSERR_INVALPARAM;
    }
    if (!valid_format(*format)) {
        platform::wave_out_log("waveOutOpen: unsupported format " + std::to_string(format->nSamplesPerSec) + " Hz " +
                               std::to_string(format->wBitsPerSample) + " bits " +
                               std::to_string(format->nChannels) + " channels");
        return WAVERR_BADFORMAT;
    }
    auto open = std::make_shared<OpenDevice>();
    open->output = make_output(*format);
    if (!open->output) {
        return MMSYSERR_BADDEVICEID;
    }
    HWAVEOUT handle = new_handle();
    open->device = std::make_unique<WaveOutDevice>(handle, *format, static_cast<DWORD>(callback),
                                                   callback_type == CALLBACK_THREAD);
    if (!open->output->start(*open->device)) {
        return MMSYSERR_ERROR;
    }
    insert(handle, open);
    *device = handle;
    open->device->post(MM_WOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MMRESULT result = open->device->mark_closed(); result != MMSYSERR_NOERROR) {
        return result;
    }
    remove(device);
    open->output->stop();
    open->device->post(MM_WOM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT header_size) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header || header_size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return open->device->prepare(header);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT header_size) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header || header_size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return open->device->unprepare(header);
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT header_size) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header || header_size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return open->device->write(header);
}

MMRESULT waveOutReset(HWAVEOUT device) {
    std::shared_ptr<OpenDevice> open = find(device);
    return open ? open->device->reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, UINT time_size) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!time || time_size < sizeof(MMTIME)) {
        return MMSYSERR_INVALPARAM;
    }
    if (time->wType != TIME_SAMPLES) {
        platform::wave_out_log("waveOutGetPosition: only TIME_SAMPLES is supported");
        return MMSYSERR_INVALPARAM;
    }
    DWORD frames = 0;
    MMRESULT result = open->device->position(frames);
    if (result == MMSYSERR_NOERROR) {
        time->u.sample = frames;
    }
    return result;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    std::shared_ptr<OpenDevice> open = find(device);
    if (!open) {
        return MMSYSERR_INVALHANDLE;
    }
    open->device->set_volume(volume);
    return MMSYSERR_NOERROR;
}

namespace platform {

int wave_out_open_count() {
    DeviceTable& t = table();
    std::lock_guard guard(t.lock);
    return static_cast<int>(t.devices.size());
}

}  // namespace platform
