#include "audio/Mp3FrameTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/File.h"
#include "tests/fixtures/AudioFixtures.h"

namespace {

// MPEG-1 layer III at 44100 Hz, 1152 samples each: 128 kbit/s (417 bytes), 64 kbit/s (208)
// and 192 kbit/s with padding (627).
const uint8_t kA[4] = {0xFF, 0xFB, 0x90, 0x00};
const uint8_t kB[4] = {0xFF, 0xFB, 0x50, 0x00};
const uint8_t kC[4] = {0xFF, 0xFB, 0xB2, 0x00};
constexpr double kFrameSeconds = 1152.0 / 44100;

struct Stream {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> starts;
    Stream& frame(const uint8_t (&header)[4], size_t keep = SIZE_MAX) {
        audio::Mp3FrameInfo info;
        audio::parse_mp3_frame_header(header, info);
        starts.push_back(static_cast<uint32_t>(bytes.size()));
        std::vector<uint8_t> f(static_cast<size_t>(info.frame_length), 0);
        std::memcpy(f.data(), header, 4);
        f.resize(std::min(f.size(), keep));
        bytes.insert(bytes.end(), f.begin(), f.end());
        return *this;
    }
    Stream& raw(std::vector<uint8_t> more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
};

audio::Mp3FrameTable table_of(const fixtures::DeviceRoot& root, const Stream& stream, uint32_t first) {
    fixtures::write_bytes(root.host("s.mp3"), stream.bytes);
    skinner::File file(fixtures::device_path("s.mp3"), skinner::File::read_existing);
    audio::Mp3FrameInfo format;
    audio::parse_mp3_frame_header(kA, format);
    audio::Mp3FrameTable table;
    table.build(file, first, format);
    return table;
}

}  // namespace

TEST(Mp3FrameTable, TimesEveryFrameOfAVariableBitRate) {
    fixtures::DeviceRoot root;
    Stream s;
    s.raw(std::vector<uint8_t>(100, 0)).frame(kA).frame(kB).frame(kC).frame(kA).frame(kB);
    audio::Mp3FrameTable table = table_of(root, s, 100);
    ASSERT_EQ(table.frame_count(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(table.start_of(k), s.starts[static_cast<size_t>(k)]);
        EXPECT_DOUBLE_EQ(table.seconds_at(table.start_of(k)), k * kFrameSeconds);
        EXPECT_EQ(table.position_at(k * kFrameSeconds), table.start_of(k));
    }
    EXPECT_EQ(table.start_of(5), s.bytes.size());
    EXPECT_EQ(table.audio_bytes(), s.bytes.size() - 100);
    EXPECT_DOUBLE_EQ(table.duration(), 5 * kFrameSeconds);
    // Bytes within a frame share its time evenly, both ways.
    EXPECT_DOUBLE_EQ(table.seconds_at(table.start_of(1) + 104), 1.5 * kFrameSeconds);
    EXPECT_EQ(table.position_at(1.5 * kFrameSeconds), table.start_of(1) + 104);
    EXPECT_EQ(table.position_at(2.4 * kFrameSeconds), table.start_of(2) + 251);  // 0.4 of 627 bytes
    for (uint32_t p = table.start_of(0); p <= table.start_of(5); p += 7) {
        EXPECT_EQ(table.position_at(table.seconds_at(p)), p);
    }
    EXPECT_EQ(table.frame_at_or_after(table.start_of(2) + 1), 3);
    // Before the audio, at 0 or less, and past its end.
    EXPECT_EQ(table.seconds_at(20), 0.0);
    EXPECT_EQ(table.position_at(-1.0), table.start_of(0));
    EXPECT_EQ(table.position_at(0.0), table.start_of(0));
    EXPECT_EQ(table.frame_containing(99), -1);
    EXPECT_EQ(table.frame_containing(table.start_of(3)), 3);
    EXPECT_EQ(table.frame_containing(table.start_of(4) - 1), 3);
    EXPECT_EQ(table.frame_containing(table.start_of(5)), 5);
    EXPECT_DOUBLE_EQ(table.seconds_at(UINT32_MAX), table.duration());
    EXPECT_EQ(table.position_at(1e9), table.start_of(5));

    // The encoder's delay comes first and its padding last: neither counts as audio.
    table.set_timing(1105, 5 * 1152 - 1105 - 300);
    EXPECT_EQ(table.seconds_at(table.start_of(0)), 0.0);
    EXPECT_DOUBLE_EQ(table.seconds_at(table.start_of(1)), (1152 - 1105) / 44100.0);
    EXPECT_DOUBLE_EQ(table.duration(), (5 * 1152 - 1105 - 300) / 44100.0);
    EXPECT_EQ(table.position_at(0.0), table.start_of(0) + 400);  // 1105 of 1152 samples into 417 bytes
    EXPECT_EQ(table.position_at((2 * 1152 - 1105) / 44100.0), table.start_of(2));
}

TEST(Mp3FrameTable, DamageIsSkippedToTheNextConfirmedFrame) {
    fixtures::DeviceRoot root;
    std::vector<uint8_t> garbage(50, 0x11);
    std::memcpy(garbage.data() + 10, kA, 4);  // a header that no other follows
    std::vector<uint8_t> tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    struct Case {
        const char* what;
        Stream stream;
        std::vector<size_t> kept;  // indexes into the stream's frames
    } cases[] = {
        {"garbage between frames", Stream().frame(kA).raw(garbage).frame(kB).frame(kA).frame(kB).raw(tag), {0, 1, 2, 3}},
        {"a last frame cut short", Stream().frame(kA).frame(kB).frame(kA, 100), {0, 1}},
        {"after damage, the last frame before a tag", Stream().frame(kA).raw(garbage).frame(kC).raw(tag), {0, 1}},
        {"after damage, a last frame that ends the file", Stream().frame(kA).raw(garbage).frame(kC), {0, 1}},
        {"nothing but garbage", Stream().raw(garbage).raw(garbage), {}},
    };
    for (const Case& c : cases) {
        audio::Mp3FrameTable table = table_of(root, c.stream, 0);
        ASSERT_EQ(table.frame_count(), static_cast<int>(c.kept.size())) << c.what;
        for (size_t i = 0; i < c.kept.size(); ++i) {
            EXPECT_EQ(table.start_of(static_cast<int>(i)), c.stream.starts[c.kept[i]]) << c.what;
        }
    }
}
