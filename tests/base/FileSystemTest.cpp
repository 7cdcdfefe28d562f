#include "base/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <vector>

#include <sys/statvfs.h>
#include <unistd.h>

#include "base/Log.h"
#include "base/Registry.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Unicode.h"
#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

using fixtures::DeviceRoot;

const std::u16string zeph = u"HKEY_CURRENT_USER\\Software\\ZEPH";

// The log switched on in this root for one test; text() is what the current file holds.
class LoggedRoot : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.host("Temp"));
        registry_write_dword(zeph, u"Log", 0);
        Log::instance();
        registry_write_dword(zeph, u"Log", 1);
        Log::instance();
    }
    void TearDown() override {
        registry_write_dword(zeph, u"Log", 0);
        Log::instance();
    }
    std::u16string text() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root.host("Temp"))) {
            names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        std::string bytes = names.empty() ? "" : fixtures::read_file(names.back());
        std::u16string out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return out;
    }
    DeviceRoot root;
};

int64_t local_now_as_datetime() {
    time_t now = std::time(nullptr);
    struct tm parts;
    localtime_r(&now, &parts);
    return (static_cast<int64_t>(now) + parts.tm_gmtoff + 11644473600LL) * 10000000LL;
}

TEST(FileSystem, FileInfoOfFilesFoldersAndMissingPaths) {
    DeviceRoot root;
    fixtures::write_file(root.host("My Documents/Song.mp3"), "12345");
    FileInfo file(u"%my_documents%/song.MP3");
    EXPECT_EQ(file.path, u"%my_documents%/song.MP3");
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.attributes & 0x10, 0u);
    EXPECT_EQ(file.size, 5u);
    EXPECT_LT(std::llabs(file.last_write.value() - local_now_as_datetime()), 600000000LL);  // within a minute
    EXPECT_NE(file.creation.value(), 0);

    FileInfo folder(u"\\my documents\\");
    EXPECT_TRUE(folder.exists());
    EXPECT_NE(folder.attributes & 0x10, 0u);

    FileInfo missing(u"\\My Documents\\none.mp3");
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.attributes, 0xFFFFFFFFu);
    EXPECT_EQ(missing.size, 0u);
    EXPECT_EQ(missing.last_write.value(), 0);
    EXPECT_EQ(missing.last_error, ERROR_FILE_NOT_FOUND);
}

// The ringtone folder may be another file system than the device's root (a card, a small
// partition): its own free space is what a file saved there may take.
TEST(FileSystem, FreeSpaceIsThatOfTheFileSystemHoldingTheFolder) {
    DeviceRoot root;
    std::error_code error;
    fixtures::TempDir other_file_system("/dev/shm");
    if (other_file_system.path().empty()) GTEST_SKIP() << "no /dev/shm";
    struct statvfs here{}, there{};
    ASSERT_EQ(statvfs(root.path().c_str(), &here), 0);
    ASSERT_EQ(statvfs(other_file_system.path().c_str(), &there), 0);
    if (here.f_fsid == there.f_fsid) GTEST_SKIP() << "/dev/shm is the root's file system";
    std::filesystem::create_directories(root.host("Windows"));
    std::filesystem::create_directory_symlink(other_file_system.path(), root.host("Windows/Rings"));
    const double expected = static_cast<double>(there.f_bavail) * there.f_frsize;
    const double root_free = static_cast<double>(here.f_bavail) * here.f_frsize;
    // Others write meanwhile: a few megabytes either way.
    const double slack = 8e6;
    ASSERT_GT(std::abs(expected - root_free), 4 * slack) << "the two file systems look alike";
    EXPECT_NEAR(disk_free_space(u"%windows%/Rings"), expected, slack);
    EXPECT_NEAR(disk_free_space(u"\\Windows\\Rings\\"), expected, slack);
    // A file not made yet: the folder it goes into.
    EXPECT_NEAR(disk_free_space(u"%windows%/Rings/new.mp3"), expected, slack);
    EXPECT_NEAR(disk_free_space(u"%windows%"), root_free, slack);
    EXPECT_NEAR(disk_free_space(u"\\"), root_free, slack);
}

TEST(FileSystem, DeleteAndDiskSpace) {
    DeviceRoot root;
    fixtures::write_file(root.host("Windows/Rings/a.mp3"), "x");
    EXPECT_TRUE(delete_file(u"%windows%/rings/A.mp3"));
    EXPECT_FALSE(delete_file(u"%windows%/rings/A.mp3"));
    EXPECT_FALSE(std::filesystem::exists(root.host("Windows/Rings/a.mp3")));
    double free_space = disk_free_space(u"%windows%/Rings/new.mp3");  // the root of a missing file still has space
    double total = disk_total_space(u"%windows%");
    EXPECT_GT(free_space, 0);
    EXPECT_GE(total, free_space);
    EXPECT_EQ(disk_total_space(u"\\Missing"), 0);
    EXPECT_EQ(disk_free_space(u"no-root"), 0);
}

TEST_F(LoggedRoot, MakeDirectoriesTriesAndLogsEveryLevel) {
    make_directories(u"\\A\\B");
    EXPECT_TRUE(std::filesystem::is_directory(root.host("A/B")));
    EXPECT_EQ(text(),
              u"CreateDirectoryW {} result=false\n"
              u"CreateDirectoryW {\\A} result=true\n"
              u"CreateDirectoryW {\\A\\B} result=true\n");
    create_directories(u"%my_documents%/x/");
    EXPECT_TRUE(std::filesystem::is_directory(root.host("My Documents/x")));
    EXPECT_NE(text().find(u"CreateDirectoryW {\\My Documents\\x} result=true\n"), std::u16string::npos);
    make_directories(u"");
}

