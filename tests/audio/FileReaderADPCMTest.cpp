#include "audio/FileReaderADPCM.h"

#include <gtest/gtest.h>

#include "tests/audio/support/DecodeFixtures.h"
#include "tests/audio/support/WaveBytes.h"

using fixtures::DeviceRoot;
using fixtures::device_path;

namespace {

// A 1.5 s chirp with noise, so every predictor and step size gets used.
bool make_source(const DeviceRoot& root, const std::string& name, int rate, int channels) {
    std::string tones = channels == 1 ? "sine 200-3000 brownnoise" : "sine 200-3000 sine 3000-200";
    return fixtures::run_in(root, "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " + name +
                    " synth 1.5 " + tones + " vol 0.7");
}

std::vector<int16_t> reference(const DeviceRoot& root, const std::string& tool, const std::string& file) {
    const std::string raw = file + "." + tool + ".raw";
    const std::string cmd = tool == "sox" ? "sox " + file + " -t raw -e signed -b 16 " + raw
                                          : "ffmpeg -loglevel error -y -i " + file + " -f s16le " + raw;
    if (!fixtures::run_in(root, cmd)) {
        ADD_FAILURE() << cmd;
    }
    return fixtures::samples_of(fixtures::read_bytes(root.host(raw)));
}

}  // namespace

TEST(FileReaderADPCM, DecodesLikeIndependentDecoders) {
    if (!fixtures::have_program("sox") || !fixtures::have_program("ffmpeg")) GTEST_SKIP() << "needs sox and ffmpeg";
    DeviceRoot root;
    struct Case {
        const char* name;
        int rate, channels;
        const char* encoder;  // "sox" or "ffmpeg"
    } cases[] = {
        {"m8k_sox.wav", 8000, 1, "sox"},
        {"s22k_sox.wav", 22050, 2, "sox"},
        {"m11k_ff.wav", 11025, 1, "ffmpeg"},
        {"s44k_ff.wav", 44100, 2, "ffmpeg"},
    };
    for (const auto& c : cases) {
        const std::string src = std::string("src_") + c.name;
        ASSERT_TRUE(make_source(root, src, c.rate, c.channels));
        const std::string encode = std::string(c.encoder) == "sox"
                                       ? "sox " + src + " -e ms-adpcm " + c.name
                                       : "ffmpeg -loglevel error -y -i " + src + " -c:a adpcm_ms " + c.name;
        ASSERT_TRUE(fixtures::run_in(root, encode)) << encode;

        auto format = audio::AudioFormat::create_for_file(device_path(c.name));
        ASSERT_NE(format, nullptr) << c.name;
        EXPECT_EQ(format->get_name(), u"ADPCM");
        EXPECT_NE(format->get_source(), static_cast<audio::DataSource*>(
                                            dynamic_cast<audio::FileReader*>(format->get_reader())));
        auto* reader = dynamic_cast<audio::FileReaderADPCM*>(format->get_reader());
        ASSERT_NE(reader, nullptr);
        const auto& record = static_cast<const audio::WaveFormatADPCM&>(reader->get_wave_format());
        EXPECT_EQ(reader->get_channels(), c.channels);
        EXPECT_EQ(reader->get_bits(), 16);
        EXPECT_EQ(reader->get_length(), static_cast<int>(record.fact_samples / record.samples_per_block));

        auto pulled = fixtures::pull_all(*format->get_source(), 4096);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.bits, 16);
        EXPECT_EQ(pulled.channels, c.channels);
        EXPECT_EQ(pulled.sample_rate, c.rate);
        const auto ours = fixtures::samples_of(pulled.bytes);
        // Whole blocks up to the fact count; the final partial block is dropped.
        EXPECT_EQ(ours.size(), static_cast<size_t>(reader->get_length()) * record.samples_per_block * c.channels);

        // sox computes the predictor with the same arithmetic shift: exact.
        const auto by_sox = reference(root, "sox", c.name);
        ASSERT_GE(by_sox.size(), ours.size());
        auto sox_diff = fixtures::compare_samples(ours, by_sox);
        EXPECT_EQ(sox_diff.max_abs, 0) << c.name;
        // ffmpeg rounds the predictor toward zero instead of down; the decoders then drift
        // apart a little on sox's blocks (measured up to about 240 on noise) and agree
        // exactly on ffmpeg's own.
        const auto by_ffmpeg = reference(root, "ffmpeg", c.name);
        auto ff_diff = fixtures::compare_samples(ours, by_ffmpeg);
        EXPECT_EQ(ff_diff.compared, ours.size());
        EXPECT_LE(ff_diff.max_abs, 1024) << c.name;
    }
}

