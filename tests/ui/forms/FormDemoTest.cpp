// The form demo plays its script on the headless display and in a real desktop window. The
// headless shots are held against the journey's references, against each other where only one
// part of the screen may change, and at known pixels of the dialog and the menus.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/menu/MenuLook.h"
#include "tests/fixtures/Picture.h"
#include "tests/fixtures/TempDir.h"

namespace {

using fixtures::Area;
using fixtures::Image;

const std::string demo = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/form_demo";

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The demo's screen on both devices; its skin draws at scale 2 there.
constexpr int screen_width = 480;
constexpr int screen_height = 640;
// A pixel differs as the journeys count it.
constexpr int channel_tolerance = 32;

// The dialog's face (tests/helpers/form_demo/pictures/panel.svg).
constexpr uint32_t dialog_rim = 0x1E3550;
constexpr uint32_t dialog_stripe = 0x2A5A8F;
constexpr uint32_t dialog_face = 0xEEF2F6;

uint32_t rgb(COLORREF colour) { return uint32_t{GetRValue(colour)} << 16 | uint32_t{GetGValue(colour)} << 8 | GetBValue(colour); }

// Where the main form's parts lie: its title and help text, the pad's first line, the pad's
// focus ring along its bottom, the status line under the pad, and the soft-key bar.
constexpr Area title{20, 64, 240, 46};
constexpr Area help{20, 110, 440, 58};
constexpr Area pad_first_line{20, 176, 440, 20};
constexpr Area pad_ring_bottom{20, 378, 440, 8};
constexpr Area status_line{20, 440, 440, 48};
constexpr Area soft_keys{0, 588, 480, 52};

// The dialog, centred: 200 x 124 in the skin, 84 high where its buttons are soft keys.
constexpr Area dialog{40, 196, 400, 248};
constexpr Area dialog_without_buttons{40, 236, 400, 168};
// Its title line, which names its level.
constexpr Area dialog_title{64, 220, 352, 36};

// Pixels of b that differ from a inside the area, outside the ignored parts; all of them when a
// shot is missing.
int differing_inside(const Image& a, const Image& b, const Area& area, std::vector<Area> ignore = {}) {
    const Image part_a = fixtures::crop(a, area);
    const Image part_b = fixtures::crop(b, area);
    if (part_a.empty() || part_b.empty()) return area.width * area.height;
    for (Area& i : ignore) {
        i.x -= area.x;
        i.y -= area.y;
    }
    return fixtures::differing_pixels(part_a, part_b, channel_tolerance, ignore);
}

// Pixels of b that differ from a outside the areas.
int differing_outside(const Image& a, const Image& b, const std::vector<Area>& areas) {
    if (a.empty() || b.empty()) return screen_width * screen_height;
    return fixtures::differing_pixels(a, b, channel_tolerance, areas);
}

// Something opaque lies over the area now: at least four in five of its pixels changed.
::testing::AssertionResult covers(const Image& before, const Image& after, const Area& area) {
    const int changed = differing_inside(before, after, area);
    if (changed * 5 >= area.width * area.height * 4) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "only " << changed << " of " << area.width * area.height << " pixels changed";
}

// How many of six points show the dialog's colours: its rim at the four corners, its stripe
// along the top and its face above the bottom rim.
constexpr int dialog_points = 6;
int dialog_pixels(const Image& shot, const Area& area) {
    const int right = area.x + area.width - 1;
    const int bottom = area.y + area.height - 1;
    const int middle = area.x + area.width / 2;
    struct Point {
        int x, y;
        uint32_t colour;
    };
    const Point points[dialog_points] = {{area.x, area.y, dialog_rim},        {right, area.y, dialog_rim},
                                         {area.x, bottom, dialog_rim},        {right, bottom, dialog_rim},
                                         {middle, area.y + 6, dialog_stripe}, {middle, bottom - 10, dialog_face}};
    int found = 0;
    for (const Point& p : points) found += shot.pixel(p.x, p.y) == p.colour ? 1 : 0;
    return found;
}

// One headless run of the script, its shots read once for every test of its device.
class DemoRun {
public:
    DemoRun(const std::string& environment, int shots) {
        status_ = fixtures::run_command(environment + " VANTREL_DISPLAY=headless " + demo + " --shots " + dir_.path() + " > " +
                                        dir_.file("out.txt") + " 2>&1");
        for (int i = 1; i <= shots; ++i) shots_.push_back(fixtures::read_png(dir_.file("form-" + std::to_string(i) + ".png")));
    }

