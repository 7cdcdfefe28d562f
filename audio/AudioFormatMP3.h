#pragma once
// An opened MP3 file: FileReaderMP3 followed by DecoderMP3, titled by its ID3v1 tag.
#include "audio/AudioFormat.h"
#include "audio/DecoderMP3.h"
#include "audio/FileReaderMP3.h"

namespace audio {

class AudioFormatMP3 : public AudioFormatDecoded {
public:
    AudioFormatMP3(std::unique_ptr<FileReaderMP3> reader, const std::u16string& path);
    // The decoder keeps a bit reservoir across frames: drop it before a seek.
    void reset() override;
};

}  // namespace audio
