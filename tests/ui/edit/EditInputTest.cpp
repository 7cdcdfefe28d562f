// The edit control as a user drives it through its form's window: typing on the desktop
// keyboard, selecting with Shift and with a double tap, and cutting and pasting through the
// context menu that a tap and hold or the menu key opens, above the input panel.
#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "platform/display/Keyboard.h"
#include "platform/menu/MenuTracking.h"
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "tests/ui/edit/support/EditTesting.h"

namespace edit_test {
namespace {

namespace h = platform::headless;
using Events = std::vector<std::string>;

// The desktop keyboard: small letters and the space come with their key, the rest as text only.
void type_on_desktop(const std::u16string& text) {
    for (char16_t c : text) {
        const UINT key = c >= u'a' && c <= u'z' ? UINT(c - u'a' + 'A') : c == u' ' ? VK_SPACE : 0;
        h::desktop_type(key, std::u16string(1, c));
    }
}

void chord(UINT modifier, UINT key) {
    h::key_down(modifier);
    h::desktop_type(key, u"");
    h::key_up(modifier);
}

// Where text x of an edit lies on the screen.
POINT on_screen(const skinner::ControlEditImpl& edit, int x) {
    POINT p{edit.get_position().x + 4 + x, edit.get_position().y + 10};
    ClientToScreen(edit.get_form_root()->get_hwnd(), &p);
    return p;
}

// Taps item i of the open context menu (a separator counts as an item).
void choose(size_t item) {
    const std::vector<RECT> items = platform::menu::open_menu_items(0);
    ASSERT_GT(items.size(), item);
    const RECT& r = items[item];
    h::tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

constexpr size_t cut_item = 0;
constexpr size_t paste_item = 2;
constexpr size_t select_all_item = 5;

class EditInput : public ::testing::Test {
protected:
    void SetUp() override {
        pump();
        clear_clipboard();
    }
    void TearDown() override { pump(); }

    EditForm form;
    Events events;
};

TEST_F(EditInput, ANameIsTypedSelectedCutAndPastedBackThroughTheContextMenu) {
    skinner::ControlEditImpl& name = form.name;
    bool menu_was_open = false;
    run_modal(form, {
                        [&] { type_on_desktop(u"Morning B\u00e9ll"); },
                        [&] {
                            EXPECT_EQ(name.get_text(), u"Morning B\u00e9ll");
                            events = form.take_events();
                            // Shift+Ctrl+Left selects the last word.
                            h::key_down(VK_SHIFT);
                            chord(VK_CONTROL, VK_LEFT);
                            h::key_up(VK_SHIFT);
                        },
                        [&] {
                            EXPECT_EQ(name.get_anchor(), 12);
                            EXPECT_EQ(name.get_caret(), 8);
                            // A double tap on "Morning" selects it with its space.
                            const POINT p = on_screen(name, 15);
                            h::tap(p.x, p.y);
                            h::tap(p.x, p.y);
                        },
                        [&] {
                            EXPECT_EQ(name.get_anchor(), 0);
                            EXPECT_EQ(name.get_caret(), 8);
                            EXPECT_EQ(form.take_events(), (Events{"fire edtName 0 29 20", "fire edtName 1 29 20"}));
                            // Held still, the pen opens the context menu where it is.
                            const POINT p = on_screen(name, 20);
                            h::pen_down(p.x, p.y);
                        },
                        [&] {
                            menu_was_open = platform::menu::tracking();
                            const POINT p = on_screen(name, 20);
                            h::pen_up(p.x, p.y);  // the release that ends the hold chooses nothing
                        },
                        [&] { choose(cut_item); },
                        [&] {
                            EXPECT_EQ(name.get_text(), u"B\u00e9ll");
                            EXPECT_EQ(clipboard_text(), u"Morning ");
                            // Keys that come in one batch keep their order: End, then the space.
                            h::desktop_type(VK_END, u"");
                            h::desktop_type(VK_SPACE, u" ");
                            h::desktop_type(VK_APPS, u"");  // the menu key opens it at the caret
                        },
                        [&] { choose(paste_item); },
                        [&] {
                            EXPECT_EQ(name.get_text(), u"B\u00e9ll Morning ");
                            EXPECT_EQ(name.get_caret(), 13);
                            h::desktop_type(VK_APPS, u"");
                        },
                        [&] { choose(select_all_item); },
                        [&] {
                            EXPECT_EQ(name.get_anchor(), 0);
                            EXPECT_EQ(name.get_caret(), 13);
                        },
                    });
    EXPECT_TRUE(menu_was_open);
    EXPECT_EQ(events.size(), 12u) << "one text event per typed character";
    // The cut, the space and the paste.
    EXPECT_EQ(form.take_events(), (Events{"text edtName", "text edtName", "text edtName"}));
}

TEST_F(EditInput, TheContextMenuStaysAboveTheInputPanel) {
    std::vector<RECT> items;
    RECT panel{};
    run_modal(form, {
                        [&] {
                            form.other.set_focus();
                            h::desktop_type(VK_APPS, u"");  // the menu key: the menu hangs from the caret
                        },
                        [&] {
                            items = platform::menu::open_menu_items(0);
                            panel = platform::input_panel_rect();
                            h::key_press(VK_ESCAPE);
                        },
                    });
    // The field's focus raised the input panel, which would hide the menu's lower entries.
    ASSERT_EQ(items.size(), 6u);
    EXPECT_GT(panel.bottom, panel.top);
    for (const RECT& r : items) EXPECT_LE(r.bottom, panel.top);
}

TEST_F(EditInput, ABackspaceEditsAndEscapeStillReachesTheForm) {
    run_modal(form, {
                        [&] { type_on_desktop(u"abc"); },
                        [&] { h::key_press(VK_BACK); },
                        [&] {
                            EXPECT_EQ(form.name.get_text(), u"ab");
                            // Tab moves on to the next field, which then takes the typing.
                            h::key_press(VK_TAB);
                            type_on_desktop(u"z");
                        },
                        [&] {
                            EXPECT_EQ(form.readonly.get_text(), u"fixed text");
                            EXPECT_TRUE(form.readonly.is_focused());
                            h::key_press(VK_TAB);
                            type_on_desktop(u"z");
                        },
                        [&] { EXPECT_EQ(form.other.get_text(), u"z"); },
                    });
}

// A tap on the input panel's key of that name.
void tap_panel(const std::u16string& name) {
    for (const platform::PanelKey& k : platform::input_panel_keys()) {
        if (k.name == name) {
            h::tap((k.rect.left + k.rect.right) / 2, (k.rect.top + k.rect.bottom) / 2);
            return;
        }
    }
    ADD_FAILURE() << "no key " << narrow(name) << " on the input panel";
}

TEST_F(EditInput, APenTypesANameOnTheInputPanel) {
    run_modal(form, {
                        [&] {
                            for (const char16_t* key : {u"shift", u"d", u"a", u"w", u"n", u"space", u"123", u"2"}) {
                                tap_panel(key);
                            }
                        },
                        [&] { tap_panel(u"backspace"); },
                        [&] {
                            for (const char16_t* key : {u"_", u"9", u"abc", u"x"}) {
                                tap_panel(key);
                            }
                        },
                        [&] { EXPECT_EQ(form.name.get_text(), u"Dawn _9x"); },
                    });
    EXPECT_EQ(form.take_events().size(), 10u) << "a text event for each character and the backspace";
}

}  // namespace
}  // namespace edit_test
