#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/kernel/Core.h"
#include "platform/resource/Resources.h"
#include "platform/window/Modules.h"

namespace {

// A PNG of one colour.
std::vector<uint8_t> png(int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0x80);
    std::vector<uint8_t> out;
    stbi_write_png_to_func(
        [](void* context, void* data, int bytes) {
            auto* o = static_cast<std::vector<uint8_t>*>(context);
            o->insert(o->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
        },
        &out, width, height, 3, rgb.data(), width * 3);
    return out;
}

TEST(Resources, TheProgramIsItsOwnModule) {
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_EQ(program, platform::program_instance());
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"coredll.dll"), nullptr);  // named modules are not looked up
    HMODULE shell = LoadLibraryW(u"tapres.dll");
    HMODULE data = LoadLibraryExW(u"tapres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(data, shell);
    EXPECT_NE(data, program);
    EXPECT_EQ(LoadLibraryExW(u"tapres.dll", nullptr, 0x1), nullptr);
    EXPECT_EQ(LoadLibraryExW(u"tapres.dll", reinterpret_cast<HANDLE>(intptr_t(5)), 0), nullptr);
    FreeLibrary(data);
    FreeLibrary(shell);
}

TEST(Resources, ModulesFindTheirOwnResourcesByNumber) {
    HMODULE program = platform::program_instance();
    HMODULE shell = LoadLibraryW(u"tapres.dll");
    platform::register_tool_bar_resource(program, 7001, {{10, u"Ten"}, {11, u"", 0, 0x01}});
    auto bar = platform::find_tool_bar_resource(program, 7001);
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->size(), 2u);
    EXPECT_EQ((*bar)[0].text, u"Ten");
    EXPECT_EQ((*bar)[0].state, 0x04);  // enabled unless said otherwise
    EXPECT_EQ((*bar)[1].style, 0x01);
    EXPECT_FALSE(platform::find_tool_bar_resource(shell, 7001));  // another module's number
    platform::register_tool_bar_resource(program, 7001, {});
    EXPECT_TRUE(platform::find_tool_bar_resource(program, 7001)->empty());  // replaced
    // The shell's two-key bar: the left key, then the right one.
    auto keys = platform::find_tool_bar_resource(shell, platform::two_key_bar_resource);
    ASSERT_TRUE(keys);
    ASSERT_EQ(keys->size(), 2u);
    EXPECT_EQ((*keys)[0].command, 18201);
    EXPECT_EQ((*keys)[1].command, 18200);
    FreeLibrary(shell);
}

TEST(Resources, LoadBitmapDecodesTheModulesBitmap) {
    HMODULE program = platform::program_instance();
    std::vector<uint8_t> file = png(48, 16);
    platform::register_bitmap_resource(program, 7002, file);
    HBITMAP bitmap = LoadBitmapW(program, MAKEINTRESOURCEW(7002));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 48);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);

    EXPECT_EQ(LoadBitmapW(program, MAKEINTRESOURCEW(7003)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(7002)), nullptr);
    EXPECT_EQ(LoadBitmapW(program, u"toolbar"), nullptr);  // names are numbers here
    file.resize(30);  // cut short
    platform::register_bitmap_resource(program, 7004, file);
    EXPECT_EQ(LoadBitmapW(program, MAKEINTRESOURCEW(7004)), nullptr);
}

}  // namespace
