#include "audio/FileReaderGSM.h"

#include <gtest/gtest.h>

#include "tests/audio/support/DecodeFixtures.h"
#include "tests/audio/support/WaveBytes.h"

using fixtures::DeviceRoot;
using fixtures::device_path;

namespace {

bool make_gsm(const DeviceRoot& root, const std::string& name, const std::string& encoder) {
    if (!fixtures::run_in(root, "sox -R -n -r 8000 -c 1 -b 16 src_" + name + " synth 1.3 sine 200-3000 pinknoise vol 0.6")) {
        return false;
    }
    return fixtures::run_in(root, encoder == "sox" ? "sox src_" + name + " -e gsm-full-rate " + name
                                     : "ffmpeg -loglevel error -y -i src_" + name + " -c:a gsm_ms " + name);
}

std::vector<int16_t> reference(const DeviceRoot& root, const std::string& tool, const std::string& file) {
    const std::string raw = file + "." + tool + ".raw";
    const std::string cmd = tool == "sox" ? "sox " + file + " -t raw -e signed -b 16 " + raw
                                          : "ffmpeg -loglevel quiet -y -i " + file + " -f s16le " + raw;
    fixtures::run_in(root, cmd);  // ffmpeg reports the final partial block as an error but writes the rest
    return fixtures::samples_of(fixtures::read_bytes(root.host(raw)));
}

}  // namespace

TEST(FileReaderGSM, DecodesExactlyLikeIndependentDecoders) {
    if (!fixtures::have_program("sox") || !fixtures::have_program("ffmpeg")) GTEST_SKIP() << "needs sox and ffmpeg";
    DeviceRoot root;
    for (const std::string encoder : {"sox", "ffmpeg"}) {
        const std::string name = "g_" + encoder + ".wav";
        ASSERT_TRUE(make_gsm(root, name, encoder));
        auto format = audio::AudioFormat::create_for_file(device_path(name));
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(format->get_name(), u"GSM");
        audio::AudioReader* reader = format->get_reader();
        EXPECT_EQ(reader->get_channels(), 1);
        EXPECT_EQ(reader->get_bits(), 16);
        EXPECT_EQ(reader->get_sample_rate(), 8000);
        auto* gsm = dynamic_cast<audio::FileReaderGSM*>(reader);
        ASSERT_NE(gsm, nullptr);
        const int blocks = static_cast<int>(gsm->get_wave_format().fact_samples / 320);
        EXPECT_GE(blocks, 32);  // 10400 samples, or 10560 where ffmpeg counts its padding
        EXPECT_EQ(reader->get_length(), blocks);
        auto pulled = fixtures::pull_all(*format->get_source(), 1000);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.channels, 1);
        EXPECT_EQ(pulled.bits, 16);
        EXPECT_EQ(pulled.sample_rate, 8000);
        const auto ours = fixtures::samples_of(pulled.bytes);
        ASSERT_EQ(ours.size(), static_cast<size_t>(blocks) * 320);
        for (const std::string tool : {"sox", "ffmpeg"}) {
            auto diff = fixtures::compare_samples(ours, reference(root, tool, name));
            EXPECT_EQ(diff.compared, ours.size()) << name << " by " << tool;
            EXPECT_EQ(diff.max_abs, 0) << name << " by " << tool;
        }
    }
}

