// RIFF/WAVE files of any content, opened by the PCM, MS ADPCM and GSM readers as the
// open-file factory tries them, then read, seeked and pushed to the end.
#include "audio/FileReaderADPCM.h"
#include "audio/FileReaderGSM.h"
#include "audio/FileReaderPCM.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

using namespace audio;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("wave") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.wav", data, size);
    const std::u16string path = u"\\f.wav";
    const int opened = int(fuzz_audio::open_and_drive<FileReaderPCM, AudioFormatPCM>(path, size)) +
                       int(fuzz_audio::open_and_drive<FileReaderADPCM, AudioFormatADPCM>(path, size)) +
                       int(fuzz_audio::open_and_drive<FileReaderGSM, AudioFormatGSM>(path, size));
    fuzz_audio::check(opened <= 1);  // each coding is recognised by its own format tag only
    return 0;
}
