#include "ui/forms/WindowHook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skinner {
namespace {

std::vector<std::string> seen;

LRESULT own_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER || message == WM_DESTROY) {
        seen.push_back("own " + std::to_string(message));
        return 7;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Records what it sees; consumes WM_USER with its answer when told to.
class NamedHook : public WindowHook {
public:
    NamedHook(std::string name, bool consume, LRESULT answer = 0) : name(std::move(name)), consume(consume), answer(answer) {}
    LRESULT window_proc(UINT message, WPARAM wParam, LPARAM, HookFlags& flags) override {
        if (message == WM_USER || message == WM_DESTROY) {
            seen.push_back(name + " " + std::to_string(message) + " " + std::to_string(wParam));
            EXPECT_TRUE(flags.default_processing);  // preset for every hook
        }
        if (message == WM_USER && consume) {
            flags.default_processing = false;
            return answer;
        }
        return 0;
    }
    std::string name;
    bool consume;
    LRESULT answer;
};

class WindowHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        WNDCLASSW window_class;
        window_class.lpfnWndProc = &own_proc;
        window_class.lpszClassName = u"HookTarget";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, u"HookTarget", u"t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        seen.clear();
    }
    void TearDown() override {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    WNDPROC current_proc() const { return reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_WNDPROC)); }
    HWND window = nullptr;
};

TEST_F(WindowHookTest, LaterHookSeesFirstAndAConsumingHookSkipsTheWindowProcedure) {
    NamedHook earlier("earlier", true, 42);
    NamedHook later("later", false);
    earlier.attach(window);
    later.attach(window);
    EXPECT_EQ(current_proc(), &hook_window_proc);
    EXPECT_EQ(SendMessageW(window, WM_USER, 5, 0), 42);
    EXPECT_EQ(seen, (std::vector<std::string>{"later 1024 5", "earlier 1024 5"}));

    seen.clear();
    earlier.consume = false;
    EXPECT_EQ(SendMessageW(window, WM_USER, 6, 0), 7);
    EXPECT_EQ(seen, (std::vector<std::string>{"later 1024 6", "earlier 1024 6", "own 1024"}));
}

TEST_F(WindowHookTest, LastWalkedConsumerGivesTheResult) {
    NamedHook first("first", true, 1);
    NamedHook second("second", true, 2);
    first.attach(window);
    second.attach(window);
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 1);
}

TEST_F(WindowHookTest, DetachingTheLastHookRestoresTheWindowProcedure) {
    NamedHook a("a", false);
    {
        NamedHook b("b", true);
        a.attach(window);
        b.attach(window);
        a.detach();
        EXPECT_EQ(current_proc(), &hook_window_proc);
        EXPECT_EQ(a.attached_window(), nullptr);
        a.detach();  // twice is harmless
    }  // b's destructor detaches it
    EXPECT_FALSE(window_has_hooks(window));
    EXPECT_EQ(current_proc(), &own_proc);
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 7);
}

TEST_F(WindowHookTest, DestroyedWindowDetachesEveryHook) {
    NamedHook a("a", false);
    NamedHook b("b", false);
    a.attach(window);
    b.attach(window);
    DestroyWindow(window);
    EXPECT_EQ(seen, (std::vector<std::string>{"b 2 0", "a 2 0", "own 2"}));
    EXPECT_FALSE(window_has_hooks(window));
    EXPECT_EQ(a.attached_window(), nullptr);
    EXPECT_EQ(b.attached_window(), nullptr);
}

TEST_F(WindowHookTest, ReattachingMovesTheHookAndUnknownWindowsGetZero) {
    HWND other = CreateWindowExW(0, u"HookTarget", u"o", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    NamedHook hook("h", true, 9);
    hook.attach(window);
    hook.attach(other);
    EXPECT_FALSE(window_has_hooks(window));
    EXPECT_EQ(current_proc(), &own_proc);
    EXPECT_EQ(SendMessageW(other, WM_USER, 0, 0), 9);
    hook.detach();
    DestroyWindow(other);
    EXPECT_EQ(hook_window_proc(window, WM_USER, 0, 0), 0);
}

}  // namespace
}  // namespace skinner