    // The run ended well and left every shot at the screen's size.
    ::testing::AssertionResult played() const {
        if (status_ != 0) return ::testing::AssertionFailure() << "status " << status_ << ":\n" << output();
        for (size_t i = 0; i < shots_.size(); ++i) {
            if (shots_[i].width != screen_width || shots_[i].height != screen_height)
                return ::testing::AssertionFailure() << "shot " << i + 1 << " is " << shots_[i].width << "x" << shots_[i].height;
        }
        return ::testing::AssertionSuccess();
    }
    const Image& shot(int number) const { return shots_.at(static_cast<size_t>(number - 1)); }
    std::string output() const { return fixtures::command_output("cat " + dir_.file("out.txt")); }

private:
    fixtures::TempDir dir_;
    int status_ = -1;
    std::vector<Image> shots_;
};

Image reference(const std::string& shot) {
    return fixtures::read_png(std::string(VANTREL_TEST_SOURCE_DIR) + "/tests/e2e/references/form_demo/" + shot + ".png");
}

// The Pocket PC's script: 1 the start, 2 a stroke and keys on the pad, 3 the dialog, 4 one more
// over it, 5 both closed, 16 the right soft key's menu, 17 its Language submenu, 18 the screen
// in German, 19 the dialog from the left soft key, 20 the hints gone, 21 English again.
const DemoRun& pocket_run() {
    static const DemoRun run("", 21);
    return run;
}

// The Smartphone's: 1 the start, 2 the right key's menu, 3 its Language submenu, 4 German,
// 5 the menu again with the hints gone, 6 the dialog, 7 the dialog's right-key menu, 8 English.
const DemoRun& phone_run() {
    static const DemoRun run("VANTREL_DEVICE=smartphone", 8);
    return run;
}

TEST(FormDemo, PlaysItsScriptHeadless) {
    const DemoRun& run = pocket_run();
    ASSERT_TRUE(run.played());
    // The name screen's word was cut and pasted back through the field's context menu.
    EXPECT_NE(run.output().find("name: Morning bell"), std::string::npos) << run.output();
}

TEST(FormDemo, StartsAsTheJourneySeesIt) {
    const DemoRun& run = pocket_run();
    ASSERT_TRUE(run.played());
    EXPECT_LE(differing_outside(reference("1-start"), run.shot(1), {}), 16);
}

TEST(FormDemo, ShowsTheDialogOverTheMainFormAndTakesItAway) {
    const DemoRun& run = pocket_run();
    ASSERT_TRUE(run.played());
    EXPECT_EQ(dialog_pixels(run.shot(2), dialog), 0);
    EXPECT_EQ(dialog_pixels(run.shot(3), dialog), dialog_points);
    // All as the journey's dialog, but for the pad's text above it, which the journey typed otherwise.
    EXPECT_LE(differing_outside(reference("3-dialog"), run.shot(3), {pad_first_line}), 16);
    // One more over it, exactly in its place: only the level in its title changes.
    EXPECT_EQ(differing_outside(run.shot(3), run.shot(4), {dialog_title}), 0);
    EXPECT_GT(differing_inside(run.shot(3), run.shot(4), dialog_title), 20);
    // Both closed, the main form is back where they lay; the pad has lost its focus ring and the
    // status line counts the dialogs.
    EXPECT_EQ(dialog_pixels(run.shot(5), dialog), 0);
    EXPECT_EQ(differing_inside(run.shot(2), run.shot(5), dialog, {pad_ring_bottom, status_line}), 0);
    // The left soft key opens the same dialog over the German screen.
    EXPECT_EQ(dialog_pixels(run.shot(19), dialog), dialog_points);
    EXPECT_EQ(differing_inside(run.shot(3), run.shot(19), dialog), 0);
    EXPECT_EQ(dialog_pixels(run.shot(20), dialog), 0);
}

TEST(FormDemo, OpensTheRightSoftKeysMenuAndItsLanguageSubmenu) {
    const DemoRun& run = pocket_run();
    ASSERT_TRUE(run.played());
    // Where the platform drops the menus down, as their entries' widths make them.
    const Area menu{286, 496, 193, 91};
    const Area submenu{119, 496, 167, 80};
    const int key_x = 300, key_y = 620;  // on the right soft key, left of its label
    // The menu drops over the form from the right key, which stays pressed while it is open.
    EXPECT_TRUE(covers(run.shot(5), run.shot(16), menu));
    EXPECT_EQ(differing_outside(run.shot(5), run.shot(16), {menu, soft_keys}), 0);
    EXPECT_EQ(run.shot(16).pixel(menu.x + 4, menu.y + menu.height - 4), rgb(platform::menu::look::menu));
    EXPECT_EQ(run.shot(16).pixel(key_x, key_y), rgb(platform::menu::look::bar_pressed));
    EXPECT_NE(run.shot(5).pixel(key_x, key_y), rgb(platform::menu::look::bar_pressed));
    // The submenu opens to its left, the menu staying as it was.
    EXPECT_TRUE(covers(run.shot(16), run.shot(17), submenu));
    EXPECT_EQ(differing_outside(run.shot(16), run.shot(17), {submenu}), 0);
    EXPECT_EQ(run.shot(17).pixel(submenu.x + 4, submenu.y + submenu.height - 4), rgb(platform::menu::look::menu));
}

// Shots of a switch to German and back: the title and the help change at once, stay so, and
// the title comes back as at the start (shot 1).
struct LanguageShots {
    int english, german, still_german, english_again;
};
void expect_language_round_trip(const DemoRun& run, const LanguageShots& n) {
    EXPECT_GT(differing_inside(run.shot(n.english), run.shot(n.german), title), 200);
    EXPECT_GT(differing_inside(run.shot(n.english), run.shot(n.german), help), 1000);
    EXPECT_EQ(differing_inside(run.shot(n.german), run.shot(n.still_german), title), 0);
    EXPECT_EQ(differing_inside(run.shot(1), run.shot(n.english_again), title), 0);
}

TEST(FormDemo, SwitchesTheOpenFormsLanguageAndBack) {
    const DemoRun& run = pocket_run();
    ASSERT_TRUE(run.played());
    expect_language_round_trip(run, {.english = 5, .german = 18, .still_german = 20, .english_again = 21});
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

// On a Smartphone its buttons and check box live in the soft keys; the script opens the keys'
// menus, switches the language there and back, and closes a dialog through its own right key.
TEST(SmartphoneFormDemo, PlaysItsScriptHeadless) {
    EXPECT_TRUE(phone_run().played());
}

TEST(SmartphoneFormDemo, OpensTheRightKeysMenuItsSubmenuAndTheDialogsKeys) {
    const DemoRun& run = phone_run();
    ASSERT_TRUE(run.played());
    // Where the platform pops the menus up, as their entries' widths make them.
    const Area menu{250, 363, 230, 224};
    const Area submenu{75, 489, 175, 85};
    const Area dialog_keys_menu{328, 555, 152, 85};
    EXPECT_TRUE(covers(run.shot(1), run.shot(2), menu));
    EXPECT_EQ(differing_outside(run.shot(1), run.shot(2), {menu}), 0);
    EXPECT_EQ(run.shot(2).pixel(menu.x + 4, menu.y + menu.height - 4), rgb(platform::menu::look::menu));
    // Language: the submenu opens to the left, and the menu's highlight moves onto Language.
    EXPECT_TRUE(covers(run.shot(2), run.shot(3), submenu));
    EXPECT_EQ(differing_outside(run.shot(2), run.shot(3), {submenu, menu}), 0);
    EXPECT_EQ(run.shot(3).pixel(submenu.x + 4, submenu.y + submenu.height - 4), rgb(platform::menu::look::menu));
    // The dialog's right key opens its own menu over the dialog and the key bar.
    EXPECT_TRUE(covers(run.shot(6), run.shot(7), dialog_keys_menu));
    EXPECT_EQ(differing_outside(run.shot(6), run.shot(7), {dialog_keys_menu}), 0);
}

TEST(SmartphoneFormDemo, SwitchesTheLanguageAndBack) {
    const DemoRun& run = phone_run();
    ASSERT_TRUE(run.played());
    expect_language_round_trip(run, {.english = 1, .german = 4, .still_german = 6, .english_again = 8});
}

TEST(SmartphoneFormDemo, ShowsTheDialogWithoutItsButtonsAndTakesItAway) {
    const DemoRun& run = phone_run();
    ASSERT_TRUE(run.played());
    EXPECT_EQ(dialog_pixels(run.shot(4), dialog_without_buttons), 0);
    EXPECT_EQ(dialog_pixels(run.shot(6), dialog_without_buttons), dialog_points);
    // Its title and text as in the journey's dialog, which has its buttons below them.
    const Area above_buttons{dialog.x, dialog.y, dialog.width, 160};
    const Area phone_above_buttons{dialog_without_buttons.x, dialog_without_buttons.y, dialog.width, 160};
    EXPECT_EQ(fixtures::differing_pixels(fixtures::crop(reference("3-dialog"), above_buttons),
                                         fixtures::crop(run.shot(6), phone_above_buttons), channel_tolerance, {}),
              0);
    // Closed, the main form is back where it lay.
    EXPECT_EQ(dialog_pixels(run.shot(8), dialog_without_buttons), 0);
    EXPECT_EQ(differing_inside(run.shot(4), run.shot(8), dialog_without_buttons), 0);
}

}  // namespace
