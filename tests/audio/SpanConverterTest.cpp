#include "audio/SpanConverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>

#include "audio/PcmSamples.h"
#include "platform/kernel/Files.h"
#include "tests/audio/support/WaveBytes.h"
#include "tests/fixtures/AudioFixtures.h"

using audio::ConversionResult;
using audio::SpanConverter;
using fixtures::Mp3Spec;

namespace {

// A reader that only answers what the bit rate choice asks.
class DescribedReader : public audio::FileReader {
public:
    DescribedReader(int channels, int bits, int rate, int bitrate)
        : channels_(channels), bits_(bits), rate_(rate), bitrate_(bitrate) {}
    void read(audio::AudioBlock& out, int) override { out = audio::AudioBlock(); }
    bool is_open() override { return true; }
    bool at_end() override { return true; }
    int get_channels() override { return channels_; }
    int get_bits() override { return bits_; }
    int get_sample_rate() override { return rate_; }
    int get_bitrate() override { return bitrate_; }
    int seconds_to_position(double) override { return 0; }
    double position_to_seconds(int) override { return 0; }
    int get_length() override { return 0; }
    int get_position() override { return 0; }
    void seek(int) override {}
    bool push_time_span(double) override { return false; }
    bool push_units(int) override { return false; }

private:
    int channels_, bits_, rate_, bitrate_;
};

constexpr int kEncoderDelay = 576 + 529;

// Decoded output of a conversion, with the frames of its span at the source's rate.
void expect_ringtone(const std::string& path, int kbps, double seconds, double peak, double tolerance) {
    fixtures::ProbedAudio probed = fixtures::probe_audio(path);
    ASSERT_TRUE(probed.ok) << path;
    EXPECT_EQ(probed.codec, "mp3");
    EXPECT_EQ(probed.channels, 1);
    EXPECT_EQ(probed.bit_rate, kbps * 1000);
    fixtures::DecodedAudio decoded = fixtures::decode_audio(path);
    ASSERT_TRUE(decoded.ok);
    int frame = decoded.sample_rate >= 32000 ? 1152 : 576;
    // The span's last frame goes whole, the output's last frame is padded, and a decoder keeps
    // the encoder's delay without gapless data.
    EXPECT_NEAR(static_cast<double>(decoded.frames()), seconds * decoded.sample_rate, 2 * frame + kEncoderDelay);
    EXPECT_NEAR(decoded.peak(), peak, tolerance);
    EXPECT_LT(decoded.peak(), 32767 / 32768.0);  // never clipped
}

}  // namespace

TEST(SpanConverter, OutputBitrateFollowsSourceQuality) {
    fixtures::DeviceRoot root;
    struct Mp3Case {
        int channels, kbps, expected;
    } mp3_cases[] = {{2, 128, 64000}, {1, 128, 64000}, {1, 64, 32000}, {2, 96, 32000}, {1, 80, 64000}, {2, 160, 64000}};
    for (const Mp3Case& c : mp3_cases) {
        std::string name = "q" + std::to_string(c.channels) + "_" + std::to_string(c.kbps) + ".mp3";
        ASSERT_TRUE(fixtures::make_mp3(root.host(name), {{1.0, 44100, c.channels}, c.kbps}));
        SpanConverter converter(fixtures::device_path(name), fixtures::device_path("out.mp3"));
        ASSERT_TRUE(converter.has_source()) << name;
        EXPECT_EQ(converter.get_source_bitrate(), c.kbps * 1000) << name;
        EXPECT_EQ(converter.get_output_bitrate(), c.expected) << name;
    }
    struct OtherCase {
        int rate, bits, expected;
    } other_cases[] = {{44100, 16, 64000}, {48000, 16, 64000}, {22050, 16, 32000}, {44100, 8, 32000}};
    for (const OtherCase& c : other_cases) {
        audio::AudioFormat format(std::make_unique<DescribedReader>(2, c.bits, c.rate, 1411200), u"a.wav", u"PCM");
        EXPECT_EQ(SpanConverter::choose_output_bitrate(&format), c.expected) << c.rate << " " << c.bits;
    }
    EXPECT_EQ(SpanConverter::choose_output_bitrate(nullptr), 32000);
    SpanConverter missing(fixtures::device_path("missing.mp3"), fixtures::device_path("out.mp3"));
    EXPECT_FALSE(missing.has_source());
    EXPECT_EQ(missing.get_output_bitrate(), 32000);
    EXPECT_EQ(missing.convert(), ConversionResult::no_source);
    EXPECT_FALSE(fixtures::file_exists(root.host("out.mp3")));
}

