#include "audio/WaveFormat.h"

#include <gtest/gtest.h>

#include "audio/FileReaderADPCM.h"
#include "audio/FileReaderGSM.h"
#include "audio/FileReaderPCM.h"
#include "base/File.h"
#include "tests/audio/support/DecodeFixtures.h"
#include "tests/audio/support/WaveBytes.h"

using fixtures::Bytes;
using fixtures::Chunk;
using fixtures::device_path;
using fixtures::riff_wave;

namespace {

enum Opens { kNone, kPCM, kADPCM, kGSM };

Opens which_opens(const std::string& name) {
    const std::u16string path = device_path(name);
    const int opened = int(audio::FileReaderPCM(path).is_open()) + int(audio::FileReaderADPCM(path).is_open()) +
                       int(audio::FileReaderGSM(path).is_open());
    if (opened > 1) {
        ADD_FAILURE() << name << " opens as more than one coding";
    }
    if (audio::FileReaderPCM(path).is_open()) return kPCM;
    if (audio::FileReaderADPCM(path).is_open()) return kADPCM;
    if (audio::FileReaderGSM(path).is_open()) return kGSM;
    return kNone;
}

std::vector<uint8_t> pcm_data(size_t n) {
    std::vector<uint8_t> d(n);
    for (size_t i = 0; i < n; ++i) d[i] = static_cast<uint8_t>(i * 7);
    return d;
}

std::vector<uint8_t> with_tail(std::vector<uint8_t> file, std::vector<uint8_t> tail) {
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

const std::vector<uint8_t> kFact = fixtures::u32_bytes(1000);

}  // namespace

TEST(WaveFormat, AcceptsEachCodingOnlyByItsOwnChecks) {
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        Opens expected;
    } cases[] = {
        {"pcm16", riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 22050, 4, 16).b}, {"data", pcm_data(400)}}), kPCM},
        {"pcm_fmt18", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 1, 8).u16(0).b}, {"data", pcm_data(10)}}), kPCM},
        {"pcm_fmt19_odd", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 1, 8).u16(0).u8(0).b}, {"data", pcm_data(10)}}), kPCM},
        {"pcm_list_first", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}, {"LIST", {1, 2, 3, 4}}, {"data", pcm_data(10)}}), kPCM},
        {"pcm_channels0", riff_wave({{"fmt ", fixtures::fmt_common(1, 0, 8000, 2, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_bits0", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 0).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_rate0", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 0, 2, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_align0", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 0, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_align_wrong", riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 8000, 2, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_tag3", riff_wave({{"fmt ", fixtures::fmt_common(3, 1, 8000, 4, 32).b}, {"data", pcm_data(10)}}), kNone},
        // Only what the player and the encoder take: a header beyond them is no real file.
        {"pcm_3ch", riff_wave({{"fmt ", fixtures::fmt_common(1, 3, 8000, 6, 16).b}, {"data", pcm_data(12)}}), kNone},
        {"pcm_24bit", riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 8000, 6, 24).b}, {"data", pcm_data(12)}}), kPCM},
        {"pcm_24bit_align_wrong", riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 8000, 8, 24).b}, {"data", pcm_data(16)}}), kNone},
        {"pcm_3000ch", riff_wave({{"fmt ", fixtures::fmt_common(1, 3000, 8000, 6000, 16).b}, {"data", pcm_data(12000)}}), kNone},
        {"pcm_8192bit", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 1024, 8192).b}, {"data", pcm_data(2048)}}), kNone},
        {"pcm_rate3", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 3, 2, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_rate999", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 999, 2, 16).b}, {"data", pcm_data(10)}}), kNone},
        {"pcm_rate1000", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 1000, 2, 16).b}, {"data", pcm_data(10)}}), kPCM},
        {"fmt_short", riff_wave({{"fmt ", Bytes().u16(1).u16(1).u32(8000).u32(16000).b}, {"data", pcm_data(10)}}), kNone},
        {"fmt_past_end", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b, 5000}}), kNone},
        {"data_before_fmt", riff_wave({{"data", pcm_data(10)}, {"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}}), kNone},
        {"no_data", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}, {"LIST", {1, 2}}}), kNone},
        {"chunk_past_end", riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}, {"LIST", {1, 2}, 0xFFFFFFF0}, {"data", pcm_data(10)}}), kNone},
        {"not_wave", [] { auto f = riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}, {"data", pcm_data(10)}}); f[8] = 'A'; return f; }(), kNone},
        {"adpcm", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kADPCM},
        {"adpcm_stereo", riff_wave({{"fmt ", fixtures::fmt_adpcm(2, 512, 500).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kADPCM},
        {"adpcm_fact8", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500).b}, {"fact", with_tail(kFact, {9, 9, 9, 9})}, {"data", pcm_data(512)}}), kADPCM},
        {"adpcm_no_fact", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500).b}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_fact_short", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500).b}, {"fact", {1, 2}}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_8_pairs", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500, 8).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_pairs_cut", [] { auto f = fixtures::fmt_adpcm(1, 256, 500); f.b.erase(f.b.end() - 4, f.b.end()); return riff_wave({{"fmt ", f.b}, {"fact", kFact}, {"data", pcm_data(512)}}); }(), kNone},
        {"adpcm_count_huge", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 500, 0xFFFF).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_align7", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 7, 2).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_align0", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 0, 2).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_stereo_align14", riff_wave({{"fmt ", fixtures::fmt_adpcm(2, 14, 2).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_spb1", riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 256, 1).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_3ch", riff_wave({{"fmt ", fixtures::fmt_adpcm(3, 256, 500).b}, {"fact", kFact}, {"data", pcm_data(512)}}), kNone},
        {"adpcm_rate3", [] { auto f = fixtures::fmt_adpcm(1, 256, 500); f.b[4] = 3; f.b[5] = 0; return riff_wave({{"fmt ", f.b}, {"fact", kFact}, {"data", pcm_data(512)}}); }(), kNone},
        {"gsm", riff_wave({{"fmt ", fixtures::fmt_gsm().b}, {"fact", kFact}, {"data", pcm_data(650)}}), kGSM},
        {"gsm_stereo", riff_wave({{"fmt ", fixtures::fmt_gsm(2).b}, {"fact", kFact}, {"data", pcm_data(650)}}), kNone},
        {"gsm_16k", riff_wave({{"fmt ", fixtures::fmt_gsm(1, 16000).b}, {"fact", kFact}, {"data", pcm_data(650)}}), kNone},
        {"gsm_align64", riff_wave({{"fmt ", fixtures::fmt_gsm(1, 8000, 64).b}, {"fact", kFact}, {"data", pcm_data(650)}}), kNone},
        {"gsm_spb160", riff_wave({{"fmt ", fixtures::fmt_gsm(1, 8000, 65, 160).b}, {"fact", kFact}, {"data", pcm_data(650)}}), kNone},
        {"gsm_no_fact", riff_wave({{"fmt ", fixtures::fmt_gsm().b}, {"data", pcm_data(650)}}), kNone},
        {"gsm_cbsize_missing", riff_wave({{"fmt ", fixtures::fmt_common(0x31, 1, 8000, 65, 0).b}, {"fact", kFact}, {"data", pcm_data(650)}}), kNone},
    };
    for (const auto& c : cases) {
        fixtures::write_bytes(root.host(c.name), c.bytes);
        EXPECT_EQ(which_opens(c.name), c.expected) << c.name;
    }
}

