// The form demo plays its script on the headless display and in a real desktop window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "tests/fixtures/TempDir.h"

namespace {

const std::string demo = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/form_demo";

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST(FormDemo, PlaysItsScriptHeadless) {
    fixtures::TempDir dir;
    ASSERT_EQ(fixtures::run_command("VANTREL_DISPLAY=headless " + demo + " --shots " + dir.path() + " > " + dir.file("out.txt") + " 2>&1"), 0)
        << fixtures::run_command("cat " + dir.file("out.txt"));
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(exists(dir.file("form-" + std::to_string(i) + ".png"))) << i;
    // The dialog's shot differs from the main form's before and after it.
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-2.png") + " " + dir.file("form-3.png")), 0);
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-3.png") + " " + dir.file("form-5.png")), 0);
    // The right soft key's menu, its Language submenu, and the screen in German.
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-16.png") + " " + dir.file("form-17.png")), 0);
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-17.png") + " " + dir.file("form-18.png")), 0);
    // The name screen's word was cut and pasted back through the field's context menu.
    EXPECT_EQ(fixtures::run_command("grep -q 'name: Morning bell' " + dir.file("out.txt")), 0);
}

// On a Smartphone its buttons and check box live in the soft keys; the script opens the keys'
// menus, switches the language there and back, and closes a dialog through its own right key.
TEST(FormDemo, PlaysItsSoftKeysAndMenusOnASmartphone) {
    fixtures::TempDir dir;
    ASSERT_EQ(fixtures::run_command("VANTREL_DEVICE=smartphone VANTREL_DISPLAY=headless " + demo + " --shots " + dir.path() + " > " +
                                    dir.file("out.txt") + " 2>&1"),
              0)
        << fixtures::run_command("cat " + dir.file("out.txt"));
    // The open menu, its Language submenu, and the screen in the other language all differ.
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-2.png") + " " + dir.file("form-3.png")), 0);
    EXPECT_NE(fixtures::run_command("cmp -s " + dir.file("form-1.png") + " " + dir.file("form-4.png")), 0);
}

TEST(FormDemo, ShowsInARealDesktopWindowUnderXvfb) {
    if (!fixtures::have_program("xvfb-run") || !fixtures::have_program("import")) GTEST_SKIP() << "xvfb-run or import is missing";
    fixtures::TempDir dir;
    // The desktop's session bus library keeps a buffer to the end of the process; that is not ours.
    const std::string suppressions = dir.file("lsan.supp");
    ASSERT_EQ(fixtures::run_command("echo 'leak:libdbus-1.so' > " + suppressions), 0);
    const std::string command = "LSAN_OPTIONS=suppressions=" + suppressions +
                                ":print_suppressions=0 DEMO_X_SHOT=1 VANTREL_DISPLAY=sdl xvfb-run -a -s '-screen 0 800x700x24' " +
                                demo + " --shots " + dir.path() + " > " + dir.file("out.txt") + " 2>&1";
    ASSERT_EQ(fixtures::run_command(command), 0) << fixtures::run_command("cat " + dir.file("out.txt"));
    EXPECT_EQ(fixtures::run_command("grep -q 'display: sdl' " + dir.file("out.txt")), 0);
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(exists(dir.file("x-" + std::to_string(i) + ".png"))) << i;
}

}  // namespace
