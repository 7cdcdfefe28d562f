#include "audio/FileReaderPCM.h"

#include <gtest/gtest.h>

#include "tests/audio/support/DecodeFixtures.h"
#include "tests/audio/support/WaveBytes.h"

using fixtures::DeviceRoot;
using fixtures::device_path;

namespace {

// Collects what a reader pushes.
class Collector : public audio::DataSink {
public:
    void on_data(const audio::AudioBlock& block) override {
        bytes.insert(bytes.end(), block.const_data(), block.const_data() + block.length());
        ++blocks;
    }
    std::vector<uint8_t> bytes;
    int blocks = 0;
};

bool make_sine(const DeviceRoot& root, const std::string& name, int rate, int channels, int bits, double seconds) {
    std::string tones = channels == 1 ? "sine 300" : "sine 300 sine 1234";
    // Above 16 bits sox writes the extensible format unless told to write format tag 1.
    return fixtures::run_in(root, "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " +
                    std::to_string(bits) + (bits > 16 ? " -t wavpcm " : " ") + name + " synth " + std::to_string(seconds) + " " + tones + " vol 0.8");
}

}  // namespace

TEST(FileReaderPCM, DecodesExactlyLikeSoxAndTwentyFourBitsLikeFfmpeg) {
    if (!fixtures::have_program("sox") || !fixtures::have_program("ffmpeg")) GTEST_SKIP() << "needs sox and ffmpeg";
    DeviceRoot root;
    struct Case {
        int rate, channels, bits;
    } cases[] = {{8000, 1, 8}, {11025, 2, 8}, {22050, 1, 16}, {44100, 2, 16}, {48000, 2, 16}, {48000, 2, 24}, {44100, 1, 24}};
    for (const auto& c : cases) {
        const std::string name = "s" + std::to_string(c.rate) + "_" + std::to_string(c.channels) + "_" + std::to_string(c.bits);
        ASSERT_TRUE(make_sine(root, name + ".wav", c.rate, c.channels, c.bits, 0.7));
        // ffmpeg writes a LIST chunk before "data"; both must give the same samples.
        ASSERT_TRUE(fixtures::run_in(root, "ffmpeg -loglevel error -y -i " + name + ".wav -c:a " + (c.bits == 8 ? "pcm_u8 " : "pcm_s16le ") +
                             name + "_ff.wav"));
        // 24-bit samples come as 16-bit ones, their low byte dropped as ffmpeg drops it.
        ASSERT_TRUE(fixtures::run_in(root, c.bits == 24 ? "ffmpeg -loglevel error -y -i " + name + ".wav -f s16le " + name + ".raw"
                                                        : "sox " + name + ".wav -t raw " + name + ".raw"));
        const auto expected = fixtures::read_bytes(root.host(name + ".raw"));
        const int bits = c.bits == 24 ? 16 : c.bits;
        const int length = static_cast<int>(expected.size()) * c.bits / bits;
        // ffmpeg writes 24-bit samples in the extensible format, which is no format tag 1.
        std::vector<std::string> files = {name + ".wav"};
        if (c.bits != 24) files.push_back(name + "_ff.wav");
        for (const std::string& file : files) {
            auto format = audio::AudioFormat::create_for_file(device_path(file));
            ASSERT_NE(format, nullptr) << file;
            EXPECT_EQ(format->get_name(), u"PCM");
            audio::AudioReader* reader = format->get_reader();
            EXPECT_EQ(reader->get_channels(), c.channels);
            EXPECT_EQ(reader->get_bits(), bits);
            EXPECT_EQ(reader->get_sample_rate(), c.rate);
            EXPECT_EQ(reader->get_length(), length);
            auto pulled = fixtures::pull_all(*format->get_source(), 1000);
            EXPECT_TRUE(pulled.ended);
            EXPECT_EQ(pulled.channels, c.channels);
            EXPECT_EQ(pulled.bits, bits);
            EXPECT_EQ(pulled.sample_rate, c.rate);
            EXPECT_TRUE(pulled.bytes == expected) << file;
            EXPECT_TRUE(reader->at_end());
        }
    }
}

