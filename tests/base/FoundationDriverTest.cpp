#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/TempDir.h"

namespace {

std::u16string utf16_content(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

TEST(FoundationDriver, FilesLogAndThreadsWorkTogether) {
    fixtures::DeviceRoot root;
    std::filesystem::create_directories(root.host("Temp"));
    std::string output = root.host("driver-output.txt");
    int status = fixtures::run_command(root.environment() + " " + fixtures::helper_program("foundation_driver") +
                                       " > '" + output + "' 2>&1");
    std::string printed = fixtures::read_file(output);
    ASSERT_EQ(status, 0) << printed;
    EXPECT_NE(printed.find("driver passed"), std::string::npos) << printed;
    EXPECT_EQ(fixtures::read_file(root.host("Windows/driver-result.txt")), "lines counted: 14\n");

    // Exactly one log file, holding what was written while the switch was on.
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(root.host("Temp"))) {
        logs.push_back(entry.path());
    }
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].filename().string().rfind("foundation_driver.txt", 0), 0u);
    std::u16string log = utf16_content(fixtures::read_file(logs[0].string()));
    EXPECT_EQ(log.find(u"before the log is on"), std::u16string::npos);
    EXPECT_EQ(log.find(u"after the log is off"), std::u16string::npos);
    EXPECT_NE(log.find(u"driver: log on, app name foundation_driver\n"), std::u16string::npos) << log.size();
    EXPECT_NE(log.find(u"LineCounter::run line=gamma total=14\n"), std::u16string::npos);
    EXPECT_EQ(log.find(u"CreateDirectoryW"), std::u16string::npos);
}

}  // namespace
