#include "audio/FileWriterMP3.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "tests/fixtures/AudioFixtures.h"

using audio::AudioBlock;
using audio::FileWriterMP3;

namespace {

AudioBlock coded(uint32_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(size, bytes.data());
    return block;
}

std::vector<uint8_t> expected_bytes(const std::vector<std::pair<uint32_t, uint8_t>>& blocks) {
    std::vector<uint8_t> all;
    for (auto [size, first] : blocks) {
        std::vector<uint8_t> bytes(size);
        std::iota(bytes.begin(), bytes.end(), first);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

}  // namespace

TEST(FileWriterMP3, WritesBlocksInOrderAroundItsBuffer) {
    fixtures::DeviceRoot root;
    // Small blocks, one that overflows the buffer, and one larger than the buffer itself.
    std::vector<std::pair<uint32_t, uint8_t>> blocks = {{417, 1}, {16000, 2}, {300, 3}, {40000, 4}, {5, 5}};
    {
        FileWriterMP3 writer(fixtures::device_path("out.mp3"), false);
        for (auto [size, first] : blocks) {
            writer.on_data(coded(size, first));
        }
        EXPECT_TRUE(writer.is_ok());
        EXPECT_EQ(writer.get_size(), 417 + 16000 + 300 + 40000 + 5);
        EXPECT_TRUE(writer.finish());
    }
    EXPECT_EQ(fixtures::read_bytes(root.host("out.mp3")), expected_bytes(blocks));

    // Appending keeps what was there and counts it in the size.
    {
        FileWriterMP3 writer(fixtures::device_path("out.mp3"), true);
        EXPECT_EQ(writer.get_size(), 417 + 16000 + 300 + 40000 + 5);
        writer.on_data(coded(10, 9));
    }
    blocks.push_back({10, 9});
    EXPECT_EQ(fixtures::read_bytes(root.host("out.mp3")), expected_bytes(blocks));
}

TEST(FileWriterMP3, LeavesNoFileWhenNothingOrNotAllWasWritten) {
    fixtures::DeviceRoot root;
    { FileWriterMP3 nothing(fixtures::device_path("empty.mp3"), false); }
    EXPECT_FALSE(fixtures::file_exists(root.host("empty.mp3")));

    {
        FileWriterMP3 abandoned(fixtures::device_path("abandoned.mp3"), false);
        abandoned.on_data(coded(20000, 0));
        abandoned.abandon();
        EXPECT_FALSE(abandoned.is_ok());
    }
    EXPECT_FALSE(fixtures::file_exists(root.host("abandoned.mp3")));

    {
        FileWriterMP3 nowhere(fixtures::device_path("missing\\out.mp3"), false);
        EXPECT_FALSE(nowhere.is_ok());
        nowhere.on_data(coded(100, 0));
        EXPECT_FALSE(nowhere.finish());
    }

    {
        fixtures::FileSizeLimit full_disk(30000);
        FileWriterMP3 writer(fixtures::device_path("full.mp3"), false);
        for (int i = 0; i < 10; ++i) {
            writer.on_data(coded(4000, 0));
        }
        EXPECT_FALSE(writer.finish());
    }
    EXPECT_FALSE(fixtures::file_exists(root.host("full.mp3")));

    {
        // The last write falling short (in the destructor's flush) also removes the file.
        fixtures::FileSizeLimit full_disk(10000);
        FileWriterMP3 writer(fixtures::device_path("late.mp3"), false);
        writer.on_data(coded(12000, 0));
    }
    EXPECT_FALSE(fixtures::file_exists(root.host("late.mp3")));
}
