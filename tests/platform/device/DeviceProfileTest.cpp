#include "platform/device/DeviceProfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <map>
#include <string>

namespace {

std::map<std::string, std::string>* environment = nullptr;

const char* fake_get(const char* name) {
    auto it = environment->find(name);
    return it == environment->end() ? nullptr : it->second.c_str();
}

platform::DeviceProfile parse(std::map<std::string, std::string> env) {
    environment = &env;
    return platform::parse_device_profile(fake_get);
}

TEST(DeviceProfile, DefaultsToPocketPcAt480x640) {
    platform::DeviceProfile p = parse({});
    EXPECT_EQ(p.type, platform::DeviceType::PocketPC);
    EXPECT_EQ(p.os_major, 5);
    EXPECT_EQ(p.screen_width, 480);
    EXPECT_EQ(p.screen_height, 640);
    EXPECT_EQ(p.dpi, 192);
    EXPECT_EQ(p.root, "");
    EXPECT_EQ(p.display, "sdl");
    EXPECT_EQ(p.audio, "sdl");
}

TEST(DeviceProfile, ReadsEachVariable) {
    struct Case {
        std::map<std::string, std::string> env;
        int width, height, dpi;
    };
    const Case cases[] = {
        {{{"VANTREL_SCREEN", "240x320"}}, 240, 320, 96},
        {{{"VANTREL_SCREEN", "640x480"}}, 640, 480, 192},
        {{{"VANTREL_SCREEN", "240x320"}, {"VANTREL_DPI", "131"}}, 240, 320, 131},
        {{{"VANTREL_SCREEN", "nonsense"}}, 480, 640, 192},
        {{{"VANTREL_SCREEN", "1x1"}}, 480, 640, 192},
    };
    for (const Case& c : cases) {
        platform::DeviceProfile p = parse(c.env);
        EXPECT_EQ(p.screen_width, c.width);
        EXPECT_EQ(p.screen_height, c.height);
        EXPECT_EQ(p.dpi, c.dpi);
    }
    platform::DeviceProfile p = parse({{"VANTREL_DEVICE", "smartphone"},
                                       {"VANTREL_OS_MAJOR", "4"},
                                       {"VANTREL_ROOT", "/tmp/x//"},
                                       {"VANTREL_DISPLAY", "headless"},
                                       {"VANTREL_AUDIO", "wav:/tmp/a.wav"}});
    EXPECT_EQ(p.type, platform::DeviceType::Smartphone);
    EXPECT_EQ(p.os_major, 4);
    EXPECT_EQ(p.root, "/tmp/x");
    EXPECT_EQ(p.display, "headless");
    EXPECT_EQ(p.audio, "wav:/tmp/a.wav");
}

// A Smartphone is made only in the widths its shell has bars for: one asked for on its side
// is the phone held upright, and it turns only to a screen of such a width.
TEST(DeviceProfile, ASmartphoneScreenIsOneItsShellHasBarsFor) {
    struct Case {
        const char* device;
        const char* screen;
        int width, height;
        bool turns;
    };
    const Case cases[] = {
        {"smartphone", "220x176", 176, 220, false},
        {"smartphone", "176x220", 176, 220, false},
        {"smartphone", "440x352", 352, 440, false},
        {"smartphone", "240x320", 240, 320, true},
        {"smartphone", "320x240", 320, 240, true},
        {"smartphone", "300x500", 300, 500, true},  // widths the shell does not know either way
        {"smartphone", "300x400", 300, 400, true},  // upright already: a width of its own
        {"pocketpc", "220x176", 220, 176, true},
        {"pocketpc", "176x220", 176, 220, true},
    };
    for (const Case& c : cases) {
        platform::DeviceProfile p = parse({{"VANTREL_DEVICE", c.device}, {"VANTREL_SCREEN", c.screen}});
        EXPECT_EQ(p.screen_width, c.width) << c.device << " " << c.screen;
        EXPECT_EQ(p.screen_height, c.height) << c.device << " " << c.screen;
        EXPECT_EQ(platform::can_turn_screen(p), c.turns) << c.device << " " << c.screen;
    }
}

TEST(DeviceProfile, ARelativeRootIsTheFolderBelowTheWorkingDirectory) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(parse({{"VANTREL_ROOT", "demo/./root/"}}).root, here + "/demo/root");
}

}  // namespace
