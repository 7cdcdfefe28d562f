#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/DesktopKeys.h"
#include "platform/display/Display.h"
#include "platform/kernel/Unicode.h"
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"

namespace platform {

namespace {

class SdlDisplay : public DisplayBackend, public HostEvents {
public:
    ~SdlDisplay() override {
        if (window_) {
            SDL_DestroyWindow(window_);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool open() {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        // These drivers show nothing to anyone: count them as no display.
        if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
            return false;
        }
        const DeviceProfile& p = device_profile();
        zoom_ = choose_zoom(p.screen_width, p.screen_height, 0, Frame{});
        window_ = SDL_CreateWindow("Vantrel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, p.screen_width * zoom_,
                                   p.screen_height * zoom_, 0);
        if (!window_) {
            return false;
        }
        width_ = p.screen_width;
        height_ = p.screen_height;
        // The window's own pixels, updated where the screen changed: a software renderer would
        // convert and send the whole window at every change.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (!SDL_GetWindowSurface(window_)) {
            return false;
        }
        SDL_StartTextInput();
        // These wait for the desktop's events and let another thread end the wait; elsewhere the
        // wait would poll every millisecond, and looking every few is cheaper.
        waits_ = std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0;
        wake_event_ = SDL_RegisterEvents(1);
        if (wake_event_ == static_cast<Uint32>(-1)) {
            waits_ = false;
        }
        return true;
    }

    const char* name() const override { return "sdl"; }

    bool pump_events() override {
        SDL_Event e;
        bool keep = true;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_QUIT:
                keep = false;
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.button == SDL_BUTTON_LEFT) {
                    display_pen(PenAction::Down, to_screen(e.button.x, e.button.y));
                }
                break;
            case SDL_MOUSEMOTION:
                if (e.motion.state & SDL_BUTTON_LMASK) {
                    display_pen(PenAction::Move, to_screen(e.motion.x, e.motion.y));
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button == SDL_BUTTON_LEFT) {
                    display_pen(PenAction::Up, to_screen(e.button.x, e.button.y));
                }
                break;
            case SDL_MOUSEWHEEL: {
                int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                if (notches != 0) {
                    inject_wheel(to_screen(e.wheel.mouseX, e.wheel.mouseY), notches * WHEEL_DELTA);
                }
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                bool down = e.type == SDL_KEYDOWN;
                if (e.key.keysym.sym == turn_key) {
                    if (down && e.key.repeat == 0) {
                        turn_screen();
                    }
                    break;
                }
                UINT vk = device_key(e.key.keysym.sym, e.key.keysym.mod, device_profile().type);
                if (!down) {
                    // The key-up of '*' may come without Shift: release what went down.
                    UINT held = held_[e.key.keysym.scancode % held_size];
                    vk = held ? held : vk;
                    held_[e.key.keysym.scancode % held_size] = 0;
                } else {
                    held_[e.key.keysym.scancode % held_size] = vk;
                }
                if (vk) {
                    display_key(vk, down, down && e.key.repeat != 0, true);
                }
                break;
            }
            case SDL_TEXTINPUT:
                inject_text(utf16_from_utf8(e.text.text));
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    SDL_UpdateWindowSurface(window_);
                }
                break;
            default:
                break;
            }
        }
        return keep;
    }

    void present(const PixelSurface& screen, RECT changed) override {
        if (screen.width != width_ || screen.height != height_) {
            resize(screen.width, screen.height);
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) {
            return;
        }
        if (surface != surface_) {
            // A new window surface holds nothing yet.
            surface_ = surface;
            changed = RECT{0, 0, screen.width, screen.height};
        }
        SDL_Rect area = show(screen, changed, *surface);
        if (area.w > 0 && area.h > 0) {
            SDL_UpdateWindowSurfaceRects(window_, &area, 1);
        }
    }

    bool read_clipboard(std::u16string& text) override {
        text.clear();
        if (!SDL_HasClipboardText()) {
            return true;  // the desktop holds something else, or nothing
        }
        char* utf8 = SDL_GetClipboardText();
        if (!utf8) {
            return false;
        }
        text = utf16_from_utf8(utf8);
        SDL_free(utf8);
        return true;
    }

    bool write_clipboard(const std::u16string& text) override {
        return SDL_SetClipboardText(utf8_from_utf16(text).c_str()) == 0;
    }

    DWORD poll_interval() const override { return waits_ ? INFINITE : 10; }

    HostEvents* host_events() override { return waits_ ? this : nullptr; }

    void wait(DWORD milliseconds) override {
        SDL_WaitEventTimeout(nullptr, milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, 1 << 30)));
    }

    void wake() override {
        SDL_Event e{};
        e.type = wake_event_;
        SDL_PushEvent(&e);
    }

    void go_back() override { SDL_MinimizeWindow(window_); }

    void show_cursor(int cursor_id) override {
        SDL_SystemCursor wanted = cursor_id == 32514 ? SDL_SYSTEM_CURSOR_WAIT
                                  : cursor_id == 32513 ? SDL_SYSTEM_CURSOR_IBEAM
                                  : cursor_id == 32649 ? SDL_SYSTEM_CURSOR_HAND
                                                       : SDL_SYSTEM_CURSOR_ARROW;
        if (!cursors_[wanted]) {
            cursors_[wanted] = SDL_CreateSystemCursor(wanted);
        }
        if (cursors_[wanted]) {
            SDL_SetCursor(cursors_[wanted]);
        }
    }

