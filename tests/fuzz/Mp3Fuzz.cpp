// MPEG audio files of any content (frames, ID3v1 and ID3v2 tags, Xing, Info and VBRI headers),
// opened as the open-file factory's last try, then read, seeked and pushed to the end.
#include "audio/AudioFormatMP3.h"
#include "audio/Mp3InfoHeader.h"
#include "tests/fuzz/AudioDrive.h"
#include "tests/fuzz/FuzzRoot.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("mp3") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The header of a first frame, on the bytes as they are.
    audio::Mp3FrameInfo info;
    if (size >= 4 && audio::parse_mp3_frame_header(data, info)) {
        audio::Mp3InfoHeader header;
        (void)audio::parse_mp3_info_header({data, size}, info, header);
    }
    fuzz_root::write_file("f.mp3", data, size);
    fuzz_audio::open_and_drive<audio::FileReaderMP3, audio::AudioFormatMP3>(u"\\f.mp3", size);
    return 0;
}