TEST(SpanConverter, QuietSpanIsRaisedToThreeQuartersLoudIsNotClipped) {
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        Mp3Spec spec;
        double start, finish;
        double expected_peak;
    } cases[] = {
        {"quiet_stereo44.mp3", {{6.0, 44100, 2, 16, 1000, 0, 0.2}, 128}, 1.0, 4.0, 0.75},
        {"quiet_mono22.mp3", {{6.0, 22050, 1, 16, 500, 0, 0.1}, 64}, 0.5, 5.5, 0.75},
        {"sweep48.mp3", {{6.0, 48000, 2, 16, 200, 2000, 0.3}, 160}, 2.0, 6.0, 0.75},
        {"loud44.mp3", {{4.0, 44100, 1, 16, 800, 0, 0.9}, 128}, 0.0, 3.0, -1},  // kept as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fixtures::make_mp3(root.host(c.name), c.spec));
        SpanConverter converter(fixtures::device_path(c.name), fixtures::device_path("ring.mp3"));
        ASSERT_TRUE(converter.has_source());
        converter.set_span_seconds(c.start, c.finish);
        EXPECT_TRUE(converter.has_enough_space());
        ASSERT_EQ(converter.convert(), ConversionResult::done);
        double source_peak = converter.get_peak().value();
        EXPECT_NEAR(source_peak, c.spec.tone.amplitude, 0.05);
        EXPECT_GT(converter.get_frames_encoded(), 0);
        // A second lossy coding moves a loud tone's peak by a few per cent.
        bool kept = c.expected_peak < 0;
        expect_ringtone(root.host("ring.mp3"), converter.get_output_bitrate() / 1000, c.finish - c.start,
                        kept ? source_peak : c.expected_peak, kept ? 0.06 : 0.04);
    }
}

TEST(SpanConverter, SpansWithoutSound) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("silent.mp3"), {{3.0, 44100, 1, 16, 440, 0, 0.0}, 128}));
    ASSERT_TRUE(fixtures::make_mp3(root.host("tone.mp3"), {{3.0, 44100, 1}, 128}));
    {
        SpanConverter converter(fixtures::device_path("silent.mp3"), fixtures::device_path("silent_out.mp3"));
        converter.set_span_seconds(0.5, 2.5);
        ASSERT_EQ(converter.convert(), ConversionResult::done);
        EXPECT_EQ(converter.get_peak().num, 0);
        expect_ringtone(root.host("silent_out.mp3"), 64, 2.0, 0.0, 0.001);
    }
    struct Case {
        const char* what;
        int start, finish;
        ConversionResult expected;
    } cases[] = {
        {"start after finish", 20000, 10000, ConversionResult::empty_span},
        {"empty span", 10000, 10000, ConversionResult::empty_span},
        {"past the end", 1 << 24, (1 << 24) + 50000, ConversionResult::no_audio},
    };
    for (const Case& c : cases) {
        SpanConverter converter(fixtures::device_path("tone.mp3"), fixtures::device_path("none.mp3"));
        converter.set_span(c.start, c.finish);
        EXPECT_EQ(converter.convert(), c.expected) << c.what;
        EXPECT_FALSE(fixtures::file_exists(root.host("none.mp3"))) << c.what;
    }
}

TEST(SpanConverter, StoppedRunLeavesNoFile) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("long.mp3"), {{60.0, 44100, 2}, 128}));
    {
        SpanConverter converter(fixtures::device_path("long.mp3"), fixtures::device_path("out.mp3"));
        converter.set_span_seconds(0, 60);
        converter.request_stop();
        EXPECT_EQ(converter.convert(), ConversionResult::stopped);
        EXPECT_FALSE(fixtures::file_exists(root.host("out.mp3")));
    }
    SpanConverter converter(fixtures::device_path("long.mp3"), fixtures::device_path("out.mp3"));
    converter.set_span_seconds(0, 60);
    std::thread canceller([&] {
        while (converter.get_stage() != 2 || converter.get_progress() < 0.2) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        converter.request_stop();
    });
    EXPECT_EQ(converter.convert(), ConversionResult::stopped);
    canceller.join();
    EXPECT_FALSE(fixtures::file_exists(root.host("out.mp3")));
}

