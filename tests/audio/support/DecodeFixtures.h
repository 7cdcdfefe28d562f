#pragma once
// Helpers of the WAVE, Vorbis and Musepack reader tests: running the encoders in the
// test's device root, and comparing what the pipeline delivers with another decoder.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/SkinCompiler.h"  // read_bytes, write_bytes

namespace audio {
class DataSource;
}

namespace fixtures {

// Runs a shell command in the root folder; true when it exited with 0.
bool run_in(const DeviceRoot& root, const std::string& command);

// The other formats' files of one sweep, made in the root: pcm.wav and adpcm.wav at 44.1 kHz
// stereo, gsm.wav at 8 kHz mono, v.ogg, m.mpc (needs sox, oggenc, mpcenc). False when a tool fails.
extern const char* const kOtherFormatFiles[5];
bool make_other_format_files(const DeviceRoot& root, double seconds);

// Little-endian 16-bit samples of raw bytes (an odd last byte is dropped).
std::vector<int16_t> samples_of(const std::vector<uint8_t>& bytes);
// The samples of a host file of raw 16-bit samples.
std::vector<int16_t> raw_samples(const std::string& host_path);

// Pulls through a sink connected to source until an empty block (at most max_pulls
// pulls, so a source that never ends shows up as a failure, not a hang).
struct Pulled {
    std::vector<uint8_t> bytes;
    int pulls = 0;
    bool ended = false;  // an empty block came before max_pulls
    int channels = 0, bits = 0, sample_rate = 0;
};
Pulled pull_all(audio::DataSource& source, int frames_per_pull, int max_pulls = 200000);

struct SampleDiff {
    size_t compared = 0;
    int max_abs = 0;
};
// Compares the first n samples of both (n = the shorter length).
SampleDiff compare_samples(const std::vector<int16_t>& a, const std::vector<int16_t>& b);

}  // namespace fixtures
