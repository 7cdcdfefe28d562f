// The file list shows a folder as an up entry, its sub-folders and its audio files in order,
// keeps or re-finds the selection when the folder is read again, goes up and down the folders
// by keys and pen through the form's commands, and draws an icon and a name per row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/FileList.h"
#include "base/Path.h"
#include "tests/app/support/AppControls.h"

using app::FileList;
using app::FileListItem;
using app_controls_test::Canvas;
using app_controls_test::narrow;

namespace {

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.ready());
        list = std::make_unique<FileList>(&form(), u"lstFiles");
        list->refresh_layout();
    }
    void TearDown() override { list.reset(); }

    app_controls_test::RecordingForm& form() { return world.form(); }

    // An empty file or a folder (a name ending in '/') under the device root.
    void make(const std::string& relative) {
        const std::filesystem::path host = world.root().host(relative);
        if (relative.back() == '/') {
            std::filesystem::create_directories(host);
        } else {
            std::filesystem::create_directories(host.parent_path());
            fixtures::write_file(host.string(), "");
        }
    }
    void remove(const std::string& relative) { std::filesystem::remove_all(world.root().host(relative)); }

    // The listed items as "type name" lines (the up entry as "up").
    std::vector<std::string> listing() const {
        std::vector<std::string> lines;
        for (const FileListItem& item : list->items()) {
            if (item.type == FileListItem::UP)
                lines.push_back("up");
            else
                lines.push_back((item.type == FileListItem::FOLDER ? "folder " : "file ") + narrow(item.name));
        }
        return lines;
    }

    // What the main form does on "PickFolder" and "PickUp": the folder one came from stays
    // selected in the folder one goes to.
    void open_folder(const std::u16string& path) {
        const std::u16string came_from = app::make_folder_path(list->get_folder());
        list->set_folder(path);
        list->select_path(came_from);
    }

    bool selection_is_visible() {
        const int32_t first = list->get_vertical_bar().get_position();
        const int32_t page = list->get_vertical_bar().get_page();
        return first <= list->get_selected() && list->get_selected() < first + page;
    }

    app_controls_test::AppControlsWorld world;
    std::unique_ptr<FileList> list;
};

}  // namespace

TEST(FileListNames, AudioFilesAreKnownByTheirExtension) {
    struct Case {
        const char16_t* path;
        bool audio;
    };
    const Case cases[] = {
        {u"\\a\\tune.mp3", true},  {u"tune.wav", true},           {u"tune.ogg", true},
        {u"tune.mpc", true},       {u"TUNE.MP3", true},           {u"Tune.Wav", true},
        {u"tune.OgG", true},       {u"tune.txt", false},          {u"tune.aac", false},
        {u"tune.mp3.bak", false},  {u"tune", false},              {u"tune.", false},
        {u"\\a.mp3\\tune", false}, {u"\\a.mp3\\tune.mpc", true},  {u"tune.mp", false},
        {u"tune.mp33", false},
    };
    for (const Case& c : cases) EXPECT_EQ(app::is_audio_file(c.path), c.audio) << narrow(c.path);
}

TEST(FileListNames, FolderPathsStartAtTheRootWithoutATrailingSeparator) {
    struct Case {
        std::u16string path;
        std::u16string folder;
    };
    const Case cases[] = {
        {u"", u"\\"},
        {u"/", u"\\"},
        {u"\\", u"\\"},
        {u"\\Music\\", u"\\Music"},
        {u"Music", u"\\Music"},
        {u"/Music/Sub/", u"\\Music\\Sub"},
        {u"\\Music\\Sub", u"\\Music\\Sub"},
        // A macro at the start is expanded, not hidden behind the separator put in front.
        {u"%my_documents%/", skinner::remove_trailing_separator(skinner::expand_path(u"%my_documents%"))},
    };
    for (const Case& c : cases) EXPECT_EQ(app::make_folder_path(c.path), c.folder) << narrow(c.path);
}

TEST(FileListNames, PathLessIgnoresCaseAndTrailingSeparators) {
    EXPECT_TRUE(app::path_less(u"a.wav", u"B.MP3"));
    EXPECT_FALSE(app::path_less(u"B.MP3", u"a.wav"));
    EXPECT_FALSE(app::path_less(u"\\Music\\", u"\\MUSIC"));
    EXPECT_FALSE(app::path_less(u"\\MUSIC", u"\\Music\\"));
    EXPECT_TRUE(app::path_less(u"\\Music", u"\\Music\\a"));
}

