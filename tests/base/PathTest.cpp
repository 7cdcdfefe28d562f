#include "base/Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/Log.h"
#include "base/Registry.h"
#include "platform/kernel/Unicode.h"
#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

std::string show(const std::u16string& text) {
    return platform::utf8_from_utf16(text);
}

std::u16string program_title() {
    return platform::utf16_from_utf8(std::filesystem::canonical("/proc/self/exe").stem().string());
}

TEST(Path, MacrosExpandOnlyAtTheStartAndExactly) {
    fixtures::DeviceRoot box;
    std::u16string folder = u"\\Program Files\\" + program_title();
    std::u16string name = program_title();
    struct Case {
        std::u16string path;
        std::u16string expanded;
    } cases[] = {
        {u"%app_full_name%", folder + u"\\" + name},
        {u"%app_path%/skins/default/default.skin", folder + u"\\skins\\default\\default.skin"},
        {u"%app_name%.txt", name + u".txt"},
        {u"%my_documents%/a.mp3", u"\\My Documents\\a.mp3"},
        {u"%windows%/Rings", u"\\Windows\\Rings"},
        {u"%startup%", u"\\Windows\\StartUp"},
        {u"%programs%", u"\\Windows\\Start Menu\\Programs"},
        {u"%start_menu%", u"\\Windows\\Start Menu"},
        {u"%program_files%/x", u"\\Program Files\\x"},
        {u"%APP_PATH%/x", u"%APP_PATH%\\x"},
        {u"x%windows%", u"x%windows%"},
        {u"/Temp/x", u"\\Temp\\x"},
        {u"%windows%%windows%", u"\\Windows%windows%"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expand_path_macros(c.path), c.expanded) << show(c.path);
        EXPECT_EQ(expand_path(c.path), c.expanded) << show(c.path);
    }
    EXPECT_EQ(get_app_path(), folder + u"\\" + name);
    EXPECT_EQ(get_special_folder(5), u"\\My Documents");
    EXPECT_EQ(get_special_folder(1234), u"");
}

