#pragma once
// Microsoft ADPCM WAVE files: the reader hands whole coded blocks to DecoderADPCM.
#include "audio/AudioFormat.h"
#include "audio/FileReaderWAV.h"

namespace audio {

class FileReaderADPCM : public FileReaderWAVBlocks {
public:
    explicit FileReaderADPCM(const std::u16string& path);

private:
    void describe(AudioBlock& coded) override;
};

// Turns the coded blocks (4 bits per sample, with their block align) into 16-bit PCM.
class DecoderADPCM : public ConverterNode {
public:
    ~DecoderADPCM() override;
    AudioBlock convert(const AudioBlock& coded) override;
    int input_units_for(int frames) override;
};

class AudioFormatADPCM : public AudioFormatDecoded {
public:
    AudioFormatADPCM(std::unique_ptr<FileReaderADPCM> reader, const std::u16string& path);
};

}  // namespace audio