TEST_F(FileListTest, ListsTheUpEntryThenFoldersThenAudioFiles) {
    for (const char* name : {"Music/B.MP3", "Music/a.wav", "Music/c.txt", "Music/D.Ogg", "Music/e.mpc", "Music/noext",
                             "Music/Sub/", "Music/alpha/", "Music/Zed/", "Music/sub.mp3/"})
        make(name);
    list->set_folder(u"\\Music");
    EXPECT_EQ(list->get_folder(), u"\\Music");
    EXPECT_FALSE(list->is_at_root());
    // Case is ignored in the order; a folder named like an audio file is a folder.
    EXPECT_EQ(listing(), (std::vector<std::string>{"up", "folder alpha", "folder Sub", "folder sub.mp3", "folder Zed",
                                                   "file a.wav", "file B.MP3", "file D.Ogg", "file e.mpc"}));
    EXPECT_EQ(list->item_at(0).path, u"\\");
    EXPECT_EQ(list->item_at(2).path, u"\\Music\\Sub");
    EXPECT_EQ(list->item_at(6).path, u"\\Music\\B.MP3");
    EXPECT_EQ(list->row_count(), 9);
    // Outside the items: an empty item.
    for (int32_t index : {-1, 9, 1000}) {
        EXPECT_EQ(list->item_at(index).type, FileListItem::NONE) << index;
        EXPECT_EQ(list->item_at(index).path, u"") << index;
    }
}

TEST_F(FileListTest, TheUpEntryLeadsToTheParentFolder) {
    make("Music/Live/Encore/x.wav");
    struct Case {
        const char16_t* folder;
        const char16_t* up;
    };
    const Case cases[] = {{u"\\Music", u"\\"}, {u"\\Music\\Live", u"\\Music\\"}, {u"/music/live/encore/", u"\\music\\live\\"}};
    for (const Case& c : cases) {
        list->set_folder(c.folder);
        ASSERT_EQ(list->item_at(0).type, FileListItem::UP) << narrow(c.folder);
        EXPECT_EQ(list->item_at(0).path, c.up) << narrow(c.folder);
        EXPECT_EQ(list->item_at(0).name, u"") << narrow(c.folder);
    }
}

TEST_F(FileListTest, TheRootHasNoUpEntryAndEscDoesNothingThere) {
    make("Music/a.wav");
    make("top.mp3");
    for (const char16_t* root : {u"", u"/", u"\\"}) {
        list->set_folder(root);
        EXPECT_TRUE(list->is_at_root()) << narrow(root);
        ASSERT_GT(list->row_count(), 0);
        for (const FileListItem& item : list->items()) EXPECT_NE(item.type, FileListItem::UP) << narrow(item.path);
        EXPECT_EQ(list->items().back().path, u"\\top.mp3");
        form().take_events();
        EXPECT_FALSE(list->on_keydown(skinner::Key::Esc));
        EXPECT_EQ(form().take_events(), std::vector<std::string>{});
    }
}

TEST_F(FileListTest, AMissingFolderShowsTheRoot) {
    make("Music/a.wav");
    list->set_folder(u"\\Music");
    list->set_folder(u"\\Nowhere\\At all");
    EXPECT_EQ(list->get_folder(), u"/");
    EXPECT_TRUE(list->is_at_root());
    EXPECT_EQ(list->item_at(0).type, FileListItem::FOLDER);

    // The folder shown vanishes: reading it again finds nothing but the up entry; setting it
    // again shows the root.
    list->set_folder(u"\\Music");
    remove("Music");
    list->refresh();
    EXPECT_EQ(listing(), std::vector<std::string>{"up"});
    list->set_folder(list->get_folder());
    EXPECT_TRUE(list->is_at_root());
}

TEST_F(FileListTest, GoingUpSelectsTheFolderOneCameFrom) {
    // More folders than a page (five rows): the one selected comes into view.
    for (int i = 0; i < 30; ++i) make("Music/f" + std::to_string(100 + i) + "/");
    make("Music/f127/deep.wav");
    list->set_folder(u"\\Music");
    open_folder(u"\\Music\\f127");
    EXPECT_EQ(list->get_folder(), u"\\Music\\f127");
    EXPECT_EQ(listing(), (std::vector<std::string>{"up", "file deep.wav"}));

    open_folder(list->item_at(0).path);
    EXPECT_EQ(list->get_folder(), u"\\Music");
    EXPECT_EQ(list->get_selected_path(), u"\\Music\\f127");
    EXPECT_EQ(list->get_selected(), 28);
    EXPECT_TRUE(selection_is_visible());

    // And from there up to the root, where "Music" is selected.
    open_folder(list->item_at(0).path);
    EXPECT_TRUE(list->is_at_root());
    EXPECT_EQ(list->get_selected_path(), u"\\Music");
}