TEST(SpanConverter, FailedWritesLeaveNoFile) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("src.mp3"), {{20.0, 44100, 2}, 128}));
    {
        SpanConverter converter(fixtures::device_path("src.mp3"), fixtures::device_path("no_such_folder\\out.mp3"));
        converter.set_span_seconds(0, 5);
        EXPECT_EQ(converter.convert(), ConversionResult::write_failed);
        EXPECT_FALSE(fixtures::file_exists(root.host("no_such_folder/out.mp3")));
    }
    {
        // A disk that fills up after 40000 bytes: 20 s at 64 kbit/s would need 160000.
        SpanConverter converter(fixtures::device_path("src.mp3"), fixtures::device_path("full.mp3"));
        converter.set_span_seconds(0, 20);
        ConversionResult result;
        {
            fixtures::FileSizeLimit full_disk(40000);
            result = converter.convert();
        }
        EXPECT_EQ(result, ConversionResult::write_failed);
        EXPECT_FALSE(fixtures::file_exists(root.host("full.mp3")));
    }
}

// Whatever ends a conversion before its end, a ringtone already under the target's name stays
// as it was, and nothing is left beside it; one that finishes replaces it whole.
TEST(SpanConverter, AnExistingTargetOutlivesEveryRunThatDoesNotFinish) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("src.mp3"), {{20.0, 44100, 2}, 128}));
    std::filesystem::create_directories(root.host("Rings"));
    const std::string target = root.host("Rings/ring.mp3");
    struct Case {
        const char* what;
        ConversionResult result;
        int stop_in_stage = -1;  // 0: before it begins; 1 while measuring, 2 while encoding
        int64_t write_room = -1;
        double finish = 20;
    };
    const Case cases[] = {
        {"stopped before it began", ConversionResult::stopped, 0},
        {"stopped while measuring", ConversionResult::stopped, 1},
        {"stopped while encoding", ConversionResult::stopped, 2},
        // 20 s at 64 kbit/s take 160000 bytes.
        {"a write that fails part-way", ConversionResult::write_failed, -1, 40000},
        {"an empty span", ConversionResult::empty_span, -1, -1, 0},
        {"finished", ConversionResult::done},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixtures::write_file(target, "old ringtone");
        SpanConverter converter(fixtures::device_path("src.mp3"), fixtures::device_path("Rings/ring.mp3"));
        converter.set_span_seconds(0, c.finish);
        if (c.stop_in_stage == 0) converter.request_stop();
        std::atomic<bool> ended{false};
        std::thread stopper;
        if (c.stop_in_stage > 0) {
            stopper = std::thread([&] {
                while (!ended && (converter.get_stage() != c.stop_in_stage || converter.get_progress() < 0.2)) {
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
                converter.request_stop();
            });
        }
        platform::set_write_room(c.write_room);
        EXPECT_EQ(converter.convert(), c.result);
        ended = true;
        platform::set_write_room(-1);
        if (stopper.joinable()) stopper.join();
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root.host("Rings"))) {
            names.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"ring.mp3"});
        if (c.result == ConversionResult::done) {
            expect_ringtone(target, 64, 20.0, 0.75, 0.05);
        } else {
            EXPECT_EQ(fixtures::read_file(target), "old ringtone");
        }
    }
}

TEST(SpanConverter, BrokenSourcesEndWithoutSpinning) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("good.mp3"), {{10.0, 44100, 2}, 128}));
    std::vector<uint8_t> good = fixtures::read_bytes(root.host("good.mp3"));
    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 3));
    fixtures::write_bytes(root.host("truncated.mp3"), truncated);
    std::vector<uint8_t> holed = good;
    std::fill(holed.begin() + 50000, holed.begin() + 90000, 0xFF);
    fixtures::write_bytes(root.host("holed.mp3"), holed);

    for (const char* name : {"truncated.mp3", "holed.mp3"}) {
        SCOPED_TRACE(name);
        SpanConverter converter(fixtures::device_path(name), fixtures::device_path("out.mp3"));
        ASSERT_TRUE(converter.has_source());
        // The span reaches beyond what a truncated file holds.
        converter.set_span(0, static_cast<int>(good.size()));
        auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(converter.convert(), ConversionResult::done);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(30));
        fixtures::DecodedAudio decoded = fixtures::decode_audio(root.host("out.mp3"));
        EXPECT_TRUE(decoded.ok);
        EXPECT_EQ(decoded.channels, 1);
    }
}

