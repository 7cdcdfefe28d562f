// The preview seeks and asks for the position on the user-interface thread while the
// player thread pulls through the chain: every reader must stand that (run under TSan).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "audio/AudioFormat.h"
#include "tests/audio/support/DecodeFixtures.h"

TEST(ReaderThreads, SeeksAndQueriesWhileAnotherThreadPulls) {
    for (const char* tool : {"sox", "oggenc", "mpcenc"}) {
        if (!fixtures::have_program(tool)) GTEST_SKIP() << "needs " << tool;
    }
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_other_format_files(root, 3.0));
    for (const char* name : fixtures::kOtherFormatFiles) {
        auto format = audio::AudioFormat::create_for_file(fixtures::device_path(name));
        ASSERT_NE(format, nullptr) << name;
        audio::AudioReader* reader = format->get_reader();
        audio::DataSink sink;
        format->get_source()->connect(&sink);
        std::atomic<bool> done{false};
        std::atomic<int> pulled{0};
        std::thread player([&] {
            while (!done) {
                if (!sink.pull(2048).empty()) ++pulled;
            }
        });
        const int length = reader->get_length();
        // Go on until the player has pulled a few times amid the seeks.
        for (int i = 0; i < 300 || (pulled < 5 && i < 1000000); ++i) {
            reader->seek((i * 7919) % (length + 1));
            EXPECT_GE(reader->get_position(), 0);
            EXPECT_LE(reader->get_position(), length) << name;
            reader->get_current_time();
            reader->at_end();
            std::this_thread::yield();
        }
        done = true;
        player.join();
        format->get_source()->connect(nullptr);
        EXPECT_GT(pulled.load(), 0) << name;
    }
}
