#include "audio/FileReaderMPC.h"

#include <gtest/gtest.h>

#include "tests/audio/support/DecodeFixtures.h"

using fixtures::DeviceRoot;
using fixtures::device_path;

namespace {

bool make_mpc(const DeviceRoot& root, const std::string& name, int rate, int channels, double seconds) {
    const std::string src = "src_" + name + ".wav";
    const std::string tones = channels == 1 ? "sine 220-2000" : "sine 220-2000 sine 3000-300";
    return fixtures::run_in(root, "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " + src +
                    " synth " + std::to_string(seconds) + " " + tones + " vol 0.7") &&
           fixtures::run_in(root, "mpcenc --silent --overwrite " + src + " " + name);
}

std::vector<int16_t> mpcdec_samples(const DeviceRoot& root, const std::string& name) {
    EXPECT_TRUE(fixtures::run_in(root, "mpcdec " + name + " " + name + ".wav >/dev/null 2>&1 && sox " + name + ".wav -t raw " + name + ".raw"));
    return fixtures::samples_of(fixtures::read_bytes(root.host(name + ".raw")));
}

std::vector<int16_t> samples_of(const audio::AudioBlock& block) {
    return fixtures::samples_of(std::vector<uint8_t>(block.const_data(), block.const_data() + block.length()));
}

bool have_tools() { return fixtures::have_program("sox") && fixtures::have_program("mpcenc") && fixtures::have_program("mpcdec"); }

}  // namespace

TEST(FileReaderMPC, DecodesCloseToTheReferenceDecoder) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and musepack-tools";
    DeviceRoot root;
    struct Case {
        int rate, channels;
    } cases[] = {{44100, 2}, {48000, 1}, {32000, 2}};
    for (const auto& c : cases) {
        const std::string name = "m" + std::to_string(c.rate) + "_" + std::to_string(c.channels) + ".mpc";
        ASSERT_TRUE(make_mpc(root, name, c.rate, c.channels, 2.0));
        auto format = audio::AudioFormat::create_for_file(device_path(name));
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(format->get_name(), u"MPC");
        audio::AudioReader* reader = format->get_reader();
        EXPECT_EQ(reader->get_channels(), c.channels);
        EXPECT_EQ(reader->get_bits(), 16);
        EXPECT_EQ(reader->get_sample_rate(), c.rate);
        EXPECT_EQ(reader->get_length(), 2 * c.rate);
        EXPECT_GT(reader->get_bitrate(), 0);
        auto pulled = fixtures::pull_all(*format->get_source(), 5000);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.channels, c.channels);
        EXPECT_EQ(pulled.sample_rate, c.rate);
        const auto ours = fixtures::samples_of(pulled.bytes);
        const auto theirs = mpcdec_samples(root, name);
        EXPECT_EQ(ours.size(), theirs.size()) << name;
        // The reference rounds the float samples, we cut them down as the fixed-point shift did.
        auto diff = fixtures::compare_samples(ours, theirs);
        EXPECT_EQ(diff.compared, theirs.size());
        EXPECT_LE(diff.max_abs, 1) << name;
        EXPECT_TRUE(reader->at_end());
        EXPECT_EQ(reader->get_position(), reader->get_length());
    }
}

TEST(FileReaderMPC, HandsOutOneDecodedFrameInPieces) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and musepack-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_mpc(root, "m.mpc", 44100, 2, 1.0));
    audio::FileReaderMPC reader(device_path("m.mpc"));
    ASSERT_TRUE(reader.is_open());
    audio::AudioBlock block;
    reader.read(block, 100);
    EXPECT_EQ(block.frame_count(), 100);
    // The position already counts the whole first frame (shorter than 1152: the decoder delay).
    const int first = reader.get_position();
    EXPECT_GT(first, 100);
    EXPECT_LE(first, 1152);
    int handed = 100;
    while (handed < first) {
        reader.read(block, 5000);
        ASSERT_FALSE(block.empty());
        handed += block.frame_count();
        EXPECT_EQ(reader.get_position(), first) << "no decode while samples are held";
    }
    EXPECT_EQ(handed, first);
    reader.read(block, 5000);
    EXPECT_EQ(block.frame_count(), 1152);
    EXPECT_EQ(reader.get_position(), first + 1152);

    // At the last frame the position reaches the length while samples are still held:
    // the reader is not at its end until they are handed out.
    reader.seek(reader.get_length() - 100);
    reader.read(block, 10);
    EXPECT_EQ(block.frame_count(), 10);
    EXPECT_EQ(reader.get_position(), reader.get_length());
    EXPECT_FALSE(reader.at_end());
    reader.read(block, 5000);
    EXPECT_EQ(block.frame_count(), 90);
    EXPECT_TRUE(reader.at_end());
}