TEST(FileReaderADPCM, BlockPositionsTimesAndSeeks) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_source(root, "src.wav", 22050, 2));
    ASSERT_TRUE(fixtures::run_in(root, "sox src.wav -e ms-adpcm a.wav"));  // block align 1024, 1012 frames per block
    auto whole = audio::AudioFormat::create_for_file(device_path("a.wav"));
    ASSERT_NE(whole, nullptr);
    const auto all = fixtures::samples_of(fixtures::pull_all(*whole->get_source(), 1000).bytes);

    audio::FileReaderADPCM reader(device_path("a.wav"));
    ASSERT_TRUE(reader.is_open());
    ASSERT_EQ(reader.get_length(), 32);  // 33075 samples / 1012
    EXPECT_EQ(reader.seconds_to_position(1.0), 21);
    EXPECT_EQ(reader.seconds_to_position(0.0), 0);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(21), 21 * 1012 / 22050.0);
    EXPECT_DOUBLE_EQ(reader.get_duration(), 32 * 1012 / 22050.0);

    // Reading 10 blocks when 3 remain gives 3, each with the record's format.
    reader.seek(29);
    audio::AudioBlock coded;
    reader.read(coded, 10);
    EXPECT_EQ(coded.length(), 3u * 1024);
    EXPECT_EQ(coded.block_align, 1024);
    EXPECT_EQ(coded.bits, 4);
    EXPECT_EQ(coded.channels, 2);
    EXPECT_EQ(reader.get_position(), 32);
    EXPECT_TRUE(reader.at_end());
    reader.read(coded, 10);
    EXPECT_TRUE(coded.empty());

    // Seek then read gives what reading from the start gave there.
    for (int block : {0, 7, 31}) {
        audio::FileReaderADPCM seeking(device_path("a.wav"));
        audio::DecoderADPCM decoder;
        seeking.connect(&decoder);
        seeking.seek(block);
        auto tail = fixtures::samples_of(fixtures::pull_all(decoder, 500).bytes);
        const size_t from = static_cast<size_t>(block) * 1012 * 2;
        ASSERT_EQ(tail.size(), all.size() - from) << block;
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), all.begin() + static_cast<std::ptrdiff_t>(from))) << block;
        seeking.connect(nullptr);
    }
}

TEST(FileReaderADPCM, PushesAtMostFiveBlocksAtATime) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_source(root, "src.wav", 8000, 1));
    ASSERT_TRUE(fixtures::run_in(root, "sox src.wav -e ms-adpcm a.wav"));  // 256-byte blocks of 500 samples
    auto format = audio::AudioFormat::create_for_file(device_path("a.wav"));
    ASSERT_NE(format, nullptr);
    struct Collector : audio::DataSink {
        void on_data(const audio::AudioBlock& b) override {
            frames += b.frame_count();
            ++blocks;
            EXPECT_EQ(b.bits, 16);
        }
        int frames = 0, blocks = 0;
    } sink;
    format->get_source()->connect(&sink);
    audio::AudioReader* reader = format->get_reader();
    ASSERT_EQ(reader->get_length(), 24);  // 12000 samples / 500
    EXPECT_TRUE(reader->push_units(12));
    EXPECT_EQ(sink.blocks, 3);  // 5 + 5 + 2
    EXPECT_EQ(sink.frames, 12 * 500);
    EXPECT_TRUE(reader->push_time_span(0.5));  // (int)(8000 * 0.5 / 500) = 8 blocks
    EXPECT_EQ(reader->get_position(), 20);
    EXPECT_FALSE(reader->push_units(100));
    EXPECT_EQ(sink.frames, 24 * 500);
    format->get_source()->connect(nullptr);
}

