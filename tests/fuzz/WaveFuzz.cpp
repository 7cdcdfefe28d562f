// RIFF/WAVE files of any content, opened by the PCM, MS ADPCM and GSM readers as the
// open-file factory tries them, then read, seeked and pushed to the end.
#include "audio/FileReaderADPCM.h"
#include "audio/FileReaderGSM.h"
#include "audio/FileReaderPCM.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("wave") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("f.wav", data, size);
    const std::u16string path = u"\\f.wav";
    int opened = 0;
    if (auto pcm = std::make_unique<audio::FileReaderPCM>(path); pcm->is_open()) {
        ++opened;
        fuzz_audio::drive(std::make_unique<audio::AudioFormatPCM>(std::move(pcm), path), size);
    }
    if (auto adpcm = std::make_unique<audio::FileReaderADPCM>(path); adpcm->is_open()) {
        ++opened;
        fuzz_audio::drive(std::make_unique<audio::AudioFormatADPCM>(std::move(adpcm), path), size);
    }
    if (auto gsm = std::make_unique<audio::FileReaderGSM>(path); gsm->is_open()) {
        ++opened;
        fuzz_audio::drive(std::make_unique<audio::AudioFormatGSM>(std::move(gsm), path), size);
    }
    fuzz_audio::check(opened <= 1);  // each coding is recognised by its own format tag only
    return 0;
}
