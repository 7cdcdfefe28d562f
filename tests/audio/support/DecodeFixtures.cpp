#include "tests/audio/support/DecodeFixtures.h"

#include <algorithm>
#include <cstdlib>

#include "audio/DataNodes.h"
#include "audio/PcmSamples.h"

namespace fixtures {

bool run_in(const DeviceRoot& root, const std::string& command) {
    return run_command("cd '" + root.path() + "' && " + command) == 0;
}

const char* const kOtherFormatFiles[5] = {"pcm.wav", "adpcm.wav", "gsm.wav", "v.ogg", "m.mpc"};

bool make_other_format_files(const DeviceRoot& root, double seconds) {
    ToneSpec tone{.seconds = seconds, .sample_rate = 44100, .channels = 2, .bits = 16,
                  .frequency = 300.0, .sweep_to = 900.0, .amplitude = 0.5};
    if (!make_wav(root.host("pcm.wav"), tone)) {
        return false;
    }
    tone.sample_rate = 8000;
    tone.channels = 1;
    return make_wav(root.host("src8k.wav"), tone) &&
           run_in(root, "sox pcm.wav -e ms-adpcm adpcm.wav && sox src8k.wav -e gsm-full-rate gsm.wav && "
                        "oggenc -Q -o v.ogg pcm.wav && mpcenc --silent --overwrite pcm.wav m.mpc");
}

std::vector<int16_t> samples_of(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = audio::read_s16(bytes.data() + 2 * i);
    }
    return samples;
}

std::vector<int16_t> raw_samples(const std::string& host_path) { return samples_of(read_bytes(host_path)); }

Pulled pull_all(audio::DataSource& source, int frames_per_pull, int max_pulls) {
    audio::DataSink sink;
    source.connect(&sink);
    Pulled result;
    while (result.pulls < max_pulls) {
        audio::AudioBlock block = sink.pull(frames_per_pull);
        ++result.pulls;
        if (block.empty()) {
            result.ended = true;
            break;
        }
        result.channels = block.channels;
        result.bits = block.bits;
        result.sample_rate = block.sample_rate;
        result.bytes.insert(result.bytes.end(), block.const_data(), block.const_data() + block.length());
    }
    source.connect(nullptr);
    return result;
}

SampleDiff compare_samples(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    SampleDiff diff;
    diff.compared = std::min(a.size(), b.size());
    for (size_t i = 0; i < diff.compared; ++i) {
        diff.max_abs = std::max(diff.max_abs, std::abs(a[i] - b[i]));
    }
    return diff;
}

}  // namespace fixtures
