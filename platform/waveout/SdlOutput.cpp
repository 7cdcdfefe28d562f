// The "sdl" device: the sound card through SDL2's audio. SDL converts our PCM format to
// whatever the card takes. A frame counts as heard only once the card has had the
// chance to play it: two callback periods after it was handed over.
#include <SDL.h>

#include <array>
#include <cstring>
#include <mutex>

#include "platform/waveout/WaveOutDevice.h"

namespace platform {

namespace {

// Callback periods between handing a frame to SDL and its reaching the speaker.
constexpr size_t kLatencyPeriods = 2;

bool init_sdl_audio() {
    static std::mutex lock;
    static bool ready = false;
    std::lock_guard guard(lock);
    if (!ready) {
        ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return ready;
}

class SdlOutput : public WaveOutput {
public:
    explicit SdlOutput(SDL_AudioDeviceID id) : id_(id) {}
    ~SdlOutput() override { stop(); }

    bool start(WaveOutDevice& device) override {
        device_ = &device;
        SDL_PauseAudioDevice(id_, 0);
        return true;
    }

    void stop() override {
        if (id_ != 0) {
            // Waits for a running callback; the device's lock must not be held here.
            SDL_CloseAudioDevice(id_);
            id_ = 0;
        }
    }

    void opened(SDL_AudioDeviceID id, Uint8 silence) {
        id_ = id;
        silence_ = silence;
    }

    static void callback(void* self, Uint8* stream, int length) {
        static_cast<SdlOutput*>(self)->fill(stream, static_cast<size_t>(length));
    }

private:
    void fill(Uint8* stream, size_t length) {
        if (!device_) {
            std::memset(stream, silence_, length);
            return;
        }
        std::lock_guard guard(device_->lock());
        const WAVEFORMATEX& format = device_->format();
        size_t frames = length / format.nBlockAlign;
        size_t copied = device_->take_locked(stream, frames);
        std::memset(stream + copied * format.nBlockAlign, silence_, length - copied * format.nBlockAlign);
        if (device_->reset_count_locked() != resets_) {
            // A reset restarts the stream at frame 0.
            resets_ = device_->reset_count_locked();
            history_.fill(0);
        }
        // history_[i] is what had been taken i + 1 periods ago.
        for (size_t i = history_.size() - 1; i > 0; --i) {
            history_[i] = history_[i - 1];
        }
        history_[0] = device_->taken_locked();
        device_->heard_until_locked(history_.back());
    }

    SDL_AudioDeviceID id_;
    WaveOutDevice* device_ = nullptr;  // set before the callback is unpaused
    Uint8 silence_ = 0;
    uint64_t resets_ = 0;
    std::array<uint64_t, kLatencyPeriods> history_{};
};

}  // namespace

std::unique_ptr<WaveOutput> make_sdl_output(const WAVEFORMATEX& format, std::string& why_not) {
    if (!init_sdl_audio()) {
        why_not = SDL_GetError();
        return nullptr;
    }
    // SDL picks its "dummy" and "disk" drivers only when SDL_AUDIODRIVER names them, so
    // whatever driver is current was found or asked for.
    if (!SDL_GetCurrentAudioDriver()) {
        why_not = "SDL has no audio driver";
        return nullptr;
    }
    auto output = std::make_unique<SdlOutput>(0);
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.nSamplesPerSec);
    want.format = format.wBitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = static_cast<Uint8>(format.nChannels);
    want.samples = 1024;
    want.callback = &SdlOutput::callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts our format to the card's own behind the callback.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        why_not = SDL_GetError();
        return nullptr;
    }
    output->opened(id, have.silence);
    return output;
}

}  // namespace platform