TEST_F(FileListTest, ReadingAgainKeepsOrRefindsTheSelection) {
    for (const char* name : {"Music/B.MP3", "Music/a.wav", "Music/d.ogg", "Music/Sub/"}) make(name);
    list->set_folder(u"\\Music");
    struct Case {
        const char* what;
        const char16_t* selected;
        const char* removed;
        const char16_t* after;
    };
    const Case cases[] = {
        {"a path still there stays selected", u"\\Music\\d.ogg", nullptr, u"\\Music\\d.ogg"},
        {"a vanished path selects the last entry before it", u"\\Music\\B.MP3", "Music/B.MP3", u"\\Music\\a.wav"},
        {"or the first entry when none sorts before it", u"\\Music\\a.wav", "Music/a.wav", u"\\"},
        {"the last entry vanished", u"\\Music\\d.ogg", "Music/d.ogg", u"\\Music\\B.MP3"},
    };
    for (const Case& c : cases) {
        for (const char* name : {"Music/B.MP3", "Music/a.wav", "Music/d.ogg"}) make(name);
        list->refresh();
        list->select_path(c.selected);
        ASSERT_EQ(list->get_selected_path(), c.selected) << c.what;
        if (c.removed) remove(c.removed);
        list->refresh();
        EXPECT_EQ(list->get_selected_path(), c.after) << c.what;
    }
}

TEST_F(FileListTest, ReadingAgainKeepsTheSelectionInView) {
    // The selected file moves far down when many files that sort before it appear: it is
    // brought into view over the new rows, not the old ones.
    make("Music/zz.wav");
    list->set_folder(u"\\Music");
    list->select_path(u"\\Music\\zz.wav");
    for (int i = 0; i < 40; ++i) make("Music/a" + std::to_string(100 + i) + ".wav");
    list->refresh();
    EXPECT_EQ(list->get_selected_path(), u"\\Music\\zz.wav");
    EXPECT_EQ(list->get_selected(), 41);
    EXPECT_TRUE(selection_is_visible());
}

TEST_F(FileListTest, SelectPathMatchesExactlyThenByOrder) {
    for (const char* name : {"Music/B.MP3", "Music/a.wav", "Music/d.ogg", "Music/Sub/"}) make(name);
    list->set_folder(u"\\Music");
    // Items: up, Sub, a.wav, B.MP3, d.ogg.
    struct Case {
        const char16_t* path;
        int32_t selected;
    };
    const Case cases[] = {
        {u"", 0},
        {u"\\Music\\d.ogg", 4},
        {u"\\Music\\Sub", 1},
        {u"\\", 0},                // the up entry's own path
        {u"\\Music\\b.mp3", 2},    // the exact match is case-sensitive: then by order, a.wav sorts before
        {u"\\Music\\c.wav", 3},    // not listed: the last entry before it
        {u"\\Music\\zzz", 4},      // past every name: the last entry
        {u"\\Music\\0", 0},        // nothing sorts before it but the up entry, which is not looked at
    };
    for (const Case& c : cases) {
        list->select_path(c.path);
        EXPECT_EQ(list->get_selected(), c.selected) << narrow(c.path);
    }
}

