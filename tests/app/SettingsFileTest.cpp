#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/Log.h"
#include "platform/kernel/Files.h"
#include "tests/fixtures/LoggedRun.h"

#include "tests/fixtures/DeviceRoot.h"

namespace app {
namespace {

// UTF-16LE bytes of the text, after the byte-order mark.
std::string utf16_file(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string host_file() const { return root.host("Settings.ini"); }

    fixtures::DeviceRoot root;
    const std::u16string path = u"\\Settings.ini";
};

TEST_F(SettingsFileTest, ValuesComeBackInTheNextRun) {
    {
        SettingsFile settings(path);
        settings.write(settings_key_current_folder, u"\\My Documents\\Clips of mine");
        settings.write(settings_key_selected_path, u"\\My Documents\\Clips of mine\\a = b.wav");
    }
    SettingsFile settings(path);
    EXPECT_EQ(settings.read(settings_key_current_folder, u""), u"\\My Documents\\Clips of mine");
    EXPECT_EQ(settings.read(settings_key_selected_path, u""), u"\\My Documents\\Clips of mine\\a = b.wav");
    EXPECT_EQ(settings.read(u"Language", u"English"), u"English");
}

TEST_F(SettingsFileTest, FileIsUtf16WithItsMarkOneLinePerKeyInWriteOrder) {
    {
        SettingsFile settings(path);
        settings.write(settings_key_current_folder, u"\\Folder \u00e9");
        settings.write(settings_key_selected_path, u"\\Folder \u00e9\\x.mp3");
    }
    EXPECT_EQ(fixtures::read_file(host_file()),
              utf16_file(u"CurrentFolder \\Folder \u00e9\nSelectedPath \\Folder \u00e9\\x.mp3\n"));
}

TEST_F(SettingsFileTest, MissingFileReadsAsDefaults) {
    SettingsFile settings(path);
    EXPECT_EQ(settings.read(settings_key_current_folder, u""), u"");
    EXPECT_EQ(settings.read(settings_key_selected_path, u"\\fallback"), u"\\fallback");
}

TEST_F(SettingsFileTest, ValuesThatAreNotStoredLeaveTheOldFileAlone) {
    // Empty or a lone space means "nothing"; a line break would split the entry.
    const std::u16string unstored[] = {u"", u" ", u"\\A\nB", u"\\A\rB", u"\\A\r\n", u"\n"};
    const std::string old_file = utf16_file(u"CurrentFolder \\Old\n");
    for (const std::u16string& value : unstored) {
        fixtures::write_file(host_file(), old_file);
        {
            SettingsFile settings(path);
            settings.write(settings_key_current_folder, value);
            settings.write(settings_key_selected_path, value);
        }
        EXPECT_EQ(fixtures::read_file(host_file()), old_file) << testing::PrintToString(value);
    }
}

TEST_F(SettingsFileTest, OnlyTheStorableValueIsWritten) {
    {
        SettingsFile settings(path);
        settings.write(settings_key_current_folder, u"\\Evil\r\nSelectedPath \\Injected");
        settings.write(settings_key_selected_path, u"\\Good.wav");
    }
    EXPECT_EQ(fixtures::read_file(host_file()), utf16_file(u"SelectedPath \\Good.wav\n"));
}

TEST_F(SettingsFileTest, ReadAfterWriteFindsWhatWasWritten) {
    SettingsFile settings(path);
    settings.write(settings_key_current_folder, u"\\Music");
    EXPECT_EQ(settings.read(settings_key_current_folder, u""), u"\\Music");
}

TEST_F(SettingsFileTest, ReadsEqualsSignsBlanksAndEightBitText) {
    fixtures::write_file(host_file(), "CurrentFolder=\\Music\r\nSelectedPath   \\Music\\a b.wav\r\nLanguage English\r\n");
    SettingsFile settings(path);
    EXPECT_EQ(settings.read(settings_key_current_folder, u""), u"\\Music");
    EXPECT_EQ(settings.read(settings_key_selected_path, u""), u"\\Music\\a b.wav");
    EXPECT_EQ(settings.read(u"Language", u""), u"English");
}

// Settings that cannot be kept are said once in the log and once on the standard error,
// whether the file could not be made or its writing fell short.
TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsSaidOnceInTheLogAndOnStandardError) {
    fixtures::enable_log(root);
    skinner::Log::instance() << "the log's file is open before the disk fills\n";
    struct Case {
        const char* what;
        std::u16string path;
        int64_t write_room;
    };
    const Case cases[] = {
        {"no such folder", u"\\No such folder\\Settings.ini", -1},
        {"a full disk", u"\\Settings.ini", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t logged_before = fixtures::read_logs(root).size();
        ::testing::internal::CaptureStderr();
        {
            SettingsFile settings(c.path);
            platform::set_write_room(c.write_room);
            settings.write(settings_key_current_folder, u"\\Music");
            settings.write(settings_key_selected_path, u"\\Music\\a.wav");
            settings.flush();
        }
        platform::set_write_room(-1);
        const std::string said = ::testing::internal::GetCapturedStderr();
        const std::string logged = fixtures::read_logs(root).substr(logged_before);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("Settings.ini"), std::string::npos) << said;
        EXPECT_NE(said.find("could not be written"), std::string::npos) << said;
        EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
        EXPECT_NE(logged.find("ERROR: SettingsFile could not write {"), std::string::npos) << logged;
    }
    EXPECT_EQ(fixtures::read_file(root.host("No such folder/Settings.ini")), "");
}

}  // namespace
}  // namespace app
