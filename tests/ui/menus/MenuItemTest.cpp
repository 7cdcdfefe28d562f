#include <gtest/gtest.h>

#include "base/Log.h"
#include "ui/menus/MenuItem.h"

using skinner::MenuItem;

namespace {

MenuItem menu_of(std::initializer_list<const char16_t*> commands) {
    MenuItem menu(u"Menu", u"&Menu");
    for (const char16_t* c : commands) menu.children.push_back(MenuItem(c, c));
    return menu;
}

}  // namespace

TEST(MenuItem, StartsAsAnEnabledEntryWithoutImageTargetOrChildren) {
    const MenuItem item(u"Save", u"&Save");
    EXPECT_EQ(item.command, u"Save");
    EXPECT_EQ(item.text, u"&Save");
    EXPECT_TRUE(item.shortcut_text.empty());
    EXPECT_TRUE(item.enabled);
    EXPECT_FALSE(item.separator_after);
    EXPECT_FALSE(item.checked);
    EXPECT_EQ(item.wince_bug_resource_id, -1);
    EXPECT_EQ(item.target, nullptr);
    EXPECT_TRUE(item.empty());
}

TEST(MenuItem, CopiesAreDeep) {
    MenuItem menu = menu_of({u"a", u"b"});
    menu.children[0].children.push_back(MenuItem(u"a1", u"a1"));
    MenuItem copy = menu;
    copy.children[0].children[0].text = u"changed";
    copy.children.push_back(MenuItem(u"c", u"c"));
    EXPECT_EQ(menu.children.size(), 2);
    EXPECT_EQ(menu.children[0].children[0].text, u"a1");
    EXPECT_EQ(copy.children.size(), 3);
}

TEST(MenuItem, MarkLastChildSeparatesGroupsAndIgnoresAnEmptyMenu) {
    MenuItem empty(u"Menu", u"Menu");
    empty.mark_last_child();
    EXPECT_TRUE(empty.empty());
    EXPECT_FALSE(empty.separator_after);

    MenuItem menu = menu_of({u"a", u"b"});
    menu.mark_last_child();
    EXPECT_FALSE(menu.children[0].separator_after);
    EXPECT_TRUE(menu.children[1].separator_after);
    EXPECT_FALSE(menu.separator_after);
}

TEST(MenuItem, SetTargetFillsOnlyMissingTargetsThroughTheWholeTree) {
    auto* mine = reinterpret_cast<skinner::Control*>(0x1000);
    auto* other = reinterpret_cast<skinner::Control*>(0x2000);
    MenuItem menu = menu_of({u"a", u"b"});
    menu.children[1].target = other;
    menu.children[1].children.push_back(MenuItem(u"b1", u"b1"));
    menu.children[0].children.push_back(MenuItem(u"a1", u"a1"));
    menu.set_target(mine);
    EXPECT_EQ(menu.target, mine);
    EXPECT_EQ(menu.children[0].target, mine);
    EXPECT_EQ(menu.children[0].children[0].target, mine);
    EXPECT_EQ(menu.children[1].target, other);
    // A descendant of an entry with its own target still had none.
    EXPECT_EQ(menu.children[1].children[0].target, mine);
}

TEST(VBCollectionDeathTest, PositionOutsideTheListIsFatal) {
    MenuItem menu = menu_of({u"a"});
    for (int position : {-1, 1, 5}) {
        EXPECT_EXIT(menu.children[position], ::testing::ExitedWithCode(skinner::gluck_exit_code), "")
            << position;
    }
    EXPECT_EQ(menu.children[0].command, u"a");
}
