#include "base/Key.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/window/Input.h"
#include "platform/window/Keys.h"

namespace skinner {
namespace {

TEST(Key, NamesFromTheTable) {
    struct Case {
        int code;
        const char* name;
    } cases[] = {
        {0, "None"}, {9, "Enter"}, {11, "Backspace"}, {19, "ContextMenu"}, {20, "A"}, {45, "Z"}, {46, "0"},
        {55, "9"}, {56, "*"}, {57, "#"}, {58, "CALL_MAKE"}, {59, "CALL_END"}, {61, "SOFT_LEFT"}, {64, "VOLUME_DOWN"},
        {65, ""}, {99, ""}, {-1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(text_of(static_cast<Key>(c.code))), c.name) << c.code;
    }
    // One row per code 0-64, in the table's own order at 56-59.
    std::set<int> codes;
    int rows = 0;
    for (const KeyName* row = key_names; row->name; ++row, ++rows) {
        codes.insert(static_cast<int>(row->code));
    }
    EXPECT_EQ(rows, 65);
    EXPECT_EQ(codes.size(), 65u);
    EXPECT_EQ(static_cast<int>(key_names[56].code), 58);
    EXPECT_EQ(static_cast<int>(key_names[58].code), 56);
}

TEST(Key, VirtualKeysMapToKeys) {
    struct Case {
        uint32_t vk;
        Key key;
    } cases[] = {
        {8, Key::Backspace}, {9, Key::Tab}, {13, Key::Enter}, {16, Key::Shift}, {17, Key::Ctrl}, {18, Key::Alt},
        {27, Key::Esc}, {32, Key::Space}, {33, Key::PageUp}, {34, Key::PageDown}, {35, Key::End}, {36, Key::Home},
        {37, Key::Left}, {38, Key::Up}, {39, Key::Right}, {40, Key::Down}, {45, Key::Insert}, {46, Key::Del},
        {0x30, Key::Digit0}, {0x39, Key::Digit9}, {0x41, Key::A}, {0x5A, Key::Z}, {93, Key::ContextMenu},
        {114, Key::CALL_MAKE}, {115, Key::CALL_END},
        {97, Key::None}, {122, Key::None}, {112, Key::None}, {116, Key::None}, {0, Key::None}, {0x1000, Key::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(key_from_virtual_key(c.vk), c.key) << c.vk;
    }
    EXPECT_EQ(activation_key(), Key::Enter);
}

TEST(Key, OnlyShiftCtrlAndAltAreAskedOfThePlatform) {
    struct Case {
        Key key;
        uint32_t vk;
        bool reported_while_held;
    } cases[] = {
        {Key::Shift, VK_SHIFT, true}, {Key::Ctrl, VK_CONTROL, true}, {Key::Alt, VK_MENU, true},
        {Key::Tab, VK_TAB, false},    {Key::Enter, VK_RETURN, false}, {Key::A, 'A', false},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(is_key_down(c.key)) << text_of(c.key);
        platform::set_key_down(c.vk, true);
        EXPECT_EQ(is_key_down(c.key), c.reported_while_held) << text_of(c.key);
        platform::set_key_down(c.vk, false);
        EXPECT_FALSE(is_key_down(c.key)) << text_of(c.key);
    }
}

}  // namespace
}  // namespace skinner
