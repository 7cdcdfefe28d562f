#include "base/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

class RecordingLog : public Log {
public:
    void write(const char16_t* begin, const char16_t* end) override { text.append(begin, end); }
    void flush() override { ++flushes; }
    std::u16string text;
    int flushes = 0;
};

TEST(Log, StreamOperatorsWriteTheirText) {
    RecordingLog log;
    log << u"wide " << std::u16string(u"object ") << "narrow\xE9 " << -7 << " " << 123456789012L << " " << 3.5
        << " " << true << " " << false << " " << Key::VOLUME_DOWN << static_cast<Key>(99) << " " << Key::Enter
        << "\n";
    EXPECT_EQ(log.text, u"wide object narrow\u00e9 -7 123456789012 3.500000 true false VOLUME_DOWN Enter\n");
    RecordingLog huge;
    huge << 1e300 << -1e300;
    EXPECT_EQ(huge.text.size(), 308u + 309u);  // 301 digits, the point, six decimals; then a sign more
    RecordingLog empty;
    empty << static_cast<const char*>(nullptr) << static_cast<const char16_t*>(nullptr) << u"";
    EXPECT_EQ(empty.text, u"");
}

TEST(Log, NullLogTakesEverything) {
    NullLog log;
    log << u"x" << 1 << 2.0 << Key::A;
    log.flush();
}

TEST(Log, TextFileWriterMarksOnlyEmptyFiles) {
    fixtures::DeviceRoot box;
    {
        TextFileWriter writer(u"/fresh.txt", File::create_always);
        writer << u"A\u20ac";
        writer.flush();
    }
    EXPECT_EQ(fixtures::read_file(box.host("fresh.txt")), std::string("\xFF\xFE" "A\0\xAC\x20", 6));
    {
        TextFileWriter writer(u"/fresh.txt", File::append);
        writer << u"B";
    }
    EXPECT_EQ(fixtures::read_file(box.host("fresh.txt")), std::string("\xFF\xFE" "A\0\xAC\x20" "B\0", 8));
}

TEST(Log, LogFileTruncatesAndIsSilentWithoutItsFolder) {
    fixtures::DeviceRoot box;
    fixtures::write_file(box.host("Temp/log.txt"), "old content that must go");
    {
        LogFile log(u"/Temp/log.txt");
        log << u"new\n";
    }
    EXPECT_EQ(fixtures::read_file(box.host("Temp/log.txt")), std::string("\xFF\xFE" "n\0e\0w\0\n\0", 10));
    LogFile nowhere(u"/Missing/log.txt");
    nowhere << u"lost\n";
    nowhere.flush();
    EXPECT_FALSE(std::filesystem::exists(box.host("Missing")));
}

TEST(Log, ConcurrentWritersNeverSplitOnePieceAndCloseWaitsForThem) {
    fixtures::DeviceRoot box;
    std::filesystem::create_directories(box.host("Temp"));
    LogFile log(u"/Temp/threads.txt");
    const std::u16string piece = u"0123456789abcdefghijklmnopqrstuvwxyz\n";
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                log << piece;
            }
        });
    }
    for (std::thread& w : writers) {
        w.join();
    }
    std::thread late([&] {
        for (int i = 0; i < 200; ++i) {
            log << piece;  // after the close these do nothing, and never crash
        }
    });
    log.close_file();
    late.join();
    std::string bytes = fixtures::read_file(box.host("Temp/threads.txt"));
    ASSERT_GE(bytes.size(), 2 + 800 * piece.size() * 2);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    ASSERT_EQ(text.size() % piece.size(), 0u);
    for (size_t i = 0; i < text.size(); i += piece.size()) {
        ASSERT_EQ(text.compare(i, piece.size(), piece), 0) << "split at " << i;
    }
}

TEST(GluckDeathTest, EndsTheProcessWithAFailureStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fixtures::DeviceRoot box;
    EXPECT_EXIT(gluck(u"x", u"y"), ::testing::ExitedWithCode(gluck_exit_code), "");
}

}  // namespace
}  // namespace skinner
