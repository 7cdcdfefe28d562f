// Musepack files of any content, opened by the Musepack reader, then read, seeked and pushed to
// the end.
#include "audio/FileReaderMPC.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("mpc") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.mpc", data, size);
    const std::u16string path = u"\\f.mpc";
    auto reader = std::make_unique<audio::FileReaderMPC>(path);
    if (reader->is_open()) {
        fuzz_audio::drive(std::make_unique<audio::AudioFormatMPC>(std::move(reader), path), size);
    }
    return 0;
}
