#pragma once
// The device the program runs on, read once from the environment (VANTREL_* variables).
#include <string>

namespace platform {

enum class DeviceType { PocketPC, Smartphone };

struct DeviceProfile {
    DeviceType type = DeviceType::PocketPC;
    int os_major = 5;
    int screen_width = 480;
    int screen_height = 640;
    int dpi = 192;
    std::string root;     // host folder standing for the device's '\'; empty: the host's '/'
    std::string display;  // "sdl" or "headless"
    std::string audio;    // "sdl", "null" or "wav:PATH"
};

// The profile of this process. Read at first use.
const DeviceProfile& device_profile();

// The height of a Smartphone shell's bars on a screen of that width; 0 for a width its shell
// has no bars for (Smartphones are made only in the widths it has).
int smartphone_bar_height(int width);

// Whether a quarter turn gives a screen the device is made with: a Smartphone's turned screen
// must be a width its shell has bars for.
bool can_turn_screen(const DeviceProfile& profile);

// The screen turns a quarter: its width and height swap (the rest stays).
void turn_device_screen();

// Reads the environment again; tests call it after changing VANTREL_* variables.
void reload_device_profile();

// The profile a given environment describes (get returns null for an unset variable).
DeviceProfile parse_device_profile(const char* (*get)(const char* name));

}  // namespace platform
