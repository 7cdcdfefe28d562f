// The convert-span driver: its output line, its failures, and the comparison run.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <regex>
#include <string>

#include "tests/audio/support/WaveBytes.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

const std::string kProgram = std::string(VANTREL_TEST_BINARY_DIR) + "/bench/convert-span/convert-span";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const fixtures::DeviceRoot& root, const std::string& arguments) {
    std::string out = root.host("stdout.txt");
    std::string err = root.host("stderr.txt");
    // A time limit, so that a run that hangs fails rather than holding the suite.
    int status = fixtures::run_command(root.environment() + " timeout 600 " + kProgram + " " + arguments + " >'" + out + "' 2>'" +
                                       err + "'");
    return {status, fixtures::read_file(out), fixtures::read_file(err)};
}

}  // namespace

TEST(ConvertSpan, ConvertsSpanAndPrintsOneLine) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("in.mp3"), {.tone = {.seconds = 8.0, .channels = 2, .amplitude = 0.25}}));
    Outcome result = run(root, "'" + root.host("in.mp3") + "' '" + root.host("out.mp3") + "' 2 6");
    ASSERT_EQ(result.status, 0) << result.err;
    std::smatch match;
    ASSERT_TRUE(std::regex_match(result.out, match,
                                 std::regex(R"(seconds=[0-9.]+ frames=([0-9]+) peak=([0-9.]+) kbps=64\n)")))
        << result.out;
    // From the asked start (to the few samples a byte stands for), to the end of the frame the
    // finish lies in.
    EXPECT_GE(std::stod(match[1]), 4.0 * 44100 - 4);
    EXPECT_LT(std::stod(match[1]), 4.0 * 44100 + 1152);
    EXPECT_NEAR(std::stod(match[2]), 0.25, 0.03);
    fixtures::DecodedAudio decoded = fixtures::decode_audio(root.host("out.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, 1);
    // The span's last frame, the output's padded last frame and the encoder's delay.
    EXPECT_NEAR(static_cast<double>(decoded.frames()), 4.0 * 44100, 2 * 1152 + 576 + 529);
    EXPECT_NEAR(decoded.peak(), 0.75, 0.04);
}

TEST(ConvertSpan, FailuresLeaveNoOutput) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("in.mp3"), {.tone = {.seconds = 3.0}}));
    fixtures::write_file(root.host("notes.txt"), "plain words, no audio at all\n");
    // Three samples a second: the encoder cannot take it, so the input is refused.
    fixtures::write_bytes(root.host("crawl.wav"), fixtures::riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 3, 2, 16).b},
                                                                        {"data", std::vector<uint8_t>(120, 0x40)}}));
    ASSERT_EQ(mkfifo(root.host("pipe.mp3").c_str(), 0666), 0);
    const std::string in = "'" + root.host("in.mp3") + "' ";
    const std::string out = "'" + root.host("out.mp3") + "' ";
    struct Case {
        const char* what;
        std::string arguments;
        const char* says = "";
    } cases[] = {
        {"missing input", "'" + root.host("missing.mp3") + "' " + out + "0 1"},
        {"a FIFO", "'" + root.host("pipe.mp3") + "' " + out + "0 1", "is not a regular file"},
        {"not audio", "'" + root.host("notes.txt") + "' " + out + "0 1"},
        {"span beyond the end", in + out + "2 9"},
        {"start beyond the end", in + out + "5 6"},
        {"finish before start", in + out + "2 1"},
        {"negative start", in + out + "-1 1"},
        {"not a number", in + out + "zero 1"},
        {"rate the encoder cannot take", "'" + root.host("crawl.wav") + "' " + out + "0 10", "unsupported input"},
        {"unwritable output", in + "'" + root.host("no/such/dir/out.mp3") + "' 0 1"},
        {"too few arguments", in + out},
    };
    for (const Case& c : cases) {
        Outcome result = run(root, c.arguments);
        EXPECT_NE(result.status, 0) << c.what;
        EXPECT_TRUE(result.out.empty()) << c.what;
        EXPECT_FALSE(result.err.empty()) << c.what;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << c.what << ": " << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << c.what << ": " << result.err;
        EXPECT_FALSE(fixtures::file_exists(root.host("out.mp3"))) << c.what;
    }
}

TEST(ConvertSpan, CompareRunsTheSameJobWithFfmpeg) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("long.mp3"),
                                   {.tone = {.seconds = 32.0, .channels = 2, .sweep_to = 3000, .amplitude = 0.3}}));
    Outcome result = run(root, "--compare '" + root.host("long.mp3") + "'");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::regex_match(result.out, std::regex(R"(ours=[0-9.]+ ffmpeg=[0-9.]+ ratio=[0-9.]+ kbps=64\n)")))
        << result.out;
}

TEST(ConvertSpan, CompareThroughTheConvertingFormAlsoTimesCancel) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("long.mp3"),
                                   {.tone = {.seconds = 32.0, .channels = 2, .sweep_to = 3000, .amplitude = 0.3}}));
    Outcome result = run(root, "--compare-form '" + root.host("long.mp3") + "'");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::regex_match(result.out, std::regex("form=[0-9.]+ worker=[0-9.]+ ffmpeg=[0-9.]+ ratio=[0-9.]+ "
                                                        "worker_ratio=[0-9.]+ cancel_ms=[0-9.]+ cancel_left_file=0 kbps=64\n")))
        << result.out;
}