TEST(WaveFormat, EveryTruncationRefusesOrEndsEarly) {
    // Cut a file at every byte up to the data: nothing opens before the data chunk's
    // header is complete, and afterwards the length never exceeds what is there.
    fixtures::DeviceRoot root;
    const std::vector<std::vector<uint8_t>> files = {
        riff_wave({{"fmt ", fixtures::fmt_common(1, 2, 8000, 4, 16).u16(0).b}, {"LIST", {1, 2, 3}}, {"data", pcm_data(64)}}),
        riff_wave({{"fmt ", fixtures::fmt_adpcm(1, 32, 52).b}, {"fact", kFact}, {"data", pcm_data(96)}}),
        riff_wave({{"fmt ", fixtures::fmt_gsm().b}, {"fact", kFact}, {"data", pcm_data(130)}}),
    };
    for (size_t f = 0; f < files.size(); ++f) {
        const auto& full = files[f];
        for (size_t cut = 0; cut <= full.size(); ++cut) {
            std::vector<uint8_t> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
            const std::string name = "cut" + std::to_string(f) + "_" + std::to_string(cut) + ".wav";
            fixtures::write_bytes(root.host(name), part);
            audio::FileReaderPCM pcm(device_path(name));
            audio::FileReaderADPCM adpcm(device_path(name));
            audio::FileReaderGSM gsm(device_path(name));
            const size_t header = full.size() - (f == 0 ? 64 : f == 1 ? 96 : 130);
            const bool any = pcm.is_open() || adpcm.is_open() || gsm.is_open();
            EXPECT_EQ(any, cut >= header) << "file " << f << " cut at " << cut;
            if (pcm.is_open()) {
                EXPECT_LE(pcm.get_length(), static_cast<int>(cut - header));
                EXPECT_EQ(pcm.get_length() % 4, 0);
            }
            if (adpcm.is_open()) {
                EXPECT_EQ(adpcm.get_length(), static_cast<int>((cut - header) / 32));
            }
            if (gsm.is_open()) {
                EXPECT_EQ(gsm.get_length(), static_cast<int>((cut - header) / 65));
            }
        }
    }
}

