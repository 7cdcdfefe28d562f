#include <gtest/gtest.h>

#include <string>

#include "tests/fixtures/Picture.h"
#include "tests/fixtures/TempDir.h"

namespace {

struct Shot {
    int width = 0;
    int height = 0;
    int selected = 0;  // pixels of the edit's selection colour
};

Shot read_shot(const std::string& path) {
    const fixtures::Image image = fixtures::read_png(path);
    Shot shot{image.width, image.height, 0};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            shot.selected += image.pixel(x, y) == 0x2F5FC4 ? 1 : 0;
        }
    }
    return shot;
}

TEST(EditDemo, PlaysItsScriptHeadlessWithASelectionAndATurn) {
    fixtures::TempDir dir;
    const std::string demo = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/edit_demo";
    ASSERT_EQ(fixtures::run_command("VANTREL_DISPLAY=headless VANTREL_SCREEN=480x640 " + demo + " --shots " +
                                    dir.path() + " >/dev/null"),
              0);
    struct Expected {
        int width;
        int height;
        bool selection;
    };
    const Expected expected[] = {{480, 640, false}, {480, 640, true}, {480, 640, false}, {480, 640, false},
                                 {640, 480, true}};
    for (int i = 0; i < 5; ++i) {
        Shot shot = read_shot(dir.file("edit-" + std::to_string(i + 1) + ".png"));
        EXPECT_EQ(shot.width, expected[i].width) << i + 1;
        EXPECT_EQ(shot.height, expected[i].height) << i + 1;
        EXPECT_EQ(shot.selected > 200, expected[i].selection) << i + 1 << ": " << shot.selected;
    }
}

}  // namespace
