#include <gtest/gtest.h>

#include <vector>

#include "audio/DownmixFilter.h"
#include "audio/FadeFilter.h"
#include "audio/Fraction.h"
#include "audio/PcmSamples.h"

using audio::AudioBlock;
using audio::Fraction;

namespace {

AudioBlock block16(const std::vector<int16_t>& samples, int channels, int rate = 8000) {
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(static_cast<uint32_t>(samples.size() * 2));
    for (size_t i = 0; i < samples.size(); ++i) {
        audio::write_s16(block.buffer.data() + 2 * i, samples[i]);
    }
    block.channels = channels;
    block.bits = 16;
    block.sample_rate = rate;
    return block;
}

AudioBlock block8(const std::vector<uint8_t>& samples, int channels, int rate = 8000) {
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(static_cast<uint32_t>(samples.size()), samples.data());
    block.channels = channels;
    block.bits = 8;
    block.sample_rate = rate;
    return block;
}

std::vector<int16_t> samples16(const AudioBlock& block) {
    std::vector<int16_t> out(block.length() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = audio::read_s16(block.const_data() + 2 * i);
    }
    return out;
}

}  // namespace

TEST(Fraction, Comparisons) {
    struct Case {
        Fraction a, b;
        bool greater;
    } cases[] = {
        {{1, 2}, {0, 0}, true},      {{0, 0}, {0, 0}, false},     {{1, 0}, {5, 1}, true},
        {{3, 4}, {1, 2}, true},      {{1, 2}, {3, 4}, false},     {{3, 4}, {-3, -4}, false},
        {{-1, -2}, {1, 3}, true},    {{1, -2}, {0, 1}, false},    {{0, 1}, {1, -2}, true},
        {{5, 1}, {-1, 0}, true},     {{5, 1}, {1, 0}, false},     {{0, 0}, {-1, 2}, true},
        {{0, 0}, {1, 2}, false},     {{-1, 0}, {5, 1}, false},    {{2, 3}, {1, 3}, true},
        {{2, -3}, {1, -3}, false},   {{-32768, -65536}, {32767, 65534}, false},
        {{3, 4}, {-32768, -32768}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a > c.b, c.greater) << c.a.num << "/" << c.a.den << " > " << c.b.num << "/" << c.b.den;
    }
}

TEST(DownmixFilter, MixesToMonoAndMeasuresPeak) {
    {
        audio::DownmixFilter filter;
        AudioBlock out = filter.process(block8({0, 255}, 2));
        EXPECT_EQ(out.channels, 1);
        EXPECT_EQ(out.bits, 16);
        EXPECT_EQ(samples16(out), std::vector<int16_t>{-128});
    }
    {
        audio::DownmixFilter filter;
        filter.set_gain({2, 1});
        AudioBlock out = filter.process(block16({32767, 32767}, 2));
        EXPECT_EQ(samples16(out), std::vector<int16_t>{32767});
        Fraction peak = filter.get_peak();
        EXPECT_EQ(peak.num, 65534);
        EXPECT_EQ(peak.den, 65534);
    }
    {
        audio::DownmixFilter filter;
        filter.process(block16({1000, -3000, -16384, 200}, 1, 22050));
        Fraction peak = filter.get_peak();
        EXPECT_DOUBLE_EQ(peak.value(), 0.5);
        AudioBlock out = filter.process(block16({-32768, 32767}, 1));
        EXPECT_EQ(samples16(out), (std::vector<int16_t>{-32768, 32767}));
        EXPECT_DOUBLE_EQ(filter.get_peak().value(), 1.0);
    }
}

