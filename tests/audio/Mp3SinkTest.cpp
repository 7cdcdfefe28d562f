#include "audio/Mp3Sink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/Mp3FrameHeader.h"
#include "audio/PcmSamples.h"

using audio::AudioBlock;

namespace {

class ByteCollector : public audio::DataSink {
public:
    std::vector<uint8_t> bytes;
    int blocks = 0;
    void on_data(const AudioBlock& block) override {
        ++blocks;
        bytes.insert(bytes.end(), block.const_data(), block.const_data() + block.length());
    }
};

AudioBlock sine_block(int frames, int channels, int rate, int offset) {
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(static_cast<uint32_t>(frames * channels * 2));
    for (int i = 0; i < frames; ++i) {
        int16_t v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * (offset + i) / rate));
        for (int c = 0; c < channels; ++c) {
            audio::write_s16(block.buffer.data() + 2 * (i * channels + c), v);
        }
    }
    block.channels = channels;
    block.bits = 16;
    block.sample_rate = rate;
    return block;
}

// Walks the coded bytes frame by frame; the count of frames, or -1 at a broken header.
int count_frames(const std::vector<uint8_t>& bytes, audio::Mp3FrameInfo& first) {
    size_t at = 0;
    int frames = 0;
    while (at + 4 <= bytes.size()) {
        audio::Mp3FrameInfo info;
        if (!audio::parse_mp3_frame_header(bytes.data() + at, info)) {
            return -1;
        }
        if (frames == 0) {
            first = info;
        }
        ++frames;
        at += static_cast<size_t>(info.frame_length);
    }
    return at == bytes.size() ? frames : -1;
}

}  // namespace

TEST(Mp3Sink, EncodesConstantBitrateFramesOfTheInputFormat) {
    struct Case {
        int rate, channels, bitrate, coded_rate, frame_samples;
    } cases[] = {
        {22050, 1, 32000, 22050, 576},
        {44100, 1, 64000, 44100, 1152},
        {48000, 2, 64000, 24000, 576},  // the library's own choice of output rate
        {8000, 1, 32000, 8000, 576},
    };
    for (const Case& c : cases) {
        audio::Mp3Sink sink(c.bitrate);
        ByteCollector file;
        sink.connect(&file);
        EXPECT_EQ(sink.get_bitrate(), c.bitrate);
        for (int i = 0; i < c.rate * 2; i += 500) {
            sink.on_data(sine_block(500, c.channels, c.rate, i));
        }
        sink.flush();
        audio::Mp3FrameInfo first;
        int frames = count_frames(file.bytes, first);
        ASSERT_GT(frames, 0) << c.rate;
        EXPECT_EQ(first.sample_rate, c.coded_rate);
        EXPECT_EQ(first.bitrate, c.bitrate / 1000);
        EXPECT_EQ(first.channels, c.channels);
        EXPECT_EQ(first.samples_per_frame, c.frame_samples);
        // Two seconds, give or take the encoder's delay and the unencoded tail.
        EXPECT_NEAR(frames * c.frame_samples, 2 * c.coded_rate, 4 * c.frame_samples) << c.rate;
    }
}

TEST(Mp3Sink, IgnoresUnusableBlocks) {
    audio::Mp3Sink sink(32000);
    ByteCollector file;
    sink.connect(&file);
    AudioBlock three = sine_block(4000, 3, 22050, 0);
    AudioBlock no_rate = sine_block(4000, 1, 22050, 0);
    no_rate.sample_rate = 0;
    AudioBlock negative_rate = sine_block(4000, 1, 22050, 0);
    negative_rate.sample_rate = -22050;
    AudioBlock wide = sine_block(4000, 1, 22050, 0);
    wide.bits = 24;
    // The library's resampler writes past its output far below the lowest rate a file may have.
    AudioBlock crawl = sine_block(4000, 1, 3, 0);
    AudioBlock below = sine_block(4000, 1, audio::kMinSampleRate - 1, 0);
    for (const AudioBlock& b : {three, no_rate, negative_rate, wide, crawl, below, AudioBlock()}) {
        sink.on_data(b);
    }
    sink.flush();
    EXPECT_EQ(file.blocks, 0);
    AudioBlock pulled;
    sink.read(pulled, 100);
    EXPECT_TRUE(pulled.empty());
}

TEST(Mp3Sink, StagesChunksAndFlushEncodesTheRest) {
    // A chunk is one encoder frame of 16-bit mono: 1152 samples at 44100 Hz, 576 at 22050.
    // A block that exactly completes one leaves it staged until more comes or the flush.
    struct Case {
        int rate, frame;
        std::vector<int> blocks;
        int64_t before_flush;
    } cases[] = {
        {44100, 1152, {1152 * 10}, 1152 * 9},
        {44100, 1152, {1152 * 10, 1}, 1152 * 10},
        {44100, 1152, {1000, 152, 1152 * 9, 1}, 1152 * 10},
        {44100, 1152, {500, 500}, 0},
        {44100, 1152, {1153}, 1152},
        {22050, 576, {500}, 0},
        {22050, 576, {500, 500}, 576},  // the second block encodes one frame, 424 samples stay
        {22050, 576, {576}, 0},
    };
    for (const Case& c : cases) {
        audio::Mp3Sink sink(c.rate == 44100 ? 64000 : 32000);  // rates the library keeps as they are
        ByteCollector file;
        sink.connect(&file);
        int64_t total = 0;
        for (int frames : c.blocks) {
            sink.on_data(sine_block(frames, 1, c.rate, static_cast<int>(total)));
            total += frames;
        }
        EXPECT_EQ(sink.get_frames_encoded(), c.before_flush) << c.rate << " " << total;
        sink.flush();
        EXPECT_EQ(sink.get_frames_encoded(), total);
        audio::Mp3FrameInfo first;
        int frames = count_frames(file.bytes, first);
        EXPECT_EQ(first.samples_per_frame, c.frame);
        // Everything fed comes out after the encoder's delay, in whole frames (the library
        // may pad with one more).
        int needed = static_cast<int>((total + 576 + 529 + c.frame - 1) / c.frame);
        EXPECT_GE(frames, needed) << total;
        EXPECT_LE(frames, needed + 1) << total;
    }
}
