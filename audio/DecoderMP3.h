#pragma once
// The decode node after the MP3 reader: one coded MPEG frame in, 16-bit PCM out.
#include <vector>

#include "audio/DataNodes.h"
#include "audio/Mp3Decoding.h"

namespace audio {

class DecoderMP3 : public ConverterNode {
public:
    DecoderMP3();
    ~DecoderMP3() override;

    // A fresh decoder state (and no audio held from before), for a seek.
    void reset();
    AudioBlock convert(const AudioBlock& coded) override;
    // The reader gives one frame per read whatever is asked.
    int input_units_for(int) override { return 1; }

private:
    Mp3DecoderState* state_;
    std::vector<uint8_t> coded_;  // the frame plus the guard bytes libmad reads past it
};

}  // namespace audio
