#pragma once
// The tail of the preview chain: its own thread pulls PCM from the node in front of it and
// feeds the wave-out device through six rotating buffers of 200 ms. The user-interface
// thread only commands it (play, stop) and polls it (finished, samples not yet heard).
#include <memory>

#include "audio/DataNodes.h"

namespace audio {

class PlayerThread;

class PlayerPCM : public DataSink {
public:
    PlayerPCM();
    ~PlayerPCM() override;

    // The player pulls; a pushed block is a programming error.
    void on_data(const AudioBlock& block) override;

    // Each returns whether the command reached the player thread.
    bool play();
    bool stop();

    bool is_finished();
    // Sample frames pulled for the current device and not yet heard; 0 without a device.
    int get_unplayed_samples();
    // Bytes in each device buffer: 200 ms of the last device's format (0 before the first).
    int buffer_size();

private:
    std::unique_ptr<PlayerThread> thread_;
};

}  // namespace audio