// Inside the device root a program's path is its place there, so a deep folder makes it
// longer than 1024 characters. The path also names the log file: the fatal error must end
// the process (never hang or abort) whether the log is on and whichever comes first.
TEST(Path, ProgramPathTooLongIsAFatalErrorLogOnOrOff) {
    fixtures::DeviceRoot root;
    std::filesystem::create_directories(root.host("Temp"));
    std::string deep = root.host("Short");
    for (int i = 0; i < 6; ++i) {
        deep += "/" + std::string(200, 'd');
    }
    std::filesystem::create_directories(deep);
    for (const std::string& folder : {root.host("Short"), deep}) {
        std::filesystem::copy_file(fixtures::helper_program("app_path_probe"), folder + "/app_path_probe");
        std::filesystem::permissions(folder + "/app_path_probe", std::filesystem::perms::owner_all);
    }
    auto run = [&](const std::string& folder, const char* argument) {
        return fixtures::run_command(root.environment() + " timeout 60 '" + folder + "/app_path_probe' " + argument +
                                     " > '" + root.host("out.txt") + "'");
    };
    struct Case {
        DWORD log;
        const char* argument;
    } cases[] = {{0, ""}, {0, "expand-first"}, {1, ""}, {1, "expand-first"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", c.log));
        EXPECT_EQ(run(deep, c.argument), static_cast<int>(gluck_exit_code)) << "log " << c.log << " " << c.argument;
        EXPECT_EQ(run(root.host("Short"), c.argument), 0) << "log " << c.log << " " << c.argument;
        EXPECT_EQ(fixtures::read_file(root.host("out.txt")), "\\Short\n");
    }
}

TEST(Path, PureHelpers) {
    struct Case {
        std::u16string path;
        std::u16string directory, file_name, extension, without_extension, title, parent;
    } cases[] = {
        {u"\\Music\\a.b.mp3", u"\\Music\\", u"a.b.mp3", u"mp3", u"\\Music\\a.b", u"a.b", u"\\Music\\"},
        {u"a.b\\c", u"a.b\\", u"c", u"", u"a.b\\c", u"c", u"a.b\\"},
        {u"song.MP3", u"", u"song.MP3", u"MP3", u"song", u"song", u""},
        {u"file", u"", u"file", u"", u"file", u"file", u""},
        {u"\\A\\B\\", u"\\A\\B\\", u"", u"", u"\\A\\B\\", u"", u"\\A\\"},
        {u"/x/y.", u"/x/", u"y.", u"", u"/x/y", u"y", u"/x/"},
        {u"", u"", u"", u"", u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(get_directory(c.path), c.directory) << show(c.path);
        EXPECT_EQ(get_file_name(c.path), c.file_name) << show(c.path);
        EXPECT_EQ(get_extension(c.path), c.extension) << show(c.path);
        EXPECT_EQ(remove_extension(c.path), c.without_extension) << show(c.path);
        EXPECT_EQ(get_file_title(c.path), c.title) << show(c.path);
        EXPECT_EQ(get_parent_directory(c.path), c.parent) << show(c.path);
    }
    EXPECT_EQ(find_extension_dot(u"a.b\\c"), std::u16string::npos);
    EXPECT_EQ(find_extension_dot(u"ab.c"), 2u);
    EXPECT_EQ(remove_trailing_separator(u"\\A\\"), u"\\A");
    EXPECT_EQ(remove_trailing_separator(u"\\A//"), u"\\A/");
    EXPECT_EQ(join_path(u"\\Music\\", u"a.mp3"), u"\\Music\\a.mp3");
    EXPECT_EQ(join_path(u"\\Music", u"a.mp3"), u"\\Music\\a.mp3");
    EXPECT_EQ(join_path(u"", u"a.mp3"), u"a.mp3");
    std::u16string rest = u"untouched";
    EXPECT_TRUE(split_prefix(u"SOFT_menu", u"SOFT_", rest));
    EXPECT_EQ(rest, u"menu");
    EXPECT_FALSE(split_prefix(u"soft_menu", u"SOFT_", rest));
    EXPECT_EQ(rest, u"menu");
}

TEST(Path, ComparisonsAndRoots) {
    fixtures::DeviceRoot box;
    EXPECT_TRUE(paths_equal(u"\\My Documents\\", u"\\my documents"));
    EXPECT_TRUE(paths_equal(u"%my_documents%", u"/MY DOCUMENTS/"));
    EXPECT_FALSE(paths_equal(u"\\a", u"\\b"));
    EXPECT_EQ(normalize_path(u"/Music/Rock/"), u"\\music\\rock");
    EXPECT_TRUE(is_path_prefix(u"\\Music", u"\\MUSIC\\song.mp3"));
    EXPECT_FALSE(is_path_prefix(u"\\Music\\Rock\\Long", u"\\Music"));
    EXPECT_FALSE(is_path_prefix(u"\\Video", u"\\Music\\a"));
    EXPECT_EQ(get_path_root(u"\\Storage Card\\a.mp3"), u"\\");
    EXPECT_EQ(get_path_root(u"%windows%/Rings"), u"\\");
    EXPECT_EQ(get_path_root(u"Card/a"), u"Card\\");
    EXPECT_EQ(get_path_root(u"plain"), u"");
}

TEST(Path, ReplaceAll) {
    struct Case {
        std::u16string text, what, with, expected;
    } cases[] = {
        {u"aabb", u"ab", u"a", u"aa"},
        {u"a-b-c", u"-", u"+", u"a+b+c"},
        {u"abc", u"", u"x", u"abc"},   // empty search text: unchanged
        {u"a", u"a", u"aa", u"aa"},    // a replacement holding the search text: no endless loop
        {u"ab", u"ab", u"aa", u"aa"},  // a growing replacement that forms the search text again
        {u"xyz", u"q", u"r", u"xyz"},
        {u"%d%d", u"%d", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(replace_all(c.text, c.what, c.with), c.expected) << show(c.text) << " " << show(c.what);
    }
}

}  // namespace
}  // namespace skinner
