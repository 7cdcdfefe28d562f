#include <atomic>
#include <mutex>

#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Time.h"
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
#include "platform/window/WindowTable.h"

#include <stb_image_write.h>

namespace platform {

namespace {

struct PretendDesktop {
    std::mutex lock;
    bool on = false;            // lock
    std::u16string clipboard;   // lock
};

PretendDesktop& desktop() {
    static auto* instance = new PretendDesktop;
    return *instance;
}

std::atomic<int> go_back_requests{0};

class HeadlessDisplay : public DisplayBackend {
public:
    const char* name() const override { return "headless"; }
    bool shows() const override { return false; }
    bool pump_events() override { return true; }
    void present(const PixelSurface&, RECT) override {}
    DWORD poll_interval() const override { return INFINITE; }

    bool read_clipboard(std::u16string& text) override {
        PretendDesktop& d = desktop();
        std::lock_guard guard(d.lock);
        text = d.clipboard;
        return d.on;
    }

    bool write_clipboard(const std::u16string& text) override {
        PretendDesktop& d = desktop();
        std::lock_guard guard(d.lock);
        if (d.on) {
            d.clipboard = text;
        }
        return d.on;
    }
    void go_back() override { ++go_back_requests; }
};

std::atomic<DWORD> test_ticks{0};

DWORD test_clock() {
    return test_ticks.load();
}

}  // namespace

std::unique_ptr<DisplayBackend> make_headless_display() {
    return std::make_unique<HeadlessDisplay>();
}

}  // namespace platform

namespace platform::headless {

void pen_down(int x, int y) {
    ensure_display();
    display_pen(PenAction::Down, POINT{x, y});
}

void pen_move(int x, int y) {
    display_pen(PenAction::Move, POINT{x, y});
}

void pen_up(int x, int y) {
    display_pen(PenAction::Up, POINT{x, y});
}

void tap(int x, int y) {
    pen_down(x, y);
    pen_up(x, y);
}

void key_down(UINT virtual_key) {
    display_key(virtual_key, true, false);
}

void key_repeat(UINT virtual_key) {
    display_key(virtual_key, true, true);
}

void key_up(UINT virtual_key) {
    display_key(virtual_key, false, false);
}

void key_press(UINT virtual_key) {
    key_down(virtual_key);
    key_up(virtual_key);
}

void type_text(const std::u16string& text) {
    for (char16_t c : text) {
        UINT vk = c >= u'a' && c <= u'z' ? static_cast<UINT>(c - u'a' + 'A')
                  : ((c >= u'0' && c <= u'9') || c == u' ') ? static_cast<UINT>(c)
                  : c == u'*' ? VK_STAR
                  : c == u'#' ? VK_POUND
                  : 0;
        if (vk) {
            key_press(vk);
        } else {
            inject_char(c);
        }
    }
}

void desktop_type(UINT virtual_key, std::u16string_view text) {
    if (virtual_key) {
        inject_key(virtual_key, true, false, true);
    }
    inject_text(text);
    if (virtual_key) {
        inject_key(virtual_key, false, false, true);
    }
}

void wheel(int x, int y, int notches) {
    ensure_display();
    inject_wheel(POINT{x, y}, notches * WHEEL_DELTA);
}

void turn_screen() {
    ensure_display();
    platform::turn_screen();
}

void use_desktop_clipboard(bool on) {
    PretendDesktop& d = desktop();
    std::lock_guard guard(d.lock);
    d.on = on;
    d.clipboard.clear();
}

void desktop_copy(const std::u16string& text) {
    PretendDesktop& d = desktop();
    std::lock_guard guard(d.lock);
    d.clipboard = text;
}

std::u16string desktop_clipboard() {
    PretendDesktop& d = desktop();
    std::lock_guard guard(d.lock);
    return d.clipboard;
}

void use_test_clock(DWORD start) {
    test_ticks = start;
    set_tick_source(test_clock);
}

void step_clock(DWORD milliseconds) {
    test_ticks += milliseconds;
    wake_all_message_queues();
}

void release_clock() {
    set_tick_source(nullptr);
}

int go_back_count() {
    return go_back_requests.load();
}

uint32_t screen_pixel(int x, int y) {
    compose_screen();
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    const PixelSurface& s = screen_surface()->surface;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) {
        return 0;
    }
    return s.pixels[static_cast<size_t>(y) * s.stride + x];
}

std::vector<uint32_t> screen_pixels() {
    compose_screen();
    return composed_pixels();
}

std::vector<uint32_t> composed_pixels() {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    const PixelSurface& s = screen_surface()->surface;
    std::vector<uint32_t> out;
    out.reserve(static_cast<size_t>(s.width) * s.height);
    for (int y = 0; y < s.height; ++y) {
        out.insert(out.end(), s.pixels + static_cast<size_t>(y) * s.stride, s.pixels + static_cast<size_t>(y) * s.stride + s.width);
    }
    return out;
}

bool save_screen_png(const std::string& path) {
    compose_screen();
    std::vector<unsigned char> rgb;
    int width = 0;
    int height = 0;
    {
        WindowTable& t = window_table();
        std::lock_guard guard(t.lock);
        const PixelSurface& s = screen_surface()->surface;
        width = s.width;
        height = s.height;
        rgb.reserve(static_cast<size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint32_t p = s.pixels[static_cast<size_t>(y) * s.stride + x];
                rgb.push_back(static_cast<unsigned char>(p >> 16));
                rgb.push_back(static_cast<unsigned char>(p >> 8));
                rgb.push_back(static_cast<unsigned char>(p));
            }
        }
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

}  // namespace platform::headless
