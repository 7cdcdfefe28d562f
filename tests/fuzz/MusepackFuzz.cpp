// Musepack files of any content, opened by their reader, then read, seeked and pushed to the end.
#include "audio/FileReaderMPC.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("mpc") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.mpc", data, size);
    fuzz_audio::open_and_drive<audio::FileReaderMPC, audio::AudioFormatMPC>(u"\\f.mpc", size);
    return 0;
}
