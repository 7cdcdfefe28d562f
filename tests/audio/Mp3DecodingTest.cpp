#include "audio/Mp3Decoding.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/DecoderMP3.h"

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
