// Ogg Vorbis files of any content, opened by the Vorbis reader, then read, seeked and pushed to
// the end.
#include "audio/FileReaderVorbis.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("vorbis") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.ogg", data, size);
    const std::u16string path = u"\\f.ogg";
    auto reader = std::make_unique<audio::FileReaderVorbis>(path);
    if (reader->is_open()) {
        fuzz_audio::drive(std::make_unique<audio::AudioFormatVorbis>(std::move(reader), path), size);
    }
    return 0;
}
