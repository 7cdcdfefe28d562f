#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/display/Keyboard.h"
#include "platform/edit/Edit.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/MenuLook.h"
#include "platform/window/Window.h"

namespace {

namespace h = platform::headless;

// What the message loop and the window below the edit saw.
struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> looped;  // every message the loop took, before it was dispatched
std::vector<Seen> below;   // messages the window under the panel got

LRESULT below_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK) {
        below.push_back({window, message, wParam});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        looped.push_back({msg.hwnd, msg.message, msg.wParam});
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool inside(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

POINT centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A field with the focus on a window that fills the work area, with the input panel up.
class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = [] {
            WNDCLASSW wc;
            wc.lpfnWndProc = below_proc;
            wc.lpszClassName = u"UnderPanel";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        platform::ensure_display();
        open();
    }

    void TearDown() override {
        close();
        looped.clear();
        below.clear();
    }

    void open() {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        parent = CreateWindowExW(0, u"UnderPanel", u"Field", WS_POPUP | WS_VISIBLE, 0, work.top,
                                 work.right - work.left, work.bottom - work.top, nullptr, nullptr, nullptr, nullptr);
        edit = CreateWindowExW(0, u"edit", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 4, 4,
                               (work.right - work.left) - 8, 24, parent, nullptr, nullptr, nullptr);
        SetFocus(edit);
        SHSipPreference(edit, SIP_UP);
        pump();
        to_first_page();
        looped.clear();
        below.clear();
    }

    void close() {
        SHSipPreference(edit, SIP_DOWN);
        DestroyWindow(parent);
        pump();
    }

    static std::optional<platform::PanelKey> find(const std::u16string& name) {
        for (const platform::PanelKey& k : platform::input_panel_keys()) {
            if (k.name == name) {
                return k;
            }
        }
        return std::nullopt;
    }

    static void tap(const std::u16string& name) {
        std::optional<platform::PanelKey> k = find(name);
        ASSERT_TRUE(k) << "no key " << std::string(name.begin(), name.end());
        POINT p = centre(k->rect);
        h::tap(p.x, p.y);
        pump();
    }

    // Letters, shift off: the panel keeps its page and shift from one case to the next.
    static void to_first_page() {
        if (find(u"abc")) {
            tap(u"abc");
        }
        if (std::optional<platform::PanelKey> q = find(u"q"); q && q->label == u"Q") {
            tap(u"shift");
        }
    }

    std::u16string text() const {
        WCHAR buffer[256] = {};
        GetWindowTextW(edit, buffer, 256);
        return buffer;
    }

    static int count(HWND w, UINT message, WPARAM wParam) {
        int n = 0;
        for (const Seen& s : looped) {
            n += s.hwnd == w && s.message == message && s.wParam == wParam;
        }
        return n;
    }

    HWND parent = nullptr;
    HWND edit = nullptr;
};

TEST_F(Keyboard, TapsOnKeysTypeIntoTheFocusedField) {
    struct Case {
        const char* name;
        std::vector<std::u16string> taps;
        std::u16string text;
    };
    const std::vector<Case> cases = {
        {"letters", {u"h", u"e", u"l", u"l", u"o"}, u"hello"},
        {"shift makes one capital", {u"shift", u"h", u"i"}, u"Hi"},
        {"shift again takes it back", {u"shift", u"shift", u"a"}, u"a"},
        {"space and the signs beside it", {u"a", u"space", u"b", u",", u"."}, u"a b,."},
        {"the other page has digits and signs",
         {u"123", u"4", u"2", u"-", u"_", u"(", u")", u"'", u"&", u"!", u"abc", u"x"},
         u"42-_()'&!x"},
        {"turning the page drops shift", {u"shift", u"123", u"abc", u"a"}, u"a"},
        {"backspace takes back the last character", {u"a", u"b", u"c", u"backspace"}, u"ab"},
        {"backspace works on the other page", {u"123", u"7", u"8", u"backspace"}, u"7"},
        {"backspace on an empty field", {u"backspace", u"z"}, u"z"},
    };
    for (const Case& c : cases) {
        SetWindowTextW(edit, u"");
        pump();
        for (const std::u16string& key : c.taps) {
            tap(key);
        }
        EXPECT_EQ(text(), c.text) << c.name;
        to_first_page();
    }
}

TEST_F(Keyboard, LettersArriveAsCharactersAndBackspaceAndEnterAsKeys) {
    tap(u"shift");
    tap(u"k");
    EXPECT_EQ(count(edit, WM_CHAR, u'K'), 1);
    EXPECT_EQ(count(edit, WM_KEYDOWN, 'K'), 0);
    for (auto [name, vk, character] : {std::tuple{u"backspace", VK_BACK, u'\b'}, std::tuple{u"enter", VK_RETURN, u'\r'}}) {
        looped.clear();
        tap(name);
        // What the loop sees is what a dialog's loop sees: the key, its character, its release.
        std::vector<UINT> keys;
        for (const Seen& s : looped) {
            if (s.hwnd == edit && (s.message == WM_KEYDOWN || s.message == WM_KEYUP || s.message == WM_CHAR)) {
                keys.push_back(s.message);
                EXPECT_EQ(s.wParam, s.message == WM_CHAR ? WPARAM(character) : WPARAM(vk));
            }
        }
        EXPECT_EQ(keys, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP})) << std::string(name, name + 5);
    }
    EXPECT_EQ(text(), u"");
}