TEST(FileReaderGSM, BlockPositionsTimesSeeksAndPushes) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_gsm(root, "g.wav", "sox"));
    auto whole = audio::AudioFormat::create_for_file(device_path("g.wav"));
    ASSERT_NE(whole, nullptr);
    const auto all = fixtures::pull_all(*whole->get_source(), 700).bytes;

    audio::FileReaderGSM reader(device_path("g.wav"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.seconds_to_position(1.0), 25);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(25), 1.0);
    EXPECT_DOUBLE_EQ(reader.get_duration(), 32 * 0.04);
    EXPECT_EQ(reader.get_bitrate(), 1625 * 8);
    // Spans go to the nearest block (40 ms), never before the first.
    EXPECT_EQ(reader.position_after(10, 0.1), 13);
    EXPECT_EQ(reader.position_after(10, -0.1), 7);
    EXPECT_EQ(reader.position_after(10, 0.5), 23);
    EXPECT_EQ(reader.position_after(10, 0.01), 10);
    EXPECT_EQ(reader.position_after(3, -0.5), 0);

    audio::DecoderGSM decoder;
    reader.connect(&decoder);
    reader.seek(20);
    EXPECT_EQ(reader.get_position(), 20);
    const auto tail = fixtures::pull_all(decoder, 333).bytes;
    ASSERT_EQ(tail.size(), all.size() - 20 * 640);
    // The decoder's filters carry state from block to block, so a fresh decoder after a
    // seek starts a little off and then converges to the very same samples.
    const auto ours = fixtures::samples_of(tail);
    const auto from_start = fixtures::samples_of(std::vector<uint8_t>(all.begin() + 20 * 640, all.end()));
    const size_t settle = 10 * 320;
    EXPECT_TRUE(std::equal(ours.begin() + settle, ours.end(), from_start.begin() + settle));
    EXPECT_TRUE(reader.at_end());

    struct Collector : audio::DataSink {
        void on_data(const audio::AudioBlock& b) override {
            bytes += b.length();
            ++blocks;
        }
        size_t bytes = 0;
        int blocks = 0;
    } sink;
    reader.seek(0);
    decoder.connect(&sink);
    EXPECT_TRUE(reader.push_units(25));
    EXPECT_EQ(sink.blocks, 3);  // 10 + 10 + 5 blocks
    EXPECT_EQ(sink.bytes, 25u * 640);
    EXPECT_FALSE(reader.push_time_span(1.0));  // 25 more blocks, only 7 left
    EXPECT_EQ(sink.bytes, 32u * 640);
    decoder.connect(nullptr);
    reader.connect(nullptr);
}

TEST(DecoderGSM, DecodesWhole65ByteBlocksOnly) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(make_gsm(root, "g.wav", "sox"));
    audio::FileReaderGSM reader(device_path("g.wav"));
    ASSERT_TRUE(reader.is_open());
    audio::AudioBlock two;
    reader.read(two, 2);
    ASSERT_EQ(two.length(), 130u);

    struct Case {
        uint32_t bytes, samples;
    } cases[] = {{65, 320}, {100, 320}, {130, 640}, {64, 0}, {0, 0}};
    std::vector<uint8_t> first_pair;
    for (const auto& c : cases) {
        audio::DecoderGSM decoder;  // a fresh state for each, as the block is the file's first
        audio::AudioBlock coded;
        coded.buffer = skinner::SharedBuffer(two.buffer, 0, c.bytes);
        audio::AudioBlock pcm = decoder.convert(coded);
        EXPECT_EQ(pcm.length(), c.samples * 2) << c.bytes;
        if (c.samples == 0) {
            EXPECT_EQ(pcm.channels, 0);
            continue;
        }
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_EQ(pcm.bits, 16);
        EXPECT_EQ(pcm.sample_rate, 8000);
        std::vector<uint8_t> head(pcm.const_data(), pcm.const_data() + 640);
        if (first_pair.empty()) first_pair = head;
        EXPECT_EQ(head, first_pair) << "the first block decodes the same whatever follows it";
    }
    audio::DecoderGSM decoder;
    EXPECT_EQ(decoder.input_units_for(1000), 7);
    EXPECT_EQ(decoder.input_units_for(160), 1);
}

TEST(FileReaderGSM, FactCountBeyondTheDataEndsAtTheLastWholeBlock) {
    DeviceRoot root;
    fixtures::write_bytes(root.host("lying.wav"),
                         fixtures::riff_wave({{"fmt ", fixtures::fmt_gsm().b},
                                              {"fact", fixtures::u32_bytes(320 * 1000)},
                                              {"data", std::vector<uint8_t>(65 * 4 + 30, 0x5A), 0x7FFFFFFF}}));
    auto format = audio::AudioFormat::create_for_file(device_path("lying.wav"));
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->get_reader()->get_length(), 4);
    auto pulled = fixtures::pull_all(*format->get_source(), 1000);
    EXPECT_TRUE(pulled.ended);
    EXPECT_EQ(pulled.bytes.size(), 4u * 640);
    EXPECT_TRUE(format->get_reader()->at_end());
    EXPECT_FALSE(format->get_reader()->push_units(1000));
}
