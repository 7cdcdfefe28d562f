#include "platform/device/DeviceProfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::mutex profile_lock;
DeviceProfile* current = nullptr;

bool parse_size(const char* text, int& width, int& height) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2 || w < 16 || h < 16 || w > 4096 || h > 4096) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

const char* get_env(const char* name) {
    return std::getenv(name);
}

}  // namespace

int smartphone_bar_height(int width) {
    switch (width) {
    case 176: return 20;
    case 240:
    case 320:
    case 400: return 27;
    case 352: return 40;
    case 480:
    case 640:
    case 800: return 54;
    default: return 0;
    }
}

bool can_turn_screen(const DeviceProfile& p) {
    return p.type != DeviceType::Smartphone || smartphone_bar_height(p.screen_height) != 0 ||
           smartphone_bar_height(p.screen_width) == 0;
}

DeviceProfile parse_device_profile(const char* (*get)(const char* name)) {
    DeviceProfile p;
    if (const char* device = get("VANTREL_DEVICE"); device && std::strcmp(device, "smartphone") == 0) {
        p.type = DeviceType::Smartphone;
    }
    if (const char* os = get("VANTREL_OS_MAJOR"); os && *os) {
        int major = std::atoi(os);
        if (major > 0 && major < 100) {
            p.os_major = major;
        }
    }
    if (const char* screen = get("VANTREL_SCREEN"); screen && *screen) {
        parse_size(screen, p.screen_width, p.screen_height);
    }
    // A Smartphone asked for on its side (220x176) is that phone held upright: its shell has bars
    // only for the widths it is made in.
    if (p.type == DeviceType::Smartphone && p.screen_width > p.screen_height && smartphone_bar_height(p.screen_width) == 0 &&
        smartphone_bar_height(p.screen_height) != 0) {
        std::fprintf(stderr, "platform: no Smartphone has a screen %d wide: the screen is %dx%d, upright\n", p.screen_width,
                     p.screen_height, p.screen_width);
        std::swap(p.screen_width, p.screen_height);
    }
    // 96 dpi for a 240-pixel-wide screen, 192 for 480: dpi follows the narrow side.
    int narrow = p.screen_width < p.screen_height ? p.screen_width : p.screen_height;
    p.dpi = narrow >= 480 ? 192 : 96;
    if (const char* dpi = get("VANTREL_DPI"); dpi && *dpi) {
        int value = std::atoi(dpi);
        if (value >= 48 && value <= 600) {
            p.dpi = value;
        }
    }
    if (const char* root = get("VANTREL_ROOT"); root && *root) {
        p.root = root;
        // A root given relative to where the program was started is that folder, not a
        // path the device would read from its own root.
        if (p.root.front() != '/') {
            std::error_code error;
            const std::filesystem::path here = std::filesystem::current_path(error);
            if (!error) p.root = (here / p.root).lexically_normal().string();
        }
        while (p.root.size() > 1 && p.root.back() == '/') {
            p.root.pop_back();
        }
    }
    const char* display = get("VANTREL_DISPLAY");
    p.display = display && *display ? display : "sdl";
    const char* audio = get("VANTREL_AUDIO");
    p.audio = audio && *audio ? audio : "sdl";
    return p;
}

const DeviceProfile& device_profile() {
    std::lock_guard guard(profile_lock);
    if (!current) {
        current = new DeviceProfile(parse_device_profile(get_env));
    }
    return *current;
}

namespace {

// Call with profile_lock held. The old profile is kept alive (and reachable): callers may still
// hold references into it.
void replace_profile(const DeviceProfile& next) {
    static std::vector<DeviceProfile*>* retired = new std::vector<DeviceProfile*>;
    if (current) {
        retired->push_back(current);
    }
    current = new DeviceProfile(next);
}

}  // namespace

void turn_device_screen() {
    std::lock_guard guard(profile_lock);
    DeviceProfile turned = current ? *current : parse_device_profile(get_env);
    std::swap(turned.screen_width, turned.screen_height);
    replace_profile(turned);
}

void reload_device_profile() {
    std::lock_guard guard(profile_lock);
    replace_profile(parse_device_profile(get_env));
}

}  // namespace platform
