#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/resource/Resources.h"
#include "platform/window/Modules.h"

namespace {

// Every program that links the UI carries these: the menu bars' templates and the image strips.
TEST(ProgramResources, HoldAMenuBarForEveryPooledIdentifier) {
    HMODULE program = GetModuleHandleW(nullptr);
    for (int id : {1117, 1118, 1119, 1120, 1121}) {
        auto bar = platform::find_tool_bar_resource(program, id);
        ASSERT_TRUE(bar) << id;
        ASSERT_EQ(bar->size(), 2u) << id;  // the two soft keys the bar starts with
        EXPECT_EQ((*bar)[0].command, 40000) << id;
        EXPECT_EQ((*bar)[1].command, 40001) << id;
    }
    for (int id : {117, 118, 119, 120, 121}) {
        EXPECT_TRUE(platform::find_tool_bar_resource(program, id)) << id;
    }
}

TEST(ProgramResources, HoldTheToolBarStripsAtBothImageSizes) {
    HMODULE program = GetModuleHandleW(nullptr);
    struct Case {
        int id;
        int size;
    };
    int images = -1;
    for (const Case& c : {Case{115, 16}, Case{125, 32}}) {
        HBITMAP bitmap = LoadBitmapW(program, MAKEINTRESOURCEW(c.id));
        ASSERT_NE(bitmap, nullptr) << c.id;
        BITMAP info;
        ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
        EXPECT_EQ(info.bmHeight, c.size) << c.id;
        EXPECT_EQ(info.bmWidth % c.size, 0) << c.id;
        int count = info.bmWidth / c.size;
        if (images >= 0) {
            EXPECT_EQ(count, images) << "both strips hold the same images";
        }
        images = count;
        DeleteObject(bitmap);
    }
    EXPECT_GE(images, 1);
}

}  // namespace
