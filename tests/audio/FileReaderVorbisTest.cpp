#include "audio/FileReaderVorbis.h"

#include <gtest/gtest.h>

#include "audio/SpanConverter.h"
#include "tests/audio/support/DecodeFixtures.h"

using fixtures::DeviceRoot;
using fixtures::device_path;

namespace {

bool make_ogg(const DeviceRoot& root, const std::string& name, int rate, int channels, double seconds) {
    const std::string src = "src_" + name + ".wav";
    const std::string tones = channels == 1 ? "sine 220-2000" : "sine 220-2000 sine 3000-300";
    return fixtures::run_in(root, "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " + src +
                    " synth " + std::to_string(seconds) + " " + tones + " vol 0.7") &&
           fixtures::run_in(root, "oggenc -Q -q 4 -o " + name + " " + src);
}

std::vector<int16_t> oggdec_samples(const DeviceRoot& root, const std::string& name) {
    EXPECT_TRUE(fixtures::run_in(root, "oggdec -Q -R -o " + name + ".raw " + name));
    return fixtures::samples_of(fixtures::read_bytes(root.host(name + ".raw")));
}

bool have_tools() { return fixtures::have_program("sox") && fixtures::have_program("oggenc") && fixtures::have_program("oggdec"); }

}  // namespace

TEST(FileReaderVorbis, DecodesCloseToTheReferenceDecoder) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and vorbis-tools";
    DeviceRoot root;
    struct Case {
        int rate, channels;
    } cases[] = {{44100, 2}, {22050, 1}, {48000, 2}};
    for (const auto& c : cases) {
        const std::string name = "v" + std::to_string(c.rate) + "_" + std::to_string(c.channels) + ".ogg";
        ASSERT_TRUE(make_ogg(root, name, c.rate, c.channels, 2.0));
        auto format = audio::AudioFormat::create_for_file(device_path(name));
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(format->get_name(), u"Vorbis");
        EXPECT_EQ(format->get_source(), static_cast<audio::DataSource*>(dynamic_cast<audio::FileReader*>(format->get_reader())));
        audio::AudioReader* reader = format->get_reader();
        EXPECT_EQ(reader->get_channels(), c.channels);
        EXPECT_EQ(reader->get_bits(), 16);
        EXPECT_EQ(reader->get_sample_rate(), c.rate);
        EXPECT_EQ(reader->get_length(), 2 * c.rate);
        EXPECT_GT(reader->get_bitrate(), 0) << name;
        auto pulled = fixtures::pull_all(*format->get_source(), 20000);
        EXPECT_TRUE(pulled.ended);
        EXPECT_EQ(pulled.channels, c.channels);
        EXPECT_EQ(pulled.sample_rate, c.rate);
        const auto ours = fixtures::samples_of(pulled.bytes);
        const auto theirs = oggdec_samples(root, name);
        EXPECT_EQ(ours.size(), theirs.size());
        // Integer and floating-point decoders of the same stream differ by rounding.
        auto diff = fixtures::compare_samples(ours, theirs);
        EXPECT_EQ(diff.compared, theirs.size());
        EXPECT_LE(diff.max_abs, 4) << name;
        EXPECT_TRUE(reader->at_end());
        EXPECT_EQ(reader->get_position(), reader->get_length());
    }
}

TEST(FileReaderVorbis, ReadsAtMost8192FramesAndSeeksToExactFrames) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and vorbis-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_ogg(root, "v.ogg", 44100, 2, 3.0));
    audio::FileReaderVorbis whole(device_path("v.ogg"));
    const auto all = fixtures::samples_of(fixtures::pull_all(whole, 8192).bytes);
    ASSERT_EQ(all.size(), 2u * 3 * 44100);

    audio::FileReaderVorbis reader(device_path("v.ogg"));
    ASSERT_TRUE(reader.is_open());
    audio::AudioBlock block;
    reader.read(block, 20000);
    EXPECT_GT(block.frame_count(), 0);
    EXPECT_LE(block.frame_count(), 8192);

    EXPECT_EQ(reader.seconds_to_position(1.5), 66150);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(66150), 1.5);
    EXPECT_DOUBLE_EQ(reader.get_duration(), 3.0);
    for (int frame : {66150, 1, 100000, 132299, 0}) {
        reader.seek(frame);
        EXPECT_EQ(reader.get_position(), frame);
        std::vector<int16_t> got;
        while (got.size() < 4000) {
            reader.read(block, 1000);
            if (block.empty()) break;
            auto s = fixtures::samples_of(std::vector<uint8_t>(block.const_data(), block.const_data() + block.length()));
            got.insert(got.end(), s.begin(), s.end());
        }
        const size_t rest = all.size() - 2 * static_cast<size_t>(frame);
        ASSERT_LE(got.size(), rest) << frame;
        EXPECT_TRUE(got.size() >= 4000 || got.size() == rest) << frame;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin() + 2 * frame)) << frame;
    }
    reader.seek(-5);
    EXPECT_EQ(reader.get_position(), 0);
    reader.seek(1 << 30);
    EXPECT_EQ(reader.get_position(), reader.get_length());
    EXPECT_TRUE(reader.at_end());
}

TEST(FileReaderVorbis, PushesTheRequestedFrames) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and vorbis-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_ogg(root, "v.ogg", 22050, 1, 1.0));
    audio::FileReaderVorbis reader(device_path("v.ogg"));
    struct Collector : audio::DataSink {
        void on_data(const audio::AudioBlock& b) override { frames += b.frame_count(); }
        int frames = 0;
    } sink;
    reader.connect(&sink);
    EXPECT_TRUE(reader.push_units(10000));
    EXPECT_EQ(sink.frames, 10000);
    EXPECT_TRUE(reader.push_time_span(0.5));
    EXPECT_EQ(sink.frames, 10000 + 11025);
    EXPECT_FALSE(reader.push_time_span(1.0));
    EXPECT_EQ(sink.frames, 22050);
    reader.connect(nullptr);
}