TEST(FileReaderPCM, TimesAndPositionsInDataBytes) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_sine(root, "st.wav", 22050, 2, 16, 2.0));
    ASSERT_TRUE(make_sine(root, "m8.wav", 8000, 1, 8, 2.0));
    audio::FileReaderPCM stereo(device_path("st.wav"));
    audio::FileReaderPCM mono8(device_path("m8.wav"));
    ASSERT_TRUE(stereo.is_open());
    ASSERT_TRUE(mono8.is_open());
    struct Case {
        audio::FileReaderPCM* reader;
        double seconds;
        int position;
    } cases[] = {{&stereo, 1.0, 88200}, {&stereo, 0.5, 44100}, {&stereo, 0.00001, 0}, {&mono8, 1.5, 12000}, {&mono8, 0.25, 2000}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.reader->seconds_to_position(c.seconds), c.position) << c.seconds;
        if (c.position != 0) {
            EXPECT_DOUBLE_EQ(c.reader->position_to_seconds(c.position), c.seconds);
        }
    }
    EXPECT_DOUBLE_EQ(stereo.get_duration(), 2.0);
    EXPECT_EQ(stereo.get_bitrate(), 22050 * 4 * 8);
    // Times far outside the file stay within the int range.
    EXPECT_GT(stereo.seconds_to_position(1e300), 0);
    EXPECT_LT(stereo.seconds_to_position(-1e300), 0);
}

TEST(FileReaderPCM, SeekLandsOnWholeFramesAndReadsTheSameBytes) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_sine(root, "st.wav", 22050, 2, 16, 1.0));
    ASSERT_TRUE(fixtures::run_in(root, "sox st.wav -t raw st.raw"));
    const auto all = fixtures::read_bytes(root.host("st.raw"));
    audio::FileReaderPCM reader(device_path("st.wav"));
    ASSERT_TRUE(reader.is_open());
    struct Case {
        int seek_to, lands_on;
    } cases[] = {{1003, 1000}, {0, 0}, {4, 4}, {88199, 88196}, {-50, 0}, {1 << 30, 88200}};
    for (const auto& c : cases) {
        reader.seek(c.seek_to);
        EXPECT_EQ(reader.get_position(), c.lands_on) << c.seek_to;
        audio::AudioBlock block;
        reader.read(block, 100);
        const size_t expect = std::min<size_t>(400, all.size() - c.lands_on);
        ASSERT_EQ(block.length(), expect) << c.seek_to;
        EXPECT_TRUE(std::equal(block.const_data(), block.const_data() + expect, all.begin() + c.lands_on)) << c.seek_to;
    }
    EXPECT_TRUE(reader.at_end());
    reader.set_time(0.5);
    EXPECT_EQ(reader.get_position(), 44100);
    EXPECT_DOUBLE_EQ(reader.get_current_time(), 0.5);
}

TEST(FileReaderPCM, PushesWholeFramesInSteps) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_sine(root, "m.wav", 8000, 1, 16, 2.0));
    ASSERT_TRUE(fixtures::run_in(root, "sox m.wav -t raw m.raw"));
    const auto all = fixtures::read_bytes(root.host("m.raw"));
    audio::FileReaderPCM reader(device_path("m.wav"));
    Collector sink;
    reader.connect(&sink);
    EXPECT_TRUE(reader.push_units(12001));  // 6000 frames: two pushes of at most 5000
    EXPECT_EQ(sink.bytes.size(), 12000u);
    EXPECT_EQ(sink.blocks, 2);
    EXPECT_TRUE(reader.push_time_span(0.25));
    EXPECT_EQ(sink.bytes.size(), 16000u);
    EXPECT_FALSE(reader.push_time_span(10.0));  // the data runs out
    EXPECT_TRUE(sink.bytes == all);
    reader.connect(nullptr);
}

TEST(FileReaderPCM, LengthComesFromTheFileWhenTheDataSizeIsZeroOrTooLarge) {
    DeviceRoot root;
    std::vector<uint8_t> data(1001, 0x40);  // 500 frames and one stray byte
    const auto fmt = fixtures::fmt_common(1, 1, 8000, 2, 16).b;
    struct Case {
        const char* name;
        uint32_t stated;
        int length;
    } cases[] = {{"zero.wav", 0, 1000}, {"huge.wav", 0xFFFFFFFF, 1000}, {"large.wav", 5000, 1000}, {"small.wav", 600, 600}};
    for (const auto& c : cases) {
        fixtures::write_bytes(root.host(c.name), fixtures::riff_wave({{"fmt ", fmt}, {"data", data, c.stated}}));
        audio::FileReaderPCM reader(device_path(c.name));
        ASSERT_TRUE(reader.is_open()) << c.name;
        EXPECT_EQ(reader.get_length(), c.length) << c.name;
        auto pulled = fixtures::pull_all(reader, 64);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.bytes.size(), static_cast<size_t>(c.length)) << c.name;
        EXPECT_TRUE(reader.at_end());
    }
}
