#pragma once
// What the menu tests share: a device chosen through the VANTREL_* variables, an owner window
// that records its messages and fills the menus it is asked to, and a script of steps run from a
// timer while a menu is open (the menu's own loop dispatches it).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/window/Window.h"

namespace fixtures {

// Sets the device for the life of the object; the default device comes back afterwards.
class Device {
public:
    Device(const char* kind, const char* os_major, const char* screen = nullptr, const char* dpi = nullptr);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
};

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MenuTest : public ::testing::Test {
public:
    // What the owner appends to a menu it receives in WM_INITMENUPOPUP.
    static std::function<void(HMENU)> fill_on_init;

protected:
    void SetUp() override;
    void TearDown() override;

    // A shown, active window over the work area, of class "MenuOwner".
    HWND make_owner();
    // Dispatches everything waiting.
    static void pump();
    // The recorded messages of one kind (to any window), in order.
    static std::vector<Seen> seen(UINT message);
    static void forget();
    // Runs the steps one per timer tick, from the next message loop on (a menu's, or pump's).
    static void script(std::vector<std::function<void()>> steps);

    std::vector<HWND> made;
};

// The centre of a rectangle.
POINT centre(const RECT& r);

}  // namespace fixtures
