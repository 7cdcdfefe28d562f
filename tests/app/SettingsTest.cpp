// The main form's folder and selection, written when it closes and read back at the next start.
#include "app/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/app/support/MainFormTesting.h"

namespace app_test {
namespace {

using SettingsTest = MainFormTest;

const std::u16string settings_path = u"\\Settings.ini";

TEST_F(SettingsTest, FolderAndSelectionComeBackInTheNextRun) {
    select_clip(u"b.wav");
    const std::u16string folder = form().file_list().get_folder();
    const std::u16string selected = form().file_list().get_selected_path();
    app::save_settings(form(), settings_path);

    make_form();
    EXPECT_TRUE(form().file_list().is_at_root());
    app::load_settings(make_form(), settings_path);
    EXPECT_EQ(form().file_list().get_folder(), folder);
    EXPECT_EQ(form().file_list().get_selected_path(), selected);
    // The file starts with the byte-order mark and holds the folder's line first.
    const std::string bytes = fixtures::read_file(root.host("Settings.ini"));
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE" "C\0", 4));
}

TEST_F(SettingsTest, FirstStartShowsTheRootWithItsFirstEntrySelected) {
    app::load_settings(form(), settings_path);
    EXPECT_TRUE(form().file_list().is_at_root());
    EXPECT_EQ(form().file_list().get_selected(), 0);
}

TEST_F(SettingsTest, StoredFolderThatIsGoneShowsTheRootWithTheSelectionLookedForThere) {
    select_clip(u"a.wav");
    app::save_settings(form(), settings_path);
    std::filesystem::rename(root.host("Clips"), root.host("Moved"));
    app::load_settings(make_form(), settings_path);
    EXPECT_TRUE(form().file_list().is_at_root());
    // Nothing at the root sorts before "\Clips\a.wav": the first entry is selected.
    EXPECT_EQ(form().file_list().get_selected(), 0);
}

TEST_F(SettingsTest, FolderWithALineBreakInItsNameIsNeverWritten) {
    std::filesystem::create_directories(root.host("Clips/two\nlines"));
    fixtures::write_file(root.host("Clips/two\nlines/x.wav"), "x");
    form().open_folder(u"\\Clips\\two\nlines");
    ASSERT_EQ(form().file_list().get_folder().find(u'\n') != std::u16string::npos, true);
    app::save_settings(form(), settings_path);
    const std::string bytes = fixtures::read_file(root.host("Settings.ini"));
    EXPECT_EQ(bytes.find(std::string("\n\0l\0i\0n\0e\0s\0", 12)), std::string::npos);
    // What was stored reads back as whole lines: the list shows the root.
    app::load_settings(make_form(), settings_path);
    EXPECT_TRUE(form().file_list().is_at_root());
}

}  // namespace
}  // namespace app_test
