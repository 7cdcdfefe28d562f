#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "tests/fixtures/TempDir.h"

namespace {

const std::string demo = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/window_demo";

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

TEST(WindowDemo, PlaysItsScriptHeadless) {
    fixtures::TempDir dir;
    ASSERT_EQ(fixtures::run_command("VANTREL_DISPLAY=headless " + demo + " --shots " + dir.path() + " >/dev/null"), 0);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(exists(dir.file("demo-" + std::to_string(i) + ".png"))) << i;
    }
}

TEST(WindowDemo, ShowsInARealDesktopWindowUnderXvfb) {
    if (!fixtures::have_program("xvfb-run") || !fixtures::have_program("import")) {
        GTEST_SKIP() << "xvfb-run or import is missing";
    }
    fixtures::TempDir dir;
    // The desktop's session bus library keeps a buffer to the end of the process; that is not ours.
    std::string suppressions = dir.file("lsan.supp");
    ASSERT_EQ(fixtures::run_command("echo 'leak:libdbus-1.so' > " + suppressions), 0);
    std::string command = "LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0 DEMO_X_SHOT=1 VANTREL_DISPLAY=sdl xvfb-run -a -s '-screen 0 800x700x24' " + demo +
                          " --shots " + dir.path() + " > " + dir.file("out.txt") + " 2>&1";
    ASSERT_EQ(fixtures::run_command(command), 0);
    EXPECT_EQ(fixtures::run_command("grep -q 'display: sdl' " + dir.file("out.txt")), 0);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(exists(dir.file("x-" + std::to_string(i) + ".png"))) << i;
    }
}

}  // namespace
