#pragma once
// Recording of the "wav:PATH" device: what every device of the process plays goes into
// PATH as 16- or 8-bit PCM WAV; a device opened with another format starts the next
// file (PATH-2.wav, PATH-3.wav...), so each file holds one format, in playing order.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/waveout/WaveOut.h"

namespace platform {

class WaveSegment;

class WaveRecording {
public:
    // False (and logged) when the file cannot be written.
    bool begin(const std::string& path, const WAVEFORMATEX& format);
    void append(const uint8_t* bytes, size_t size);
    void end();

private:
    std::shared_ptr<WaveSegment> segment_;
};

}  // namespace platform
