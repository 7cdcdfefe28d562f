// The "null" and "wav:" devices: buffers are consumed at the real-time pace of their
// format, measured with GetTickCount, so positions and completions come as on a card.
#include <chrono>
#include <thread>

#include "platform/kernel/Time.h"
#include "platform/waveout/WaveOutDevice.h"
#include "platform/waveout/WaveRecorder.h"

namespace platform {

namespace {

// Short enough that a buffer returns within a few milliseconds of its end.
constexpr auto kPollInterval = std::chrono::milliseconds(4);

class PacedOutput : public WaveOutput {
public:
    PacedOutput(bool record, std::string path) : record_(record), path_(std::move(path)) {}
    ~PacedOutput() override { stop(); }

    bool start(WaveOutDevice& device) override {
        if (record_ && !recording_.begin(path_, device.format())) {
            return false;
        }
        device_ = &device;
        thread_ = std::thread([this] { run(); });
        return true;
    }

    void stop() override {
        if (!thread_.joinable()) {
            return;
        }
        {
            std::lock_guard guard(device_->lock());
            stopping_ = true;
            device_->wake().notify_all();
        }
        thread_.join();
        recording_.end();
    }

private:
    void run() {
        std::unique_lock guard(device_->lock());
        while (!stopping_) {
            advance();
            if (device_->idle_locked()) {
                device_->wake().wait(guard);
            } else {
                device_->wake().wait_for(guard, kPollInterval);
            }
        }
    }

    // Plays (and records) what the clock says has been heard since the run began.
    void advance() {
        if (device_->idle_locked()) {
            return;
        }
        const WAVEFORMATEX& format = device_->format();
        DWORD elapsed = GetTickCount() - device_->run_start_tick_locked();
        uint64_t due = device_->run_start_frame_locked() + uint64_t(elapsed) * format.nSamplesPerSec / 1000;
        uint64_t taken = device_->taken_locked();
        if (due > taken) {
            uint64_t frames = std::min<uint64_t>(due - taken, device_->pending_locked());
            scratch_.resize(static_cast<size_t>(frames) * format.nBlockAlign);
            size_t copied = device_->take_locked(scratch_.data(), static_cast<size_t>(frames));
            if (record_) {
                recording_.append(scratch_.data(), copied * format.nBlockAlign);
            }
        }
        device_->heard_until_locked(device_->taken_locked());
    }

    bool record_;
    std::string path_;
    WaveRecording recording_;
    WaveOutDevice* device_ = nullptr;
    std::thread thread_;
    bool stopping_ = false;  // under the device's lock
    std::vector<uint8_t> scratch_;
};

}  // namespace

std::unique_ptr<WaveOutput> make_paced_output(bool record, const std::string& path) {
    return std::make_unique<PacedOutput>(record, path);
}

}  // namespace platform
