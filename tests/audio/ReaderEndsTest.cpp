// A file that loses its data while a reader has it open (cut short on disk, or shorter
// than its header says): every reader reports its end, so no pull or push loop spins.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/AudioFormat.h"
#include "tests/audio/support/DecodeFixtures.h"

TEST(ReaderEnds, DataThatVanishesEndsTheReader) {
    for (const char* tool : {"sox", "oggenc", "mpcenc"}) {
        if (!fixtures::have_program(tool)) GTEST_SKIP() << "needs " << tool;
    }
    fixtures::DeviceRoot root;
    // Long enough that no library holds the whole file in its buffers.
    ASSERT_TRUE(fixtures::make_other_format_files(root, 20.0));
    for (const char* name : fixtures::kOtherFormatFiles) {
        for (double keep : {0.5, 0.0}) {
            const std::string copy = std::to_string(keep) + name;
            std::filesystem::copy_file(root.host(name), root.host(copy));
            auto format = audio::AudioFormat::create_for_file(fixtures::device_path(copy));
            ASSERT_NE(format, nullptr) << copy;
            audio::AudioReader* reader = format->get_reader();
            const auto first = fixtures::pull_all(*format->get_source(), 1000, 3);
            EXPECT_FALSE(first.bytes.empty()) << copy;

            const auto size = std::filesystem::file_size(root.host(copy));
            std::filesystem::resize_file(root.host(copy), static_cast<uintmax_t>(static_cast<double>(size) * keep));
            const auto rest = fixtures::pull_all(*format->get_source(), 1000, 100000);
            EXPECT_TRUE(rest.ended) << copy;
            EXPECT_LT(first.bytes.size() + rest.bytes.size(), 20u * 44100 * 4) << copy;
            EXPECT_TRUE(reader->at_end()) << copy;
            EXPECT_FALSE(reader->push_units(1 << 30)) << copy;
        }
    }
}