TEST(FileReaderVorbis, DamagedStreamsEndWithoutSpinning) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and vorbis-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_ogg(root, "v.ogg", 44100, 2, 4.0));
    const auto good = fixtures::read_bytes(root.host("v.ogg"));
    uint32_t seed = 99;
    auto noise = [&seed](std::vector<uint8_t>& b, size_t from, size_t n) {
        for (size_t i = from; i < from + n && i < b.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            b[i] = static_cast<uint8_t>(seed >> 16);
        }
    };
    // A page whose checksum fails is dropped by the library: a hole, after which the
    // stream goes on.
    auto bad_page = [&good] {
        std::vector<size_t> pages;
        for (size_t i = 0; i + 4 <= good.size(); ++i) {
            if (std::equal(good.begin() + static_cast<std::ptrdiff_t>(i), good.begin() + static_cast<std::ptrdiff_t>(i) + 4, "OggS")) pages.push_back(i);
        }
        auto b = good;
        b[pages[pages.size() / 2] + 40] ^= 0xFF;
        return b;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t at_least;  // bytes of PCM that must still come
    } cases[] = {
        {"hole.ogg", bad_page(), 4 * 44100 * 4 / 2},
        {"half.ogg", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)), 0},
        {"noise.ogg", [&] { auto b = good; noise(b, b.size() / 3, 3000); return b; }(), 0},
        {"garbage_tail.ogg", [&] { auto b = good; noise(b, b.size() / 2, b.size()); return b; }(), 0},
        {"headers_only.ogg", std::vector<uint8_t>(good.begin(), good.begin() + 4500), 0},
    };
    for (auto& c : cases) {
        fixtures::write_bytes(root.host(c.name), c.bytes);
        audio::FileReaderVorbis reader(device_path(c.name));
        if (!reader.is_open()) {
            EXPECT_EQ(c.at_least, 0u) << c.name;
            continue;  // refusing is as good as ending early
        }
        auto pulled = fixtures::pull_all(reader, 4096, 10000);
        EXPECT_TRUE(pulled.ended) << c.name;
        EXPECT_LE(pulled.bytes.size(), 4u * 4 * 44100) << c.name;
        EXPECT_GE(pulled.bytes.size(), c.at_least) << c.name;
        EXPECT_TRUE(reader.at_end()) << c.name;
        // Past the damage the reader reports its end, so a push loop stops.
        EXPECT_FALSE(reader.push_units(1 << 30)) << c.name;
    }
}

TEST(FileReaderVorbis, ADamagedPageNeverMakesASpanLonger) {
    if (!have_tools()) GTEST_SKIP() << "needs sox and vorbis-tools";
    DeviceRoot root;
    ASSERT_TRUE(make_ogg(root, "v.ogg", 44100, 2, 4.0));
    const auto good = fixtures::read_bytes(root.host("v.ogg"));
    std::vector<size_t> pages;
    for (size_t i = 0; i + 4 <= good.size(); ++i) {
        if (std::equal(good.begin() + static_cast<std::ptrdiff_t>(i), good.begin() + static_cast<std::ptrdiff_t>(i) + 4, "OggS")) pages.push_back(i);
    }
    // Every audio page in turn fails its checksum; spans of 0.8 s start all along the file.
    for (size_t k = 2; k < pages.size(); ++k) {
        auto bytes = good;
        bytes[pages[k] + 40] ^= 0xFF;
        fixtures::write_bytes(root.host("hole.ogg"), bytes);
        for (double start = 0.0; start < 3.2; start += 0.3) {
            SCOPED_TRACE("page " + std::to_string(k) + " from " + std::to_string(start));
            audio::SpanConverter converter(device_path("hole.ogg"), device_path("span.mp3"));
            ASSERT_TRUE(converter.has_source());
            converter.set_span_seconds(start, start + 0.8);
            const audio::ConversionResult result = converter.convert();
            EXPECT_TRUE(result == audio::ConversionResult::done || result == audio::ConversionResult::no_audio);
            EXPECT_LE(converter.get_frames_encoded(), converter.get_finish() - converter.get_start());
        }
    }
}

TEST(FileReaderVorbis, RefusesOtherFiles) {
    if (!fixtures::have_program("sox")) GTEST_SKIP() << "needs sox";
    DeviceRoot root;
    ASSERT_TRUE(fixtures::run_in(root, "sox -n -r 8000 -c 1 -b 16 a.wav synth 0.2 sine 300"));
    fixtures::write_bytes(root.host("text.txt"), std::vector<uint8_t>(5000, 'x'));
    fixtures::write_bytes(root.host("empty.ogg"), {});
    fixtures::write_bytes(root.host("capture.ogg"), {'O', 'g', 'g', 'S', 0, 2, 0, 0});
    for (const char* name : {"a.wav", "text.txt", "empty.ogg", "capture.ogg", "missing.ogg"}) {
        audio::FileReaderVorbis reader(device_path(name));
        EXPECT_FALSE(reader.is_open()) << name;
        EXPECT_TRUE(reader.at_end());
        audio::AudioBlock block;
        reader.read(block, 100);
        EXPECT_TRUE(block.empty());
        EXPECT_EQ(reader.get_length(), 0);
    }
}