// The peak's form sets the gain's form, so an equal peak of the other sign must not replace it.
TEST(DownmixFilter, PeakIsTheLoudestSumInTheFormFirstSeen) {
    struct Case {
        const char* name;
        int channels;
        std::vector<std::vector<int16_t>> blocks;
        Fraction peak;
    } cases[] = {
        {"negative louder", 2, {{32000, 0, -16384, -16384}}, {-32768, -65536}},
        {"tie, positive first", 2, {{16384, 16383, -16384, -16384}}, {32767, 65534}},
        {"tie, negative first", 2, {{-16384, -16384, 16384, 16383}}, {-32768, -65536}},
        {"tie across blocks", 2, {{-16384, -16384}, {0, 0, 16384, 16383}}, {-32768, -65536}},
        {"later block louder", 1, {{-100}, {50, 100}}, {100, 32767}},
        {"loudest mid-block", 1, {{10, 30, 20, -5, 30}}, {30, 32767}},
        {"earlier block louder", 1, {{-200, 3}, {150, -150}}, {-200, -32768}},
    };
    for (const Case& c : cases) {
        audio::DownmixFilter filter;
        for (const auto& samples : c.blocks) filter.process(block16(samples, c.channels));
        EXPECT_EQ(filter.get_peak().num, c.peak.num) << c.name;
        EXPECT_EQ(filter.get_peak().den, c.peak.den) << c.name;
    }
}

TEST(DownmixFilter, SilenceKeepsZeroPeakAndGainIsExact) {
    audio::DownmixFilter filter;
    filter.process(block16(std::vector<int16_t>(100, 0), 2));
    EXPECT_EQ(filter.get_peak().num, 0);
    EXPECT_EQ(filter.get_peak().den, 0);

    filter.set_gain({3 * 32767, 4 * 8192});  // lifts 8192 to 3/4 of full scale
    EXPECT_EQ(samples16(filter.process(block16({8192, -8192}, 1))), (std::vector<int16_t>{24575, -24575}));
}

TEST(DownmixFilter, UnsupportedBlocksPassUnchanged) {
    audio::DownmixFilter filter;
    AudioBlock wide = block8(std::vector<uint8_t>(9, 7), 1);
    wide.bits = 24;
    AudioBlock out = filter.process(wide);
    EXPECT_EQ(out.const_data(), wide.const_data());
    EXPECT_EQ(out.bits, 24);
    EXPECT_TRUE(filter.process(AudioBlock()).empty());
}

TEST(FadeFilter, FadeOutRamp) {
    audio::FadeFilter fade;
    fade.set_ramp(1.0, 2.0, false);
    std::vector<int16_t> ones(20000, 1000);
    AudioBlock out = fade.process(block16(ones, 1, 8000));
    std::vector<int16_t> s = samples16(out);
    EXPECT_EQ(s[0], 1000);
    EXPECT_EQ(s[8000], 1000);
    EXPECT_EQ(s[12000], 500);
    EXPECT_EQ(s[16000], 0);
    EXPECT_EQ(s[19999], 0);
    EXPECT_DOUBLE_EQ(fade.get_time(), 2.5);
}

TEST(FadeFilter, FadeInWithEqualEndsAndEightBit) {
    audio::FadeFilter fade;
    fade.set_ramp(0.5, 0.5, true);
    std::vector<int16_t> level(8, 2000);
    std::vector<int16_t> s = samples16(fade.process(block16(level, 2, 8)));  // 4 frames at 8 Hz
    EXPECT_EQ(s, (std::vector<int16_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    s = samples16(fade.process(block16(level, 2, 8)));
    EXPECT_EQ(s, level);

    fade.set_ramp(0.0, 1.0, true);
    AudioBlock out = fade.process(block8({0, 255, 128, 200}, 1, 4));
    std::vector<uint8_t> bytes(out.const_data(), out.const_data() + out.length());
    EXPECT_EQ(bytes, (std::vector<uint8_t>{128, 159, 128, 182}));
}

TEST(FadeFilter, PassThroughStillCountsFramesAndLeavesSharedInput) {
    audio::FadeFilter fade;
    fade.set_ramp(0.0, 1.0, true);
    AudioBlock wide = block8(std::vector<uint8_t>(30, 9), 1, 10);
    wide.bits = 24;
    AudioBlock out = fade.process(wide);
    EXPECT_EQ(out.const_data(), wide.const_data());
    EXPECT_DOUBLE_EQ(fade.get_time(), 1.0);

    AudioBlock input = block16({1000, 1000}, 1, 4);
    AudioBlock keep = input;
    fade.reset_position();
    fade.process(input);
    EXPECT_EQ(samples16(keep), (std::vector<int16_t>{1000, 1000}));  // the filter changed its own copy
}