TEST(FileReaderMPC, TimesPositionsAndSeeks) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and musepack-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_mpc(root, "m.mpc", 44100, 2, 3.0));
    audio::FileReaderMPC whole(device_path("m.mpc"));
    const auto all = fixtures::samples_of(fixtures::pull_all(whole, 4096).bytes);
    ASSERT_EQ(all.size(), 2u * 3 * 44100);

    audio::FileReaderMPC reader(device_path("m.mpc"));
    EXPECT_EQ(reader.seconds_to_position(1.5), 66150);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(66150), 1.5);
    EXPECT_DOUBLE_EQ(reader.get_duration(), 3.0);
    audio::AudioBlock block;
    reader.read(block, 10);  // leaves samples held: the seek must drop them
    for (int frame : {66150, 1, 100000, 132299, 0, 1151, 1152}) {
        reader.seek(frame);
        EXPECT_EQ(reader.get_position(), frame);
        std::vector<int16_t> got;
        while (got.size() < 6000) {
            reader.read(block, 700);
            if (block.empty()) break;
            auto s = samples_of(block);
            got.insert(got.end(), s.begin(), s.end());
        }
        const size_t rest = all.size() - 2 * static_cast<size_t>(frame);
        // Either enough samples came or the rest of the stream did, never more than the rest.
        ASSERT_LE(got.size(), rest) << frame;
        EXPECT_TRUE(got.size() >= 6000 || got.size() == rest) << frame;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin() + 2 * frame)) << frame;
    }
    reader.seek(1 << 30);
    EXPECT_EQ(reader.get_position(), reader.get_length());
    reader.read(block, 100);
    EXPECT_TRUE(block.empty());
    EXPECT_TRUE(reader.at_end());

    struct Collector : audio::DataSink {
        void on_data(const audio::AudioBlock& b) override { frames += b.frame_count(); }
        int frames = 0;
    } sink;
    reader.seek(0);
    reader.connect(&sink);
    EXPECT_TRUE(reader.push_units(5000));
    EXPECT_EQ(sink.frames, 5000);
    EXPECT_TRUE(reader.push_time_span(1.0));
    EXPECT_EQ(sink.frames, 5000 + 44100);
    EXPECT_FALSE(reader.push_time_span(5.0));
    EXPECT_EQ(sink.frames, 3 * 44100);
    reader.connect(nullptr);
}

TEST(FileReaderMPC, DamagedStreamsEndWithoutSpinning) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and musepack-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_mpc(root, "m.mpc", 44100, 2, 4.0));
    const auto good = fixtures::read_bytes(root.host("m.mpc"));
    uint32_t seed = 7;
    auto noise = [&seed](std::vector<uint8_t> b, size_t from, size_t n) {
        for (size_t i = from; i < from + n && i < b.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            b[i] = static_cast<uint8_t>(seed >> 16);
        }
        return b;
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"half.mpc", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
        {"noise.mpc", noise(good, good.size() / 3, 2000)},
        {"garbage_tail.mpc", noise(good, good.size() / 4, good.size())},
        {"header_noise.mpc", noise(good, 4, 60)},
        {"tiny.mpc", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
    };
    for (const auto& [name, bytes] : cases) {
        fixtures::write_bytes(root.host(name), bytes);
        audio::FileReaderMPC reader(device_path(name));
        if (!reader.is_open()) {
            continue;  // refusing is as good as ending early
        }
        auto pulled = fixtures::pull_all(reader, 4096, 20000);
        EXPECT_TRUE(pulled.ended) << name;
        EXPECT_LE(pulled.bytes.size(), 4u * 4 * 44100 + 4 * 1152) << name;
        EXPECT_TRUE(reader.at_end()) << name;
        EXPECT_FALSE(reader.push_units(1 << 30)) << name;
    }
}

TEST(FileReaderMPC, RefusesOtherFiles) {
    if (!fixtures::have_program("sox") || !fixtures::have_program("oggenc")) GTEST_SKIP() << "needs sox and oggenc";
    DeviceRoot root;
    ASSERT_TRUE(fixtures::run_in(root, "sox -n -r 8000 -c 1 -b 16 a.wav synth 0.2 sine 300 && oggenc -Q -o v.ogg a.wav"));
    fixtures::write_bytes(root.host("text.txt"), std::vector<uint8_t>(5000, 'x'));
    fixtures::write_bytes(root.host("empty.mpc"), {});
    fixtures::write_bytes(root.host("magic.mpc"), {'M', 'P', 'C', 'K', 'S', 'H', 0, 0});
    for (const char* name : {"a.wav", "v.ogg", "text.txt", "empty.mpc", "magic.mpc", "missing.mpc"}) {
        audio::FileReaderMPC reader(device_path(name));
        EXPECT_FALSE(reader.is_open()) << name;
        EXPECT_TRUE(reader.at_end());
        audio::AudioBlock block;
        reader.read(block, 100);
        EXPECT_TRUE(block.empty());
        reader.seek(100);
        EXPECT_EQ(reader.get_length(), 0);
    }
}
