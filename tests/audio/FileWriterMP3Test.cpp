#include "audio/FileWriterMP3.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <numeric>
#include <vector>

#include "platform/kernel/DevicePath.h"
#include "platform/kernel/Files.h"
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

// The names in a host folder.
std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// The room on the disk of the files opened during one test.
class WriteRoom {
public:
    explicit WriteRoom(int64_t bytes) { platform::set_write_room(bytes); }
    ~WriteRoom() { platform::set_write_room(-1); }
    WriteRoom(const WriteRoom&) = delete;
    WriteRoom& operator=(const WriteRoom&) = delete;
};

}  // namespace

// The target keeps its old bytes until the new file is whole: the writer fills a partial file
// beside it and moves that over the target once finished.
TEST(FileWriterMP3, AnOldFileIsReplacedOnlyByAWholeNewOne) {
    fixtures::DeviceRoot root;
    std::filesystem::create_directories(root.host("Rings"));
    const std::string target = root.host("Rings/ring.mp3");
    const std::u16string device = fixtures::device_path("Rings/ring.mp3");
    const std::vector<std::pair<uint32_t, uint8_t>> blocks = {{20000, 1}, {300, 2}};
    struct Case {
        const char* what;
        std::function<void(FileWriterMP3&)> end;  // what the writer's user does after the blocks
        bool replaced;
    };
    const Case cases[] = {
        {"finished", [](FileWriterMP3& w) { EXPECT_TRUE(w.finish()); }, true},
        {"left to its destructor", [](FileWriterMP3&) {}, true},
        {"abandoned", [](FileWriterMP3& w) { w.abandon(); }, false},
        {"abandoned after the blocks were written", [](FileWriterMP3& w) {
             w.on_data(coded(20000, 3));
             w.abandon();
         }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixtures::write_file(target, "old ringtone");
        {
            FileWriterMP3 writer(device, false);
            for (auto [size, first] : blocks) writer.on_data(coded(size, first));
            EXPECT_EQ(fixtures::read_file(target), "old ringtone") << "not while the new one is written";
            EXPECT_EQ(names_in(root.host("Rings")).size(), 2u) << "a partial file beside it";
            c.end(writer);
        }
        if (c.replaced) {
            EXPECT_EQ(fixtures::read_bytes(target), expected_bytes(blocks));
        } else {
            EXPECT_EQ(fixtures::read_file(target), "old ringtone");
        }
        EXPECT_EQ(names_in(root.host("Rings")), std::set<std::string>{"ring.mp3"});
    }
    // A write that fails part-way, in the middle of the stream or at its last flush.
    for (int64_t room : {int64_t{10000}, int64_t{20100}}) {
        SCOPED_TRACE(room);
        fixtures::write_file(target, "old ringtone");
        {
            WriteRoom full_disk(room);
            FileWriterMP3 writer(device, false);
            for (auto [size, first] : blocks) writer.on_data(coded(size, first));
            EXPECT_FALSE(writer.finish());
        }
        EXPECT_EQ(fixtures::read_file(target), "old ringtone");
        EXPECT_EQ(names_in(root.host("Rings")), std::set<std::string>{"ring.mp3"});
    }
}

// What a killed run leaves (its partial files) goes at the next start; nothing else does.
TEST(FileWriterMP3, PartialFilesOfAnEarlierRunAreRemoved) {
    fixtures::DeviceRoot root;
    std::filesystem::create_directories(root.host("Rings"));
    std::string partial;
    ASSERT_TRUE(platform::host_path_of(FileWriterMP3::partial_path_of(fixtures::device_path("Rings/Evening.mp3")), partial));
    ASSERT_EQ(std::filesystem::path(partial).parent_path(), std::filesystem::path(root.host("Rings")));
    fixtures::write_file(partial, "half a ringtone");
    for (const char* kept : {"Evening.mp3", "notes.txt", "Evening.mp3.part"}) fixtures::write_file(root.host("Rings/") + kept, "x");
    FileWriterMP3::remove_partial_files(fixtures::device_path("Rings"));
    EXPECT_EQ(names_in(root.host("Rings")), (std::set<std::string>{"Evening.mp3", "Evening.mp3.part", "notes.txt"}));
    FileWriterMP3::remove_partial_files(fixtures::device_path("Missing"));
}

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
