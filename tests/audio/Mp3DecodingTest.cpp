#include "audio/Mp3Decoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/DecoderMP3.h"
#include "audio/Mp3FrameHeader.h"
#include "tests/fixtures/AudioFixtures.h"

using audio::round_sample;

TEST(Mp3Decoding, RoundSampleFullScaleAndCarry) {
    struct Case {
        mad_fixed_t sample;
        int expected;
    } singles[] = {
        {0x10000000, 32767}, {-0x10000000, -32768}, {0x7FFFFFFF, 32767}, {-0x7FFFFFFF, -32768}, {0, 0}, {0x2000, 1},
    };
    for (const Case& c : singles) {
        mad_fixed_t error = 0;
        EXPECT_EQ(round_sample(16, c.sample, error), c.expected) << c.sample;
    }
    mad_fixed_t error = 0;
    EXPECT_EQ(round_sample(16, 0x00001FFF, error), 0);
    EXPECT_EQ(error, 0x1FFF);
    EXPECT_EQ(round_sample(16, 0x00000001, error), 1);
    // A damaged frame's sample at the type's limit, with a remainder carried into it.
    error = 0x1FFF;
    EXPECT_EQ(round_sample(16, 0x7FFFEC5F, error), 32767);
    EXPECT_EQ(error, 0x1FFF);
}

TEST(Mp3Decoding, LoudRunDoesNotWrap) {
    // 34 samples at 1.2 of full scale followed by a quiet one: the clipped excess must not
    // pile up and wrap around.
    mad_fixed_t error = 0;
    const mad_fixed_t loud = static_cast<mad_fixed_t>(1.2 * MAD_F_ONE);
    for (int i = 0; i < 34; ++i) {
        EXPECT_EQ(round_sample(16, loud, error), 32767) << i;
    }
    EXPECT_EQ(round_sample(16, 0x100000, error), 0x100000 >> 13);
    for (int i = 0; i < 34; ++i) {
        EXPECT_EQ(round_sample(16, -loud, error), -32768) << i;
    }
}

TEST(Mp3Decoding, GarbageDecodesToNothing) {
    audio::DecoderMP3 decoder;
    struct Case {
        std::vector<uint8_t> bytes;
    } cases[] = {
        {{}},
        {{0xFF}},
        {{0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0}},
        // A valid header with nothing but zeros behind it.
        {std::vector<uint8_t>{0xFF, 0xFB, 0x90, 0x00}},
    };
    cases[3].bytes.resize(417, 0);
    for (const Case& c : cases) {
        audio::AudioBlock block;
        block.buffer = skinner::SharedBuffer(static_cast<uint32_t>(c.bytes.size()), c.bytes.data());
        audio::AudioBlock out = decoder.convert(block);
        if (!out.empty()) {
            // libmad may accept a zero frame as silence; it must then be a whole frame.
            EXPECT_EQ(out.length(), 1152u * 2 * 2);
        }
    }
}

namespace {

// The frames of an MP3 file as the reader would cut them: from each header up to 2000
// bytes, never past the end of the file.
std::vector<audio::AudioBlock> cut_frames(const std::vector<uint8_t>& file, size_t start) {
    std::vector<audio::AudioBlock> frames;
    size_t at = start;
    while (at + 4 <= file.size()) {
        audio::Mp3FrameInfo info;
        if (!audio::parse_mp3_frame_header(file.data() + at, info)) {
            ++at;
            continue;
        }
        size_t take = std::min<size_t>(2000, file.size() - at);
        audio::AudioBlock block;
        block.buffer = skinner::SharedBuffer(static_cast<uint32_t>(take), file.data() + at);
        frames.push_back(block);
        at += static_cast<size_t>(info.frame_length);
    }
    return frames;
}

std::vector<int16_t> decode_all(audio::DecoderMP3& decoder, const std::vector<audio::AudioBlock>& frames,
                                int& decoded_frames, audio::AudioBlock& last) {
    std::vector<int16_t> samples;
    decoded_frames = 0;
    for (const audio::AudioBlock& frame : frames) {
        audio::AudioBlock pcm = decoder.convert(frame);
        if (pcm.empty()) {
            continue;
        }
        ++decoded_frames;
        last = pcm;
        for (uint32_t i = 0; i + 1 < pcm.length(); i += 2) {
            samples.push_back(static_cast<int16_t>(pcm.const_data()[i] | pcm.const_data()[i + 1] << 8));
        }
    }
    return samples;
}

}  // namespace