namespace {

// A reader counting its positions in sample frames (as the Vorbis and Musepack readers do):
// 16-bit mono at 8000 Hz, a 500 Hz tone at a fixed level, 1000 frames per read.
class FrameCountingReader : public audio::FileReader {
public:
    FrameCountingReader(int frames, double level) : frames_(frames), level_(level) {}
    void read(audio::AudioBlock& out, int) override {
        out = audio::AudioBlock();
        int count = std::min(1000, frames_ - position_);
        if (count <= 0) {
            return;
        }
        out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(count * 2));
        for (int i = 0; i < count; ++i) {
            double v = level_ * 32767 * std::sin(2 * M_PI * 500.0 * (position_ + i) / 8000.0);
            audio::write_s16(out.buffer.data() + 2 * i, static_cast<int16_t>(v));
        }
        out.channels = 1;
        out.bits = 16;
        out.sample_rate = 8000;
        position_ += count;
    }
    bool is_open() override { return true; }
    bool at_end() override { return position_ >= frames_; }
    int get_channels() override { return 1; }
    int get_bits() override { return 16; }
    int get_sample_rate() override { return 8000; }
    int get_bitrate() override { return bitrate_; }
    int seconds_to_position(double s) override { return static_cast<int>(s * 8000); }
    double position_to_seconds(int p) override { return p / 8000.0; }
    int get_length() override { return frames_; }
    int get_position() override { return position_; }
    void seek(int p) override { position_ = std::clamp(p, 0, frames_); }
    bool push_time_span(double) override { return false; }
    bool push_units(int count) override {
        int start = position_;
        while (position_ - start < count) {
            audio::AudioBlock block;
            read(block, 0);
            if (block.empty()) {
                return false;
            }
            push(block);
        }
        return true;
    }
    int bitrate_ = 128000;

private:
    int frames_;
    double level_;
    int position_ = 0;
};

std::unique_ptr<audio::AudioFormat> frame_counted(int frames, double level, int bitrate = 128000) {
    auto reader = std::make_unique<FrameCountingReader>(frames, level);
    reader->bitrate_ = bitrate;
    return std::make_unique<audio::AudioFormat>(std::move(reader), u"\\tone.ogg", u"Vorbis");
}

}  // namespace

TEST(SpanConverter, SpansAndSpaceGoThroughTheReadersOwnUnits) {
    fixtures::DeviceRoot root;
    SpanConverter converter(frame_counted(8000 * 10, 0.25), fixtures::device_path("ring.mp3"));
    ASSERT_TRUE(converter.has_source());
    EXPECT_EQ(converter.get_output_bitrate(), 32000);  // 8000 Hz
    converter.set_span_seconds(2.0, 7.0);
    EXPECT_EQ(converter.get_start(), 16000);
    EXPECT_EQ(converter.get_finish(), 56000);
    EXPECT_TRUE(converter.has_enough_space());
    ASSERT_EQ(converter.convert(), ConversionResult::done);
    EXPECT_NEAR(converter.get_frames_encoded(), 5 * 8000, 1000);
    expect_ringtone(root.host("ring.mp3"), 32, 5.0, 0.75, 0.04);

    // Five seconds at 32 kbit/s, although the span covers 40000 units.
    EXPECT_DOUBLE_EQ(converter.get_estimated_size(), 5 * 32000 / 8.0);

    SpanConverter no_rate(frame_counted(8000, 0.25, 0), fixtures::device_path("x.mp3"));
    no_rate.set_span(0, 8000);
    EXPECT_FALSE(no_rate.has_enough_space());  // the estimate is then unbounded
    EXPECT_TRUE(std::isinf(no_rate.get_estimated_size()));
}

namespace {

// A reader whose pushes report success and move nothing (as a header with a frame larger
// than a push step once made the PCM reader do); it ends itself after many calls, so a loop
// that does not stop shows up as a count instead of a hang.
class StuckReader : public FrameCountingReader {
public:
    StuckReader() : FrameCountingReader(8000, 0.25) {}
    bool at_end() override { return calls >= 1000; }
    bool push_units(int) override {
        ++calls;
        return true;
    }
    int calls = 0;
};

}  // namespace