class RecordingVisitor : public FileVisitor {
public:
    bool on_file(const std::u16string& path) override {
        files.push_back(platform::utf8_from_utf16(path));
        return files.size() != stop_after_files;
    }
    bool on_directory(const std::u16string& path) override {
        folders.push_back(platform::utf8_from_utf16(path));
        return folders.back().find(stop_at_folder) == std::string::npos;
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    size_t stop_after_files = 0;
    std::string stop_at_folder = "\x01";
};

std::multiset<std::string> as_set(const std::vector<std::string>& v) {
    return {v.begin(), v.end()};
}

TEST(FileSystem, FindFilesVisitsFilesThenFoldersRecursively) {
    DeviceRoot root;
    for (const char* name : {"Music/a.mp3", "Music/b.MP3", "Music/c.wav", "Music/Rock/d.mp3", "Music/Rock/Old/e.mp3",
                             "Music/Jazz/f.mp3"}) {
        fixtures::write_file(root.host(name), "x");
    }
    RecordingVisitor all;
    EXPECT_TRUE(find_files(all, u"\\Music\\", u"*.mp3", u"*", true));
    EXPECT_EQ(as_set(all.files), (std::multiset<std::string>{"\\Music\\a.mp3", "\\Music\\b.MP3", "\\Music\\Rock\\d.mp3",
                                                              "\\Music\\Rock\\Old\\e.mp3", "\\Music\\Jazz\\f.mp3"}));
    EXPECT_EQ(as_set(all.folders), (std::multiset<std::string>{"\\Music\\Rock", "\\Music\\Rock\\Old", "\\Music\\Jazz"}));

    RecordingVisitor flat;
    find_files(flat, u"/music", u"*.wav", u"R*", false);
    EXPECT_EQ(flat.files, std::vector<std::string>{"/music\\c.wav"});
    EXPECT_EQ(flat.folders, std::vector<std::string>{"/music\\Rock"});

    // One mask for files and folders alike.
    RecordingVisitor both;
    EXPECT_TRUE(find_files(both, u"\\Music", u"*", u"*", true));
    EXPECT_EQ(as_set(both.files), (std::multiset<std::string>{"\\Music\\a.mp3", "\\Music\\b.MP3", "\\Music\\c.wav",
                                                               "\\Music\\Rock\\d.mp3", "\\Music\\Rock\\Old\\e.mp3",
                                                               "\\Music\\Jazz\\f.mp3"}));
    EXPECT_EQ(as_set(both.folders), (std::multiset<std::string>{"\\Music\\Rock", "\\Music\\Rock\\Old", "\\Music\\Jazz"}));

    RecordingVisitor stops;
    stops.stop_after_files = 2;
    EXPECT_TRUE(find_files(stops, u"\\Music", u"*", u"*", true));
    EXPECT_EQ(stops.files.size(), 2u);
    EXPECT_TRUE(stops.folders.empty());

    // A false from a folder inside ends that folder's own listing only.
    fixtures::write_file(root.host("Tree/One/Sub1/x"), "");
    fixtures::write_file(root.host("Tree/One/Sub2/x"), "");
    fixtures::write_file(root.host("Tree/Two/x"), "");
    RecordingVisitor nested;
    nested.stop_at_folder = "Sub";
    find_files(nested, u"\\Tree", u"none", u"*", true);
    EXPECT_EQ(nested.folders.size(), 3u);  // One, one of its Subs, and Two whatever the order
    EXPECT_EQ(std::count_if(nested.folders.begin(), nested.folders.end(),
                            [](const std::string& f) { return f.find("Sub") != std::string::npos; }),
              1);

    RecordingVisitor none;
    EXPECT_TRUE(find_files(none, u"\\Missing", u"*", u"*", true));
    EXPECT_TRUE(none.files.empty() && none.folders.empty());
}

// A recording opener first on PATH.
class Opener : public LoggedRoot {
protected:
    void SetUp() override {
        LoggedRoot::SetUp();
        saved_path = std::getenv("PATH");
        std::string program = bin.file("xdg-open");
        fixtures::write_file(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + bin.file("calls") + "'\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        setenv("PATH", (bin.path() + ":" + saved_path).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", saved_path.c_str(), 1);
        LoggedRoot::TearDown();
    }
    std::string calls() {
        for (int i = 0; i < 500 && fixtures::read_file(bin.file("calls")).empty(); ++i) {
            usleep(10000);
        }
        return fixtures::read_file(bin.file("calls"));
    }
    fixtures::TempDir bin;
    std::string saved_path;
};

TEST_F(Opener, ExecuteFileLogsAndOpensTheExpandedFile) {
    fixtures::write_file(root.host("My Documents/help.htm"), "<p>");
    EXPECT_TRUE(execute_file(u"%my_documents%/Help.htm", u""));
    EXPECT_EQ(calls(), root.host("My Documents/help.htm") + "\n");
    EXPECT_EQ(text(), u"execute_file(\\My Documents\\Help.htm} {)\n");
    EXPECT_FALSE(execute_file(u"%my_documents%/missing.htm", u""));
}

TEST_F(Opener, OpenUrlGoesToTheBrowser) {
    EXPECT_TRUE(open_url(u"http://example.invalid/page"));
    EXPECT_EQ(calls(), "http://example.invalid/page\n");
}

}  // namespace
}  // namespace skinner