TEST(DecoderMP3, DecodesEveryFrameLikeAnIndependentDecoder) {
    fixtures::TempDir dir;
    struct Case {
        const char* name;
        fixtures::Mp3Spec spec;
        int samples_per_frame;
    } cases[] = {
        {"mono22.mp3", {.tone = {.sample_rate = 22050}, .kbps = 32}, 576},
        {"stereo44.mp3", {.tone = {.channels = 2, .frequency = 300, .sweep_to = 3000}, .kbps = 128}, 1152},
        {"mono48.mp3", {.tone = {.sample_rate = 48000, .frequency = 1000, .amplitude = 0.9}, .kbps = 96}, 1152},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.file(c.name);
        ASSERT_TRUE(fixtures::make_mp3(path, c.spec));
        std::vector<uint8_t> file = fixtures::read_bytes(path);
        std::vector<audio::AudioBlock> frames = cut_frames(file, 0);
        ASSERT_GT(frames.size(), 10u);

        audio::DecoderMP3 decoder;
        int decoded = 0;
        audio::AudioBlock last;
        std::vector<int16_t> ours = decode_all(decoder, frames, decoded, last);
        // The last frame has no bytes after it and still decodes.
        EXPECT_EQ(decoded, static_cast<int>(frames.size()));
        EXPECT_EQ(last.length(), static_cast<uint32_t>(c.samples_per_frame * c.spec.tone.channels * 2));
        EXPECT_EQ(last.sample_rate, c.spec.tone.sample_rate);
        EXPECT_EQ(last.channels, c.spec.tone.channels);

        // ffmpeg trims the encoder's delay (it reads lame's tag); ours starts at the first
        // frame. Find the offset at which the two agree and compare from there.
        fixtures::DecodedAudio reference = fixtures::decode_audio(path);
        ASSERT_TRUE(reference.ok);
        const size_t ch = static_cast<size_t>(c.spec.tone.channels);
        size_t best_offset = 0;
        double best_error = 1e300;
        for (size_t offset = 0; offset < 4000 * ch && offset + reference.samples.size() <= ours.size() + 4000 * ch; offset += ch) {
            double error = 0;
            size_t n = std::min<size_t>(4000, std::min(reference.samples.size(), ours.size() - offset));
            for (size_t i = 0; i < n; ++i) {
                double d = double(ours[offset + i]) - reference.samples[i];
                error += d * d;
            }
            if (error < best_error) {
                best_error = error;
                best_offset = offset;
            }
        }
        size_t n = std::min(reference.samples.size(), ours.size() - best_offset);
        ASSERT_GT(n, reference.samples.size() * 9 / 10);
        double worst = 0;
        for (size_t i = 0; i < n; ++i) {
            worst = std::max(worst, std::abs(double(ours[best_offset + i]) - reference.samples[i]));
        }
        EXPECT_LT(worst, 4.0);
    }
}

TEST(DecoderMP3, DamagedFrameIsSkippedAndNextDecodes) {
    fixtures::TempDir dir;
    std::string path = dir.file("mono22.mp3");
    ASSERT_TRUE(fixtures::make_mp3(path, {.tone = {.seconds = 1.0, .sample_rate = 22050}, .kbps = 32}));
    std::vector<audio::AudioBlock> frames = cut_frames(fixtures::read_bytes(path), 0);
    ASSERT_GT(frames.size(), 12u);
    frames[4].buffer.data()[0] = 0x12;  // no header at the start of this block
    audio::DecoderMP3 decoder;
    std::vector<uint32_t> lengths;
    for (const audio::AudioBlock& frame : frames) {
        lengths.push_back(decoder.convert(frame).length());
    }
    EXPECT_EQ(lengths[4], 0u);
    // The next frames may lean on the skipped one's bits; then decoding goes on as before.
    for (size_t i = 8; i < lengths.size(); ++i) {
        EXPECT_EQ(lengths[i], 1152u) << i;  // 576 mono samples
    }
    // A fresh state after a reset decodes again once the bit reservoir has refilled.
    decoder.reset();
    int decoded = 0;
    for (size_t i = 6; i < frames.size(); ++i) {
        decoded += decoder.convert(frames[i]).length() == 1152u;
    }
    EXPECT_GE(decoded, static_cast<int>(frames.size()) - 6 - 3);
}