TEST(FileReaderADPCM, FactCountBeyondTheDataEndsAtTheLastWholeBlock) {
    DeviceRoot root;
    // Three 32-byte blocks and a stray half block, but a fact count of a million samples.
    std::vector<uint8_t> data(3 * 32 + 16, 0x11);
    for (int b = 0; b < 3; ++b) data[b * 32] = 0;  // predictor index 0, delta 0x1111
    fixtures::write_bytes(root.host("lying.wav"),
                         fixtures::riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 32, 52).b},
                                              {"fact", fixtures::u32_bytes(1000000)},
                                              {"data", data, 100000}}));
    auto format = audio::AudioFormat::create_for_file(device_path("lying.wav"));
    ASSERT_NE(format, nullptr);
    audio::AudioReader* reader = format->get_reader();
    EXPECT_EQ(reader->get_length(), 3);
    auto pulled = fixtures::pull_all(*format->get_source(), 10);
    EXPECT_TRUE(pulled.ended);
    EXPECT_EQ(pulled.bytes.size(), 3u * 52 * 2);
    EXPECT_TRUE(reader->at_end());
    EXPECT_FALSE(reader->push_units(1000));
}

TEST(DecoderADPCM, ConvertsWholeBlocksAndRefusesImpossibleOnes) {
    // Three mono blocks of 16 bytes (18 samples each); the middle one has predictor 9.
    std::vector<uint8_t> bytes;
    for (uint8_t index : {0, 9, 1}) {
        fixtures::Bytes b;
        b.u8(index).u16(16).u16(100).u16(50);
        b.raw(std::vector<uint8_t>(9, 0x12));
        bytes.insert(bytes.end(), b.b.begin(), b.b.end());
    }
    bytes.push_back(0xAB);  // a stray byte: not a whole block
    audio::AudioBlock coded;
    coded.buffer = skinner::SharedBuffer(static_cast<uint32_t>(bytes.size()), bytes.data());
    coded.channels = 1;
    coded.bits = 4;
    coded.sample_rate = 8000;
    coded.block_align = 16;
    audio::DecoderADPCM decoder;
    audio::AudioBlock pcm = decoder.convert(coded);
    ASSERT_EQ(pcm.frame_count(), 3 * 20);
    EXPECT_EQ(pcm.bits, 16);
    EXPECT_EQ(pcm.sample_rate, 8000);
    const auto s = fixtures::samples_of(std::vector<uint8_t>(pcm.const_data(), pcm.const_data() + pcm.length()));
    EXPECT_EQ(s[0], 50);
    EXPECT_EQ(s[1], 100);
    EXPECT_EQ(std::vector<int16_t>(s.begin() + 20, s.begin() + 40), std::vector<int16_t>(20, 0));
    EXPECT_EQ(s[40], 50);
    EXPECT_NE(s[42], 0);

    struct Case {
        int channels, bits, align;
    } refused[] = {{1, 4, 7}, {2, 4, 14}, {1, 4, 0}, {3, 4, 64}, {1, 0, 16}, {1, 8, 16}};
    for (const auto& c : refused) {
        coded.channels = c.channels;
        coded.bits = c.bits;
        coded.block_align = c.align;
        audio::AudioBlock out = decoder.convert(coded);
        EXPECT_TRUE(out.empty()) << c.channels << "/" << c.bits << "/" << c.align;
        EXPECT_EQ(out.channels, 0);
    }
    EXPECT_EQ(decoder.input_units_for(100000), 1);
}

TEST(FileReaderADPCM, BlocksAreTimedByWhatTheirAlignHolds) {
    // Blocks of 256 bytes hold 500 samples, whatever the samples-per-block field says: the
    // reported length and the decoded length agree.
    DeviceRoot root;
    std::vector<uint8_t> data(40 * 256, 0x21);
    for (size_t b = 0; b < 40; ++b) data[b * 256] = 1;  // predictor index 1
    struct Case {
        const char* name;
        uint16_t field;
    } cases[] = {{"agrees.wav", 500}, {"small.wav", 2}, {"large.wav", 4000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::write_bytes(root.host(c.name), fixtures::riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, c.field).b},
                                                                       {"fact", fixtures::u32_bytes(40 * 500)},
                                                                       {"data", data}}));
        auto format = audio::AudioFormat::create_for_file(device_path(c.name));
        ASSERT_NE(format, nullptr);
        audio::AudioReader* reader = format->get_reader();
        EXPECT_EQ(reader->get_length(), 40);
        EXPECT_DOUBLE_EQ(reader->get_duration(), 40 * 500 / 8000.0);
        EXPECT_EQ(reader->seconds_to_position(0.5), 8);
        auto pulled = fixtures::pull_all(*format->get_source(), 1000);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.bytes.size(), 40u * 500 * 2);
    }
}
