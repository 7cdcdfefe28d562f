#pragma once
// A window class whose procedure records every message, a test clock, and a fixture that
// destroys the windows a test made.
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/window/Window.h"

namespace fixtures {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen&) const = default;
};

// Messages the recording procedure saw, in order (any thread).
class Recorder {
public:
    static void add(const Seen& seen);
    static std::vector<Seen> take();
    // Only these messages, in order.
    static std::vector<UINT> take_messages(const std::vector<UINT>& wanted);
};

// Class "Recorder" (CS_DBLCLKS) records and passes to DefWindowProcW.
LPCWSTR recording_class();
LRESULT CALLBACK_recording_proc(HWND, UINT, WPARAM, LPARAM);

// The injectable clock, frozen at a value tests step.
void use_test_clock(DWORD start);
void step_test_clock(DWORD milliseconds);
void use_real_clock();

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A top-level recording window; WS_VISIBLE shows and activates it.
    HWND make_window(DWORD style, RECT rect, HWND parent = nullptr, LPCWSTR title = u"w");
    // Dispatches everything waiting; returns the retrieved messages.
    std::vector<MSG> pump();

    std::vector<HWND> made;
};

}  // namespace fixtures
