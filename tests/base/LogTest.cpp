#include "base/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/Registry.h"
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

namespace skinner {
namespace {

const std::u16string zeph = u"HKEY_CURRENT_USER\\Software\\ZEPH";

// Log files made in this root's \Temp, oldest first (the names end in the time stamp).
std::vector<std::string> log_files(const fixtures::DeviceRoot& root) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root.host("Temp"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::u16string utf16_content(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

// Starts every test from a log that is off, whatever an earlier test left behind.
class LogSwitch : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.host("Temp"));
        ASSERT_TRUE(registry_write_dword(zeph, u"Log", 0));
        ASSERT_NE(dynamic_cast<NullLog*>(&Log::instance()), nullptr);
    }
    void TearDown() override {
        registry_write_dword(zeph, u"Log", 0);
        Log::instance();
    }
    fixtures::DeviceRoot root;
};

TEST_F(LogSwitch, RegistryValueSwitchesTheLogAtTheNextMessage) {
    Log& off = Log::instance();
    EXPECT_EQ(&Log::instance(), &off);

    ASSERT_TRUE(registry_write_dword(zeph, u"Log", 1));
    Log& first = Log::instance();
    ASSERT_NE(dynamic_cast<LogFile*>(&first), nullptr);
    first << u"one\n";
    ASSERT_TRUE(registry_write_dword(zeph, u"Log", 5));  // still on: the same file
    EXPECT_EQ(&Log::instance(), &first);
    Log::instance() << u"five\n";

    ASSERT_TRUE(registry_write_dword(zeph, u"Log", 0));
    Log& null = Log::instance();
    EXPECT_NE(dynamic_cast<NullLog*>(&null), nullptr);
    first << u"after the switch\n";  // a stale reference stays safe and writes nothing

    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    ASSERT_TRUE(registry_write_dword(zeph, u"Log", 1));
    Log::instance() << u"two\n";

    std::vector<std::string> files = log_files(root);
    ASSERT_EQ(files.size(), 2u);
    std::string app_name = std::filesystem::canonical("/proc/self/exe").filename().string();
    for (const std::string& name : files) {
        ASSERT_EQ(name.rfind(app_name + ".txt", 0), 0u) << name;
        std::string stamp = name.substr(app_name.size() + 4);
        EXPECT_EQ(stamp.size(), 13u) << name;
        EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << name;
    }
    EXPECT_LT(files[0], files[1]);
    EXPECT_EQ(utf16_content(fixtures::read_file(root.host("Temp/" + files[0]))), u"one\nfive\n");
    EXPECT_EQ(fixtures::read_file(root.host("Temp/" + files[1])).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(utf16_content(fixtures::read_file(root.host("Temp/" + files[1]))), u"two\n");
}

TEST_F(LogSwitch, MissingKeyReadsAsOffAndIsCreated) {
    ASSERT_TRUE(registry_write_dword(zeph + u"\\Other", u"Log", 1));
    EXPECT_NE(dynamic_cast<NullLog*>(&Log::instance()), nullptr);
    EXPECT_TRUE(log_files(root).empty());
}

TEST_F(LogSwitch, SwitchingWhileOtherThreadsWriteIsSafe) {
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < 3; ++t) {
        writers.emplace_back([&] {
            while (!stop) {
                Log::instance() << u"piece " << 42 << u"\n";
            }
        });
    }
    for (int i = 0; i < 20; ++i) {
        registry_write_dword(zeph, u"Log", static_cast<DWORD>(i % 2));
        Log::instance();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    for (std::thread& w : writers) {
        w.join();
    }
    EXPECT_FALSE(log_files(root).empty());
}

TEST_F(LogSwitch, GluckLeavesItsLineLastAndFailsTheProcess) {
    // A forked child keeps this test's device root and its open log.
    GTEST_FLAG_SET(death_test_style, "fast");
    ASSERT_TRUE(registry_write_dword(zeph, u"Log", 1));
    Log::instance() << u"before\n";
    EXPECT_EXIT(gluck(u"x", u"y"), ::testing::ExitedWithCode(gluck_exit_code), "");
    std::vector<std::string> files = log_files(root);
    ASSERT_FALSE(files.empty());
    std::u16string text = utf16_content(fixtures::read_file(root.host("Temp/" + files.back())));
    std::u16string tail = u"Gluck: x @ y\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

}  // namespace
}  // namespace skinner
