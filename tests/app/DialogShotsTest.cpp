// The dialogs' screenshots on both kinds of device: every dialog and its device's variant load
// from the program's skins and show where the skin puts them, over the main form's backdrop,
// with their text, their buttons (or, on a Smartphone, the soft keys that stand for them) and the
// default button's focus ring.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fixtures/Picture.h"
#include "tests/fixtures/TempDir.h"

namespace {

using fixtures::Area;
using fixtures::Image;

// The dialog face (skins/default/pictures/dialog.svg): a dark edge, an accent band along the
// top, a light face; and the dialogs' label ink.
constexpr uint32_t dialog_edge = 0x0F1923;
constexpr uint32_t dialog_band = 0xF0C040;
constexpr uint32_t dialog_face = 0xF5F7FA;
constexpr uint32_t label_ink = 0x13202E;
// The main form's backdrop (background.svg) runs from 2B3D52 down to 13202E: near this all the way.
constexpr uint32_t backdrop = 0x203040;
constexpr int backdrop_tolerance = 0x30;
// The buttons (skins/default/pictures/button.svg): each look's edge, its face half way down
// its gradient, and the focus ring on it.
constexpr uint32_t accent_edge = 0x7A5208;
constexpr uint32_t accent_face = 0xF5BE4A;
constexpr uint32_t accent_ring = 0x13202E;
constexpr uint32_t light_edge = 0x8EA3B7;
constexpr uint32_t light_face = 0xEFF2F6;
constexpr uint32_t light_ring = 0xA86800;

bool near(uint32_t a, uint32_t b, int tolerance = 24) {
    for (int shift : {16, 8, 0}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
    }
    return true;
}

std::string hex(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", colour);
    return text;
}

// Pixels of the area near the colour.
int pixels_near(const Image& image, const Area& area, uint32_t colour, int tolerance = 24) {
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) count += near(image.pixel(x, y), colour, tolerance) ? 1 : 0;
    }
    return count;
}

enum class Look { accent, light };

// A drawn button, in skin units within its dialog.
struct Button {
    Look look;
    Area place;
    bool focused;
};

struct Case {
    const char* shot;
    int x, y;           // the dialog's top left on the screen, centred in the work area
    int width, height;  // its size in skin units
    Area label;         // its main text, in skin units within it
    std::vector<Button> buttons;
    bool left_key, right_key;  // labelled soft keys
};

struct Device {
    const char* environment;
    int width, height;
    int scale;
    int soft_keys_top;
    std::vector<Case> cases;
};

// Each dialog's variant for the device as the skins give it (default.json, dialogs.json).
const Device devices[] = {
    {"VANTREL_DEVICE=pocketpc", 480, 640, 2, 589,
     {{"save", 8, 134, 232, 106, {10, 6, 212, 34},
       {{Look::accent, {10, 74, 102, 26}, false}, {Look::light, {120, 74, 102, 26}, false}}, false, false},
      {"converting", 24, 212, 216, 108, {12, 10, 192, 28}, {{Look::light, {60, 72, 96, 26}, true}}, false, false},
      {"report", 24, 212, 216, 108, {44, 10, 162, 54}, {{Look::accent, {68, 74, 80, 26}, true}}, false, false},
      {"question", 24, 212, 216, 108, {44, 10, 162, 54},
       {{Look::accent, {12, 74, 92, 26}, true}, {Look::light, {112, 74, 92, 26}, false}}, false, false},
      {"about", 72, 136, 168, 184, {2, 84, 164, 22},
       {{Look::accent, {10, 150, 72, 26}, false}, {Look::light, {86, 150, 72, 26}, false}}, false, false}}},
    // On a Smartphone the buttons are soft keys, and the dialogs as high as the rest.
    {"VANTREL_DEVICE=smartphone VANTREL_SCREEN=176x220", 176, 220, 1, 201,
     {{"save", 4, 65, 168, 90, {8, 6, 156, 50}, {}, true, true},
      {"converting", 4, 75, 168, 70, {10, 6, 148, 34}, {}, false, true},
      {"report", 4, 69, 168, 82, {40, 10, 120, 64}, {}, true, false},
      {"question", 4, 69, 168, 82, {40, 10, 120, 64}, {}, true, true},
      {"about", 4, 35, 168, 150, {2, 84, 164, 22}, {}, true, true}}},
};