TEST_F(FileListTest, KeysAndClicksSendTheItemsCommands) {
    for (const char* name : {"Music/a.wav", "Music/Sub/"}) make(name);
    list->set_folder(u"\\Music");
    // Items: up, Sub, a.wav.
    struct Case {
        const char* what;
        int32_t selected;
        void (*act)(FileList&);
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"Enter on the up entry", 0, [](FileList& l) { l.on_keydown(skinner::Key::Enter); }, {"command PickUp"}},
        {"Enter on a folder", 1, [](FileList& l) { l.on_keydown(skinner::Key::Enter); }, {"command PickFolder"}},
        {"Enter on a file", 2, [](FileList& l) { l.on_keydown(skinner::Key::Enter); }, {"command Select"}},
        {"Esc goes up from any entry", 2, [](FileList& l) { l.on_keydown(skinner::Key::Esc); }, {"command PickUp"}},
        {"a click on the up entry", 1, [](FileList& l) { l.on_item_click(&l, {2, 0, {}, {}, 0}); }, {"command PickUp"}},
        {"a click on a folder", 0, [](FileList& l) { l.on_item_click(&l, {0, 1, {}, {}, 0}); }, {"command PickFolder"}},
        {"a click on a file", 0, [](FileList& l) { l.on_item_click(&l, {1, 2, {}, {}, 0}); }, {"command Select"}},
        {"a click below the rows", 0, [](FileList& l) { l.on_item_click(&l, {2, 3, {}, {}, 0}); }, {}},
        {"activating outside the items", 0, [](FileList& l) { l.activate_item(-1), l.activate_item(3); }, {}},
    };
    for (const Case& c : cases) {
        list->set_selected(c.selected);
        form().take_events();
        c.act(*list);
        EXPECT_EQ(form().take_events(), c.events) << c.what;
    }

    // Keys the list does not use go back to the form.
    list->set_selected(0);
    EXPECT_TRUE(list->on_keydown(skinner::Key::Down));
    EXPECT_EQ(list->get_selected(), 1);
    EXPECT_FALSE(list->on_keydown(skinner::Key::Space));
    EXPECT_FALSE(list->on_keydown(skinner::Key::Left));
}

TEST_F(FileListTest, ThePenOnARowSelectsAndActivatesIt) {
    for (const char* name : {"Music/a.wav", "Music/Sub/"}) make(name);
    list->set_folder(u"\\Music");
    list->set_selected(0);
    form().take_events();
    // Rows of 20 from y = 100: the third row is a.wav.
    form().on_mouse_down({60, 150}, false);
    form().on_mouse_up({60, 150}, false);
    EXPECT_EQ(list->get_selected(), 2);
    EXPECT_EQ(form().take_events(), std::vector<std::string>{"command Select"});
}

TEST_F(FileListTest, ColumnsAreTheIconTheSpacerAndTheName) {
    make("Music/a.wav");
    list->set_folder(u"\\Music");
    EXPECT_EQ(list->column_count(), 3);
    EXPECT_EQ(list->column_width(0), 20);
    EXPECT_EQ(list->column_width(1), 4);
    EXPECT_EQ(list->column_width(2), -1);
    EXPECT_EQ(list->get_column_offsets(), (std::vector<int32_t>{0, 20, 24, 200}));
}

TEST_F(FileListTest, EachRowShowsItsIconCentredAndItsName) {
    for (const char* name : {"Music/a.wav", "Music/Sub/"}) make(name);
    list->set_folder(u"\\Music");
    list->set_selected(1);
    Canvas canvas;
    canvas.paint(*list);
    // The 10 x 10 icons sit 5 pixels into the 20 x 20 icon cell: yellow up, brown folder, cyan
    // audio file; the selected row is navy, the others white. The up entry has no name.
    struct Row {
        int32_t index;
        std::string icon_row, icon_cell_top;
        uint32_t background, text;
        bool named;
    };
    const Row rows[] = {
        {0, "white*5 yellow*10 white*9", "white*24", 0xFFFFFF, 0x000000, false},
        {1, "navy*5 brown*10 navy*9", "navy*24", 0x000080, 0xFFFFFF, true},
        {2, "white*5 cyan*10 white*9", "white*24", 0xFFFFFF, 0x000000, true},
    };
    for (const Row& r : rows) {
        const int top = 100 + 20 * r.index;
        EXPECT_EQ(canvas.runs(top + 10, 0, 24), r.icon_row) << r.index;
        EXPECT_EQ(canvas.runs(top + 2, 0, 24), r.icon_cell_top) << r.index;
        // The name: text of the style's colour on the style's picture, in the name column.
        int text = 0, other = 0, left = 200, upper = top + 20, lower = top;
        for (int y = top; y < top + 20; ++y) {
            for (int x = 24; x < 200; ++x) {
                const uint32_t rgb = canvas.at(x, y) & 0xFFFFFF;
                text += rgb == r.text;
                if (rgb == r.background) continue;
                ++other;
                left = std::min(left, x);
                upper = std::min(upper, y);
                lower = std::max(lower, y);
            }
        }
        EXPECT_EQ(text > 0, r.named) << r.index;
        EXPECT_EQ(other > 20, r.named) << r.index;
        if (!r.named) continue;
        // Left-aligned from the column's edge and centred in the row.
        EXPECT_LE(left, 26) << r.index;
        EXPECT_NEAR((upper + lower) / 2.0, top + 10, 3) << r.index;
    }
    // Below the last row nothing is drawn.
    EXPECT_EQ(canvas.runs(100 + 70, 0, 200), "grey*200");
}