private:
    static constexpr size_t held_size = 512;

    // The window manager's frame around the window's pixels (none without a window manager).
    struct Frame {
        int top = 0;
        int left = 0;
        int bottom = 0;
        int right = 0;
    };

    Frame frame() const {
        Frame f;
        if (!window_ || SDL_GetWindowBordersSize(window_, &f.top, &f.left, &f.bottom, &f.right) != 0) {
            return Frame{};
        }
        return f;
    }

    // The largest zoom up to 4 at which the screen, with the window's frame, fits the desktop's
    // usable area.
    static int choose_zoom(int width, int height, int display_index, const Frame& frame) {
        if (const char* z = std::getenv("VANTREL_ZOOM"); z && *z) {
            return std::clamp(std::atoi(z), 1, 8);
        }
        SDL_Rect bounds;
        if (SDL_GetDisplayUsableBounds(display_index, &bounds) != 0) {
            return 1;
        }
        const int room_w = bounds.w - frame.left - frame.right;
        const int room_h = bounds.h - frame.top - frame.bottom;
        int zoom = 1;
        while (width * (zoom + 1) <= room_w && height * (zoom + 1) <= room_h && zoom < 4) {
            ++zoom;
        }
        return zoom;
    }

    // The device keys use F1 to F4; this one turns the screen.
    static constexpr SDL_Keycode turn_key = SDLK_F5;

    // The screen was turned: the desktop window takes its new shape, zoomed to fit again, and
    // moves where that shape would leave the desktop.
    void resize(int width, int height) {
        const int display_index = std::max(SDL_GetWindowDisplayIndex(window_), 0);
        const Frame around = frame();
        zoom_ = choose_zoom(width, height, display_index, around);
        width_ = width;
        height_ = height;
        SDL_SetWindowSize(window_, width * zoom_, height * zoom_);
        keep_on_desktop(display_index, around);
        surface_ = nullptr;  // the window's pixels are made anew at their new size
    }

    // Moves the window, with its frame, inside the display's usable area (its top-left corner
    // stays visible when it is larger).
    void keep_on_desktop(int display_index, const Frame& around) {
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(display_index, &usable) != 0) {
            return;
        }
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(window_, &x, &y);
        SDL_GetWindowSize(window_, &w, &h);
        const int to_x = std::max(std::min(x, usable.x + usable.w - around.right - w), usable.x + around.left);
        const int to_y = std::max(std::min(y, usable.y + usable.h - around.bottom - h), usable.y + around.top);
        if (to_x != x || to_y != y) {
            SDL_SetWindowPosition(window_, to_x, to_y);
        }
    }

    // Copies the changed part of the screen, zoomed, into the window's pixels in their format;
    // the window's rectangle that it covers.
    SDL_Rect show(const PixelSurface& screen, RECT changed, SDL_Surface& window) {
        const int left = std::max<int>(changed.left, 0);
        const int top = std::max<int>(changed.top, 0);
        const int right = std::min({static_cast<int>(changed.right), screen.width, window.w / zoom_});
        const int bottom = std::min({static_cast<int>(changed.bottom), screen.height, window.h / zoom_});
        if (right <= left || bottom <= top) {
            return SDL_Rect{0, 0, 0, 0};
        }
        const SDL_Rect area{left * zoom_, top * zoom_, (right - left) * zoom_, (bottom - top) * zoom_};
        const uint32_t* from = screen.pixels + static_cast<size_t>(top) * screen.stride + left;
        int from_pitch = screen.stride * 4;
        if (zoom_ > 1) {
            zoomed_.resize(static_cast<size_t>(area.w) * area.h);
            for (int y = 0; y < area.h; ++y) {
                const uint32_t* row = from + static_cast<size_t>(y / zoom_) * screen.stride;
                uint32_t* out = zoomed_.data() + static_cast<size_t>(y) * area.w;
                for (int x = 0; x < area.w; ++x) {
                    out[x] = row[x / zoom_];
                }
            }
            from = zoomed_.data();
            from_pitch = area.w * 4;
        }
        if (SDL_MUSTLOCK(&window)) {
            SDL_LockSurface(&window);
        }
        auto* to = static_cast<uint8_t*>(window.pixels) + static_cast<size_t>(area.y) * window.pitch +
                   static_cast<size_t>(area.x) * window.format->BytesPerPixel;
        if (SDL_ConvertPixels(area.w, area.h, SDL_PIXELFORMAT_RGB888, from, from_pitch, window.format->format, to,
                              window.pitch) != 0) {
            std::fprintf(stderr, "platform: the screen cannot be shown: %s\n", SDL_GetError());
        }
        if (SDL_MUSTLOCK(&window)) {
            SDL_UnlockSurface(&window);
        }
        return area;
    }

    POINT to_screen(int x, int y) const { return POINT{x / zoom_, y / zoom_}; }

    SDL_Window* window_ = nullptr;
    SDL_Surface* surface_ = nullptr;  // the window surface last drawn on
    std::vector<uint32_t> zoomed_;
    SDL_Cursor* cursors_[SDL_NUM_SYSTEM_CURSORS] = {};
    UINT held_[held_size] = {};
    bool waits_ = false;
    Uint32 wake_event_ = 0;  // ends a wait; read and dropped with the other events
    int zoom_ = 1;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace

std::unique_ptr<DisplayBackend> open_sdl_display() {
    auto display = std::make_unique<SdlDisplay>();
    if (!display->open()) {
        return nullptr;
    }
    return display;
}

}  // namespace platform
