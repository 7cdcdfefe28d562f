// convert-span on every WAVE coding, Ogg Vorbis and Musepack: the span becomes a mono
// MP3 raised to 3/4 of full scale, whatever the reader's position units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>

#include "tests/audio/support/DecodeFixtures.h"

namespace {

const std::string kProgram = std::string(VANTREL_TEST_BINARY_DIR) + "/bench/convert-span/convert-span";

}  // namespace

TEST(ConvertSpanFormats, ConvertsASpanOfEveryFormat) {
    for (const char* tool : {"sox", "ffmpeg", "oggenc", "mpcenc"}) {
        if (!fixtures::have_program(tool)) GTEST_SKIP() << "needs " << tool;
    }
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        int rate, channels, bits;
        const char* encode;  // from src.wav to the named file; empty: the source itself
        int frames_slack;    // the span is cut at whole coded blocks; a Musepack position
                             // runs ahead by the decoded frame still held
        double peak_slack;   // the MP3 of a noisy coding (GSM, sox's dithered ADPCM) overshoots more
    } cases[] = {
        {"pcm8.wav", 11025, 1, 8, "", 0, 0.1},
        {"pcm16.wav", 22050, 2, 16, "", 0, 0.1},
        {"adpcm.wav", 22050, 2, 16, "sox src.wav -e ms-adpcm adpcm.wav", 1012, 0.15},
        {"adpcm_ff.wav", 8000, 1, 16, "ffmpeg -loglevel error -y -i src.wav -c:a adpcm_ms adpcm_ff.wav", 1012, 0.1},
        {"gsm.wav", 8000, 1, 16, "sox src.wav -e gsm-full-rate gsm.wav", 320, 0.25},
        {"v.ogg", 44100, 2, 16, "oggenc -Q -o v.ogg src.wav", 0, 0.1},
        {"m.mpc", 44100, 2, 16, "mpcenc --silent --overwrite src.wav m.mpc", 1152, 0.1},
    };
    for (const auto& c : cases) {
        fixtures::ToneSpec tone{.seconds = 5.0, .sample_rate = c.rate, .channels = c.channels, .bits = c.bits,
                                .frequency = 300.0, .sweep_to = 1200.0, .amplitude = 0.25};
        const std::string source = std::string(c.encode).empty() ? c.name : "src.wav";
        ASSERT_TRUE(fixtures::make_wav(root.host(source), tone)) << c.name;
        if (!std::string(c.encode).empty()) {
            ASSERT_TRUE(fixtures::run_in(root, c.encode)) << c.encode;
        }
        const std::string out = root.host(std::string(c.name) + ".mp3");
        const std::string err = root.host("stderr.txt");
        const std::string line = root.host("stdout.txt");
        const int status = fixtures::run_command(root.environment() + " " + kProgram + " '" + root.host(c.name) + "' '" +
                                                 out + "' 1 3 >'" + line + "' 2>'" + err + "'");
        ASSERT_EQ(status, 0) << c.name << ": " << fixtures::read_file(err);
        std::smatch match;
        const std::string printed = fixtures::read_file(line);
        ASSERT_TRUE(std::regex_match(printed, match, std::regex(R"(seconds=[0-9.]+ frames=([0-9]+) peak=([0-9.]+) kbps=(32|64)\n)")))
            << c.name << ": " << printed;
        EXPECT_NEAR(std::stod(match[1]), 2.0 * c.rate, c.frames_slack) << c.name;
        // The peak of the span as another decoder sees it (lossy codings overshoot a little).
        fixtures::DecodedAudio input = fixtures::decode_audio(root.host(c.name));
        ASSERT_TRUE(input.ok) << c.name;
        int peak = 0;
        for (size_t i = static_cast<size_t>(c.rate) * c.channels; i < 3u * c.rate * c.channels && i < input.samples.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(input.samples[i])));
        }
        EXPECT_NEAR(std::stod(match[2]), peak / 32768.0, 0.01) << c.name;

        fixtures::DecodedAudio decoded = fixtures::decode_audio(out);
        ASSERT_TRUE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.channels, 1) << c.name;
        EXPECT_NEAR(decoded.peak(), 0.75, c.peak_slack) << c.name;
        // The encoder adds its delay and pads the last frame (576 samples at low rates).
        const double seconds = static_cast<double>(decoded.frames()) / decoded.sample_rate;
        EXPECT_GT(seconds, 1.95) << c.name;
        EXPECT_LT(seconds, 2.3) << c.name;
    }
}