TEST_F(Keyboard, EachRaiseStartsOnTheLettersWithoutShift) {
    for (const char16_t* left_on : {u"123", u"shift"}) {
        tap(left_on);
        SHSipPreference(edit, SIP_DOWN);
        SHSipPreference(edit, SIP_UP);
        std::optional<platform::PanelKey> q = find(u"q");
        ASSERT_TRUE(q) << "after " << std::string(left_on, left_on + 3);
        EXPECT_EQ(q->label, u"q");
    }
    tap(u"shift");
    tap(u"a");
    EXPECT_EQ(text(), u"A");
}

TEST_F(Keyboard, PenOnThePanelNeverReachesTheWindowBelow) {
    RECT panel = platform::input_panel_rect();
    std::optional<platform::PanelKey> q = find(u"q");
    ASSERT_TRUE(q);
    POINT on = centre(q->rect);
    // The window behind the panel reaches under it: a tap, a drag off the panel and a tap in
    // the panel's corner, clear of every key, all stay with the panel.
    h::tap(on.x, on.y);
    h::pen_down(on.x, on.y);
    h::pen_move(on.x, panel.top - 10);
    h::pen_up(on.x, panel.top - 10);
    h::tap(panel.left, panel.bottom - 1);
    pump();
    EXPECT_TRUE(below.empty());
    // Lifting the pen off the panel typed nothing more than the first tap.
    EXPECT_EQ(text(), u"q");
    // Above the panel the window gets the pen as before.
    h::tap(on.x, panel.top - 10);
    pump();
    EXPECT_FALSE(below.empty());
}

TEST_F(Keyboard, TheKeyUnderThePenShowsPressedAndOnlyThePanelIsRecomposed) {
    std::optional<platform::PanelKey> q = find(u"q");
    std::optional<platform::PanelKey> w = find(u"w");
    ASSERT_TRUE(q && w);
    RECT panel = platform::input_panel_rect();
    POINT at_q = centre(q->rect);
    POINT at_w = centre(w->rect);
    // A corner of each key, clear of its label.
    auto face = [](const std::optional<platform::PanelKey>& k) {
        std::vector<uint32_t> screen = h::composed_pixels();
        return screen[static_cast<size_t>(k->rect.top + 2) * platform::device_profile().screen_width + k->rect.left + 2];
    };
    platform::compose_changes();
    uint32_t q_up = face(q);
    uint32_t w_up = face(w);
    EXPECT_EQ(q_up, w_up);

    h::pen_down(at_q.x, at_q.y);
    RECT changed = platform::compose_changes();
    EXPECT_TRUE(inside(changed, panel));
    EXPECT_TRUE(overlap(changed, q->rect));
    uint32_t pressed = face(q);
    EXPECT_NE(pressed, q_up);
    EXPECT_EQ(face(w), w_up);

    // The pen slides to the next key: that one is pressed now, and lifting there types it.
    h::pen_move(at_w.x, at_w.y);
    EXPECT_TRUE(overlap(platform::compose_changes(), w->rect));
    EXPECT_EQ(face(q), q_up);
    EXPECT_EQ(face(w), pressed);
    h::pen_up(at_w.x, at_w.y);
    EXPECT_TRUE(overlap(platform::compose_changes(), w->rect));
    EXPECT_EQ(face(w), w_up);
    pump();
    EXPECT_EQ(text(), u"w");

    // Shift changes the look of the letters: the panel is recomposed for it.
    platform::compose_changes();
    tap(u"shift");
    EXPECT_TRUE(overlap(platform::compose_changes(), q->rect));
    EXPECT_EQ(find(u"q")->label, u"Q");
}