// A pixel of the shot has the colour; the failure names where and what it found.
::testing::AssertionResult pixel_is(const Image& shot, int x, int y, uint32_t colour, const char* what) {
    const uint32_t found = shot.pixel(x, y);
    if (near(found, colour)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " at " << x << "," << y << ": " << hex(found) << ", not " << hex(colour);
}

void check_dialog(const Image& shot, const Device& device, const Case& c) {
    const int s = device.scale;
    const int right = c.x + c.width * s - 1;
    const int bottom = c.y + c.height * s - 1;
    const int middle_y = (c.y + bottom) / 2;
    EXPECT_TRUE(pixel_is(shot, c.x, c.y, dialog_edge, "the edge's top left"));
    EXPECT_TRUE(pixel_is(shot, right, bottom, dialog_edge, "the edge's bottom right"));
    EXPECT_TRUE(pixel_is(shot, (c.x + right) / 2, c.y + 2 * s, dialog_band, "the band"));
    EXPECT_TRUE(pixel_is(shot, c.x + 4 * s, bottom - 4 * s, dialog_face, "the face"));
    // Beside it the main form's backdrop.
    for (int x : {c.x - 2, right + 2}) {
        const uint32_t beside = shot.pixel(x, middle_y);
        EXPECT_TRUE(near(beside, backdrop, backdrop_tolerance))
            << "beside the dialog at " << x << "," << middle_y << ": " << hex(beside);
    }
    const Area label{c.x + c.label.x * s, c.y + c.label.y * s, c.label.width * s, c.label.height * s};
    EXPECT_GT(pixels_near(shot, label, label_ink), 40 * s * s) << "the label's text";

    for (const Button& b : c.buttons) {
        const int left = c.x + b.place.x * s;
        const int middle = c.y + (b.place.y + b.place.height / 2) * s;
        const bool accent = b.look == Look::accent;
        SCOPED_TRACE(std::string(accent ? "accent" : "light") + " button at " + std::to_string(left));
        EXPECT_TRUE(pixel_is(shot, left, middle, accent ? accent_edge : light_edge, "its edge"));
        const uint32_t inside = b.focused ? (accent ? accent_ring : light_ring) : (accent ? accent_face : light_face);
        EXPECT_TRUE(pixel_is(shot, left + 3 * s, middle, inside, b.focused ? "its focus ring" : "its face"));
    }

    // A soft key's label: white text on the key bar's half.
    const Area halves[] = {{0, device.soft_keys_top, device.width / 2, device.height - device.soft_keys_top},
                           {device.width / 2, device.soft_keys_top, device.width / 2, device.height - device.soft_keys_top}};
    EXPECT_EQ(pixels_near(shot, halves[0], 0xFFFFFF, 72) > 8, c.left_key) << "the left soft key";
    EXPECT_EQ(pixels_near(shot, halves[1], 0xFFFFFF, 72) > 8, c.right_key) << "the right soft key";
}

TEST(DialogShots, EveryDialogShowsWhereTheSkinPutsItOnBothKindsOfDevice) {
    const std::string program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/dialog_shots";
    for (const Device& device : devices) {
        SCOPED_TRACE(device.environment);
        fixtures::TempDir dir;
        const std::string log = dir.file("out.txt");
        ASSERT_EQ(fixtures::run_command(std::string("VANTREL_DISPLAY=headless ") + device.environment + " " + program + " " +
                                        dir.path() + " > " + log + " 2>&1"),
                  0)
            << fixtures::run_command("cat " + log);
        for (const Case& c : device.cases) {
            SCOPED_TRACE(c.shot);
            const Image shot = fixtures::read_png(dir.file(std::string(c.shot) + ".png"));
            ASSERT_EQ(shot.width, device.width);
            ASSERT_EQ(shot.height, device.height);
            check_dialog(shot, device, c);
        }
    }
}

}  // namespace
