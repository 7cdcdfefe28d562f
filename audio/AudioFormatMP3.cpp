#include "audio/AudioFormatMP3.h"

#include "audio/Id3v1Tag.h"

namespace audio {

AudioFormatMP3::AudioFormatMP3(std::unique_ptr<FileReaderMP3> reader, const std::u16string& path)
    : AudioFormatDecoded(std::move(reader), std::make_unique<DecoderMP3>(), path, u"mp3") {
    Id3v1Tag tag = read_id3v1_tag(path);
    if (!tag.title.empty()) {
        set_title(tag.title);
    }
}

void AudioFormatMP3::reset() { static_cast<DecoderMP3*>(decoder())->reset(); }

}  // namespace audio
