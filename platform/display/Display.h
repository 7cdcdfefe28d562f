#pragma once
// The screen: top-level windows composed in Z order onto one surface of the device's size, with
// the top bar (the foreground window's caption and, when it asks, the OK button) above the work
// area and the input panel when it is up. Backends by VANTREL_DISPLAY: "sdl" shows the screen in
// a desktop window (mouse as pen, keyboard as device keys), "headless" shows nothing and lets
// tests drive it (platform/display/Headless.h).
#include <memory>
#include <string>

#include "platform/Types.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/window/Input.h"
#include "platform/window/ThreadQueue.h"

namespace platform {

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual const char* name() const = 0;
    // False for a display nobody looks at: the screen is then composed only when asked for.
    virtual bool shows() const { return true; }
    // Turns host events into pen and key input; false when the host asked to close.
    virtual bool pump_events() = 0;
    // Shows the screen where it changed (changed: a non-empty rectangle inside it).
    virtual void present(const PixelSurface& screen, RECT changed) = 0;
    // How long the display thread may sleep between looks at the host (INFINITE: no host, or
    // one whose events wake the thread).
    virtual DWORD poll_interval() const = 0;
    // The host's events, when the display thread can sleep until one comes; else null.
    virtual HostEvents* host_events() { return nullptr; }
    virtual void show_cursor(int cursor_id) { (void)cursor_id; }
    // The desktop's clipboard text (empty when it holds none); false where there is no desktop.
    virtual bool read_clipboard(std::u16string& text) {
        (void)text;
        return false;
    }
    virtual bool write_clipboard(const std::u16string& text) {
        (void)text;
        return false;
    }
    // The program steps back to the one before it (the desktop).
    virtual void go_back() {}
};

// Made by the first thread that shows a window (that thread then presents the screen and
// reads host input while it waits for messages). Falls back to headless when no display opens.
DisplayBackend& ensure_display();
// The display the device profile asks for, without the fall-back: null (and nothing said) when
// an "sdl" display cannot be opened, so that a program that needs a window can say so itself.
DisplayBackend* ensure_wanted_display();
std::unique_ptr<DisplayBackend> open_sdl_display();
std::unique_ptr<DisplayBackend> make_headless_display();

// Composes the screen now (the caller holds no window lock).
void compose_screen();
// Composes only what changed on the screen since the last call (all of it at first), and returns
// that rectangle: empty when nothing did. The display shows the screen this way.
RECT compose_changes();

// Pen input in screen coordinates as the host gives it: the top bar takes its own taps (the OK
// button posts WM_COMMAND IDOK to the foreground window); the rest goes to the windows.
void display_pen(PenAction action, POINT screen);

// Turns the screen a quarter (the desktop's F5 key, or a test): its width and height swap, the
// work area and the screen's metrics follow, and every top-level window is posted
// WM_SETTINGCHANGE with SETTINGCHANGE_RESET, as the device tells of a new resolution.
void turn_screen();

// The display backend's clipboard, from the display's thread only (the desktop's clipboard
// belongs to its window); false on any other thread, before the display opens, or without one.
bool read_desktop_clipboard(std::u16string& text);
bool write_desktop_clipboard(const std::u16string& text);
// A device key as the host gives it: the menu bar of the window in front takes the soft keys
// and a Back key it overrides (platform/menu/MenuBar.h); the rest goes to the windows
// (inject_key, with text_follows for the desktop keyboard).
void display_key(UINT virtual_key, bool down, bool repeat, bool text_follows = false);

// SHNavigateBack: the display shows the desktop in place of the program.
void display_go_back();

// The OK button's rectangle in the top bar; empty while the foreground window has none.
RECT done_button_rect();

}  // namespace platform
