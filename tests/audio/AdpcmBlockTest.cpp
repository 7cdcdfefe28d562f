#include "audio/AdpcmBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A mono block: predictor index, delta, sample1, sample2, then the code bytes.
std::vector<uint8_t> mono_block(uint8_t index, int16_t delta, int16_t s1, int16_t s2,
                                std::vector<uint8_t> codes) {
    auto le = [](int16_t v) { return std::vector<uint8_t>{uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)}; };
    std::vector<uint8_t> b{index};
    for (int16_t v : {delta, s1, s2}) {
        auto bytes = le(v);
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

std::vector<int16_t> decode_mono(const std::vector<uint8_t>& block) {
    const int spb = audio::adpcm_samples_per_block(static_cast<int>(block.size()), 1);
    std::vector<int16_t> out(spb, 0);
    audio::decode_adpcm_block(block, 1, spb, out.data());
    return out;
}

TEST(AdpcmBlock, SamplesPerBlockFollowsBlockAlign) {
    struct Case {
        int block_align, channels, expected;
    } cases[] = {
        {256, 1, 500}, {512, 2, 500}, {1024, 2, 1012}, {8, 1, 4}, {15, 2, 3},
        {7, 1, 0},      // header only, no codes
        {14, 2, 0},     // stereo header only
        {256, 3, 0},    // only mono and stereo
        {0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(audio::adpcm_samples_per_block(c.block_align, c.channels), c.expected)
            << c.block_align << " bytes, " << c.channels << " channels";
    }
}

TEST(AdpcmBlock, HeaderSamplesComeFirstAndCodeEightIsMinusEight) {
    // Codes 8 then 0 with predictor (256, 0): 0 + 16 * -8 = -128; delta becomes 48,
    // then -128 + 48 * 0 stays -128.
    auto out = decode_mono(mono_block(0, 16, 7, 5, {0x80}));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], 5);   // sample2 first
    EXPECT_EQ(out[1], 7);
    EXPECT_EQ(out[2], 7 + 16 * -8);
    EXPECT_EQ(out[3], 7 + 16 * -8);
}

TEST(AdpcmBlock, DeltaNeverFallsBelowSixteen) {
    // Code 1 adapts delta by 230/256: 16 would become 14 without the floor.
    auto out = decode_mono(mono_block(0, 16, 0, 0, {0x11, 0x11}));
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 16, 32, 48, 64}));
}

TEST(AdpcmBlock, PredictorShiftRoundsTowardMinusInfinity) {
    // Pair (460, -208): -3 * 460 = -1380, >> 8 is -6 where a division would give -5.
    auto out = decode_mono(mono_block(5, 16, -3, 0, {0x00}));
    EXPECT_EQ(out[2], -6);
}

TEST(AdpcmBlock, UnknownPredictorLeavesBlockSilent) {
    for (uint8_t index : {7, 9, 255}) {
        auto out = decode_mono(mono_block(index, 16, 1000, 1000, {0x77, 0x77}));
        EXPECT_EQ(out, std::vector<int16_t>(6, 0)) << int(index);
    }
    // Stereo: one bad channel silences the whole block.
    std::vector<uint8_t> stereo(16, 0x11);
    stereo[0] = 0;
    stereo[1] = 8;
    std::vector<int16_t> out(2 * audio::adpcm_samples_per_block(16, 2), 0);
    audio::decode_adpcm_block(stereo, 2, static_cast<int>(out.size() / 2), out.data());
    EXPECT_EQ(out, std::vector<int16_t>(out.size(), 0));
}

TEST(AdpcmBlock, StereoHighNibbleIsLeft) {
    // Left index 0, right index 0; deltas 16 and 32; samples all 0; one code byte 0x1F:
    // left code 1 -> +16, right code 15 (-1) -> -32.
    std::vector<uint8_t> b = {0, 0, 16, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1F};
    std::vector<int16_t> out(6, 0);
    ASSERT_EQ(audio::adpcm_samples_per_block(static_cast<int>(b.size()), 2), 3);
    audio::decode_adpcm_block(b, 2, 3, out.data());
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 0, 0, 16, -32}));
}

TEST(AdpcmBlock, CorruptCodesClampWithoutOverflow) {
    // Code 8 triples delta every step; a long run must clamp, never wrap.
    auto out = decode_mono(mono_block(1, 32767, 32767, -32768, std::vector<uint8_t>(249, 0x88)));
    ASSERT_EQ(out.size(), 500u);
    for (size_t i = 2; i < out.size(); ++i) {
        EXPECT_GE(out[i], -32768);
        EXPECT_LE(out[i], 32767);
    }
    EXPECT_EQ(out.back(), -32768);
}

TEST(AdpcmBlock, ShortBlockForItsSampleCountDecodesNothing) {
    auto block = mono_block(0, 16, 100, 100, {0x11});
    std::vector<int16_t> out(10, 0);
    audio::decode_adpcm_block(block, 1, 10, out.data());  // 8 bytes hold only 4 samples
    EXPECT_EQ(out, std::vector<int16_t>(10, 0));
}

}  // namespace
