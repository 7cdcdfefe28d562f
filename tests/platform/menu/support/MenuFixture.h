#pragma once
// What the menu tests share: a device (fixtures::Device), an owner window
// that records its messages and fills the menus it is asked to, and a script of steps run from a
// timer while a menu is open (the menu's own loop dispatches it).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "tests/fixtures/Device.h"

namespace fixtures {

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
