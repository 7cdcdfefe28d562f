// Ogg Vorbis files of any content, opened by their reader, then read, seeked and pushed to the end.
#include "audio/FileReaderVorbis.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("vorbis") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.ogg", data, size);
    fuzz_audio::open_and_drive<audio::FileReaderVorbis, audio::AudioFormatVorbis>(u"\\f.ogg", size);
    return 0;
}