TEST_F(Keyboard, ThePanelIsDrawnWholeOnEveryScreen) {
    struct Screen {
        const char* device;
        const char* size;
        const char* dpi;
    };
    const Screen screens[] = {
        {"pocketpc", "240x320", "96"}, {"pocketpc", "320x240", "96"}, {"pocketpc", "240x240", "96"},
        {"smartphone", "176x220", "96"}, {"pocketpc", "480x640", "192"},
    };
    close();
    for (const Screen& s : screens) {
        setenv("VANTREL_DEVICE", s.device, 1);
        setenv("VANTREL_SCREEN", s.size, 1);
        setenv("VANTREL_DPI", s.dpi, 1);
        platform::reload_device_profile();
        open();
        const RECT panel = platform::input_panel_rect();
        ASSERT_LT(panel.top, panel.bottom) << s.size;
        for (const char16_t* page : {u"123", u"abc"}) {
            std::vector<platform::PanelKey> keys = platform::input_panel_keys();
            std::vector<uint32_t> screen = h::screen_pixels();
            const int width = platform::device_profile().screen_width;
            const int scale = std::max(1, platform::device_profile().dpi / 96);
            auto pixel = [&](LONG x, LONG y) { return screen[static_cast<size_t>(y) * width + x]; };
            HDC dc = CreateCompatibleDC(nullptr);
            int rows = 0;
            LONG last_top = -1;
            for (size_t i = 0; i < keys.size(); ++i) {
                const platform::PanelKey& k = keys[i];
                std::string name(k.name.begin(), k.name.end());
                EXPECT_TRUE(inside(panel, k.rect)) << s.size << " " << name;
                EXPECT_GE(k.rect.right - k.rect.left, 12) << s.size << " " << name;
                EXPECT_GE(k.rect.bottom - k.rect.top, 12) << s.size << " " << name;
                for (size_t j = i + 1; j < keys.size(); ++j) {
                    EXPECT_FALSE(overlap(k.rect, keys[j].rect)) << s.size << " " << name;
                }
                rows += k.rect.top != last_top;
                last_top = k.rect.top;
                if (k.label.empty()) {
                    continue;
                }
                // The label fits its key, and some of it is drawn in another colour than the face
                // (above the shade along the key's bottom).
                EXPECT_LE(platform::menu::text_width(dc, k.label), k.rect.right - k.rect.left) << s.size << " " << name;
                uint32_t key_face = pixel(k.rect.left + 1, k.rect.top + 1);
                int ink = 0;
                for (LONG y = k.rect.top; y < k.rect.bottom - 2 * scale; ++y) {
                    for (LONG x = k.rect.left; x < k.rect.right; ++x) {
                        ink += pixel(x, y) != key_face;
                    }
                }
                EXPECT_GT(ink, 0) << s.size << " " << name;
            }
            DeleteDC(dc);
            EXPECT_EQ(rows, 4) << s.size;
            tap(page);
        }
        close();
    }
    unsetenv("VANTREL_DEVICE");
    unsetenv("VANTREL_SCREEN");
    unsetenv("VANTREL_DPI");
    platform::reload_device_profile();
    open();
}

}  // namespace
