#pragma once
// GSM 6.10 WAVE files: the reader hands whole 65-byte blocks to DecoderGSM, which
// decodes them with libgsm in its WAV49 layout.
#include "audio/AudioFormat.h"
#include "audio/FileReaderWAV.h"

struct gsm_state;

namespace audio {

class FileReaderGSM : public FileReaderWAVBlocks {
public:
    explicit FileReaderGSM(const std::u16string& path);

private:
    void describe(AudioBlock& coded) override;
};

class DecoderGSM : public ConverterNode {
public:
    DecoderGSM();
    ~DecoderGSM() override;
    AudioBlock convert(const AudioBlock& coded) override;
    int input_units_for(int frames) override;

private:
    struct GsmDeleter {
        void operator()(gsm_state* state) const;
    };
    std::unique_ptr<gsm_state, GsmDeleter> gsm_;
};

class AudioFormatGSM : public AudioFormatDecoded {
public:
    AudioFormatGSM(std::unique_ptr<FileReaderGSM> reader, const std::u16string& path);
};

}  // namespace audio