TEST(WaveFormat, OddChunkIsSkippedByItsStatedSize) {
    // No pad byte is assumed: an odd chunk followed directly by the next header opens;
    // one followed by a pad byte misplaces the walk and is refused, never misread.
    fixtures::DeviceRoot root;
    auto fmt = fixtures::fmt_common(1, 1, 8000, 2, 16).b;
    fixtures::write_bytes(root.host("unpadded.wav"), riff_wave({{"fmt ", fmt}, {"LIST", {1, 2, 3}}, {"data", pcm_data(8)}}));
    fixtures::write_bytes(root.host("padded.wav"), riff_wave({{"fmt ", fmt}, {"LIST", {1, 2, 3, 0}, 3}, {"data", pcm_data(8)}}));
    audio::FileReaderPCM unpadded(device_path("unpadded.wav"));
    ASSERT_TRUE(unpadded.is_open());
    EXPECT_EQ(unpadded.get_length(), 8);
    audio::FileReaderPCM padded(device_path("padded.wav"));
    EXPECT_FALSE(padded.is_open());
}

TEST(WaveFormat, RecordsTheFieldsOfAStandardAdpcmFile) {
    fixtures::DeviceRoot root;
    fixtures::write_bytes(root.host("a.wav"),
                         riff_wave({{"fmt ", fixtures::fmt_adpcm(2, 512, 500).b}, {"fact", kFact}, {"data", pcm_data(1024)}}));
    skinner::File file(device_path("a.wav"), 0);
    audio::WaveFormatADPCM record;
    ASSERT_TRUE(audio::open_wave(record, file));
    EXPECT_EQ(record.fmt_size, 50u);
    EXPECT_EQ(record.channels, 2);
    EXPECT_EQ(record.bits, 4);
    EXPECT_EQ(record.block_align, 512);
    EXPECT_EQ(record.samples_per_block, 500);
    EXPECT_EQ(record.coefficient_count, 7);
    EXPECT_EQ(record.coefficients[5], (std::pair<int32_t, int32_t>{460, -208}));
    EXPECT_EQ(record.coefficients[6], (std::pair<int32_t, int32_t>{392, -232}));
    EXPECT_EQ(record.fact_samples, 1000u);
    EXPECT_EQ(record.data_size, 1024u);
    EXPECT_EQ(record.data_offset, 12u + 8 + 50 + 8 + 4 + 8);
}

TEST(WaveFormat, GarbageNeverOpens) {
    fixtures::DeviceRoot root;
    uint32_t seed = 12345;
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> junk(64 + i * 13);
        for (auto& b : junk) {
            seed = seed * 1103515245 + 12345;
            b = static_cast<uint8_t>(seed >> 16);
        }
        // Half of them start like a WAVE file, so the walk runs over random chunk headers.
        if (i % 2 == 0) {
            auto head = riff_wave({{"fmt ", fixtures::fmt_common(1, 1, 8000, 2, 16).b}});
            std::copy(head.begin(), head.end(), junk.begin());
        }
        const std::string name = "junk" + std::to_string(i);
        fixtures::write_bytes(root.host(name), junk);
        audio::FileReaderPCM pcm(device_path(name));
        if (pcm.is_open()) {
            EXPECT_LE(pcm.get_length(), static_cast<int>(junk.size()));
        }
        EXPECT_FALSE(audio::FileReaderADPCM(device_path(name)).is_open());
        EXPECT_FALSE(audio::FileReaderGSM(device_path(name)).is_open());
    }
}