TEST(SpanConverter, PushesThatMoveNothingEndTheSpan) {
    fixtures::DeviceRoot root;
    {
        auto reader = std::make_unique<StuckReader>();
        StuckReader* stuck = reader.get();
        SpanConverter converter(std::make_unique<audio::AudioFormat>(std::move(reader), u"\\s.ogg", u"Vorbis"),
                                fixtures::device_path("stuck.mp3"));
        converter.set_span(0, 8000);
        EXPECT_EQ(converter.convert(), ConversionResult::no_audio);
        EXPECT_EQ(stuck->calls, 2);  // one step in each pass
        EXPECT_FALSE(fixtures::file_exists(root.host("stuck.mp3")));
    }
    // A finish that is not on a frame: the last two bytes are less than the reader can move.
    std::vector<uint8_t> data(4000 * 4);
    for (size_t i = 0; i < data.size(); i += 2) {
        audio::write_s16(data.data() + i, static_cast<int16_t>(8000 * std::sin(i * 0.01)));
    }
    fixtures::write_bytes(root.host("pcm.wav"),
                          fixtures::riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 8000, 4, 16).b}, {"data", data}}));
    SpanConverter converter(fixtures::device_path("pcm.wav"), fixtures::device_path("pcm.mp3"));
    ASSERT_TRUE(converter.has_source());
    converter.set_span(0, 2000 * 4 + 2);
    EXPECT_EQ(converter.convert(), ConversionResult::done);
    EXPECT_EQ(converter.get_frames_encoded(), 2000);
}

namespace {

// A reader whose position falls back once it has passed a frame, as a library's may when it
// finds its place again after a damaged page: it hands out more audio than its positions say.
class LaggingReader : public FrameCountingReader {
public:
    LaggingReader(int frames, int lag_after, int lag) : FrameCountingReader(frames, 0.25), lag_after_(lag_after), lag_(lag) {}
    int get_position() override {
        const int p = FrameCountingReader::get_position();
        return p > lag_after_ ? p - lag_ : p;
    }

private:
    int lag_after_;
    int lag_;
};

}  // namespace

TEST(SpanConverter, OutputIsNeverLongerThanTheSpanWhateverThePositionsSay) {
    fixtures::DeviceRoot root;
    for (const int lag : {0, 1500, 7000}) {
        SCOPED_TRACE(lag);
        SpanConverter converter(std::make_unique<audio::AudioFormat>(std::make_unique<LaggingReader>(80000, 12000, lag),
                                                                     u"\\lag.ogg", u"Vorbis"),
                                fixtures::device_path("lag.mp3"));
        converter.set_span(8000, 24000);
        ASSERT_EQ(converter.convert(), ConversionResult::done);
        EXPECT_EQ(converter.get_frames_encoded(), 16000);
        expect_ringtone(root.host("lag.mp3"), 32, 2.0, 0.75, 0.04);
    }
}

namespace {

// Counts its positions in blocks of 1000 frames, as the MS ADPCM and GSM readers count coded
// blocks (8 to a second here), and notes every step it is asked for.
class BlockCountingReader : public FrameCountingReader {
public:
    explicit BlockCountingReader(int blocks) : FrameCountingReader(blocks * 1000, 0.25) {}
    int seconds_to_position(double s) override { return static_cast<int>(s * 8); }
    double position_to_seconds(int p) override { return p / 8.0; }
    int get_length() override { return FrameCountingReader::get_length() / 1000; }
    int get_position() override { return FrameCountingReader::get_position() / 1000; }
    void seek(int p) override { FrameCountingReader::seek(p * 1000); }
    bool push_units(int count) override {
        steps.push_back(count);
        return FrameCountingReader::push_units(count * 1000);
    }
    std::vector<int> steps;
};

}  // namespace

TEST(SpanConverter, StepsHoldAQuarterOfASecondAtMostWhateverTheUnits) {
    fixtures::DeviceRoot root;
    auto reader = std::make_unique<BlockCountingReader>(100);
    BlockCountingReader* blocks = reader.get();
    SpanConverter converter(std::make_unique<audio::AudioFormat>(std::move(reader), u"\\b.wav", u"ADPCM"),
                            fixtures::device_path("blocks.mp3"));
    converter.set_span(10, 30);
    EXPECT_EQ(converter.convert(), ConversionResult::done);
    // Two blocks a step (a quarter of a second), ten steps in each pass; 5000 blocks would be
    // ten minutes.
    EXPECT_EQ(blocks->steps, std::vector<int>(20, 2));
}
