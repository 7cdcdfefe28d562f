// The main form browses folders through the file list's commands, selecting the folder one came
// from when going up, and turns taps and drags on the position bar into seeks that never go
// before the start marker.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/support/MainFormTesting.h"

namespace app_test {
namespace {

using skinner::Key;
using skinner::Point;

using FormMainBrowsing = MainFormTest;

std::u16string folder_of(MainFormTest& t) { return t.form().file_list().get_folder(); }
std::u16string selected_of(MainFormTest& t) { return t.form().file_list().get_selected_path(); }

TEST_F(FormMainBrowsing, FoldersOpenAndGoingUpSelectsTheOneCameFrom) {
    // "\Clips" holds the folder "Sub" and a few clips.
    fixtures::write_file(root.host("Clips/Sub/deep.wav"), "x");
    form().open_folder(u"\\Clips");
    EXPECT_EQ(folder_of(*this), u"\\Clips");
    form().file_list().select_path(u"\\Clips\\Sub");

    struct Step {
        const char* what;
        void (*act)(TestFormMain&);
        const char16_t* folder;  // null: the root
        const char16_t* selected;
    };
    const Step steps[] = {
        // Where the folder one came from is not listed, the up entry (its parent) is selected.
        {"PickFolder opens the selected folder", [](TestFormMain& f) { f.on_command(u"PickFolder"); }, u"\\Clips\\Sub",
         u"\\Clips\\"},
        {"Esc in the list goes up", [](TestFormMain& f) { f.file_list().on_keydown(Key::Esc); }, u"\\Clips", u"\\Clips\\Sub"},
        {"Enter on a folder opens it", [](TestFormMain& f) { f.file_list().on_keydown(Key::Enter); }, u"\\Clips\\Sub",
         u"\\Clips\\"},
        {"Select on the up entry goes up", [](TestFormMain& f) { f.file_list().set_selected(0), f.on_command(u"Select"); },
         u"\\Clips", u"\\Clips\\Sub"},
        {"PickUp goes up to the root", [](TestFormMain& f) { f.on_command(u"PickUp"); }, nullptr, u"\\Clips"},
        {"PickUp at the root stays there", [](TestFormMain& f) { f.on_command(u"PickUp"); }, nullptr, u"\\Clips"},
        {"Select on a folder opens it", [](TestFormMain& f) { f.on_command(u"Select"); }, u"\\Clips", u"\\"},
    };
    for (const Step& s : steps) {
        s.act(form());
        if (s.folder)
            EXPECT_EQ(folder_of(*this), s.folder) << s.what;
        else
            EXPECT_TRUE(form().file_list().is_at_root()) << s.what;
        EXPECT_EQ(selected_of(*this), s.selected) << s.what;
        EXPECT_EQ(panel(), "file") << s.what;
    }
}

TEST_F(FormMainBrowsing, TheFileListIsReadAgainWhenItsPanelComesBack) {
    select_clip(u"b.wav");
    form().on_command(u"Select");
    ASSERT_EQ(panel(), "start");
    fixtures::write_file(root.host("Clips/a2.wav"), "x");
    form().on_command(u"Cancel");
    ASSERT_EQ(panel(), "file");
    EXPECT_EQ(selected_of(*this), u"\\Clips\\b.wav");
    bool listed = false;
    for (const app::FileListItem& item : form().file_list().items()) listed = listed || item.name == u"a2.wav";
    EXPECT_TRUE(listed);
}

// The x of the position bar whose fraction is the first at or past the given one.
int bar_x_at(app::PositionBar& bar, double fraction) {
    const Point p = bar.get_position();
    for (int x = p.x; x < p.x + bar.get_size().x; ++x) {
        if (bar.fraction_at({x, p.y}) >= fraction) return x;
    }
    return p.x + bar.get_size().x;
}

TEST_F(FormMainBrowsing, ThePenOnThePositionBarSeeksButNeverBeforeTheStart) {
    reach_finish_panel(3.0);
    app::PositionBar& bar = form().position_bar();
    ASSERT_TRUE(bar.is_visible() && bar.is_enabled());
    const int y = bar.get_position().y + bar.get_size().y / 2;
    const int half = bar_x_at(bar, 0.5);
    const int length = reader().get_length();

    form().on_mouse_down({half, y}, false);
    EXPECT_EQ(reader().get_position(), int(length * bar.fraction_at({half, y})));
    // Dragged before the start: playback stays at the start marker.
    form().on_mouse_move({bar.get_position().x, y});
    EXPECT_EQ(reader().get_position(), units(3.0));
    form().on_mouse_move({bar.get_position().x + bar.get_size().x + 50, y});
    EXPECT_EQ(reader().get_position(), length);
    form().on_mouse_up({half, y}, false);
    const int seeks = journal.seeks;
    form().on_mouse_move({half, y});
    EXPECT_EQ(journal.seeks, seeks);
    // Values from anything but the bar are not its.
    form().on_value_changed(&form().file_list(), 0.5);
    form().on_value_changed(nullptr, 0.5);
    EXPECT_EQ(journal.seeks, seeks);
}

TEST_F(FormMainBrowsing, ThePositionBarSeeksNothingWithoutAnOpenFile) {
    ASSERT_EQ(form().get_format(), nullptr);
    form().on_value_changed(&form().position_bar(), 0.5);
    EXPECT_EQ(journal.seeks, 0);
    EXPECT_EQ(journal.opened, 0);
}

}  // namespace
}  // namespace app_test
